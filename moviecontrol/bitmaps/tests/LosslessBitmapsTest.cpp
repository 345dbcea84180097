#include "LosslessBitmaps.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace mc {
namespace {

using test::Bytes;

Bytes losslessBody(std::uint8_t format, std::uint16_t width, std::uint16_t height, const Bytes& raw,
                   int paletteSizeMinusOne = -1) {
    Bytes body{format};
    test::appendU16(body, width);
    test::appendU16(body, height);
    if (paletteSizeMinusOne >= 0) {
        body.push_back(static_cast<std::uint8_t>(paletteSizeMinusOne));
    }
    const Bytes packed = test::zlibCompress(raw);
    body.insert(body.end(), packed.begin(), packed.end());
    return body;
}

constexpr auto kOpaque = LosslessVersion::Opaque;
constexpr auto kAlpha = LosslessVersion::WithAlpha;

TEST(LosslessPalette, OpaqueVersionReadsRgbEntriesAndPaddedRows) {
    // Three entries (size field 2); width 3 pads each row to 4 bytes.
    const Bytes raw{255, 0, 0, /**/ 0, 255, 0, /**/ 0, 0, 255, //
                    0,   1, 2, 0xEE,                           //
                    2,   7, 1, 0xEE};
    const DecodedBitmap decoded = decodeDefineBitsLossless(losslessBody(3, 3, 2, raw, 2), kOpaque);
    ASSERT_EQ(decoded.status, BitmapStatus::Complete);
    ASSERT_EQ(decoded.image.size(), QSize(3, 2));
    EXPECT_EQ(decoded.image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(decoded.image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(decoded.image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(decoded.image.pixel(2, 0), qRgb(0, 0, 255));
    EXPECT_EQ(decoded.image.pixel(0, 1), qRgb(0, 0, 255)) << "padding byte skipped";
    EXPECT_EQ(decoded.image.pixel(1, 1), qRgb(0, 0, 0)) << "index past the palette is black";
    EXPECT_EQ(decoded.image.pixel(2, 1), qRgb(0, 255, 0));
}

TEST(LosslessPalette, AlphaVersionReadsPremultipliedRgbaEntries) {
    const Bytes raw{100, 50, 0, 128, /**/ 255, 255, 255, 255, //
                    0,   1,  9, 0};
    const DecodedBitmap decoded = decodeDefineBitsLossless(losslessBody(3, 3, 1, raw, 1), kAlpha);
    ASSERT_EQ(decoded.status, BitmapStatus::Complete);
    EXPECT_EQ(decoded.image.pixel(0, 0), qRgba(100, 50, 0, 128));
    EXPECT_EQ(decoded.image.pixel(1, 0), qRgba(255, 255, 255, 255));
    EXPECT_EQ(decoded.image.pixel(2, 0), 0u) << "index past the palette is transparent";
}

TEST(LosslessPalette, ShortPaletteLeavesMissingEntriesOut) {
    // Claims 4 entries but the data holds one and a half before running out.
    const Bytes raw{10, 20, 30, 40, 50};
    const DecodedBitmap decoded = decodeDefineBitsLossless(losslessBody(3, 2, 2, raw, 3), kOpaque);
    ASSERT_EQ(decoded.status, BitmapStatus::Partial);
    EXPECT_EQ(decoded.image.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(LosslessRgb15, RowsPadToEvenPixelCounts) {
    // Width 3: four 16-bit pixels per row, big-endian 0RRRRRGGGGGBBBBB.
    const Bytes raw{0x7C, 0x00, 0x03, 0xE0, 0x00, 0x1F, 0xAB, 0xCD, //
                    0x42, 0x10, 0x7F, 0xFF, 0x00, 0x00, 0xAB, 0xCD};
    const DecodedBitmap decoded = decodeDefineBitsLossless(losslessBody(4, 3, 2, raw), kOpaque);
    ASSERT_EQ(decoded.status, BitmapStatus::Complete);
    EXPECT_EQ(decoded.image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(decoded.image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(decoded.image.pixel(2, 0), qRgb(0, 0, 255));
    EXPECT_EQ(decoded.image.pixel(0, 1), qRgb(132, 132, 132)) << "16 of 31 rounds to 132";
    EXPECT_EQ(decoded.image.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(decoded.image.pixel(2, 1), qRgb(0, 0, 0));
}

TEST(LosslessRgb32, OpaqueVersionIgnoresTheFirstByte) {
    const Bytes raw{0x00, 10, 20, 30, /**/ 0x55, 200, 100, 50};
    const DecodedBitmap decoded = decodeDefineBitsLossless(losslessBody(5, 2, 1, raw), kOpaque);
    ASSERT_EQ(decoded.status, BitmapStatus::Complete);
    EXPECT_EQ(decoded.image.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(decoded.image.pixel(1, 0), qRgb(200, 100, 50));
}

TEST(LosslessRgb32, AlphaVersionKeepsStoredPremultipliedColour) {
    const Bytes raw{128, 64, 32, 16, /**/ 0, 0, 0, 0, /**/ 10, 200, 5, 10};
    const DecodedBitmap decoded = decodeDefineBitsLossless(losslessBody(5, 3, 1, raw), kAlpha);
    ASSERT_EQ(decoded.status, BitmapStatus::Complete);
    EXPECT_EQ(decoded.image.pixel(0, 0), qRgba(64, 32, 16, 128));
    EXPECT_EQ(decoded.image.pixel(1, 0), 0u);
    EXPECT_EQ(decoded.image.pixel(2, 0), qRgba(10, 5, 10, 10)) << "colour above alpha clamped";
    EXPECT_TRUE(test::validPremultiplied(decoded.image));
}

TEST(LosslessTruncation, MissingPixelsAreTransparentOrBlack) {
    Bytes raw;
    for (int i = 0; i < 4 * 4; ++i) {
        raw.insert(raw.end(), {255, 90, 80, 70});
    }
    const Bytes full = losslessBody(5, 4, 4, raw);
    // Drop the end of the zlib stream: roughly the last rows cannot be inflated.
    const Bytes cut(full.begin(), full.end() - 12);
    const DecodedBitmap alpha = decodeDefineBitsLossless(cut, kAlpha);
    ASSERT_EQ(alpha.status, BitmapStatus::Partial);
    EXPECT_EQ(alpha.image.pixel(3, 3), 0u);
    const DecodedBitmap opaque = decodeDefineBitsLossless(cut, kOpaque);
    ASSERT_EQ(opaque.status, BitmapStatus::Partial);
    EXPECT_EQ(opaque.image.pixel(3, 3), qRgb(0, 0, 0));

    Bytes corrupt = full;
    corrupt.resize(5);
    corrupt.insert(corrupt.end(), {0x00, 0x01, 0x02, 0x03});
    const DecodedBitmap garbage = decodeDefineBitsLossless(corrupt, kAlpha);
    ASSERT_EQ(garbage.status, BitmapStatus::Partial);
    EXPECT_EQ(garbage.image.pixel(0, 0), 0u);
}

TEST(LosslessTruncation, LastRowPaddingMayBeMissing) {
    const Bytes raw{0, 0, 0, 0xEE, /**/ 0, 0, 0}; // second row lacks its padding byte
    const Bytes palette{1, 2, 3};
    const DecodedBitmap decoded =
        decodeDefineBitsLossless(losslessBody(3, 3, 2, test::concat({palette, raw}), 0), kOpaque);
    EXPECT_EQ(decoded.status, BitmapStatus::Complete);
    EXPECT_EQ(decoded.image.pixel(2, 1), qRgb(1, 2, 3));
}

TEST(LosslessHeader, BadHeadersAreRefused) {
    EXPECT_EQ(decodeDefineBitsLossless(Bytes{5, 1, 0, 1}, kAlpha).status, BitmapStatus::Malformed);
    EXPECT_EQ(decodeDefineBitsLossless(Bytes{3, 1, 0, 1, 0}, kAlpha).status,
              BitmapStatus::Malformed)
        << "format 3 without its palette size";
    EXPECT_EQ(decodeDefineBitsLossless(losslessBody(7, 2, 2, Bytes(16, 0)), kAlpha).status,
              BitmapStatus::Unsupported);
    EXPECT_EQ(decodeDefineBitsLossless(losslessBody(4, 2, 2, Bytes(8, 0)), kAlpha).status,
              BitmapStatus::Unsupported)
        << "the alpha version has no 15-bit form";
    EXPECT_EQ(decodeDefineBitsLossless(losslessBody(5, 0, 2, Bytes{}), kAlpha).status,
              BitmapStatus::Malformed);
    // Refused from the header alone: the data would be far too short anyway.
    EXPECT_EQ(decodeDefineBitsLossless(losslessBody(5, 8193, 1, Bytes(4, 0)), kAlpha).status,
              BitmapStatus::TooLarge);
    EXPECT_EQ(decodeDefineBitsLossless(losslessBody(3, 1, 9000, Bytes(4, 0), 0), kOpaque).status,
              BitmapStatus::TooLarge);
}

TEST(LosslessBitmaps, HugeClaimOverLittleDataIsRefused) {
    // 8192 x 8192 pixels claimed over one row of data: nothing of that size is allocated.
    const Bytes oneRow(static_cast<std::size_t>(8192) * 4, 0xFF);
    const DecodedBitmap huge =
        decodeDefineBitsLossless(losslessBody(5, 8192, 8192, oneRow), kAlpha);
    EXPECT_EQ(huge.status, BitmapStatus::TooLarge);
    EXPECT_FALSE(huge.usable());
    // A small picture missing most of its data still shows the part it has.
    const DecodedBitmap small = decodeDefineBitsLossless(losslessBody(5, 64, 256, oneRow), kAlpha);
    EXPECT_EQ(small.status, BitmapStatus::Partial);
    EXPECT_TRUE(small.usable());
}

} // namespace
} // namespace mc
