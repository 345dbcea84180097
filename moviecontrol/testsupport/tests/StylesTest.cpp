#include "testsupport/Styles.h"
#include "BitString.h"

#include <gtest/gtest.h>

#include <numbers>
#include <stdexcept>

namespace swftest {
namespace {

using testing::bits;
using testing::concat;
using Bytes = std::vector<uint8_t>;

Bytes fill(const FillStyle& style, int version) {
    BitWriter w;
    writeFillStyle(w, style, version);
    return w.take();
}

Bytes line(const LineStyle& style, int version) {
    BitWriter w;
    writeLineStyle(w, style, version);
    return w.take();
}

Gradient twoStops() {
    Gradient g;
    g.spread = SpreadMode::Reflect;
    g.interpolation = InterpolationMode::LinearRgb;
    g.stops = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 128}}};
    return g;
}

TEST(FillStyleEncoding, SolidColourHasAlphaFromTheThirdVersion) {
    const FillStyle orange = FillStyle::solid({255, 128, 0, 64});
    EXPECT_EQ(fill(orange, 1), (Bytes{0x00, 0xFF, 0x80, 0x00}));
    EXPECT_EQ(fill(orange, 2), (Bytes{0x00, 0xFF, 0x80, 0x00}));
    EXPECT_EQ(fill(orange, 3), (Bytes{0x00, 0xFF, 0x80, 0x00, 0x40}));
    EXPECT_THROW(fill(orange, 5), std::invalid_argument);
}

TEST(FillStyleEncoding, GradientsCarryModesAndStops) {
    const FillStyle linear = FillStyle::linear({}, twoStops());
    //                      type  matrix  reflect|linear-rgb|2 stops
    EXPECT_EQ(fill(linear, 3), (Bytes{0x10, 0x00, 0x52, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00,
                                      0x00, 0xFF, 0x80}));
    EXPECT_EQ(fill(linear, 2),
              (Bytes{0x10, 0x00, 0x52, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF}));
    EXPECT_EQ(fill(FillStyle::radial({}, twoStops()), 3)[0], 0x12);
}

TEST(FillStyleEncoding, FocalPointFollowsTheStopsAsSigned8Dot8) {
    Gradient g;
    g.stops = {{7, {1, 2, 3, 4}}};
    EXPECT_EQ(fill(FillStyle::focal({}, g, -0.5), 4),
              (Bytes{0x13, 0x00, 0x01, 0x07, 0x01, 0x02, 0x03, 0x04, 0x80, 0xFF}));
}

TEST(FillStyleEncoding, BitmapTypesEncodeClippingAndSmoothing) {
    EXPECT_EQ(fill(FillStyle::bitmap(5, {}, true, true), 3), (Bytes{0x40, 0x05, 0x00, 0x00}));
    EXPECT_EQ(fill(FillStyle::bitmap(5, {}, false, true), 3)[0], 0x41);
    EXPECT_EQ(fill(FillStyle::bitmap(5, {}, true, false), 3)[0], 0x42);
    EXPECT_EQ(fill(FillStyle::bitmap(0x1234, Matrix::scale(20, 20), false, false), 3),
              concat({{0x43, 0x34, 0x12},
                      bits("1 10110 0101000000000000000000 0101000000000000000000 0 00000")}));
}

TEST(FillStyleEncoding, RefusesMoreThanFifteenStops) {
    Gradient g;
    g.stops.resize(16);
    EXPECT_THROW(fill(FillStyle::linear({}, g), 3), std::invalid_argument);
}

TEST(GradientBox, MapsTheGradientSquareOntoTheBox) {
    const Matrix m = gradientBox(0, 0, 32768, 16384);
    EXPECT_EQ(m.scaleX, 0x10000);
    EXPECT_EQ(m.scaleY, 0x8000);
    EXPECT_EQ(m.rotateSkew0, 0);
    EXPECT_EQ(m.translateX, 16384);
    EXPECT_EQ(m.translateY, 8192);
    // A quarter turn sends the gradient's axis down the box's full height.
    const Matrix down = gradientBox(0, 0, 32768, 16384, std::numbers::pi / 2);
    EXPECT_EQ(down.scaleX, 0);
    EXPECT_EQ(down.scaleY, 0);
    EXPECT_EQ(down.rotateSkew0, 0x8000);   // gradient x -> screen y, half the square
    EXPECT_EQ(down.rotateSkew1, -0x10000); // gradient y -> screen x, the whole width
}

TEST(LineStyleEncoding, FirstVersionsAreWidthAndColour) {
    LineStyle s;
    s.width = 40;
    s.color = {1, 2, 3, 4};
    EXPECT_EQ(line(s, 1), (Bytes{40, 0, 1, 2, 3}));
    EXPECT_EQ(line(s, 3), (Bytes{40, 0, 1, 2, 3, 4}));
}

TEST(LineStyleEncoding, FourthVersionWritesCapsJoinsFlagsAndMiter) {
    LineStyle s;
    s.width = 40;
    s.color = {1, 2, 3, 4};
    s.startCap = CapStyle::Square;
    s.join = JoinStyle::Miter;
    s.noHScale = true;
    s.noClose = true;
    s.endCap = CapStyle::None;
    s.miterLimit = 2.5;
    //                                 cap join fill noH noV hint | reserved noClose endCap
    const Bytes flags = bits("10 10 0 1 0 0 00000 1 01");
    EXPECT_EQ(line(s, 4), concat({{40, 0}, flags, {0x80, 0x02, 1, 2, 3, 4}}));
}

TEST(LineStyleEncoding, FilledLineReplacesTheColourAndOmitsMiterUnlessMitered) {
    LineStyle s;
    s.width = 20;
    s.join = JoinStyle::Bevel;
    s.pixelHinting = true;
    s.noVScale = true;
    s.fill = FillStyle::solid({9, 8, 7, 6});
    EXPECT_EQ(line(s, 4), concat({{20, 0}, bits("00 01 1 0 1 1 00000 0 00"), {0, 9, 8, 7, 6}}));
}

TEST(StyleCount, ExtendedCountFromTheSecondVersion) {
    const auto count = [](std::size_t n, int version) {
        BitWriter w;
        writeStyleCount(w, n, version);
        return w.take();
    };
    EXPECT_EQ(count(254, 1), Bytes{0xFE});
    EXPECT_EQ(count(255, 2), (Bytes{0xFF, 0xFF, 0x00}));
    EXPECT_EQ(count(300, 3), (Bytes{0xFF, 0x2C, 0x01}));
    EXPECT_THROW(count(255, 1), std::invalid_argument);
}

} // namespace
} // namespace swftest
