#include "BitString.h"
#include "testsupport/ShapeEncoding.h"
#include "testsupport/SwfWriter.h"

#include <gtest/gtest.h>

#include <numeric>

namespace swftest {
namespace {

using testing::bits;
using testing::concat;
using Bytes = std::vector<uint8_t>;

Bytes records(const Shape& shape, IndexWidths widths = {1, 0}) {
    BitWriter w;
    writeShapeRecords(w, shape.records(), widths, 3);
    return w.take();
}

TEST(ShapeRecords, TriangleInTheFirstShapeVersion) {
    Shape s;
    s.fill1(s.addFill(FillStyle::solid({255, 0, 0})));
    s.moveTo(0, 0).lineTo(100, 0).lineTo(100, 100).lineTo(0, 0);
    const Bytes expected = concat({
        {0x01, 0x00},                                      // id
        bits("01000 00000000 01100100 00000000 01100100"), // bounds
        {0x01, 0x00, 0xFF, 0x00, 0x00, 0x00},              // one red fill, no lines
        bits("0001 0000"                                   // index widths
             " 000101 00000 1"                             // move to 0,0, fill 1
             " 11 0110 0 0 01100100"                       // horizontal +100
             " 11 0110 0 1 01100100"                       // vertical +100
             " 11 0110 1 10011100 10011100"                // general -100, -100
             " 000000"),                                   // end
    });
    EXPECT_EQ(encodeDefineShape(1, s, 1), expected);
}

TEST(ShapeRecords, CurveDeltasShareOneWidth) {
    Shape s;
    s.curveTo(10, 0, 10, 10);
    EXPECT_EQ(records(s), bits("1 0 0011 01010 00000 00000 01010 000000"));
}

TEST(ShapeRecords, ShortEdgesStillUseTwoBits) {
    Shape s;
    s.lineTo(1, 0).lineTo(1, -1);
    EXPECT_EQ(records(s), bits("11 0000 0 0 01  11 0000 0 1 11  000000"));
}

TEST(ShapeRecords, SelectionsAndMoveShareOneRecord) {
    Shape s;
    const uint32_t f = s.addFill(FillStyle::solid({}));
    const uint32_t l = s.addLine({});
    s.fill0(f).fill1(f).line(l).moveTo(-3, 2);
    ASSERT_EQ(s.records().size(), 1u);
    EXPECT_EQ(records(s, {1, 1}), bits("0 0 1 1 1 1 00011 101 010 1 1 1 000000"));
}

TEST(ShapeRecords, NewStylesSwitchIndexWidthsAfterTheirTables) {
    Shape s;
    s.fill1(s.addFill(FillStyle::solid({255, 0, 0})));
    s.moveTo(0, 0).lineTo(20, 0);
    s.newStyles();
    s.addFill(FillStyle::solid({0, 0, 1}));
    s.addFill(FillStyle::solid({0, 0, 2}));
    const uint32_t third = s.addFill(FillStyle::solid({0, 0, 3}));
    s.fill0(third).moveTo(0, 0).lineTo(0, 20);
    const Bytes expected = concat({
        {0x01, 0x00, 0xFF, 0x00, 0x00, 0x00},
        bits("0001 0000"
             " 000101 00000 1"     // move, fill1 = 1
             " 11 0100 0 0 010100" // horizontal +20
             " 011110 0 0"),       // new styles, all deselected with the old widths
        {0x03, 0x00, 0, 0, 1, 0x00, 0, 0, 2, 0x00, 0, 0, 3, 0x00},
        bits("0010 0000"
             " 000011 00000 11"    // move, fill0 = 3 in two bits
             " 11 0100 0 1 010100" // vertical +20
             " 000000"),
    });
    EXPECT_EQ(encodeShapeWithStyles(s, 2), expected);
}

TEST(ShapeRecords, IndexWidthsCoverSelectionsBeyondTheTable) {
    Shape s;
    s.addFill(FillStyle::solid({}));
    s.fill1(5).lineTo(20, 0);
    EXPECT_EQ(indexWidthsFor(1, 0, s.records()).fillBits, 3u);
    EXPECT_EQ(indexWidthsFor(0, 0, {}).fillBits, 0u);
}

TEST(ShapeBuilding, LongLinesAreSplitIntoRecordsThatFit) {
    Shape s;
    s.moveTo(0, 0).lineTo(100000, -30000);
    ASSERT_EQ(s.records().size(), 3u);
    const auto& a = std::get<StraightEdge>(s.records()[1]);
    const auto& b = std::get<StraightEdge>(s.records()[2]);
    EXPECT_EQ(a.dx + b.dx, 100000);
    EXPECT_EQ(a.dy + b.dy, -30000);
    EXPECT_LE(a.dx, 65535);
    EXPECT_NO_THROW(records(s));
    EXPECT_EQ(s.pen(), (Point{100000, -30000}));
}

TEST(ShapeBuilding, LongCurvesAreHalvedUntilTheyFit) {
    Shape s;
    s.moveTo(0, 0).curveTo(200000, 0, 200000, 200000);
    int64_t x = 0;
    int64_t y = 0;
    std::size_t curves = 0;
    for (const ShapeRecord& r : s.records()) {
        if (const auto* c = std::get_if<CurvedEdge>(&r)) {
            for (const int32_t d : {c->controlDx, c->controlDy, c->anchorDx, c->anchorDy}) {
                EXPECT_LE(std::abs(d), 65535);
            }
            x += c->controlDx + c->anchorDx;
            y += c->controlDy + c->anchorDy;
            ++curves;
        }
    }
    EXPECT_GE(curves, 4u);
    EXPECT_EQ(x, 200000);
    EXPECT_EQ(y, 200000);
    EXPECT_NO_THROW(records(s));
}

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
}

TEST(DefineShapeEncoding, FourthVersionAddsEdgeBoundsAndStrokeFlags) {
    Shape s;
    LineStyle fixed;
    fixed.width = 40;
    fixed.noHScale = true;
    s.line(s.addLine(fixed)).moveTo(0, 0).lineTo(20, 0);
    ShapeOptions options;
    options.fillWindingRule = true;
    const Bytes body = encodeDefineShape(7, s, 4, options);
    const Bytes head = concat({{0x07, 0x00},
                               bits("00111 1101100 0101000 1101100 0010100"), // -20..40, -20..20
                               bits("00110 000000 010100 000000 000000"),     // 0..20, 0..0
                               bits("00000 1 1 0")});
    ASSERT_GE(body.size(), head.size());
    EXPECT_EQ(Bytes(body.begin(), body.begin() + static_cast<long>(head.size())), head);
}

} // namespace
} // namespace swftest
