// What the shape builder and the value helpers compute before anything is encoded: pen
// movements, bounds, the gradient square's placement and fixed-point rounding.

#include "moviemaker/Records.h"
#include "moviemaker/Shape.h"
#include "moviemaker/Styles.h"
#include "moviemaker/WriteError.h"

#include <gtest/gtest.h>

#include <numbers>

namespace moviemaker {
namespace {

TEST(ShapeBuilding, ZeroLengthLinesAreDropped) {
    Shape s;
    s.moveTo(5, 5).lineTo(5, 5);
    EXPECT_EQ(s.records().size(), 1u);
}

TEST(ShapeBuilding, CloseReturnsToTheLastMove) {
    Shape s;
    s.moveTo(10, 10).lineTo(30, 10).lineTo(30, 40).close();
    EXPECT_EQ(s.pen(), (Point{10, 10}));
    const auto& last = std::get<StraightEdge>(s.records().back());
    EXPECT_EQ(last.dx, -20);
    EXPECT_EQ(last.dy, -30);
}

TEST(ShapeBuilding, BoundsIncludeControlPointsAndHalfTheWidestLine) {
    Shape s;
    LineStyle thick;
    thick.width = 40;
    s.line(s.addLine(thick));
    s.moveTo(0, 0).curveTo(50, -100, 100, 0);
    EXPECT_EQ(s.edgeBounds(), (Rect{0, 100, -100, 0}));
    EXPECT_EQ(s.shapeBounds(), (Rect{-20, 120, -120, 20}));
}

TEST(ShapeBuilding, BoundsSaturateInsteadOfWrapping) {
    Shape s;
    LineStyle thick;
    thick.width = 1000;
    s.line(s.addLine(thick));
    s.moveTo(std::numeric_limits<int32_t>::min() + 10, 0).lineTo(0, 0);
    EXPECT_EQ(s.shapeBounds().xMin, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(s.shapeBounds().xMax, 500);
}

TEST(ShapeBuilding, EllipseClosesOnItsStartWithinItsBox) {
    Shape s;
    s.ellipse(1000, 500, 400, 200);
    int64_t x = 0;
    int64_t y = 0;
    for (const ShapeRecord& r : s.records()) {
        if (const auto* c = std::get_if<CurvedEdge>(&r)) {
            x += c->controlDx + c->anchorDx;
            y += c->controlDy + c->anchorDy;
        }
    }
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    // Anchors and control points of the eight arcs all stay within the ellipse's box.
    const Rect b = s.edgeBounds();
    EXPECT_NEAR(b.xMin, 600, 1);
    EXPECT_NEAR(b.xMax, 1400, 1);
    EXPECT_NEAR(b.yMin, 300, 1);
    EXPECT_NEAR(b.yMax, 700, 1);
    EXPECT_THROW(s.ellipse(2000000000, 0, 200000000, 10), WriteError);
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

TEST(FixedPoint, RoundsToNearestAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(fixed16(1.0), 0x10000);
    EXPECT_EQ(fixed16(-0.5), -0x8000);
    EXPECT_EQ(fixed16(1.0 / 65536 * 0.6), 1);
    EXPECT_EQ(fixed8(2.5), 0x280);
    EXPECT_EQ(fixed8(-0.98), -251);
    EXPECT_EQ(twips(12.34), 247);
    EXPECT_EQ(twips(-0.5), -10);
    EXPECT_THROW(fixed8(200.0), WriteError);
    EXPECT_THROW(fixed16(40000.0), WriteError);
    EXPECT_THROW(twips(std::numeric_limits<double>::quiet_NaN()), WriteError);
}

} // namespace
} // namespace moviemaker
