#include "BitString.h"
#include "testsupport/SwfWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <stdexcept>

namespace swftest {
namespace {

using testing::bits;
using testing::concat;
using Bytes = std::vector<uint8_t>;

Bytes inflate(const Bytes& body, std::size_t from, std::size_t expectedSize) {
    Bytes out(expectedSize + 64);
    uLongf size = static_cast<uLongf>(out.size());
    if (uncompress(out.data(), &size, body.data() + from, static_cast<uLong>(body.size() - from)) !=
        Z_OK) {
        return {};
    }
    out.resize(size);
    return out;
}

MorphShape growingBar() {
    MorphShape m;
    m.addFill(MorphFillStyle::solid({255, 0, 0, 255}, {0, 0, 255, 255}));
    m.start().fill1(1).moveTo(0, 0).lineTo(20, 0);
    m.end().moveTo(0, 0).lineTo(40, 0);
    return m;
}

TEST(MorphShapeEncoding, FirstVersionByteForByte) {
    const Bytes expected = concat({
        {0x01, 0x00},
        bits("00110 000000 010100 000000 000000"),                    // start bounds
        bits("00111 0000000 0101000 0000000 0000000"),                // end bounds
        {0x10, 0x00, 0x00, 0x00},                                     // 16 bytes to the end edges
        {0x01, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF}, // red to blue
        {0x00},                                                       // no lines
        bits("0001 0000 000101 00000 1 11 0100 0 0 010100 000000"),
        bits("0000 0000 000001 00000 11 0101 0 0 0101000 000000"),
    });
    EXPECT_EQ(encodeDefineMorphShape(1, growingBar(), 1), expected);
}

TEST(MorphShapeEncoding, SecondVersionAddsEdgeBoundsAndLineStyle2) {
    MorphShape m = growingBar();
    MorphLineStyle l;
    l.startWidth = 20;
    l.endWidth = 60;
    l.noVScale = true;
    l.join = JoinStyle::Bevel;
    m.addLine(l);
    const Bytes body = encodeDefineMorphShape(9, m, 2);
    // id, start bounds widened by 10, end bounds by 30, then the two edge bounds.
    const Bytes head = concat({{0x09, 0x00},
                               bits("00110 110110 011110 110110 001010"),
                               bits("01000 11100010 01000110 11100010 00011110"),
                               bits("00110 000000 010100 000000 000000"),
                               bits("00111 0000000 0101000 0000000 0000000"),
                               bits("000000 1 0")});
    ASSERT_GT(body.size(), head.size() + 4);
    EXPECT_EQ(Bytes(body.begin(), body.begin() + static_cast<long>(head.size())), head);
    // The offset leads to an end shape with zero index widths and a move first.
    const std::size_t at = head.size();
    const uint32_t offset = body[at] | body[at + 1] << 8 | body[at + 2] << 16 | body[at + 3] << 24;
    ASSERT_LT(at + 4 + offset, body.size());
    EXPECT_EQ(body[at + 4 + offset], 0x00);
    EXPECT_EQ(body[at + 5 + offset] >> 2, 0b000001);
    // Line style: widths 20 and 60, flags (bevel, no vertical scale), two colours.
    const Bytes lineStyle{0x14, 0x00, 0x3C, 0x00, 0x12, 0x00};
    EXPECT_NE(std::search(body.begin(), body.end(), lineStyle.begin(), lineStyle.end()),
              body.end());
}

TEST(MorphShapeEncoding, RefusesPathsOfDifferentLength) {
    MorphShape m = growingBar();
    m.end().lineTo(40, 40);
    EXPECT_THROW(encodeDefineMorphShape(1, m, 1), std::invalid_argument);
    EXPECT_THROW(encodeDefineMorphShape(1, growingBar(), 3), std::invalid_argument);
}

TEST(MorphShapeEncoding, GradientStopsAndFocalPointsForBothEnds) {
    MorphShape m;
    MorphFillStyle f =
        MorphFillStyle::gradient(FillType::Focal, {}, {}, {{0, {1, 2, 3, 4}, 255, {5, 6, 7, 8}}});
    f.startFocalPoint = 0.5;
    f.endFocalPoint = -0.5;
    f.spread = SpreadMode::Repeat;
    m.addFill(f);
    const Bytes fill{0x01, 0x13, 0x00, 0x00, 0x81, 0x00, 1,    2,    3,   4,
                     0xFF, 5,    6,    7,    8,    0x80, 0x00, 0x80, 0xFF};
    const Bytes v2 = encodeDefineMorphShape(1, m, 2);
    EXPECT_NE(std::search(v2.begin(), v2.end(), fill.begin(), fill.end()), v2.end());
    // The first version has no spread bits: the count byte is the plain count.
    Bytes v1Fill = fill;
    v1Fill[4] = 0x01;
    const Bytes v1 = encodeDefineMorphShape(1, m, 1);
    EXPECT_NE(std::search(v1.begin(), v1.end(), v1Fill.begin(), v1Fill.end()), v1.end());
}

TEST(LosslessEncoding, ArgbSecondVersionIsPremultiplied) {
    RawImage image{2, 1, {{255, 128, 0, 128}, {10, 20, 30, 255}}};
    const Bytes body = encodeDefineBitsLossless(4, image, 2, LosslessFormat::Argb32);
    ASSERT_GT(body.size(), 7u);
    EXPECT_EQ(Bytes(body.begin(), body.begin() + 7), (Bytes{0x04, 0x00, 5, 2, 0, 1, 0}));
    EXPECT_EQ(inflate(body, 7, 8), (Bytes{128, 128, 64, 0, 255, 10, 20, 30}));
}

TEST(LosslessEncoding, ArgbFirstVersionHasAnOpaquePadByte) {
    RawImage image{1, 1, {{255, 128, 0, 0}}};
    const Bytes body = encodeDefineBitsLossless(1, image, 1, LosslessFormat::Argb32);
    EXPECT_EQ(inflate(body, 7, 4), (Bytes{255, 255, 128, 0}));
}

TEST(LosslessEncoding, PaletteRowsArePaddedToFourBytes) {
    const Rgba red{255, 0, 0, 255};
    const Rgba green{0, 255, 0, 255};
    const Rgba clear{0, 0, 255, 0};
    RawImage image{3, 2, {red, green, red, clear, clear, green}};
    const Bytes v1 = encodeDefineBitsLossless(1, image, 1, LosslessFormat::Palette8);
    ASSERT_GT(v1.size(), 8u);
    EXPECT_EQ(v1[7], 2); // three colours, stored as count - 1
    EXPECT_EQ(inflate(v1, 8, 17), (Bytes{255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 1, 0, 0, 2, 2, 1, 0}));
    const Bytes v2 = encodeDefineBitsLossless(1, image, 2, LosslessFormat::Palette8);
    EXPECT_EQ(inflate(v2, 8, 20),
              (Bytes{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 1, 0, 0, 2, 2, 1, 0}));
}

TEST(LosslessEncoding, FifteenBitRowsArePaddedToEvenPixels) {
    RawImage image{1, 2, {{255, 0, 0, 255}, {0, 0, 255, 255}}};
    const Bytes body = encodeDefineBitsLossless(1, image, 1, LosslessFormat::Rgb15);
    EXPECT_EQ(inflate(body, 7, 8), (Bytes{0x7C, 0x00, 0x00, 0x00, 0x00, 0x1F, 0x00, 0x00}));
    EXPECT_THROW(encodeDefineBitsLossless(1, image, 2, LosslessFormat::Rgb15),
                 std::invalid_argument);
}

TEST(LosslessEncoding, RefusesBadImages) {
    RawImage wrongSize{2, 2, {{}}};
    EXPECT_THROW(encodeDefineBitsLossless(1, wrongSize, 2, LosslessFormat::Argb32),
                 std::invalid_argument);
    RawImage manyColours{300, 1, {}};
    for (int i = 0; i < 300; ++i) {
        manyColours.pixels.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(i / 256), 0});
    }
    EXPECT_THROW(encodeDefineBitsLossless(1, manyColours, 2, LosslessFormat::Palette8),
                 std::invalid_argument);
}

Font twoGlyphFont() {
    Font font;
    font.name = "Abc";
    font.bold = true;
    font.languageCode = 1;
    font.ascent = 900;
    font.descent = 200;
    font.leading = -4;
    Glyph a;
    a.code = 'A';
    a.advance = 600;
    a.outline.moveTo(0, 0).lineTo(20, 0);
    Glyph space;
    space.code = ' ';
    space.advance = 300;
    font.glyphs = {a, space};
    return font;
}

TEST(FontEncoding, ThirdVersionTablesByteForByte) {
    const Bytes glyphA = bits("0001 0000 000011 00000 1 11 0100 0 0 010100 000000");
    const Bytes glyphSpace = bits("0001 0000 000010 1 000000");
    const Bytes expected = concat({
        {0x02, 0x00, 0x85, 0x01, 0x03, 'A', 'b', 'c', 0x02, 0x00},
        {0x06, 0x00, 0x0B, 0x00, 0x0E, 0x00}, // glyph offsets, then the code table's
        glyphA,
        glyphSpace,
        {'A', 0x00, ' ', 0x00},
        {0x84, 0x03, 0xC8, 0x00, 0xFC, 0xFF}, // ascent, descent, leading
        {0x58, 0x02, 0x2C, 0x01},             // advances
        bits("00110 000000 010100 000000 000000"),
        {0x00},       // the empty glyph's bounds
        {0x00, 0x00}, // no kerning
    });
    EXPECT_EQ(encodeDefineFont(2, twoGlyphFont(), 3), expected);
}

TEST(FontEncoding, WideOffsetsWhenOutlinesPassSixtyFourKilobytes) {
    Font font;
    Glyph big;
    for (int i = 0; i < 20000; ++i) {
        big.outline.lineTo(i % 2 == 0 ? 5000 : 0, i % 2 == 0 ? 5000 : 0);
    }
    font.glyphs = {big};
    const Bytes body = encodeDefineFont(1, font, 3);
    EXPECT_EQ(body[2] & 0x08, 0x08);
    // One glyph: its offset (8) and the code table offset, each in four bytes.
    EXPECT_EQ(Bytes(body.begin() + 7, body.begin() + 11), (Bytes{0x08, 0x00, 0x00, 0x00}));
}

TEST(FontEncoding, FirstVersionIsOffsetsAndOutlines) {
    const Bytes expected = concat({{0x03, 0x00, 0x04, 0x00, 0x09, 0x00},
                                   bits("0001 0000 000011 00000 1 11 0100 0 0 010100 000000"),
                                   bits("0001 0000 000010 1 000000")});
    EXPECT_EQ(encodeDefineFont(3, twoGlyphFont(), 1), expected);
}

TEST(TextEncoding, RecordFieldsAndGlyphEntries) {
    Text text;
    TextRecord record;
    record.fontId = 1;
    record.height = 240;
    record.color = Rgba{255, 0, 0, 128};
    record.xOffset = 10;
    record.glyphs = {{0, 100}, {3, 120}};
    text.records = {record};
    EXPECT_EQ(encodeDefineText(5, text, 2),
              concat({{0x05, 0x00, 0x00, 0x00, 0x02, 0x08}, // id, bounds, matrix, widths
                      {0x8D, 0x01, 0x00, 0xFF, 0x00, 0x00, 0x80, 0x0A, 0x00, 0xF0, 0x00, 0x02},
                      bits("00 01100100 11 01111000"),
                      {0x00}}));
    EXPECT_EQ(encodeDefineText(5, text, 1),
              concat({{0x05, 0x00, 0x00, 0x00, 0x02, 0x08},
                      {0x8D, 0x01, 0x00, 0xFF, 0x00, 0x00, 0x0A, 0x00, 0xF0, 0x00, 0x02},
                      bits("00 01100100 11 01111000"),
                      {0x00}}));
}

TEST(TextEncoding, FollowUpRecordsWithoutFontOmitTheHeight) {
    Text text;
    TextRecord record;
    record.yOffset = -20;
    record.height = 999; // not written without a font
    text.records = {record};
    EXPECT_EQ(encodeDefineText(1, text, 2),
              (Bytes{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x82, 0xEC, 0xFF, 0x00, 0x00}));
}

} // namespace
} // namespace swftest
