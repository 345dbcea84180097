#include "swf/ByteReader.h"
#include "SwfBytes.h"

#include <gtest/gtest.h>

#include <cmath>

using swf::BitReader;
using swf::ByteReader;
using swf::test::Bytes;

TEST(ByteReader, ReadsLittleEndianFieldsAndFixedPoint) {
    const std::vector<std::uint8_t> data{0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0x80, 0xFF,
                                         0x00, 0x80, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00};
    ByteReader r(data);
    EXPECT_EQ(r.u16(), 0x1234);
    EXPECT_EQ(r.u32(), 0x12345678u);
    EXPECT_DOUBLE_EQ(r.fixed8(), -0.5);  // 0xFF80
    EXPECT_DOUBLE_EQ(r.fixed16(), -0.5); // 0xFFFF8000
    EXPECT_DOUBLE_EQ(r.fixed16(), 1.0);  // 0x00010000
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(r.failed());
}

TEST(ByteReader, ReadingPastTheEndGivesZerosAndStaysFailed) {
    const std::vector<std::uint8_t> data{0xAB};
    ByteReader r(data);
    EXPECT_EQ(r.u16(), 0x00AB);
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.u32(), 0u);
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.bytes(10).size(), 0u);
}

TEST(ByteReader, ByteSpansAreCutToWhatRemains) {
    const std::vector<std::uint8_t> data{1, 2, 3};
    ByteReader r(data);
    r.skip(1);
    const auto span = r.bytes(5);
    ASSERT_EQ(span.size(), 2u);
    EXPECT_EQ(span[0], 2);
    EXPECT_TRUE(r.failed());
}

TEST(ByteReader, StringsStopAtNulOrBoundAndFlagMissingTerminator) {
    const std::vector<std::uint8_t> data{'a', 'b', 0, 'c', 'd'};
    ByteReader r(data);
    EXPECT_EQ(r.string(), "ab");
    EXPECT_FALSE(r.failed());
    EXPECT_EQ(r.string(), "cd");
    EXPECT_TRUE(r.failed());

    ByteReader bounded(data);
    EXPECT_EQ(bounded.string(1), "a");
    EXPECT_TRUE(bounded.failed());

    const std::vector<std::uint8_t> padded{'F', 'o', 0, 0, 'x'};
    ByteReader fixed(padded);
    EXPECT_EQ(fixed.fixedString(4), "Fo");
    EXPECT_EQ(fixed.u8(), 'x');
}

TEST(ByteReader, EncodedU32UsesSevenBitGroupsLowFirst) {
    const std::vector<std::uint8_t> data{0x7F, 0xAC, 0x02, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F};
    ByteReader r(data);
    EXPECT_EQ(r.encodedU32(), 127u);
    EXPECT_EQ(r.encodedU32(), 300u);
    EXPECT_EQ(r.encodedU32(), 0xFFFFFFFFu);
    EXPECT_FALSE(r.failed());
}

TEST(ByteReader, FloatsOfAllWidths) {
    // 1.5f = 0x3FC00000; half 0x3E00 = 1.5; half 0xC000 = -2; double 2.0 high word first.
    const std::vector<std::uint8_t> data{0x00, 0x00, 0xC0, 0x3F, 0x00, 0x3E, 0x00, 0xC0,
                                         0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00};
    ByteReader r(data);
    EXPECT_FLOAT_EQ(r.float32(), 1.5f);
    EXPECT_FLOAT_EQ(r.float16(), 1.5f);
    EXPECT_FLOAT_EQ(r.float16(), -2.0f);
    EXPECT_DOUBLE_EQ(r.float64(), 2.0);
}

TEST(BitReader, ReadsMsbFirstWithSignExtension) {
    Bytes b;
    b.ub(3, 5).sb(4, -3).sb(5, 7).ub(1, 1).sb(1, -1).ub(32, 0xDEADBEEF).sb(32, -5);
    ByteReader r(b.data());
    BitReader bits(r);
    EXPECT_EQ(bits.ub(3), 5u);
    EXPECT_EQ(bits.sb(4), -3);
    EXPECT_EQ(bits.sb(5), 7);
    EXPECT_TRUE(bits.flag());
    EXPECT_EQ(bits.sb(1), -1);
    EXPECT_EQ(bits.ub(32), 0xDEADBEEFu);
    EXPECT_EQ(bits.sb(32), -5);
    EXPECT_EQ(bits.ub(0), 0u);
    EXPECT_EQ(bits.sb(0), 0);
}

// Fields of every width at every bit position, against the stream read one bit at a time.
TEST(BitReader, EveryWidthAtEveryOffsetReadsTheBitsInOrder) {
    std::vector<std::uint8_t> data(64);
    std::uint32_t seed = 0x9E3779B9u;
    for (std::uint8_t& byte : data) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    const auto bitAt = [&data](std::size_t i) { return (data[i / 8] >> (7 - i % 8)) & 1u; };
    for (unsigned offset = 0; offset < 8; ++offset) {
        for (unsigned width = 0; width <= 32; ++width) {
            ByteReader r(data);
            BitReader bits(r);
            (void)bits.ub(offset);
            std::uint32_t expected = 0;
            for (unsigned i = 0; i < width; ++i) {
                expected = (expected << 1) | bitAt(offset + i);
            }
            ASSERT_EQ(bits.ub(width), expected) << "offset " << offset << " width " << width;
            // The next field starts right behind it.
            ASSERT_EQ(bits.ub(3), (bitAt(offset + width) << 2) | (bitAt(offset + width + 1) << 1) |
                                      bitAt(offset + width + 2))
                << "offset " << offset << " width " << width;
            EXPECT_FALSE(bits.failed());
        }
    }
}

TEST(BitReader, FixedBitsAndAlignmentHandBackToBytes) {
    Bytes b;
    b.sb(18, -0x18000).align().u8(0x42); // FB -1.5, then a whole byte.
    ByteReader r(b.data());
    {
        BitReader bits(r);
        EXPECT_DOUBLE_EQ(bits.fb(18), -1.5);
    }
    EXPECT_EQ(r.u8(), 0x42);
}

TEST(BitReader, PastTheEndSetsTheByteReaderFailure) {
    const std::vector<std::uint8_t> data{0xFF};
    ByteReader r(data);
    BitReader bits(r);
    EXPECT_EQ(bits.ub(4), 0xFu);
    EXPECT_EQ(bits.ub(8), 0xF0u);
    EXPECT_TRUE(bits.failed());
}
