#include "ShadowFilters.h"
#include "FilterTestImages.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace mc {
namespace {

const QRect kSquare{10, 10, 4, 4};
const QRgb kRed = qRgb(255, 0, 0);

QImage redSquare() {
    return test::layerWithSquare({40, 40}, kSquare, kRed);
}

swf::DropShadowFilter hardShadow(double angle, double distance) {
    swf::DropShadowFilter filter;
    filter.color = swf::Rgba{0, 0, 0, 255};
    filter.angle = angle;
    filter.distance = distance;
    filter.blurX = 0;
    filter.blurY = 0;
    return filter;
}

TEST(DropShadow, LandsAtTheAngleAndDistance) {
    const QImage right = applyDropShadow(redSquare(), hardShadow(0.0, 8.0), FilterScale{});
    EXPECT_EQ(right.pixel(18, 10), qRgb(0, 0, 0));
    EXPECT_EQ(right.pixel(21, 13), qRgb(0, 0, 0));
    EXPECT_EQ(right.pixel(22, 10), 0u);
    EXPECT_EQ(right.pixel(17, 10), 0u) << "gap between object and shadow";
    EXPECT_EQ(right.pixel(10, 10), kRed) << "object drawn over its shadow";

    const QImage down =
        applyDropShadow(redSquare(), hardShadow(std::numbers::pi / 2, 8.0), FilterScale{});
    EXPECT_EQ(down.pixel(10, 18), qRgb(0, 0, 0));
    EXPECT_EQ(down.pixel(18, 10), 0u);

    const QImage diagonal = applyDropShadow(
        redSquare(), hardShadow(std::numbers::pi / 4, 8.0 * std::sqrt(2.0)), FilterScale{});
    EXPECT_EQ(qAlpha(diagonal.pixel(18, 18)), 255);
    EXPECT_EQ(qAlpha(diagonal.pixel(21, 21)), 255);
    EXPECT_EQ(diagonal.pixel(18, 10), 0u);

    const QImage scaled = applyDropShadow(redSquare(), hardShadow(0.0, 4.0), FilterScale{2, 2});
    EXPECT_EQ(scaled.pixel(18, 10), qRgb(0, 0, 0)) << "distance in stage pixels, scaled";
}

TEST(DropShadow, KnockoutAndHiddenObject) {
    swf::DropShadowFilter filter = hardShadow(0.0, 2.0);
    filter.knockout = true;
    const QImage knocked = applyDropShadow(redSquare(), filter, FilterScale{});
    EXPECT_EQ(knocked.pixel(11, 11), 0u) << "knockout removes the object";
    EXPECT_EQ(knocked.pixel(15, 11), qRgb(0, 0, 0)) << "shadow outside it stays";
    EXPECT_EQ(knocked.pixel(13, 11), 0u) << "shadow under the object is cut out too";

    filter.knockout = false;
    filter.compositeSource = false;
    const QImage hidden = applyDropShadow(redSquare(), filter, FilterScale{});
    EXPECT_EQ(hidden.pixel(13, 11), qRgb(0, 0, 0)) << "whole shadow, object not drawn";
    EXPECT_EQ(hidden.pixel(10, 11), 0u);
}

TEST(DropShadow, InnerShadowStaysInsideOnTheFarSide) {
    swf::DropShadowFilter filter = hardShadow(0.0, 2.0);
    filter.inner = true;
    const QImage inner = applyDropShadow(redSquare(), filter, FilterScale{});
    // Light from the left: the shadow falls on the object's left columns.
    EXPECT_EQ(inner.pixel(10, 12), qRgb(0, 0, 0));
    EXPECT_EQ(inner.pixel(11, 12), qRgb(0, 0, 0));
    EXPECT_EQ(inner.pixel(12, 12), kRed);
    EXPECT_EQ(inner.pixel(9, 12), 0u);
    EXPECT_EQ(inner.pixel(15, 12), 0u);
}

TEST(Glow, OuterGlowSurroundsTheObjectAndStrengthDeepensIt) {
    swf::GlowFilter glow;
    glow.color = swf::Rgba{0, 255, 0, 255};
    glow.blurX = 6;
    glow.blurY = 6;
    const QImage soft = applyGlow(redSquare(), glow, FilterScale{});
    glow.strength = 3.0;
    const QImage strong = applyGlow(redSquare(), glow, FilterScale{});
    EXPECT_EQ(soft.pixel(11, 11), kRed);
    const QRgb beside = soft.pixel(15, 12);
    EXPECT_GT(qAlpha(beside), 0);
    EXPECT_EQ(qRed(beside), 0);
    EXPECT_EQ(qGreen(beside), qAlpha(beside));
    EXPECT_EQ(qAlpha(soft.pixel(15, 12)), qAlpha(soft.pixel(8, 12))) << "symmetric";
    EXPECT_GT(qAlpha(strong.pixel(15, 12)), qAlpha(beside));
    EXPECT_EQ(soft.pixel(30, 30), 0u);

    glow.inner = true;
    glow.knockout = true;
    const QImage innerOnly = applyGlow(redSquare(), glow, FilterScale{});
    EXPECT_EQ(innerOnly.pixel(15, 12), 0u) << "inner glow never leaves the object";
    EXPECT_GT(qGreen(innerOnly.pixel(10, 12)), 0);
    EXPECT_EQ(qRed(innerOnly.pixel(10, 12)), 0) << "knockout: no object colour";
}

// A glow 7 px wide at quality 9 reaches 27 px, but at strength 100 only what survives the
// truncation of every pass shows: Flash draws it solid to about 13 px and nothing past 15.
TEST(Glow, StrongGlowAtHighQualityEndsWhereItsPassesTruncateIt) {
    const QImage square = test::layerWithSquare({120, 50}, {40, 5, 40, 40}, qRgb(255, 255, 255));
    swf::GlowFilter glow;
    glow.color = swf::Rgba{255, 0, 0, 255};
    glow.blurX = 7;
    glow.blurY = 1;
    glow.strength = 100;
    glow.passes = 9;
    const QImage result = applyGlow(square, glow, FilterScale{});
    // The square spans x 40..79; distances are counted from its left edge.
    EXPECT_EQ(qAlpha(result.pixel(40 - 12, 25)), 255);
    EXPECT_EQ(qAlpha(result.pixel(40 - 16, 25)), 0);
    EXPECT_EQ(qAlpha(result.pixel(79 + 16, 25)), 0);
    EXPECT_EQ(qAlpha(result.pixel(40 - 25, 25)), 0);
}

TEST(GradientGlow, RampColoursTheGlowByCoverage) {
    swf::GradientGlowFilter filter;
    filter.stops = {{swf::Rgba{0, 0, 255, 0}, 0}, {swf::Rgba{0, 0, 255, 255}, 255}};
    filter.blurX = 4;
    filter.blurY = 4;
    const QImage result = applyGradientGlow(redSquare(), filter, FilterScale{});
    const QRgb near = result.pixel(14, 12);
    const QRgb far = result.pixel(15, 12);
    EXPECT_GT(qAlpha(near), qAlpha(far));
    EXPECT_EQ(qBlue(near), qAlpha(near));
    EXPECT_EQ(result.pixel(11, 11), kRed);

    filter.stops.clear();
    EXPECT_EQ(applyGradientGlow(redSquare(), filter, FilterScale{}), redSquare())
        << "an empty ramp adds nothing";
}

} // namespace
} // namespace mc
