// Value records, styles and shape records, read through the tags that carry them.
#include "SwfBytes.h"
#include "swf/TagCodes.h"

#include <gtest/gtest.h>

using namespace swf;
using swf::test::Bytes;

namespace {

// DefineShape body: id 1, bounds, the given style bytes, then one square drawn with fill 1.
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

// The reserved spread value is kept as read (the painter treats it as pad).
TEST(ShapeStyles, ReservedSpreadIsKeptAsRead) {
    Bytes st;
    st.u8(1).u8(0x13).identity().u8(0xC0 | 1).u8(128).rgba(1, 1, 1, 1).u16(0xFF80).u8(0);
    auto m = test::load(shapeTag(tag::DefineShape3, st));
    const Shape& s = onlyShape(m);
    ASSERT_EQ(s.styles.fills.size(), 1u);
    EXPECT_EQ(s.styles.fills[0].gradient.spread, SpreadMode::Reserved);
    EXPECT_DOUBLE_EQ(s.styles.fills[0].gradient.focalPoint, -0.5);
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

// Cap and join values past the known ones draw as round, as players draw them.
TEST(ShapeStyles, UnknownCapsAndJoinsReadAsRound) {
    Bytes st;
    st.u8(0).u8(1);
    st.u16(10).u8(0xF0).u8(0x03).rgba(0, 0, 0, 255);
    auto m = test::load(shapeTag(tag::DefineShape4, st));
    const Shape& s = onlyShape(m);
    ASSERT_EQ(s.styles.lines.size(), 1u);
    const LineStyle& c = s.styles.lines[0];
    EXPECT_EQ(c.startCap, CapStyle::Round);
    EXPECT_EQ(c.endCap, CapStyle::Round);
    EXPECT_EQ(c.join, JoinStyle::Round);
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
