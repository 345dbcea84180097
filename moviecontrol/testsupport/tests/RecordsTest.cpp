#include "testsupport/Records.h"
#include "BitString.h"

#include <gtest/gtest.h>

#include <numbers>
#include <stdexcept>

namespace swftest {
namespace {

using testing::bits;
using Bytes = std::vector<uint8_t>;

template <typename F> Bytes written(F&& write) {
    BitWriter w;
    write(w);
    return w.take();
}

TEST(RectEncoding, StageOf550By400Pixels) {
    const Bytes got = written([](BitWriter& w) { writeRect(w, Rect::pixels(550, 400)); });
    EXPECT_EQ(got, (Bytes{0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}));
}

TEST(RectEncoding, EmptyAndNegativeRectangles) {
    EXPECT_EQ(written([](BitWriter& w) { writeRect(w, {}); }), Bytes{0x00});
    // Width 2 from xMax = 1 (01); xMin = -1 is 11.
    EXPECT_EQ(written([](BitWriter& w) {
                  writeRect(w, {-1, 1, 0, 0});
              }),
              bits("00010 11 01 00 00"));
    // A non-zero minimum corner: -200 needs 9 bits (1 00111000).
    EXPECT_EQ(written([](BitWriter& w) {
                  writeRect(w, {-200, 0, 20, 40});
              }),
              bits("01001 100111000 000000000 000010100 000101000"));
}

TEST(RectEncoding, AlignsBeforeAndAfter) {
    const Bytes got = written([](BitWriter& w) {
        w.flag(true);
        writeRect(w, {});
        w.flag(true);
    });
    EXPECT_EQ(got, (Bytes{0x80, 0x00, 0x80}));
}

TEST(FixedPoint, RoundsToNearest) {
    EXPECT_EQ(fixed16(1.0), 0x10000);
    EXPECT_EQ(fixed16(-0.5), -0x8000);
    EXPECT_EQ(fixed16(1.0 / 65536 * 0.6), 1);
    EXPECT_EQ(fixed8(2.5), 0x280);
    EXPECT_EQ(fixed8(-0.98), -251);
    EXPECT_THROW(fixed8(200.0), std::out_of_range);
    EXPECT_EQ(twips(12.34), 247);
    EXPECT_EQ(twips(-0.5), -10);
}

TEST(MatrixEncoding, IdentityIsOneZeroByte) {
    EXPECT_EQ(written([](BitWriter& w) { writeMatrix(w, {}); }), Bytes{0x00});
}

TEST(MatrixEncoding, TranslationOnly) {
    const Bytes got = written([](BitWriter& w) { writeMatrix(w, Matrix::translate(20, -20)); });
    //                no scale, no rotate, 6 bits, 20,     -20
    EXPECT_EQ(got, bits("0 0 00110 010100 101100"));
}

TEST(MatrixEncoding, ScaleUsesTheWiderOfBothFactors) {
    const Bytes got = written([](BitWriter& w) { writeMatrix(w, Matrix::scale(2.0, 0.5)); });
    EXPECT_EQ(got, bits("1 10011 0100000000000000000 0001000000000000000"
                        " 0 00000"));
}

TEST(MatrixEncoding, RotationWritesBothSkews) {
    // A quarter turn clockwise on screen: x' = -y, y' = x.
    const Matrix m = Matrix::scaleRotate(1.0, std::numbers::pi / 2, 0, 0);
    EXPECT_EQ(m.scaleX, 0);
    EXPECT_EQ(m.scaleY, 0);
    EXPECT_EQ(m.rotateSkew0, 0x10000);
    EXPECT_EQ(m.rotateSkew1, -0x10000);
    const Bytes got = written([&](BitWriter& w) { writeMatrix(w, m); });
    // The scale group is still present (0 differs from 1.0), with zero-width fields.
    EXPECT_EQ(got, bits("1 00000 1 10010 010000000000000000 110000000000000000 00000"));
}

TEST(ColorTransformEncoding, WithoutAlphaIgnoresAlphaTerms) {
    ColorTransform cx;
    cx.redMult = cx.greenMult = cx.blueMult = 128;
    cx.alphaMult = 0;
    cx.alphaAdd = 99;
    const Bytes got = written([&](BitWriter& w) { writeColorTransform(w, cx, false); });
    EXPECT_EQ(got, bits("0 1 1001 010000000 010000000 010000000"));
}

TEST(ColorTransformEncoding, WithAlphaSharesOneWidth) {
    const Bytes got =
        written([](BitWriter& w) { writeColorTransform(w, ColorTransform::alpha(0.5), true); });
    EXPECT_EQ(got, bits("0 1 1010 0100000000 0100000000 0100000000 0010000000"));
}

TEST(ColorTransformEncoding, AddTermsFollowMultTermsAndKeepTheirSign) {
    ColorTransform cx = ColorTransform::tint({255, 0, 16}, 1.0);
    cx.alphaAdd = -16;
    const Bytes got = written([&](BitWriter& w) { writeColorTransform(w, cx, true); });
    // mult 0,0,0,256; add 255,0,16,-16; widths 10 (256) and 9 (255): 10 wins.
    EXPECT_EQ(got, bits("1 1 1010 0000000000 0000000000 0000000000 0100000000"
                        " 0011111111 0000000000 0000010000 1111110000"));
}

TEST(ColorTransformEncoding, IdentityHasNoTerms) {
    EXPECT_EQ(written([](BitWriter& w) { writeColorTransform(w, {}, true); }), Bytes{0x00});
}

TEST(ColorTransformEncoding, RefusesTermsBeyondFifteenBits) {
    ColorTransform cx;
    cx.redMult = 20000;
    BitWriter w;
    EXPECT_THROW(writeColorTransform(w, cx, false), std::out_of_range);
}

} // namespace
} // namespace swftest
