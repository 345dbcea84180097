#include "BitmapTags.h"
#include "TestImages.h"

#include <gtest/gtest.h>
#include <random>

namespace mc {
namespace {

using test::Bytes;

Bytes rgb32Body(std::uint8_t firstByte) {
    Bytes body{5};
    test::appendU16(body, 1);
    test::appendU16(body, 1);
    const Bytes packed = test::zlibCompress(Bytes{firstByte, 40, 30, 20});
    return test::concat({body, packed});
}

TEST(BitmapTags, CodesChooseTheDecoder) {
    const Bytes body = rgb32Body(50);
    EXPECT_EQ(decodeBitmapTag(20, body).image.pixel(0, 0), qRgb(40, 30, 20));
    EXPECT_EQ(decodeBitmapTag(36, body).image.pixel(0, 0), qRgba(40, 30, 20, 50));

    const QImage picture = test::rampImage(8, 8);
    const test::SplitJpeg split = test::encodeSplitJpeg(picture);
    EXPECT_TRUE(decodeBitmapTag(6, split.image, split.tables).usable());
    const Bytes jpeg = test::encodeJpeg(picture);
    EXPECT_TRUE(decodeBitmapTag(21, jpeg).usable());
    Bytes jpeg3;
    test::appendU32(jpeg3, static_cast<std::uint32_t>(jpeg.size()));
    EXPECT_TRUE(decodeBitmapTag(35, test::concat({jpeg3, jpeg})).usable());

    EXPECT_EQ(decodeBitmapTag(2, body).status, BitmapStatus::Unsupported);
    EXPECT_TRUE(isBitmapTag(90));
    EXPECT_FALSE(isBitmapTag(8)) << "JPEGTables holds no picture of its own";
}

// Every decoder, fed every prefix and many mutations of valid payloads, either refuses or
// returns a well-formed premultiplied image. Catches reads past the data and bad clamping.
TEST(BitmapTags, DamagedPayloadsGiveValidImagesOrNone) {
    const QImage picture = test::rampImage(12, 10);
    const Bytes jpeg = test::encodeJpeg(picture);
    Bytes jpeg3;
    test::appendU32(jpeg3, static_cast<std::uint32_t>(jpeg.size()));
    jpeg3 = test::concat({jpeg3, jpeg, test::zlibCompress(Bytes(120, 77))});
    Bytes lossless{3};
    test::appendU16(lossless, 5);
    test::appendU16(lossless, 3);
    lossless.push_back(1);
    lossless = test::concat(
        {lossless, test::zlibCompress(Bytes{9, 8, 7, 200, 1, 2, 3, 100, 0, 1, 2, 1, 0, 0,
                                            0, 0, 1, 1,   1, 1, 1, 0,   0, 0, 0, 0, 0, 0})});
    const std::pair<std::uint16_t, Bytes> cases[] = {
        {21, jpeg}, {35, jpeg3}, {36, lossless}, {20, lossless}};
    std::mt19937 random(1234);
    for (const auto& [code, valid] : cases) {
        for (std::size_t length = 0; length <= valid.size(); length += 3) {
            const Bytes prefix(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(length));
            const DecodedBitmap decoded = decodeBitmapTag(code, prefix);
            if (decoded.usable()) {
                ASSERT_TRUE(test::validPremultiplied(decoded.image)) << code << " " << length;
            }
        }
        for (int round = 0; round < 150; ++round) {
            Bytes mutated = valid;
            for (int flips = 0; flips < 4; ++flips) {
                mutated[random() % mutated.size()] = static_cast<std::uint8_t>(random());
            }
            const DecodedBitmap decoded = decodeBitmapTag(code, mutated);
            if (decoded.usable()) {
                ASSERT_TRUE(test::validPremultiplied(decoded.image)) << code << " " << round;
                ASSERT_LE(decoded.image.width(), 65535);
            }
        }
    }
}

} // namespace
} // namespace mc
