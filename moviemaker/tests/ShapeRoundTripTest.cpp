// Shapes and morph shapes written in each version and read back with the player's reader:
// every fill and line style, every edge kind, style tables mid-shape and the bounds.

#include "ReadBack.h"
#include "moviemaker/SwfWriter.h"
#include "swf/Movie.h"

#include <gtest/gtest.h>

namespace moviemaker {
namespace {

using namespace roundtrip;

struct ReadShape {
    std::unique_ptr<swf::Movie> movie;
    const swf::Shape* shape = nullptr;
};

ReadShape roundTrip(const Shape& shape, int version, const ShapeOptions& options = {}) {
    SwfWriter movie;
    const uint16_t id = movie.defineShape(shape, version, options);
    movie.place(id, 1);
    movie.showFrame();
    ReadShape out;
    out.movie = readBack(movie.finish());
    if (out.movie) {
        out.shape = out.movie->findAs<swf::Shape>(id);
    }
    return out;
}

void expectShape(const Shape& shape, int version) {
    SCOPED_TRACE("shape version " + std::to_string(version));
    const ReadShape read = roundTrip(shape, version);
    ASSERT_NE(read.shape, nullptr);
    EXPECT_EQ(read.shape->version, version);
    EXPECT_EQ(read.shape->bounds, expected(shape.shapeBounds()));
    EXPECT_EQ(read.shape->styles, expectedStyles(shape.styles(), version));
    expectRecords(shape.records(), read.shape->records, version);
}

// Colours are translucent only where the version has alpha; earlier ones refuse them.
uint8_t alphaFor(int version, uint8_t alpha) {
    return version >= 3 ? alpha : 255;
}

Gradient threeStops(int version = 4) {
    return {SpreadMode::Reflect,
            InterpolationMode::LinearRgb,
            {{0, {255, 0, 0, 255}},
             {128, {0, 255, 0, alphaFor(version, 128)}},
             {255, {0, 0, 255, alphaFor(version, 0)}}}};
}

// Every edge kind: horizontal, vertical and general lines, one-twip steps, negative deltas,
// curves, and the widest deltas a record holds.
Shape everyEdgeKind(int version) {
    Shape s;
    const uint32_t red = s.addFill(FillStyle::solid({255, 0, 0, alphaFor(version, 200)}));
    const uint32_t thin = s.addLine(lineOf(1, {0, 0, 0, alphaFor(version, 90)}));
    s.fill1(red).line(thin).moveTo(-300, 200);
    s.lineTo(-299, 200).lineTo(-299, 199).lineTo(5000, 199).lineTo(5000, 9000);
    s.lineTo(-65000, 65000).curveTo(0, 0, 10, 10).curveTo(-65535, 65535, 0, 0);
    s.curveTo(1, 1, 2, 0).close();
    s.fill0(red).fill1(0).line(0).moveTo(100, 100).lineTo(200, 100);
    return s;
}

TEST(ShapeRoundTrip, EveryEdgeKindInEveryVersion) {
    for (int version = 1; version <= 4; ++version) {
        expectShape(everyEdgeKind(version), version);
    }
}

TEST(ShapeRoundTrip, GradientAndBitmapFills) {
    for (int version = 1; version <= 4; ++version) {
        Shape s;
        s.addFill(FillStyle::linear(gradientBox(0, 0, 2000, 1000, 0.3), threeStops(version)));
        s.addFill(FillStyle::radial(gradientBox(-500, -500, 1000, 1000), threeStops(version)));
        s.addFill(FillStyle::focal(Matrix::scale(0.5, 0.25), threeStops(version), -0.75));
        Gradient fifteen;
        for (int i = 0; i < 15; ++i) {
            fifteen.stops.push_back({static_cast<uint8_t>(i * 17),
                                     {uint8_t(i), 0, 0, alphaFor(version, uint8_t(255 - i))}});
        }
        s.addFill(FillStyle::linear({}, fifteen));
        s.addFill(FillStyle::bitmap(7, Matrix::scale(20, 20), true, true));
        s.addFill(FillStyle::bitmap(8, Matrix::translate(-3, 4), false, true));
        s.addFill(FillStyle::bitmap(9, {}, true, false));
        s.addFill(FillStyle::bitmap(0xFFFF, Matrix::scaleRotate(2, 1, 0, 0), false, false));
        s.fill1(1).rectangle(0, 0, 100, 100);
        expectShape(s, version);
    }
}

TEST(ShapeRoundTrip, FourthVersionLineStylesAndFlags) {
    Shape s;
    LineStyle mitered;
    mitered.width = 300;
    mitered.color = {1, 2, 3, 4};
    mitered.startCap = CapStyle::None;
    mitered.endCap = CapStyle::Square;
    mitered.join = JoinStyle::Miter;
    mitered.miterLimit = 2.5;
    mitered.noHScale = true;
    mitered.pixelHinting = true;
    mitered.noClose = true;
    LineStyle filled;
    filled.width = 40;
    filled.join = JoinStyle::Bevel;
    filled.noVScale = true;
    filled.fill = FillStyle::radial(gradientBox(0, 0, 100, 100), threeStops());
    LineStyle plain;
    plain.width = 0;
    s.line(s.addLine(mitered)).moveTo(0, 0).lineTo(1000, 0);
    s.line(s.addLine(filled)).lineTo(1000, 1000);
    s.line(s.addLine(plain)).lineTo(0, 0);
    expectShape(s, 4);

    ShapeOptions options;
    options.fillWindingRule = true;
    const ReadShape read = roundTrip(s, 4, options);
    ASSERT_NE(read.shape, nullptr);
    EXPECT_EQ(read.shape->edgeBounds, expected(s.edgeBounds()));
    EXPECT_EQ(read.shape->bounds, expected(s.shapeBounds()));
    EXPECT_TRUE(read.shape->usesFillWindingRule);
    EXPECT_TRUE(read.shape->usesNonScalingStrokes);
    EXPECT_TRUE(read.shape->usesScalingStrokes);
}

TEST(ShapeRoundTrip, StrokeFlagsFollowTheLinesOfEveryTable) {
    Shape onlyFixed;
    LineStyle fixed;
    fixed.noVScale = true;
    onlyFixed.line(onlyFixed.addLine(fixed)).lineTo(10, 10);
    const ReadShape a = roundTrip(onlyFixed, 4);
    ASSERT_NE(a.shape, nullptr);
    EXPECT_TRUE(a.shape->usesNonScalingStrokes);
    EXPECT_FALSE(a.shape->usesScalingStrokes);
    EXPECT_FALSE(a.shape->usesFillWindingRule);

    // A scaling line that only a later table brings still counts.
    Shape later = onlyFixed;
    later.newStyles();
    later.line(later.addLine({})).lineTo(0, 0);
    const ReadShape b = roundTrip(later, 4);
    ASSERT_NE(b.shape, nullptr);
    EXPECT_TRUE(b.shape->usesScalingStrokes);
}

TEST(ShapeRoundTrip, NewStyleTablesSwitchIndexWidths) {
    Shape s;
    s.fill1(s.addFill(FillStyle::solid({1, 1, 1}))).rectangle(0, 0, 10, 10);
    s.newStyles();
    for (int i = 0; i < 20; ++i) {
        s.addFill(FillStyle::solid({uint8_t(i), 2, 3}));
    }
    for (int i = 0; i < 3; ++i) {
        s.addLine(lineOf(uint16_t(20 + i)));
    }
    s.fill0(17).line(3).moveTo(50, 50).lineTo(60, 60);
    s.newStyles();
    s.fill1(s.addFill(FillStyle::solid({9, 9, 9}))).lineTo(0, 0);
    for (int version = 2; version <= 4; ++version) {
        expectShape(s, version);
    }
}

// A count byte of 255 announces the 16-bit count: 255 styles already need the extension.
TEST(ShapeRoundTrip, ExtendedStyleCountsFromTheSecondVersion) {
    for (const uint32_t count : {254u, 255u, 300u}) {
        SCOPED_TRACE(std::to_string(count) + " styles");
        Shape s;
        for (uint32_t i = 0; i < count; ++i) {
            s.addFill(FillStyle::solid({uint8_t(i), uint8_t(i / 2), 0}));
            s.addLine(lineOf(uint16_t(i)));
        }
        s.fill1(count).line(count).rectangle(0, 0, 50, 50);
        for (int version = 2; version <= 4; ++version) {
            expectShape(s, version);
        }
    }
}

TEST(ShapeRoundTrip, LongEdgesAreSplitButEndWhereTheyWereDrawn) {
    Shape s;
    s.line(s.addLine({})).moveTo(-100000, 50);
    s.lineTo(400000, -300000).curveTo(-500000, 0, 123456, 654321).lineTo(-100000, 50);
    const ReadShape read = roundTrip(s, 3);
    ASSERT_NE(read.shape, nullptr);
    expectRecords(s.records(), read.shape->records, 3);
    int64_t x = -100000;
    int64_t y = 50;
    std::size_t edges = 0;
    for (const swf::ShapeRecord& record : read.shape->records) {
        if (const auto* line = std::get_if<swf::StraightEdge>(&record)) {
            x += line->dx;
            y += line->dy;
            ++edges;
        } else if (const auto* curve = std::get_if<swf::CurvedEdge>(&record)) {
            x += curve->controlDx + curve->anchorDx;
            y += curve->controlDy + curve->anchorDy;
            ++edges;
        }
    }
    EXPECT_GT(edges, 3u);
    EXPECT_EQ(x, -100000);
    EXPECT_EQ(y, 50);
    EXPECT_EQ(read.shape->bounds, expected(s.shapeBounds()));
}

TEST(ShapeRoundTrip, GivenBoundsReplaceTheComputedOnes) {
    Shape s;
    s.fill1(s.addFill(FillStyle::solid({}))).ellipse(0, 0, 500, 300);
    ShapeOptions options;
    options.bounds = Rect{-1, 2, -3, 4};
    const ReadShape read = roundTrip(s, 3, options);
    ASSERT_NE(read.shape, nullptr);
    EXPECT_EQ(read.shape->bounds, (swf::Rect{-1, 2, -3, 4}));
}

MorphShape growingBar(int version) {
    MorphShape m;
    const uint32_t fill = m.addFill(MorphFillStyle::solid({255, 0, 0, 255}, {0, 0, 255, 128}));
    MorphLineStyle line;
    line.startWidth = 20;
    line.endWidth = 60;
    line.startColor = {1, 2, 3, 4};
    line.endColor = {5, 6, 7, 8};
    if (version >= 2) {
        line.join = JoinStyle::Miter;
        line.miterLimit = 4;
        line.endCap = CapStyle::Square;
        line.noVScale = true;
    }
    const uint32_t stroke = m.addLine(line);
    m.addFill(MorphFillStyle::gradient(
        FillType::Focal, gradientBox(0, 0, 100, 100), gradientBox(0, 0, 400, 400),
        {{0, {1, 1, 1, 1}, 10, {2, 2, 2, 2}}, {255, {3, 3, 3, 3}, 200, {4, 4, 4, 4}}}));
    MorphFillStyle bitmap;
    bitmap.type = FillType::ClippedBitmap;
    bitmap.bitmapId = 5;
    bitmap.startMatrix = Matrix::translate(1, 2);
    bitmap.endMatrix = Matrix::scale(3, 3);
    m.addFill(bitmap);
    m.start().fill1(fill).line(stroke).rectangle(0, 0, 1000, 200);
    m.end().moveTo(-50, 10).lineTo(3000, 10).curveTo(3000, 300, 3000, 600).lineTo(-50, 600);
    m.end().lineTo(-50, 10);
    return m;
}

TEST(MorphShapeRoundTrip, BothVersionsKeepStylesAndBothPaths) {
    for (int version = 1; version <= 2; ++version) {
        SCOPED_TRACE("morph version " + std::to_string(version));
        const MorphShape m = growingBar(version);
        SwfWriter movie;
        const uint16_t id = movie.defineMorphShape(m, version);
        movie.showFrame();
        const auto read = readBack(movie.finish());
        ASSERT_TRUE(read);
        const auto* morph = read->findAs<swf::MorphShape>(id);
        ASSERT_NE(morph, nullptr);
        EXPECT_EQ(morph->version, version);
        EXPECT_EQ(morph->startBounds, expected(widenedBy(m.start().edgeBounds(), 10)));
        EXPECT_EQ(morph->endBounds, expected(widenedBy(m.end().edgeBounds(), 30)));
        if (version == 2) {
            EXPECT_EQ(morph->startEdgeBounds, expected(m.start().edgeBounds()));
            EXPECT_EQ(morph->endEdgeBounds, expected(m.end().edgeBounds()));
            EXPECT_TRUE(morph->usesNonScalingStrokes);
            EXPECT_FALSE(morph->usesScalingStrokes);
        }
        ASSERT_EQ(morph->fills.size(), 3u);
        EXPECT_EQ(morph->fills[0].start.color, (swf::Rgba{255, 0, 0, 255}));
        EXPECT_EQ(morph->fills[0].end.color, (swf::Rgba{0, 0, 255, 128}));
        const swf::Gradient& from = morph->fills[1].start.gradient;
        const swf::Gradient& to = morph->fills[1].end.gradient;
        EXPECT_EQ(morph->fills[1].start.type, swf::FillType::FocalGradient);
        EXPECT_EQ(morph->fills[1].end.matrix, expected(gradientBox(0, 0, 400, 400)));
        ASSERT_EQ(from.records.size(), 2u);
        ASSERT_EQ(to.records.size(), 2u);
        EXPECT_EQ(from.records[1], (swf::GradientRecord{255, {3, 3, 3, 3}}));
        EXPECT_EQ(to.records[1], (swf::GradientRecord{200, {4, 4, 4, 4}}));
        EXPECT_EQ(morph->fills[2].start.bitmapId, 5);
        EXPECT_EQ(morph->fills[2].start.matrix, expected(Matrix::translate(1, 2)));
        EXPECT_EQ(morph->fills[2].end.matrix, expected(Matrix::scale(3, 3)));
        ASSERT_EQ(morph->lines.size(), 1u);
        EXPECT_EQ(morph->lines[0].start.width, 20);
        EXPECT_EQ(morph->lines[0].end.width, 60);
        EXPECT_EQ(morph->lines[0].start.color, (swf::Rgba{1, 2, 3, 4}));
        EXPECT_EQ(morph->lines[0].end.color, (swf::Rgba{5, 6, 7, 8}));
        if (version == 2) {
            EXPECT_EQ(morph->lines[0].start.join, swf::JoinStyle::Miter);
            EXPECT_EQ(morph->lines[0].start.miterLimit, 4.0);
            EXPECT_EQ(morph->lines[0].start.endCap, swf::CapStyle::Square);
            EXPECT_TRUE(morph->lines[0].start.noVScale);
        }
        expectRecords(m.start().records(), morph->startRecords, version + 2);
        // The end path keeps its moves and edges; its selections belong to the start path.
        ASSERT_EQ(morph->endRecords.size(), m.end().records().size());
        const auto* move = std::get_if<swf::StyleChange>(&morph->endRecords.front());
        ASSERT_NE(move, nullptr);
        EXPECT_EQ(move->moveX, -50);
        EXPECT_EQ(move->moveY, 10);
        EXPECT_TRUE(std::holds_alternative<swf::CurvedEdge>(morph->endRecords[2]));
    }
}

} // namespace
} // namespace moviemaker
