// Where a group's drawing lands: the renderer sizes the group's picture by it, so a box too
// small loses drawing, and an unknown reach must say so.
#include <gtest/gtest.h>

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

    // The first group drawn by a root holding sprite 10 with a multiply blend.
    GroupStyle blendedSprite(const TimelineBuilder& sprite) {
        catalog.sprites[10] = sprite.timeline;
        TimelineBuilder root(1);
        swf::PlaceObject p = place(1, 10, 1000);
        p.blendMode = swf::BlendMode::Multiply;
        root.at(0, p);
        return firstGroup(catalog, root.timeline);
    }

    FakeCatalog catalog;
};

void expectBox(const std::optional<Bounds>& box, double xMin, double yMin, double xMax,
               double yMax) {
    ASSERT_TRUE(box.has_value());
    ASSERT_FALSE(box->empty());
    EXPECT_DOUBLE_EQ(box->xMin, xMin);
    EXPECT_DOUBLE_EQ(box->yMin, yMin);
    EXPECT_DOUBLE_EQ(box->xMax, xMax);
    EXPECT_DOUBLE_EQ(box->yMax, yMax);
}

TEST_F(DrawnExtentTest, BlendedSpriteCoversWhatItsChildrenDraw) {
    TimelineBuilder sprite(1);
    swf::PlaceObject scaled = place(1, 1, 30);
    scaled.matrix = swf::Matrix{2, 0, 0, 2, 30, 10};
    sprite.at(0, scaled).at(0, place(2, 2, -100));
    const GroupStyle style = blendedSprite(sprite);
    expectBox(style.extent, 860, 10, 1430, 210);
    // Only cached groups are placed on the pixel grid by their box.
    EXPECT_TRUE(style.bounds.empty());
}

TEST_F(DrawnExtentTest, MasksAndHiddenChildrenDrawNothingOfTheirOwn) {
    TimelineBuilder sprite(1);
    swf::PlaceObject mask = place(1, 2, -5000);
    mask.clipDepth = 2;
    swf::PlaceObject hidden = place(3, 2, 9000);
    hidden.visible = false;
    sprite.at(0, mask).at(0, place(2, 1)).at(0, hidden);
    expectBox(blendedSprite(sprite).extent, 1000, 0, 1200, 100);
}

TEST_F(DrawnExtentTest, NothingDrawnIsKnownToCoverNothing) {
    TimelineBuilder sprite(1);
    const GroupStyle style = blendedSprite(sprite);
    ASSERT_TRUE(style.extent.has_value());
    EXPECT_TRUE(style.extent->empty());
}

TEST_F(DrawnExtentTest, UnknownReachLeavesTheExtentOpen) {
    // Filters inside spread by device pixels the timeline does not know.
    TimelineBuilder glowing(1);
    swf::PlaceObject glow = place(1, 1);
    glow.filters = std::vector<swf::Filter>{swf::GlowFilter{}};
    glowing.at(0, glow);
    EXPECT_FALSE(blendedSprite(glowing).extent.has_value());
    // A bitmap whose size is known only once decoded.
    catalog.kinds[3] = CharacterKind::Bitmap;
    TimelineBuilder picture(1);
    picture.at(0, place(1, 1)).at(0, place(2, 3));
    EXPECT_FALSE(blendedSprite(picture).extent.has_value());
}

} // namespace
} // namespace mc
