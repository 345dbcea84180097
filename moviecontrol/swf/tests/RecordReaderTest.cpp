// Value records, styles and shape records, read through the tags that carry them.
#include "BasicRecords.h"
#include "SwfBytes.h"
#include "swf/TagCodes.h"

#include <gtest/gtest.h>

using namespace swf;
using swf::test::Bytes;

TEST(BasicRecords, RectKeepsNegativeMinimumAndWideFields) {
    Bytes b;
    b.ub(5, 20).sb(20, -400000).sb(20, 11000).sb(20, -20).sb(20, 8000).align();
    ByteReader r(b.data());
    const Rect rect = readRect(r);
    EXPECT_EQ(rect, (Rect{-400000, 11000, -20, 8000}));
    EXPECT_EQ(rect.width(), 411000);
    EXPECT_FALSE(r.failed());
}

TEST(BasicRecords, MatrixReadsScaleRotateAndTranslateGroups) {
    Bytes b;
    // scale 2.0 / -0.5, rotate 0.25 / -0.25 (FB), translate -100 / 300 twips.
    b.ub(1, 1).ub(5, 19).sb(19, 0x20000).sb(19, -0x8000);
    b.ub(1, 1).ub(5, 17).sb(17, 0x4000).sb(17, -0x4000);
    b.ub(5, 11).sb(11, -100).sb(11, 300).align();
    ByteReader r(b.data());
    const Matrix m = readMatrix(r);
    EXPECT_DOUBLE_EQ(m.a, 2.0);
    EXPECT_DOUBLE_EQ(m.d, -0.5);
    EXPECT_DOUBLE_EQ(m.b, 0.25);
    EXPECT_DOUBLE_EQ(m.c, -0.25);
    EXPECT_DOUBLE_EQ(m.tx, -100);
    EXPECT_DOUBLE_EQ(m.ty, 300);
    EXPECT_EQ(r.position(), b.size());
}

TEST(BasicRecords, ColorTransformWithAndWithoutAlpha) {
    Bytes plain;
    plain.ub(1, 1)
        .ub(1, 1)
        .ub(4, 10)
        .sb(10, 128)
        .sb(10, 256)
        .sb(10, -256)
        .sb(10, 10)
        .sb(10, -20)
        .sb(10, 255)
        .align();
    ByteReader r1(plain.data());
    const ColorTransform a = readColorTransform(r1, false);
    EXPECT_EQ(a.multR, 128);
    EXPECT_EQ(a.multB, -256);
    EXPECT_EQ(a.multA, 256) << "no alpha in CXFORM";
    EXPECT_EQ(a.addG, -20);
    EXPECT_EQ(a.addB, 255);
    EXPECT_EQ(r1.position(), plain.size());

    Bytes alpha;
    alpha.ub(1, 1).ub(1, 0).ub(4, 9).sb(9, 1).sb(9, 2).sb(9, 3).sb(9, -4).align();
    ByteReader r2(alpha.data());
    const ColorTransform b = readColorTransform(r2, true);
    EXPECT_EQ(b.multR, 256);
    EXPECT_EQ(b.addA, -4);
    EXPECT_EQ(b.addR, 1);
}

namespace {

/// DefineShape body: id 1, bounds, the given style bytes, then one square drawn with fill 1.
std::vector<std::uint8_t> shapeTag(std::uint16_t code, const Bytes& styles) {
    Bytes b;
    b.u16(1).rect(0, 100, 0, 100);
    if (code == tag::DefineShape4) {
        b.rect(0, 100, 0, 100).u8(0x05);
    }
    b.append(styles.data()).u8(0x44); // 4 fill bits, 4 line bits
    b.moveStyle(0, 0, 0, 1, 1)
        .lineTo(100, 0)
        .lineTo(0, 100)
        .lineTo(-100, 0)
        .lineTo(0, -100)
        .endShape();
    return test::tag(code, b.data());
}

const Shape& onlyShape(const std::unique_ptr<Movie>& m) {
    static const Shape empty;
    const Shape* s = m ? m->findAs<Shape>(1) : nullptr;
    EXPECT_NE(s, nullptr);
    return s ? *s : empty;
}

} // namespace

TEST(ShapeStyles, SolidColoursAreRgbBeforeVersionThreeAndRgbaFrom) {
    Bytes v2;
    v2.u8(1).u8(0x00).rgb(10, 20, 30).u8(1).u16(40).rgb(1, 2, 3);
    auto m2 = test::load(shapeTag(tag::DefineShape2, v2));
    const Shape& s2 = onlyShape(m2);
    ASSERT_EQ(s2.styles.fills.size(), 1u);
    EXPECT_EQ(s2.styles.fills[0].color, (Rgba{10, 20, 30, 255}));
    ASSERT_EQ(s2.styles.lines.size(), 1u);
    EXPECT_EQ(s2.styles.lines[0].width, 40);
    EXPECT_EQ(s2.styles.lines[0].color, (Rgba{1, 2, 3, 255}));
    EXPECT_EQ(s2.records.size(), 5u);
    EXPECT_TRUE(m2->diagnostics.empty());

    Bytes v3;
    v3.u8(1).u8(0x00).rgba(10, 20, 30, 40).u8(1).u16(40).rgba(1, 2, 3, 4);
    auto m3 = test::load(shapeTag(tag::DefineShape3, v3));
    const Shape& s3 = onlyShape(m3);
    ASSERT_EQ(s3.styles.fills.size(), 1u);
    EXPECT_EQ(s3.styles.fills[0].color, (Rgba{10, 20, 30, 40}));
    EXPECT_EQ(s3.styles.lines[0].color, (Rgba{1, 2, 3, 4}));
    EXPECT_EQ(s3.records.size(), 5u);
}

TEST(ShapeStyles, ExtendedCountsFromVersionTwoOnly) {
    Bytes v2;
    v2.u8(0xFF).u16(300);
    for (int i = 0; i < 300; ++i) {
        v2.u8(0x00).rgb(static_cast<std::uint8_t>(i), 0, 0);
    }
    v2.u8(0);
    auto m = test::load(shapeTag(tag::DefineShape2, v2));
    const Shape& s = onlyShape(m);
    ASSERT_EQ(s.styles.fills.size(), 300u);
    EXPECT_EQ(s.styles.fills[299].color.r, static_cast<std::uint8_t>(299));

    // In the first version 0xFF is a plain count of 255.
    Bytes v1;
    v1.u8(0xFF);
    for (int i = 0; i < 255; ++i) {
        v1.u8(0x00).rgb(0, static_cast<std::uint8_t>(i), 0);
    }
    v1.u8(0);
    auto m1 = test::load(shapeTag(tag::DefineShape, v1));
    const Shape& s1 = onlyShape(m1);
    ASSERT_EQ(s1.styles.fills.size(), 255u);
    EXPECT_EQ(s1.styles.fills[254].color.g, 254);
    EXPECT_EQ(s1.records.size(), 5u);
}

TEST(ShapeStyles, GradientsKeepSpreadInterpolationRecordsAndFocalPoint) {
    Bytes st;
    st.u8(2);
    st.u8(0x10)
        .translate(5, 6)
        .u8(0x40 | 0x10 | 2)
        .u8(0)
        .rgba(255, 0, 0, 255)
        .u8(255)
        .rgba(0, 0, 255, 128);
    st.u8(0x13).identity().u8(0xC0 | 1).u8(128).rgba(1, 1, 1, 1).u16(0xFF80); // focal -0.5
    st.u8(0);
    auto m = test::load(shapeTag(tag::DefineShape3, st));
    const Shape& s = onlyShape(m);
    ASSERT_EQ(s.styles.fills.size(), 2u);
    const FillStyle& lin = s.styles.fills[0];
    EXPECT_EQ(lin.type, FillType::LinearGradient);
    EXPECT_EQ(lin.matrix.tx, 5);
    EXPECT_EQ(lin.gradient.spread, SpreadMode::Reflect);
    EXPECT_EQ(lin.gradient.interpolation, InterpolationMode::LinearRgb);
    ASSERT_EQ(lin.gradient.records.size(), 2u);
    EXPECT_EQ(lin.gradient.records[1].ratio, 255);
    EXPECT_EQ(lin.gradient.records[1].color, (Rgba{0, 0, 255, 128}));
    const FillStyle& focal = s.styles.fills[1];
    EXPECT_EQ(focal.type, FillType::FocalGradient);
    EXPECT_EQ(focal.gradient.spread, SpreadMode::Reserved);
    EXPECT_DOUBLE_EQ(focal.gradient.focalPoint, -0.5);
    EXPECT_EQ(s.records.size(), 5u);
}

TEST(ShapeStyles, FocalPointIsReadEvenInEarlyShapeVersions) {
    Bytes st;
    st.u8(1).u8(0x13).identity().u8(1).u8(0).rgb(9, 9, 9).u16(0x0040).u8(0);
    auto m = test::load(shapeTag(tag::DefineShape2, st));
    const Shape& s = onlyShape(m);
    ASSERT_EQ(s.styles.fills.size(), 1u);
    EXPECT_DOUBLE_EQ(s.styles.fills[0].gradient.focalPoint, 0.25);
    EXPECT_EQ(s.records.size(), 5u);
}

TEST(ShapeStyles, BitmapFillBitsSayClippedAndSmoothed) {
    Bytes st;
    st.u8(4);
    for (std::uint8_t type = 0x40; type <= 0x43; ++type) {
        st.u8(type).u16(7u + type).translate(20, 40);
    }
    st.u8(0);
    auto m = test::load(shapeTag(tag::DefineShape3, st));
    const Shape& s = onlyShape(m);
    ASSERT_EQ(s.styles.fills.size(), 4u);
    EXPECT_FALSE(s.styles.fills[0].bitmapClipped());
    EXPECT_TRUE(s.styles.fills[0].bitmapSmoothed());
    EXPECT_TRUE(s.styles.fills[1].bitmapClipped());
    EXPECT_FALSE(s.styles.fills[2].bitmapSmoothed());
    EXPECT_TRUE(s.styles.fills[3].bitmapClipped());
    EXPECT_EQ(s.styles.fills[3].bitmapId, 7 + 0x43);
    EXPECT_EQ(s.styles.fills[3].matrix.ty, 40);
    EXPECT_TRUE(s.styles.fills[0].isBitmap());
}

TEST(ShapeStyles, LineStyleTwoCarriesCapsJoinsFlagsAndFill) {
    Bytes st;
    st.u8(0).u8(3);
    // Square start cap, miter join (limit 2.5), no-h-scale, pixel hinting; no-close, none end.
    st.u16(60).u8(0x80 | 0x20 | 0x04 | 0x01).u8(0x04 | 0x01).u16(0x0280).rgba(5, 6, 7, 8);
    // Bevel join with a solid fill instead of a colour, no-v-scale.
    st.u16(30).u8(0x10 | 0x08 | 0x02).u8(0x00).u8(0x00).rgba(9, 9, 9, 9);
    // Invalid cap (3) and join (3) read as round.
    st.u16(10).u8(0xF0).u8(0x03).rgba(0, 0, 0, 255);
    auto m = test::load(shapeTag(tag::DefineShape4, st));
    const Shape& s = onlyShape(m);
    ASSERT_EQ(s.styles.lines.size(), 3u);
    const LineStyle& a = s.styles.lines[0];
    EXPECT_EQ(a.width, 60);
    EXPECT_EQ(a.startCap, CapStyle::Square);
    EXPECT_EQ(a.endCap, CapStyle::None);
    EXPECT_EQ(a.join, JoinStyle::Miter);
    EXPECT_DOUBLE_EQ(a.miterLimit, 2.5);
    EXPECT_TRUE(a.noHScale);
    EXPECT_FALSE(a.noVScale);
    EXPECT_TRUE(a.pixelHinting);
    EXPECT_TRUE(a.noClose);
    EXPECT_EQ(a.color, (Rgba{5, 6, 7, 8}));
    EXPECT_FALSE(a.fill.has_value());
    const LineStyle& b = s.styles.lines[1];
    EXPECT_EQ(b.join, JoinStyle::Bevel);
    EXPECT_TRUE(b.noVScale);
    ASSERT_TRUE(b.fill.has_value());
    EXPECT_EQ(b.fill->color, (Rgba{9, 9, 9, 9}));
    const LineStyle& c = s.styles.lines[2];
    EXPECT_EQ(c.startCap, CapStyle::Round);
    EXPECT_EQ(c.endCap, CapStyle::Round);
    EXPECT_EQ(c.join, JoinStyle::Round);
    EXPECT_TRUE(s.usesFillWindingRule);
    EXPECT_TRUE(s.usesScalingStrokes);
    EXPECT_FALSE(s.usesNonScalingStrokes);
    EXPECT_EQ(s.records.size(), 5u);
}

TEST(ShapeStyles, UnknownFillTypeEndsTheShapeWithADiagnostic) {
    Bytes st;
    st.u8(2).u8(0x00).rgb(1, 1, 1).u8(0x33).u8(0);
    auto m = test::load(shapeTag(tag::DefineShape2, st));
    const Shape& s = onlyShape(m);
    EXPECT_EQ(s.styles.fills.size(), 1u);
    EXPECT_TRUE(s.records.empty());
    EXPECT_TRUE(m->has(Issue::InvalidRecord));
}

TEST(ShapeRecords, EdgesAndStyleChangesDecodeAllForms) {
    Bytes b;
    b.u16(1).rect(0, 100, 0, 100).u8(1).u8(0).rgb(0, 0, 0).u8(0).u8(0x44);
    b.moveStyle(-30, 40, 0, 1, 0);
    b.ub(1, 1).ub(1, 1).ub(4, 3).ub(1, 0).ub(1, 0).sb(5, -7); // horizontal -7
    b.ub(1, 1).ub(1, 1).ub(4, 3).ub(1, 0).ub(1, 1).sb(5, 9);  // vertical +9
    b.ub(1, 1).ub(1, 1).ub(4, 0).ub(1, 1).sb(2, -2).sb(2, 1); // general, 2-bit fields
    b.curveTo(5, -6, 7, -8);
    b.endShape();
    auto m = test::load(test::tag(tag::DefineShape, b.data()));
    const Shape& s = onlyShape(m);
    ASSERT_EQ(s.records.size(), 5u);
    const auto& move = std::get<StyleChange>(s.records[0]);
    EXPECT_TRUE(move.hasMoveTo);
    EXPECT_EQ(move.moveX, -30);
    EXPECT_EQ(move.moveY, 40);
    EXPECT_EQ(move.fill0, 0u);
    EXPECT_EQ(move.fill1, 1u);
    EXPECT_FALSE(move.newStyles);
    const auto& h = std::get<StraightEdge>(s.records[1]);
    EXPECT_EQ(h.dx, -7);
    EXPECT_EQ(h.dy, 0);
    const auto& v = std::get<StraightEdge>(s.records[2]);
    EXPECT_EQ(v.dx, 0);
    EXPECT_EQ(v.dy, 9);
    const auto& g = std::get<StraightEdge>(s.records[3]);
    EXPECT_EQ(g.dx, -2);
    EXPECT_EQ(g.dy, 1);
    const auto& c = std::get<CurvedEdge>(s.records[4]);
    EXPECT_EQ(c.controlDx, 5);
    EXPECT_EQ(c.anchorDy, -8);
}

TEST(ShapeRecords, NewStylesRereadIndexBitCountsEvenInTheFirstVersion) {
    Bytes b;
    b.u16(1).rect(0, 100, 0, 100).u8(1).u8(0).rgb(1, 0, 0).u8(0).u8(0x10); // 1 fill bit
    b.ub(1, 0).ub(5, 0x04).ub(1, 1);                                       // fill1 = 1
    b.lineTo(10, 0);
    b.ub(1, 0).ub(5, 0x10 | 0x04).ub(1, 1).align();               // new styles, fill1 (1 bit) = 1
    b.u8(2).u8(0).rgb(0, 1, 0).u8(0).rgb(0, 0, 1).u8(0).u8(0x30); // 3 fill bits from here
    b.ub(1, 0).ub(5, 0x04).ub(3, 2);                              // fill1 = 2 with three bits
    b.lineTo(0, 10).endShape();
    auto m = test::load(test::tag(tag::DefineShape, b.data()));
    const Shape& s = onlyShape(m);
    ASSERT_EQ(s.records.size(), 5u);
    const auto& change = std::get<StyleChange>(s.records[2]);
    ASSERT_TRUE(change.newStyles);
    EXPECT_EQ(change.newStyles->fills.size(), 2u);
    EXPECT_EQ(change.newStyles->fills[1].color, (Rgba{0, 0, 1, 255}));
    EXPECT_EQ(std::get<StyleChange>(s.records[3]).fill1, 2u);
    EXPECT_EQ(std::get<StraightEdge>(s.records[4]).dy, 10);
    EXPECT_TRUE(m->diagnostics.empty());
}

TEST(ShapeRecords, RecordLimitStopsHugeShapes) {
    Bytes b;
    b.u16(1).rect(0, 100, 0, 100).u8(0).u8(0).u8(0x00);
    for (int i = 0; i < 50; ++i) {
        b.lineTo(1, 1);
    }
    b.endShape();
    LoadLimits limits;
    limits.maxRecordsPerShape = 20;
    auto result = loadMovie(test::movie(test::tag(tag::DefineShape, b.data())), limits);
    ASSERT_TRUE(result.ok());
    const Shape* s = result.movie->findAs<Shape>(1);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->records.size(), 20u);
    EXPECT_TRUE(result.movie->has(Issue::WorkLimitReached));
}
