// The box a cached group's content covers: what the renderer puts on the pixel grid.
#include <gtest/gtest.h>

#include "TimelineBuilders.h"

namespace mc {
namespace {

using namespace mc::testing;

class ContentBoundsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        catalog.kinds = {{1, CharacterKind::Shape}, {2, CharacterKind::Shape}};
        catalog.rects[1] = swf::Rect{0, 200, 0, 100};  // 10 x 5 px
        catalog.rects[2] = swf::Rect{-40, 40, 20, 60}; // 4 x 2 px
    }

    GroupStyle firstGroup(const swf::Timeline& root) { return testing::firstGroup(catalog, root); }

    FakeCatalog catalog;
};

TEST_F(ContentBoundsTest, FilteredSpriteCoversAllItsChildrenInStageTwips) {
    TimelineBuilder sprite(1);
    swf::PlaceObject scaled = place(1, 1, 30);
    scaled.matrix = swf::Matrix{2, 0, 0, 2, 30, 10};
    sprite.at(0, scaled).at(0, place(2, 2, -100));
    catalog.kinds[10] = CharacterKind::Sprite;
    catalog.sprites[10] = sprite.timeline;
    TimelineBuilder root(1);
    swf::PlaceObject p = place(1, 10, 1000);
    p.filters = std::vector<swf::Filter>{swf::GlowFilter{}};
    root.at(0, p);
    // Shape 1 doubled spans 30..430 x 10..210; shape 2 moved spans -140..-60 x 20..60;
    // the sprite's own placement adds 1000 across.
    expectBox(firstGroup(root.timeline).bounds, 860, 10, 1430, 210);
}

TEST_F(ContentBoundsTest, TurnedContentGivesTheBoxOfItsCorners) {
    TimelineBuilder root(1);
    swf::PlaceObject p = place(1, 1);
    p.matrix = swf::Matrix{0, 1, -1, 0, 0, 0}; // a quarter turn: (x, y) -> (-y, x)
    p.cacheAsBitmap = true;
    root.at(0, p);
    expectBox(firstGroup(root.timeline).bounds, -100, 0, 0, 200);
}

TEST_F(ContentBoundsTest, CharactersWithoutStatedBoundsAddNothing) {
    catalog.kinds[3] = CharacterKind::Bitmap; // no rect in the catalog
    TimelineBuilder sprite(1);
    sprite.at(0, place(1, 3, -5000)).at(0, place(2, 1));
    catalog.kinds[10] = CharacterKind::Sprite;
    catalog.sprites[10] = sprite.timeline;
    TimelineBuilder root(1);
    swf::PlaceObject p = place(1, 10);
    p.cacheAsBitmap = true;
    root.at(0, p);
    expectBox(firstGroup(root.timeline).bounds, 0, 0, 200, 100);
}

TEST(BoundsTest, EmptyBoxesAddNothingAndMapToNothing) {
    Bounds box;
    box.add(Bounds{});
    EXPECT_TRUE(box.empty());
    EXPECT_TRUE(mapBounds(Transform::scaling(2, 2), box).empty());
    box.add(Bounds::of(swf::Rect{10, -10, 5, 0})); // stored back to front
    expectBox(box, -10, 0, 10, 5);
}

} // namespace
} // namespace mc
