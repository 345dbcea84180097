// The area a group's layer covers: no more than the group can reach, no less than what of
// it can show.
#include <gtest/gtest.h>

#include "GroupCache.h"
#include "LayerArea.h"

namespace mc {
namespace {

const QRect kView(0, 0, 200, 100);

std::optional<Bounds> extending(double xMin, double yMin, double xMax, double yMax) {
    return Bounds{xMin, yMin, xMax, yMax, true};
}

TEST(LayerAreaTest, SmallGroupGetsItsBoxWithSlack) {
    // 20 twips to the pixel: 10..30 x 40..50 px.
    const Transform stage = Transform::scaling(0.05, 0.05);
    const QRect area = groupLayerArea(kView, {}, extending(200, 800, 600, 1000), stage);
    const int slack = GroupCache::kSlack;
    EXPECT_EQ(area, QRect(QPoint(10 - slack, 40 - slack), QPoint(30 + slack, 50 + slack)));
}

TEST(LayerAreaTest, FilterReachGrowsTheBoxAndWhatCanShow) {
    const Transform stage = Transform::scaling(0.05, 0.05);
    // A shadow cast 8 px right and down: its box grows that way only.
    const QMargins reach(2, 2, 10, 10);
    const QRect area = groupLayerArea(kView, reach, extending(200, 800, 600, 1000), stage);
    const int slack = GroupCache::kSlack;
    EXPECT_EQ(area, QRect(QPoint(8 - slack, 38 - slack), QPoint(40 + slack, 60 + slack)));
    // Content just left of the view casts its shadow into it: the layer reaches out as far
    // as the shadow's longest side.
    const QRect left = groupLayerArea(kView, reach, extending(-400, 800, -20, 1000), stage);
    EXPECT_EQ(left.left(), -10);
    EXPECT_GT(left.right(), 0);
}

TEST(LayerAreaTest, GroupsReachingPastTheViewOrClipAreCut) {
    const Transform stage = Transform::scaling(0.05, 0.05);
    // Half off the left edge and past the bottom.
    const QRect corner = groupLayerArea(kView, {}, extending(-400, 1600, 400, 3000), stage);
    EXPECT_EQ(corner, QRect(QPoint(0, 80 - GroupCache::kSlack), QPoint(199, 99)) &
                          QRect(QPoint(-100, 0), QPoint(20 + GroupCache::kSlack, 200)));
    // A clip to the right half leaves nothing of a group in the left half.
    const QRect rightHalf(100, 0, 100, 100);
    EXPECT_TRUE(groupLayerArea(rightHalf, {}, extending(0, 0, 1000, 1000), stage).isEmpty());
    // But blur from just outside the clip still comes in.
    EXPECT_FALSE(groupLayerArea(rightHalf, QMargins(8, 8, 8, 8), extending(0, 0, 1900, 1000), stage)
                     .isEmpty());
}

TEST(LayerAreaTest, UnknownEmptyAndBrokenExtents) {
    const Transform stage = Transform::scaling(0.05, 0.05);
    // Not known: all that can show.
    EXPECT_EQ(groupLayerArea(kView, QMargins(4, 4, 4, 4), std::nullopt, stage),
              kView.marginsAdded(QMargins(4, 4, 4, 4)));
    // Known to draw nothing: no layer at all.
    EXPECT_TRUE(groupLayerArea(kView, {}, Bounds{}, stage).isEmpty());
    // Nothing can show.
    EXPECT_TRUE(groupLayerArea(QRect(), {}, extending(0, 0, 100, 100), stage).isEmpty());
    // A matrix gone to infinity says nothing about where drawing lands.
    const Transform wild{1e308, 0, 0, 1e308, 0, 0};
    EXPECT_EQ(groupLayerArea(kView, {}, extending(-1e10, -1e10, 1e10, 1e10), wild), kView);
}

TEST(LayerAreaTest, HugeGroupsStayWithinTheView) {
    // Bounds near the format's limits, under a large scale: the layer is still no larger
    // than the view grown by the filters' reach.
    const double limit = 1 << 30;
    const QMargins reach(512, 512, 512, 512);
    for (const double scale : {0.05, 1000.0}) {
        const QRect area = groupLayerArea(kView, reach, extending(-limit, -limit, limit, limit),
                                          Transform::scaling(scale, scale));
        EXPECT_EQ(area, kView.marginsAdded(reach)) << scale;
    }
    const QRect far = groupLayerArea(kView, reach, extending(limit - 10, limit - 10, limit, limit),
                                     Transform::scaling(1000.0, 1000.0));
    EXPECT_TRUE(far.isEmpty());
}

TEST(LayerAreaTest, OnlyBoxesThatBoundTheDrawingCount) {
    GroupStyle blended;
    blended.blendMode = swf::BlendMode::Multiply;
    EXPECT_FALSE(groupExtent(blended).has_value());
    blended.bounds = Bounds{0, 0, 100, 100, true};
    ASSERT_TRUE(groupExtent(blended).has_value());
    EXPECT_EQ(groupExtent(blended)->xMax, 100);
    // A cached bitmap's box places it; its drawing may reach past.
    GroupStyle cached = blended;
    cached.cacheAsBitmap = true;
    EXPECT_FALSE(groupExtent(cached).has_value());
}

} // namespace
} // namespace mc
