// Where a group's drawing lands: the renderer sizes the group's picture by it, so a box too
// small loses drawing, and an unknown reach must say so.
#include <gtest/gtest.h>

#include "DrawnExtent.h"
#include "TimelineBuilders.h"

namespace mc {
namespace {

using namespace mc::testing;

class DrawnExtentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        catalog.kinds = {{1, CharacterKind::Shape}, {2, CharacterKind::Shape}};
        catalog.rects[1] = swf::Rect{0, 200, 0, 100};
        catalog.rects[2] = swf::Rect{-40, 40, 20, 60};
        catalog.kinds[10] = CharacterKind::Sprite;
    }

    // A root holding `sprite` as character 10 at depth 1, moved 1000 twips across and
    // composed with a multiply blend.
    swf::Timeline rootOf(const TimelineBuilder& sprite) {
        catalog.sprites[10] = sprite.timeline;
        TimelineBuilder root(1);
        swf::PlaceObject p = place(1, 10, 1000);
        p.blendMode = swf::BlendMode::Multiply;
        root.at(0, p);
        return root.timeline;
    }

    std::optional<Bounds> extentOf(const TimelineBuilder& sprite) {
        const swf::Timeline root = rootOf(sprite);
        TimelinePlayer player(catalog, root, {});
        const auto& list = player.rootObject().clip->displayList;
        if (list.size() != 1) {
            ADD_FAILURE() << "the sprite is not placed";
            return std::nullopt;
        }
        const DisplayObject& placed = *list.begin()->second;
        std::size_t budget = 100;
        return drawnExtent(player, placed, placed.matrix, budget);
    }

    FakeCatalog catalog;
};

TEST_F(DrawnExtentTest, BlendedGroupsCarryWhatTheirChildrenDraw) {
    TimelineBuilder sprite(1);
    swf::PlaceObject turned = place(1, 2);
    turned.matrix = swf::Matrix{0, 1, -1, 0, 0, 0}; // (x, y) -> (-y, x)
    sprite.at(0, turned).at(0, place(2, 1, 500));
    // Shape 2 turned spans -60..-20 x -40..40; shape 1 moved spans 500..700 x 0..100; the
    // sprite's own placement adds 1000 across.
    expectBox(firstGroup(catalog, rootOf(sprite)).bounds, 940, -40, 1700, 100);
}

TEST_F(DrawnExtentTest, MasksAndHiddenChildrenDrawNothingOfTheirOwn) {
    TimelineBuilder sprite(1);
    swf::PlaceObject mask = place(1, 2, -5000);
    mask.clipDepth = 2;
    swf::PlaceObject hidden = place(3, 2, 9000);
    hidden.visible = false;
    sprite.at(0, mask).at(0, place(2, 1)).at(0, hidden);
    const auto box = extentOf(sprite);
    ASSERT_TRUE(box.has_value());
    expectBox(*box, 1000, 0, 1200, 100);
}

TEST_F(DrawnExtentTest, NothingDrawnIsKnownToCoverNothing) {
    TimelineBuilder sprite(1);
    const auto box = extentOf(sprite);
    ASSERT_TRUE(box.has_value());
    EXPECT_TRUE(box->empty());
}

TEST_F(DrawnExtentTest, UnknownReachLeavesTheExtentOpen) {
    // Filters inside spread by device pixels the timeline does not know.
    TimelineBuilder glowing(1);
    swf::PlaceObject glow = place(1, 1);
    glow.filters = std::vector<swf::Filter>{swf::GlowFilter{}};
    glowing.at(0, glow);
    EXPECT_FALSE(extentOf(glowing).has_value());
    // A bitmap whose size is known only once decoded.
    catalog.kinds[3] = CharacterKind::Bitmap;
    TimelineBuilder picture(1);
    picture.at(0, place(1, 1)).at(0, place(2, 3));
    EXPECT_FALSE(extentOf(picture).has_value());
    // The group then carries no box, and its layer covers all that can show.
    EXPECT_TRUE(firstGroup(catalog, rootOf(picture)).bounds.empty());
}

} // namespace
} // namespace mc
