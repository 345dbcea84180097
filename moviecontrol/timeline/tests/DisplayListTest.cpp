#include <gtest/gtest.h>

#include "TimelineBuilders.h"

namespace mc {
namespace {

using namespace mc::testing;
using Ids = std::vector<std::uint16_t>;
using Xs = std::vector<double>;

class DisplayListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        catalog.kinds = {
            {1, CharacterKind::Shape}, {2, CharacterKind::Shape}, {3, CharacterKind::MorphShape}};
    }
    FakeCatalog catalog;
};

TEST_F(DisplayListTest, PlaceMoveReplaceRemove) {
    TimelineBuilder b(4);
    b.at(0, place(5, 1, 100)).at(0, place(2, 2, 10));
    b.at(1, moveTo(5, 200));
    swf::PlaceObject replace = place(5, 2);
    replace.move = true;
    replace.matrix.reset(); // a replace keeps the old placement
    b.at(2, replace);
    b.at(3, remove(2));
    TimelinePlayer player(catalog, b.timeline, {});

    EXPECT_EQ(drawnIds(player), (Ids{2, 1})); // lower depth first
    EXPECT_EQ(drawnX(player), (Xs{10, 100}));
    player.advance();
    EXPECT_EQ(drawnX(player), (Xs{10, 200}));
    player.advance();
    EXPECT_EQ(drawnIds(player), (Ids{2, 2}));
    EXPECT_EQ(drawnX(player), (Xs{10, 200}));
    player.advance();
    EXPECT_EQ(drawnIds(player), (Ids{2}));
    EXPECT_EQ(drawnX(player), (Xs{200}));
}

TEST_F(DisplayListTest, PlacesOfUnknownCharactersAndMovesOfNothingAreIgnored) {
    TimelineBuilder b(2);
    b.at(0, place(1, 99)).at(0, moveTo(7, 5)).at(0, place(2, 1));
    b.at(1, remove(42));
    TimelinePlayer player(catalog, b.timeline, {});
    EXPECT_EQ(drawnIds(player), (Ids{1}));
    player.advance();
    EXPECT_EQ(drawnIds(player), (Ids{1}));
    EXPECT_EQ(player.liveObjects(), 1u);
}

TEST_F(DisplayListTest, RatioTravelsWithMorphPlacement) {
    TimelineBuilder b(2);
    swf::PlaceObject p = place(1, 3);
    p.ratio = 100;
    b.at(0, p);
    swf::PlaceObject m = moveTo(1, 0);
    m.matrix.reset();
    m.ratio = 65535;
    b.at(1, m);
    TimelinePlayer player(catalog, b.timeline, {});
    RecordingBackend rec;
    player.render(rec);
    ASSERT_EQ(rec.entries().size(), 1u);
    EXPECT_EQ(rec.entries()[0].draw.kind, CharacterKind::MorphShape);
    EXPECT_EQ(rec.entries()[0].draw.ratio, 100);
    player.advance();
    player.render(rec);
    EXPECT_EQ(rec.entries()[0].draw.ratio, 65535);
}

TEST_F(DisplayListTest, SpritesAdvanceOncePerRootFrameLoopAndResetWhenPlacedAnew) {
    TimelineBuilder sprite(3);
    sprite.at(0, place(1, 1, 0)).at(1, moveTo(1, 1)).at(2, moveTo(1, 2));
    catalog.kinds[10] = CharacterKind::Sprite;
    catalog.sprites[10] = sprite.timeline;

    TimelineBuilder root(7);
    swf::PlaceObject p = place(1, 10);
    p.matrix = swf::Matrix{1, 0, 0, 1, 1000, 0};
    root.at(0, p);
    root.at(5, remove(1)).at(5, place(1, 10));
    TimelinePlayer player(catalog, root.timeline, {});
    EXPECT_EQ(drawnX(player), (Xs{1000}));
    player.advance();
    EXPECT_EQ(drawnX(player), (Xs{1001}));
    player.advance();
    EXPECT_EQ(drawnX(player), (Xs{1002}));
    player.advance(); // the sprite loops on its own
    EXPECT_EQ(drawnX(player), (Xs{1000}));
    player.advance();
    EXPECT_EQ(drawnX(player), (Xs{1001}));
    player.advance(); // placed anew: starts at its first frame, no advance in that tick
    EXPECT_EQ(drawnX(player), (Xs{0}));
    player.advance();
    EXPECT_EQ(drawnX(player), (Xs{1}));
}

TEST_F(DisplayListTest, RootLoopsOrHoldsAtTheLastFrame) {
    TimelineBuilder b(3);
    b.at(0, place(1, 1, 0)).at(1, moveTo(1, 1)).at(2, moveTo(1, 2));
    TimelinePlayer player(catalog, b.timeline, {});
    player.advance();
    player.advance();
    EXPECT_EQ(player.currentFrame(), 2u);
    player.advance();
    EXPECT_EQ(player.currentFrame(), 0u);
    EXPECT_EQ(drawnX(player), (Xs{0})); // the display list of frame 0, rebuilt
    EXPECT_TRUE(player.playing());

    player.setLoop(false);
    player.advance();
    player.advance();
    player.advance();
    EXPECT_EQ(player.currentFrame(), 2u);
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(drawnX(player), (Xs{2}));
}

TEST_F(DisplayListTest, StepBackRebuildsAndStepsStop) {
    TimelineBuilder b(4);
    b.at(0, place(1, 1, 0)).at(1, place(2, 2, 50)).at(2, moveTo(1, 7)).at(3, remove(2));
    TimelinePlayer player(catalog, b.timeline, {});
    player.advance();
    player.advance();
    player.advance();
    EXPECT_EQ(drawnIds(player), (Ids{1}));
    player.stepBack();
    EXPECT_EQ(player.currentFrame(), 2u);
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(drawnIds(player), (Ids{1, 2}));
    EXPECT_EQ(drawnX(player), (Xs{7, 50}));
    player.stepBack();
    EXPECT_EQ(drawnX(player), (Xs{0, 50}));
    player.stepForward();
    EXPECT_EQ(player.currentFrame(), 2u);
    EXPECT_EQ(drawnX(player), (Xs{7, 50}));
    player.rewind();
    EXPECT_EQ(player.currentFrame(), 0u);
    EXPECT_EQ(drawnIds(player), (Ids{1}));
    EXPECT_EQ(player.liveObjects(), 1u);
    // Stepping does not count as playing: the clock would not move it on.
    player.advance();
    EXPECT_EQ(player.currentFrame(), 0u);
}

TEST_F(DisplayListTest, ClipDepthMasksTheDepthsAboveUpToItsClipDepth) {
    TimelineBuilder b(1);
    swf::PlaceObject mask = place(1, 1);
    mask.clipDepth = 3;
    swf::PlaceObject inner = place(4, 2);
    inner.clipDepth = 5;
    b.at(0, mask).at(0, place(2, 2)).at(0, place(3, 2)).at(0, inner).at(0, place(5, 1));
    b.at(0, place(6, 1));
    TimelinePlayer player(catalog, b.timeline, {});
    RecordingBackend rec;
    player.render(rec);
    // mask(1) masks 2 and 3; mask(4) masks 5; 6 is free.
    EXPECT_EQ(rec.outline(), "MDUDDmMDUDmD");
}

TEST_F(DisplayListTest, NestedMasksEndTogether) {
    TimelineBuilder b(1);
    swf::PlaceObject outer = place(1, 1);
    outer.clipDepth = 10;
    swf::PlaceObject inner = place(2, 1);
    inner.clipDepth = 10;
    b.at(0, outer).at(0, inner).at(0, place(3, 2)).at(0, place(11, 2));
    TimelinePlayer player(catalog, b.timeline, {});
    RecordingBackend rec;
    player.render(rec);
    EXPECT_EQ(rec.outline(), "MDUMDUDmmD");
}

TEST_F(DisplayListTest, InvisibleMasksStillMaskAndColoursComposeDownTheTree) {
    TimelineBuilder sprite(1);
    swf::PlaceObject child = place(1, 2);
    child.colorTransform = swf::ColorTransform{128, 256, 256, 256, 0, 0, 10, 0};
    sprite.at(0, child);
    catalog.kinds[10] = CharacterKind::Sprite;
    catalog.sprites[10] = sprite.timeline;

    TimelineBuilder b(1);
    swf::PlaceObject mask = place(1, 1);
    mask.clipDepth = 2;
    mask.visible = false;
    swf::PlaceObject s = place(2, 10);
    s.colorTransform = swf::ColorTransform{256, 256, 256, 128, 0, 0, 0, 0};
    b.at(0, mask).at(0, s);
    TimelinePlayer player(catalog, b.timeline, {});
    RecordingBackend rec;
    player.render(rec);
    ASSERT_EQ(rec.outline(), "MDUDm");
    const ColorTransform& cx = rec.entries()[3].draw.colorTransform;
    EXPECT_EQ(cx.mult[0], 128);
    EXPECT_EQ(cx.mult[3], 128);
    EXPECT_EQ(cx.add[2], 10);
}

TEST_F(DisplayListTest, FiltersAndBlendModesMakeGroups) {
    TimelineBuilder b(1);
    swf::PlaceObject p = place(1, 1);
    p.blendMode = swf::BlendMode::Multiply;
    swf::PlaceObject q = place(2, 1);
    q.filters = std::vector<swf::Filter>{swf::BlurFilter{}};
    swf::PlaceObject layer = place(3, 1);
    layer.blendMode = swf::BlendMode::Layer;
    swf::PlaceObject cached = place(4, 1);
    cached.cacheAsBitmap = true;
    swf::PlaceObject plain = place(5, 1);
    plain.blendMode = swf::BlendMode::Normal;
    b.at(0, p).at(0, q).at(0, layer).at(0, cached).at(0, plain);
    TimelinePlayer player(catalog, b.timeline, {});
    RecordingBackend rec;
    player.render(rec);
    // Layer and a bitmap cache compose alone too; a plain normal object does not.
    EXPECT_EQ(rec.outline(), "GDgGDgGDgGDgD");
    EXPECT_EQ(rec.entries()[0].group.blendMode, swf::BlendMode::Multiply);
    EXPECT_EQ(rec.entries()[6].group.blendMode, swf::BlendMode::Layer);
    EXPECT_TRUE(rec.entries()[9].group.cacheAsBitmap);
}

TEST_F(DisplayListTest, SelfPlacingSpritesAreBounded) {
    TimelineBuilder sprite(2);
    sprite.at(0, place(1, 10)).at(0, place(2, 10));
    catalog.kinds[10] = CharacterKind::Sprite;
    catalog.sprites[10] = sprite.timeline;
    TimelineBuilder b(1);
    b.at(0, place(1, 10));
    TimelineLimits limits;
    limits.maxObjects = 5'000;
    TimelinePlayer player(catalog, b.timeline, {}, limits);
    EXPECT_LE(player.liveObjects(), limits.maxObjects);
    for (int i = 0; i < 3; ++i) {
        player.advance();
        EXPECT_LE(player.liveObjects(), limits.maxObjects);
    }
    RecordingBackend rec;
    player.render(rec);
    EXPECT_LE(rec.entries().size(), limits.maxCommands);
}

// Older movies name only what their scripts can reach; ActionScript 3 names every object
// the movie left unnamed, from the one count that script-made objects take names from too.
TEST_F(DisplayListTest, UnnamedObjectsTakeInstanceNamesFromOneCount) {
    TimelineBuilder b(2);
    b.at(0, place(1, 1));
    swf::PlaceObject named = place(3, 1);
    named.name = "named";
    b.at(1, place(2, 2)).at(1, named).at(1, place(4, 2));
    TimelinePlayer player(catalog, b.timeline, {});
    const auto nameAt = [&](std::uint16_t depth) {
        const auto it = player.root().displayList.find(depthOfTag(depth));
        return it == player.root().displayList.end() ? std::string("(none)") : it->second->name;
    };
    EXPECT_EQ(nameAt(1), "");
    player.setNameEveryObject(true);
    player.advance();
    EXPECT_EQ(nameAt(1), "");
    EXPECT_EQ(nameAt(2), "instance1");
    EXPECT_EQ(nameAt(3), "named");
    EXPECT_EQ(nameAt(4), "instance2");
    EXPECT_EQ(player.nextInstanceName(), "instance3");
}

// A place tag that carries a name, even an empty one, names its clip: the clip keeps the
// empty name (its path is its parent's) and takes no number from the count.
TEST_F(DisplayListTest, AnEmptyNameInThePlaceTagIsAName) {
    catalog.kinds[5] = CharacterKind::Sprite;
    TimelineBuilder b(1);
    swf::PlaceObject empty = place(2, 5);
    empty.name = "";
    b.at(0, place(1, 5)).at(0, empty).at(0, place(3, 5));
    TimelinePlayer player(catalog, b.timeline, {});
    const auto nameAt = [&](std::uint16_t depth) {
        const auto it = player.root().displayList.find(depthOfTag(depth));
        return it == player.root().displayList.end() ? std::string("(none)") : it->second->name;
    };
    EXPECT_EQ(nameAt(1), "instance1");
    EXPECT_EQ(nameAt(2), "");
    EXPECT_EQ(nameAt(3), "instance2");
}

} // namespace
} // namespace mc
