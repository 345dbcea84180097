#include "JpegBitmaps.h"
#include "BitmapLimits.h"
#include "JpegDecoder.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace mc {
namespace {

using test::Bytes;

constexpr int kJpegTolerance = 12;

Bytes jpeg3Body(const Bytes& image, const Bytes& zlibAlpha) {
    Bytes body;
    test::appendU32(body, static_cast<std::uint32_t>(image.size()));
    return test::concat({body, image, zlibAlpha});
}

Bytes jpeg4Body(const Bytes& image, const Bytes& zlibAlpha, std::uint16_t deblock) {
    Bytes body;
    test::appendU32(body, static_cast<std::uint32_t>(image.size()));
    test::appendU16(body, deblock);
    return test::concat({body, image, zlibAlpha});
}

Bytes alphaPlane(int width, int height, std::uint8_t value) {
    return Bytes(static_cast<std::size_t>(width * height), value);
}

TEST(JpegBitmaps, DefineBitsUsesTheSharedTables) {
    const QImage picture = test::rampImage(20, 12);
    const test::SplitJpeg split = test::encodeSplitJpeg(picture);
    const DecodedBitmap decoded = decodeDefineBits(split.image, split.tables);
    ASSERT_EQ(decoded.status, BitmapStatus::Complete);
    EXPECT_EQ(decoded.image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_LE(test::maxChannelDifference(decoded.image, picture), kJpegTolerance);
    // Without the tables the abbreviated stream cannot be decoded.
    EXPECT_FALSE(decodeDefineBits(split.image, {}).usable());
}

TEST(JpegBitmaps, Jpeg2DecodesStreamsWithOldEncoderMarkers) {
    const QImage picture = test::rampImage(16, 16);
    const Bytes clean = test::encodeJpeg(picture);
    const Bytes stray = test::concat({Bytes{0xFF, 0xD9, 0xFF, 0xD8}, clean});
    for (const Bytes& body : {clean, stray}) {
        const DecodedBitmap decoded = decodeDefineBitsJpeg2(body);
        ASSERT_EQ(decoded.status, BitmapStatus::Complete);
        EXPECT_LE(test::maxChannelDifference(decoded.image, picture), kJpegTolerance);
    }
}

TEST(JpegBitmaps, Jpeg2AcceptsPngAndGifData) {
    QImage picture(5, 3, QImage::Format_ARGB32);
    picture.fill(qRgba(200, 100, 50, 255));
    picture.setPixel(1, 1, qRgba(255, 255, 255, 128));
    picture.setPixel(2, 1, qRgba(0, 0, 0, 0));

    const DecodedBitmap png = decodeDefineBitsJpeg2(test::encodeWithQt(picture, "PNG"));
    ASSERT_EQ(png.status, BitmapStatus::Complete);
    EXPECT_EQ(png.image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(png.image.pixel(0, 0), qRgba(200, 100, 50, 255));
    EXPECT_EQ(qAlpha(png.image.pixel(1, 1)), 128);
    EXPECT_LE(qRed(png.image.pixel(1, 1)), 128) << "colour premultiplied";
    EXPECT_GE(qRed(png.image.pixel(1, 1)), 127);
    EXPECT_EQ(png.image.pixel(2, 1), 0u);

    // Qt writes no GIF: a 2x1 picture by hand, palette red and blue, pixels 0 and 1.
    const Bytes gifFile{'G',  'I', 'F',  '8',  '9', 'a',  2, 0, 1, 0, 0x80, 0, 0, // screen
                        0xFF, 0,   0,    0,    0,   0xFF,                         // palette
                        ',',  0,   0,    0,    0,   2,    0, 1, 0, 0,             // image
                        2,    2,   0x44, 0x0A, 0,   ';'};
    const DecodedBitmap gif = decodeDefineBitsJpeg2(gifFile);
    ASSERT_EQ(gif.status, BitmapStatus::Complete);
    ASSERT_EQ(gif.image.size(), QSize(2, 1));
    EXPECT_EQ(gif.image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(gif.image.pixel(1, 0), qRgb(0, 0, 255));
}

TEST(JpegBitmaps, Jpeg3AppliesAlphaAndClampsColourToIt) {
    QImage white(4, 2, QImage::Format_ARGB32_Premultiplied);
    white.fill(qRgb(255, 255, 255));
    Bytes alpha = alphaPlane(4, 2, 255);
    alpha[1] = 128;
    alpha[7] = 0;
    const DecodedBitmap decoded =
        decodeDefineBitsJpeg3(jpeg3Body(test::encodeJpeg(white, 100), test::zlibCompress(alpha)));
    ASSERT_EQ(decoded.status, BitmapStatus::Complete);
    EXPECT_TRUE(test::validPremultiplied(decoded.image));
    EXPECT_EQ(qAlpha(decoded.image.pixel(0, 0)), 255);
    EXPECT_GE(qRed(decoded.image.pixel(0, 0)), 250);
    EXPECT_EQ(decoded.image.pixel(1, 0), qRgba(128, 128, 128, 128));
    EXPECT_EQ(decoded.image.pixel(3, 1), 0u);
}

TEST(JpegBitmaps, Jpeg3AlphaPlaneShortOrMissing) {
    const QImage picture = test::rampImage(4, 4);
    const Bytes jpeg = test::encodeJpeg(picture);

    const DecodedBitmap noAlpha = decodeDefineBitsJpeg3(jpeg3Body(jpeg, {}));
    ASSERT_EQ(noAlpha.status, BitmapStatus::Complete);
    EXPECT_EQ(qAlpha(noAlpha.image.pixel(3, 3)), 255);

    const Bytes half = alphaPlane(4, 2, 200);
    const DecodedBitmap shortAlpha =
        decodeDefineBitsJpeg3(jpeg3Body(jpeg, test::zlibCompress(half)));
    ASSERT_EQ(shortAlpha.status, BitmapStatus::Partial);
    EXPECT_EQ(qAlpha(shortAlpha.image.pixel(0, 1)), 200);
    EXPECT_EQ(shortAlpha.image.pixel(0, 2), 0u) << "pixels the plane does not reach vanish";

    const DecodedBitmap broken =
        decodeDefineBitsJpeg3(jpeg3Body(jpeg, Bytes{0x78, 0x9C, 0xFF, 0xFF}));
    EXPECT_TRUE(broken.usable());
    EXPECT_EQ(broken.status, BitmapStatus::Partial);
}

TEST(JpegBitmaps, Jpeg3ImageLengthIsAClaim) {
    const Bytes jpeg = test::encodeJpeg(test::rampImage(8, 8));
    Bytes body;
    test::appendU32(body, 0xFFFFFFFFu);
    body.insert(body.end(), jpeg.begin(), jpeg.end());
    const DecodedBitmap decoded = decodeDefineBitsJpeg3(body);
    EXPECT_TRUE(decoded.usable());
    EXPECT_EQ(decoded.status, BitmapStatus::Partial);
    EXPECT_EQ(decodeDefineBitsJpeg3(Bytes{1, 0}).status, BitmapStatus::Malformed);
}

TEST(JpegBitmaps, Jpeg3WithPngKeepsThePngAlpha) {
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.fill(qRgba(0, 0, 255, 64));
    const DecodedBitmap decoded = decodeDefineBitsJpeg3(
        jpeg3Body(test::encodeWithQt(picture, "PNG"), test::zlibCompress(alphaPlane(2, 2, 255))));
    ASSERT_EQ(decoded.status, BitmapStatus::Complete);
    EXPECT_EQ(qAlpha(decoded.image.pixel(1, 1)), 64);
}

TEST(JpegBitmaps, Jpeg4SkipsTheDeblockingField) {
    const QImage picture = test::rampImage(32, 16);
    const DecodedBitmap decoded = decodeDefineBitsJpeg4(
        jpeg4Body(test::encodeJpeg(picture), test::zlibCompress(alphaPlane(32, 16, 255)), 0x0100));
    ASSERT_EQ(decoded.status, BitmapStatus::Complete);
    EXPECT_LE(test::maxChannelDifference(decoded.image, picture), kJpegTolerance);
}

TEST(JpegDecoder, GreyAndCmykStreams) {
    const QImage picture = test::rampImage(16, 8);
    const DecodedBitmap grey = decodeJpegStream(test::encodeGreyJpeg(picture));
    ASSERT_EQ(grey.status, BitmapStatus::Complete);
    const QRgb p = grey.image.pixel(5, 5);
    EXPECT_EQ(qRed(p), qGreen(p));
    EXPECT_EQ(qGreen(p), qBlue(p));
    EXPECT_NEAR(qRed(p), qGray(picture.pixel(5, 5)), 4);

    // libjpeg marks CMYK with the Adobe segment and stores the values inverted, so stored
    // (0, 255, 255, 255) reads as full cyan ink on white: no red, full green and blue.
    const DecodedBitmap cmyk = decodeJpegStream(test::encodeCmykJpeg(8, 8, 0, 255, 255, 255));
    ASSERT_EQ(cmyk.status, BitmapStatus::Complete);
    const QRgb c = cmyk.image.pixel(3, 3);
    EXPECT_LE(qRed(c), 3);
    EXPECT_GE(qGreen(c), 252);
    EXPECT_GE(qBlue(c), 252);
    EXPECT_EQ(qAlpha(c), 255);
}

TEST(JpegDecoder, TruncatedStreamsNeverFailHard) {
    const Bytes jpeg = test::encodeJpeg(test::rampImage(64, 64));
    const auto scan = test::findMarker(jpeg, 0xDA);
    ASSERT_GT(scan, 0);
    // Cut inside the scan: libjpeg pads the missing data, the header is intact.
    const Bytes cut(jpeg.begin(), jpeg.begin() + scan + 40);
    const DecodedBitmap decoded = decodeJpegStream(cut);
    EXPECT_TRUE(decoded.usable());
    EXPECT_EQ(decoded.image.size(), QSize(64, 64));
    // Cut before the frame header: nothing to show.
    const Bytes headerless(jpeg.begin(), jpeg.begin() + 20);
    EXPECT_EQ(decodeJpegStream(headerless).status, BitmapStatus::Malformed);
}

TEST(JpegDecoder, OversizedFrameIsRefusedBeforeDecoding) {
    Bytes jpeg = test::encodeJpeg(test::rampImage(8, 8));
    const auto frame = test::findMarker(jpeg, 0xC0);
    ASSERT_GT(frame, 0);
    // SOF: FF C0 length(2) precision(1) height(2) width(2)
    const auto height = static_cast<std::size_t>(frame) + 5;
    jpeg[height] = 0x20; // 8192 + 1 rows
    jpeg[height + 1] = 0x01;
    EXPECT_EQ(decodeJpegStream(jpeg).status, BitmapStatus::TooLarge);
    jpeg[height] = 0x00;
    jpeg[height + 1] = 0x00; // zero rows
    EXPECT_FALSE(decodeJpegStream(jpeg).usable());
}

TEST(BitmapLimits, SidesAndPixelCount) {
    EXPECT_TRUE(bitmapSizeAllowed(1, 1));
    EXPECT_TRUE(bitmapSizeAllowed(kMaxBitmapSide, kMaxBitmapSide));
    EXPECT_FALSE(bitmapSizeAllowed(kMaxBitmapSide + 1, 1));
    EXPECT_FALSE(bitmapSizeAllowed(1, kMaxBitmapSide + 1));
    EXPECT_FALSE(bitmapSizeAllowed(0, 10));
    EXPECT_FALSE(bitmapSizeAllowed(10, -1));
}

} // namespace
} // namespace mc
