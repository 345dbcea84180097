#include "BevelFilters.h"
#include "FilterTestImages.h"

#include <gtest/gtest.h>
#include <numbers>

namespace mc {
namespace {

const QRect kSquare{10, 10, 10, 10};
const QRgb kGrey = qRgb(128, 128, 128);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);

QImage greySquare() {
    return test::layerWithSquare({40, 40}, kSquare, kGrey);
}

swf::BevelFilter hardBevel() {
    swf::BevelFilter filter;
    filter.highlightColor = swf::Rgba{255, 255, 255, 255};
    filter.shadowColor = swf::Rgba{0, 0, 0, 255};
    filter.angle = std::numbers::pi / 4;
    filter.distance = 2.0;
    filter.blurX = 0;
    filter.blurY = 0;
    filter.inner = true;
    return filter;
}

TEST(Bevel, InnerBevelLightsTheEdgeTowardsTheAngle) {
    const QImage result = applyBevel(greySquare(), hardBevel(), FilterScale{});
    EXPECT_EQ(result.pixel(10, 10), kWhite) << "top-left corner faces the light";
    EXPECT_EQ(result.pixel(10, 15), kWhite);
    EXPECT_EQ(result.pixel(19, 19), kBlack) << "bottom-right corner in shadow";
    EXPECT_EQ(result.pixel(15, 19), kBlack);
    EXPECT_EQ(result.pixel(15, 15), kGrey) << "the middle is untouched";
    EXPECT_EQ(result.pixel(8, 8), 0u) << "inner bevel stays inside";
}

TEST(Bevel, OuterAndFullPlacement) {
    swf::BevelFilter filter = hardBevel();
    filter.inner = false;
    const QImage outer = applyBevel(greySquare(), filter, FilterScale{});
    EXPECT_EQ(outer.pixel(9, 12), kWhite) << "just outside the lit side";
    EXPECT_EQ(outer.pixel(20, 15), kBlack) << "just outside the dark side";
    EXPECT_EQ(outer.pixel(10, 10), kGrey) << "object itself untouched";

    filter.onTop = true;
    const QImage full = applyBevel(greySquare(), filter, FilterScale{});
    EXPECT_EQ(full.pixel(9, 12), kWhite);
    EXPECT_EQ(full.pixel(10, 12), kWhite);
    EXPECT_EQ(bevelPlacement(true, true), BevelPlacement::Full);
    EXPECT_EQ(bevelPlacement(true, false), BevelPlacement::Inner);
    EXPECT_EQ(bevelPlacement(false, false), BevelPlacement::Outer);
}

TEST(Bevel, KnockoutLeavesOnlyTheBevel) {
    swf::BevelFilter filter = hardBevel();
    filter.knockout = true;
    const QImage result = applyBevel(greySquare(), filter, FilterScale{});
    EXPECT_EQ(result.pixel(15, 15), 0u);
    EXPECT_EQ(result.pixel(10, 10), kWhite);
}

TEST(GradientBevel, RampEndsActAsHighlightAndShadow) {
    swf::GradientBevelFilter filter;
    filter.stops = {{swf::Rgba{255, 255, 255, 255}, 0},
                    {swf::Rgba{255, 0, 0, 0}, 128},
                    {swf::Rgba{0, 0, 0, 255}, 255}};
    filter.angle = std::numbers::pi / 4;
    filter.distance = 2.0;
    filter.inner = true;
    const QImage gradient = applyGradientBevel(greySquare(), filter, FilterScale{});
    const QImage plain = applyBevel(greySquare(), hardBevel(), FilterScale{});
    EXPECT_EQ(gradient.pixel(10, 10), plain.pixel(10, 10));
    EXPECT_EQ(gradient.pixel(19, 19), plain.pixel(19, 19));
    EXPECT_EQ(gradient.pixel(15, 15), kGrey);
}

} // namespace
} // namespace mc
