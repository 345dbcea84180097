#include "FilterGrowth.h"
#include "FilterApply.h"
#include "FilterTestImages.h"

#include <gtest/gtest.h>
#include <numbers>

namespace mc {
namespace {

TEST(FilterGrowth, BlurGrowsEvenlyByItsReach) {
    const swf::Filter blur = swf::BlurFilter{9.0, 5.0, 2};
    EXPECT_EQ(filterMargins(blur, FilterScale{}), QMargins(8, 4, 8, 4));
    EXPECT_EQ(filterMargins(blur, FilterScale{2.0, 2.0}), QMargins(18, 10, 18, 10));
}

TEST(FilterGrowth, ShadowsGrowTowardsTheirOffset) {
    swf::DropShadowFilter shadow;
    shadow.blurX = 0;
    shadow.blurY = 0;
    shadow.angle = std::numbers::pi; // to the left
    shadow.distance = 6.0;
    EXPECT_EQ(filterMargins(shadow, FilterScale{}), QMargins(6, 0, 0, 1))
        << "sin(pi) is a hair above zero; rounding up keeps the layer safe";
    shadow.inner = true;
    EXPECT_EQ(filterMargins(shadow, FilterScale{}), QMargins());

    swf::GlowFilter glow;
    glow.blurX = 5;
    glow.blurY = 5;
    EXPECT_EQ(filterMargins(glow, FilterScale{}), QMargins(2, 2, 2, 2));
}

TEST(FilterGrowth, BevelsGrowBothWaysUnlessInner) {
    swf::BevelFilter bevel;
    bevel.blurX = 0;
    bevel.blurY = 0;
    bevel.angle = 0;
    bevel.distance = 3;
    EXPECT_EQ(filterMargins(bevel, FilterScale{}), QMargins(3, 0, 3, 0));
    bevel.inner = true;
    EXPECT_EQ(filterMargins(bevel, FilterScale{}), QMargins());
    bevel.onTop = true;
    EXPECT_EQ(filterMargins(bevel, FilterScale{}), QMargins(3, 0, 3, 0));
}

TEST(FilterGrowth, ColourFiltersStayPutAndListsAddUp) {
    EXPECT_EQ(filterMargins(swf::ColorMatrixFilter{}, FilterScale{}), QMargins());
    EXPECT_EQ(filterMargins(swf::ConvolutionFilter{}, FilterScale{}), QMargins());
    const std::vector<swf::Filter> list{swf::BlurFilter{5, 5, 1}, swf::ColorMatrixFilter{},
                                        swf::BlurFilter{3, 7, 1}};
    EXPECT_EQ(filterListMargins(list, FilterScale{}), QMargins(3, 5, 3, 5));
}

// The margins really hold the effect: nothing is drawn at or beyond them.
TEST(FilterGrowth, MarginsContainTheAppliedEffect) {
    swf::DropShadowFilter shadow;
    shadow.blurX = 6;
    shadow.blurY = 3;
    shadow.passes = 2;
    shadow.angle = std::numbers::pi / 4;
    shadow.distance = 5;
    const QMargins margins = filterMargins(shadow, FilterScale{});
    // Large enough that the faintest fringe is still a whole level after every pass.
    const QRect object(20, 20, 20, 20);
    const QImage layer = test::layerWithSquare({70, 70}, object, qRgb(255, 0, 0));
    const QImage result = applyFilter(layer, shadow, FilterScale{});
    const QRect reach = object.marginsAdded(margins);
    for (int y = 0; y < 70; ++y) {
        for (int x = 0; x < 70; ++x) {
            if (!reach.contains(x, y)) {
                ASSERT_EQ(qAlpha(result.pixel(x, y)), 0) << x << "," << y;
            }
        }
    }
    // Truncated passes end the faintest fringe a pixel short of the reach.
    EXPECT_GT(qAlpha(result.pixel(reach.right() - 1, reach.bottom() - 3)), 0)
        << "and the margin is not far larger than needed";
}

} // namespace
} // namespace mc
