#include "testsupport/BitWriter.h"
#include "BitString.h"
#include "testsupport/Records.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

namespace swftest {
namespace {

using testing::bits;
using Bytes = std::vector<uint8_t>;

TEST(BitWidth, SignedWidthsCountTheSignBit) {
    EXPECT_EQ(signedBitWidth(0), 0u);
    EXPECT_EQ(signedBitWidth(1), 2u);
    EXPECT_EQ(signedBitWidth(-1), 1u);
    EXPECT_EQ(signedBitWidth(-2), 2u);
    EXPECT_EQ(signedBitWidth(63), 7u);
    EXPECT_EQ(signedBitWidth(64), 8u);
    EXPECT_EQ(signedBitWidth(-64), 7u);
    EXPECT_EQ(signedBitWidth(-65), 8u);
    EXPECT_EQ(signedBitWidth(std::numeric_limits<int32_t>::max()), 32u);
    EXPECT_EQ(signedBitWidth(std::numeric_limits<int32_t>::min()), 32u);
}

TEST(BitWidth, UnsignedWidths) {
    EXPECT_EQ(unsignedBitWidth(0), 0u);
    EXPECT_EQ(unsignedBitWidth(1), 1u);
    EXPECT_EQ(unsignedBitWidth(255), 8u);
    EXPECT_EQ(unsignedBitWidth(256), 9u);
    EXPECT_EQ(unsignedBitWidth(0xFFFFFFFFu), 32u);
}

TEST(BitWriter, PacksFieldsAcrossBytesMostSignificantFirst) {
    BitWriter w;
    w.ub(5, 3);     // 101
    w.sb(-3, 4);    // 1101
    w.ub(0x1FF, 9); // 111111111
    EXPECT_EQ(w.data(), bits("101 1101 111111111"));
}

TEST(BitWriter, ByteFieldsAlignAndAreLittleEndian) {
    BitWriter w;
    w.flag(true);
    w.u16(0x1234);
    w.u32(0xA1B2C3D4);
    w.i16(-2);
    EXPECT_EQ(w.data(), (Bytes{0x80, 0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 0xFE, 0xFF}));
}

TEST(BitWriter, RefusesValuesWiderThanTheirField) {
    BitWriter w;
    EXPECT_THROW(w.ub(8, 3), std::out_of_range);
    EXPECT_THROW(w.sb(4, 3), std::out_of_range);
    EXPECT_THROW(w.sb(-5, 3), std::out_of_range);
    EXPECT_NO_THROW(w.sb(-4, 3));
    EXPECT_NO_THROW(w.sb(0, 0));
    EXPECT_THROW(w.string(std::string_view("a\0b", 3)), std::invalid_argument);
}

TEST(BitWriter, PatchesWrittenBytesOnly) {
    BitWriter w;
    w.u32(0);
    w.patchU32(0, 0x01020304);
    EXPECT_EQ(w.data(), (Bytes{4, 3, 2, 1}));
    EXPECT_THROW(w.patchU16(3, 1), std::out_of_range);
}

TEST(BitWriter, EncodedU32UsesSevenBitGroups) {
    const auto encode = [](uint32_t v) {
        BitWriter w;
        writeEncodedU32(w, v);
        return w.take();
    };
    EXPECT_EQ(encode(0), Bytes{0x00});
    EXPECT_EQ(encode(127), Bytes{0x7F});
    EXPECT_EQ(encode(128), (Bytes{0x80, 0x01}));
    EXPECT_EQ(encode(300), (Bytes{0xAC, 0x02}));
    EXPECT_EQ(encode(0xFFFFFFFFu), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x0F}));
}

} // namespace
} // namespace swftest
