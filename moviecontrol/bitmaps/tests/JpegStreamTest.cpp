#include "JpegStream.h"
#include "JpegDecoder.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace mc {
namespace {

using test::Bytes;

const Bytes kStrayPair{0xFF, 0xD9, 0xFF, 0xD8};

int countMarker(const Bytes& stream, std::uint8_t code, std::size_t before) {
    int count = 0;
    for (std::size_t i = 0; i + 1 < before && i + 1 < stream.size(); ++i) {
        if (stream[i] == 0xFF && stream[i + 1] == code) {
            ++count;
        }
    }
    return count;
}

std::size_t scanOffset(const Bytes& stream) {
    return static_cast<std::size_t>(test::findMarker(stream, 0xDA));
}

TEST(JpegStream, SharedTablesAndImageBecomeOneStreamWithOneStartMarker) {
    const QImage picture = test::rampImage(24, 16);
    const test::SplitJpeg split = test::encodeSplitJpeg(picture);
    // libjpeg writes both pieces with their own SOI..EOI, as movies store them.
    ASSERT_EQ(split.tables[1], 0xD8);
    ASSERT_EQ(split.image[1], 0xD8);

    const Bytes joined = assembleJpegStream(split.tables, split.image);
    EXPECT_EQ(joined[0], 0xFF);
    EXPECT_EQ(joined[1], 0xD8);
    EXPECT_EQ(countMarker(joined, 0xD8, scanOffset(joined)), 1);
    EXPECT_EQ(countMarker(joined, 0xD9, scanOffset(joined)), 0);
    EXPECT_GE(test::findMarker(joined, 0xDB), 0) << "quantisation tables kept";
    EXPECT_EQ(joined[joined.size() - 2], 0xFF);
    EXPECT_EQ(joined.back(), 0xD9);

    const DecodedBitmap decoded = decodeJpegStream(joined);
    ASSERT_EQ(decoded.status, BitmapStatus::Complete);
    EXPECT_LE(test::maxChannelDifference(decoded.image, picture), 12);
}

TEST(JpegStream, StrayMarkerPairIsRemovedWhereverItPrecedesTheFrame) {
    const Bytes clean = test::encodeJpeg(test::rampImage(16, 16));
    const auto frame = test::findMarker(clean, 0xC0);
    ASSERT_GT(frame, 2);
    const Bytes cleanJoined = assembleJpegStream({}, clean);

    const Bytes atFront = test::concat({kStrayPair, clean});
    EXPECT_EQ(assembleJpegStream({}, atFront), cleanJoined);

    Bytes beforeFrame(clean.begin(), clean.begin() + frame);
    beforeFrame.insert(beforeFrame.end(), kStrayPair.begin(), kStrayPair.end());
    beforeFrame.insert(beforeFrame.end(), clean.begin() + frame, clean.end());
    EXPECT_EQ(assembleJpegStream({}, beforeFrame), cleanJoined);

    const Bytes doubleStart = test::concat({Bytes{0xFF, 0xD8}, clean});
    EXPECT_EQ(assembleJpegStream({}, doubleStart), cleanJoined);
}

TEST(JpegStream, ScanDataIsCopiedUntouched) {
    const Bytes clean = test::encodeJpeg(test::rampImage(32, 32));
    const Bytes joined = assembleJpegStream({}, clean);
    const auto inClean = test::findMarker(clean, 0xDA);
    const auto inJoined = test::findMarker(joined, 0xDA);
    ASSERT_GE(inClean, 0);
    ASSERT_GE(inJoined, 0);
    EXPECT_TRUE(
        std::equal(clean.begin() + inClean, clean.end(), joined.begin() + inJoined, joined.end()));
}

TEST(JpegStream, TablesNeverContributeAScan) {
    const Bytes other = test::encodeJpeg(test::rampImage(8, 8));
    const Bytes image = test::encodeJpeg(test::rampImage(16, 16));
    const Bytes joined = assembleJpegStream(other, image);
    // Only one scan: the image's, so the result decodes as the image.
    int scans = 0;
    for (std::size_t i = 0; i + 1 < joined.size(); ++i) {
        scans += joined[i] == 0xFF && joined[i + 1] == 0xDA;
    }
    EXPECT_EQ(scans, 1);
    EXPECT_EQ(decodeJpegStream(joined).image.width(), 16);
}

TEST(JpegStream, DegenerateInputsGiveAMinimalStream) {
    EXPECT_EQ(assembleJpegStream({}, {}), (Bytes{0xFF, 0xD8, 0xFF, 0xD9}));
    const Bytes junk{0x12, 0x34, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(assembleJpegStream(junk, junk), (Bytes{0xFF, 0xD8, 0xFF, 0xD9}));
    // A segment whose length runs past the piece is kept as far as it goes.
    const Bytes cut{0xFF, 0xDB, 0x00, 0x43, 0x01, 0x02};
    EXPECT_EQ(assembleJpegStream({}, cut),
              (Bytes{0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x01, 0x02, 0xFF, 0xD9}));
    EXPECT_EQ(decodeJpegStream(assembleJpegStream({}, {})).status, BitmapStatus::Malformed);
}

} // namespace
} // namespace mc
