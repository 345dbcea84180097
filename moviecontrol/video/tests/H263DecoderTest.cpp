#include "H263Decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "moviemaker/Video.h"

namespace {

using moviemaker::H263Frame;

int lumaAt(const video::YuvPicture& p, int x, int y) {
    return p.y.row(y)[x];
}

TEST(SorensonDecoder, FlatIntraMacroblockGivesItsDcColour) {
    video::SorensonDecoder d;
    // Grey luma 100, blue-ish chroma.
    ASSERT_TRUE(d.decode(
        H263Frame(H263Frame::Intra, 16, 16, 4).intraFlat({100, 100, 100, 100, 160, 96}).take()));
    const video::YuvPicture& p = d.picture();
    ASSERT_EQ(p.width, 16);
    ASSERT_EQ(p.height, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(lumaAt(p, x, y), 100);
        }
    }
    EXPECT_EQ(p.cb.row(3)[3], 160);
    EXPECT_EQ(p.cr.row(3)[3], 96);

    const std::vector<std::uint8_t> rgba = video::toRgba(p);
    ASSERT_EQ(rgba.size(), 16u * 16u * 4u);
    // Studio-range BT.601: Y 100, Cb 160, Cr 96.
    const double l = 1.164 * (100 - 16);
    EXPECT_NEAR(rgba[0], l + 1.596 * (96 - 128), 1.0);
    EXPECT_NEAR(rgba[1], l - 0.391 * (160 - 128) - 0.813 * (96 - 128), 1.0);
    EXPECT_NEAR(rgba[2], l + 2.018 * (160 - 128), 1.0);
    EXPECT_EQ(rgba[3], 255);
}

TEST(SorensonDecoder, ChromaCoversItsTwoByTwoLumaSamplesUnblended) {
    video::SorensonDecoder d;
    H263Frame f(H263Frame::Intra, 32, 16, 4);
    f.intraFlat({100, 100, 100, 100, 200, 128}).intraFlat({100, 100, 100, 100, 60, 128});
    ASSERT_TRUE(d.decode(f.take()));
    const std::vector<std::uint8_t> rgba = video::toRgba(d.picture());
    const auto blue = [&](int x) { return rgba[static_cast<std::size_t>(x) * 4 + 2]; };
    EXPECT_EQ(blue(15), blue(0));
    EXPECT_EQ(blue(16), blue(31));
    EXPECT_GT(blue(15), blue(16) + 200);
}

TEST(SorensonDecoder, DcLevel255StandsFor128AndBlocksLandInTheirQuarter) {
    video::SorensonDecoder d;
    ASSERT_TRUE(d.decode(
        H263Frame(H263Frame::Intra, 16, 16, 4).intraFlat({128, 40, 80, 200, 128, 128}).take()));
    const video::YuvPicture& p = d.picture();
    EXPECT_EQ(lumaAt(p, 2, 2), 128);
    EXPECT_EQ(lumaAt(p, 12, 2), 40);
    EXPECT_EQ(lumaAt(p, 2, 12), 80);
    EXPECT_EQ(lumaAt(p, 12, 12), 200);
}

// One horizontal-frequency coefficient: level L at quantiser Q dequantises to
// Q * (2L + 1) (less one for an even Q), then follows the first cosine across the block.
void expectHorizontalWave(const video::YuvPicture& p, int dequantised) {
    for (int x = 0; x < 8; ++x) {
        const double expected = 100 + 0.25 * std::sqrt(0.5) * dequantised *
                                          std::cos((2 * x + 1) * std::numbers::pi / 16);
        for (int y = 0; y < 8; ++y) {
            ASSERT_NEAR(lumaAt(p, x, y), expected, 0.51) << x << "," << y;
        }
    }
    EXPECT_EQ(lumaAt(p, 8, 0), 100) << "the coefficient belongs to the first block only";
}

TEST(SorensonDecoder, AcCoefficientsFromTheTableAndTheEscapes) {
    const std::array<std::uint8_t, 6> dc{100, 100, 100, 100, 128, 128};
    {
        video::SorensonDecoder d;
        ASSERT_TRUE(d.decode(H263Frame(H263Frame::Intra, 16, 16, 4).intraWithAc(dc, 1).take()));
        expectHorizontalWave(d.picture(), 4 * 3 - 1);
    }
    {
        video::SorensonDecoder d;
        ASSERT_TRUE(d.decode(H263Frame(H263Frame::Intra, 16, 16, 5).intraWithAc(dc, -1).take()));
        expectHorizontalWave(d.picture(), -(5 * 3));
    }
    {
        video::SorensonDecoder d; // the plain 8-bit escape
        ASSERT_TRUE(d.decode(H263Frame(H263Frame::Intra, 16, 16, 2).intraWithAc(dc, 20).take()));
        expectHorizontalWave(d.picture(), 2 * 41 - 1);
    }
    {
        video::SorensonDecoder d; // the second version's 7-bit escape
        ASSERT_TRUE(
            d.decode(H263Frame(H263Frame::Intra, 16, 16, 1, 1).intraWithAc(dc, -30).take()));
        expectHorizontalWave(d.picture(), -61);
    }
    {
        video::SorensonDecoder d; // its 11-bit escape, clipped to the 12-bit coefficient range
        ASSERT_TRUE(
            d.decode(H263Frame(H263Frame::Intra, 16, 16, 1, 1).intraWithAc(dc, 200).take()));
        expectHorizontalWave(d.picture(), 401);
        video::SorensonDecoder big;
        ASSERT_TRUE(
            big.decode(H263Frame(H263Frame::Intra, 16, 16, 31, 1).intraWithAc(dc, 1000).take()));
        EXPECT_EQ(lumaAt(big.picture(), 0, 0), 255);
        EXPECT_EQ(lumaAt(big.picture(), 7, 0), 0);
    }
}

TEST(SorensonDecoder, PicturesNotAWholeMacroblockWideCoverTheirMacroblocks) {
    video::SorensonDecoder d;
    H263Frame f(H263Frame::Intra, 20, 10, 4);
    f.intraFlat({50, 50, 50, 50, 128, 128}).intraFlat({150, 150, 150, 150, 128, 128});
    ASSERT_TRUE(d.decode(f.take()));
    EXPECT_EQ(d.picture().width, 20);
    EXPECT_EQ(d.picture().height, 10);
    EXPECT_EQ(lumaAt(d.picture(), 15, 9), 50);
    EXPECT_EQ(lumaAt(d.picture(), 16, 9), 150);
    EXPECT_EQ(video::toRgba(d.picture()).size(), 20u * 10u * 4u);
}

video::SorensonDecoder twoColumns() {
    video::SorensonDecoder d;
    H263Frame f(H263Frame::Intra, 32, 16, 4);
    f.intraFlat({50, 50, 50, 50, 128, 128}).intraFlat({150, 150, 150, 150, 128, 128});
    EXPECT_TRUE(d.decode(f.take()));
    return d;
}

TEST(SorensonDecoder, InterFramesMoveTheReferenceByWholeAndHalfPixels) {
    video::SorensonDecoder d = twoColumns();
    // The right macroblock fetched from 16 pixels to its left: both become the left colour.
    ASSERT_TRUE(d.decode(H263Frame(H263Frame::Inter, 32, 16, 4).skipped().moved(-32, 0).take()));
    EXPECT_EQ(lumaAt(d.picture(), 20, 5), 50);
    EXPECT_EQ(lumaAt(d.picture(), 31, 15), 50);

    video::SorensonDecoder half = twoColumns();
    ASSERT_TRUE(half.decode(H263Frame(H263Frame::Inter, 32, 16, 4).skipped().moved(-1, 0).take()));
    EXPECT_EQ(lumaAt(half.picture(), 15, 3), 50) << "a skipped macroblock keeps the reference";
    EXPECT_EQ(lumaAt(half.picture(), 16, 3), 100) << "half way between 50 and 150";
    EXPECT_EQ(lumaAt(half.picture(), 17, 3), 150);
}

TEST(SorensonDecoder, MotionVectorsArePredictedFromTheLeftOnTheTopRow) {
    video::SorensonDecoder d;
    H263Frame key(H263Frame::Intra, 48, 16, 4);
    key.intraFlat({50, 50, 50, 50, 128, 128})
        .intraFlat({150, 150, 150, 150, 128, 128})
        .intraFlat({250, 250, 250, 250, 128, 128});
    ASSERT_TRUE(d.decode(key.take()));
    // The middle macroblock moves by -2 half pixels; the right one states no difference and so
    // moves by the same vector.
    ASSERT_TRUE(
        d.decode(H263Frame(H263Frame::Inter, 48, 16, 4).skipped().moved(-2, 0).moved(0, 0).take()));
    EXPECT_EQ(lumaAt(d.picture(), 16, 0), 50);
    EXPECT_EQ(lumaAt(d.picture(), 17, 0), 150);
    EXPECT_EQ(lumaAt(d.picture(), 32, 0), 150);
    EXPECT_EQ(lumaAt(d.picture(), 33, 0), 250);
}

TEST(SorensonDecoder, DamagedFramesKeepTheLastGoodPicture) {
    video::SorensonDecoder d;
    EXPECT_FALSE(d.decode(H263Frame(H263Frame::Inter, 16, 16, 4).skipped().take()))
        << "an inter frame needs a picture before it";
    EXPECT_FALSE(d.hasPicture());

    d = twoColumns();
    // Cut short: the second macroblock is missing.
    EXPECT_FALSE(
        d.decode(H263Frame(H263Frame::Intra, 32, 16, 4).intraFlat({9, 9, 9, 9, 9, 9}).take()));
    EXPECT_EQ(lumaAt(d.picture(), 0, 0), 50);
    // An intra DC of 0 is not a level.
    EXPECT_FALSE(d.decode(H263Frame(H263Frame::Intra, 32, 16, 4)
                              .intraFlat({9, 9, 9, 9, 9, 9})
                              .intraFlat({9, 0, 9, 9, 9, 9})
                              .take()));
    EXPECT_EQ(lumaAt(d.picture(), 0, 0), 50);
    // An inter frame of another size cannot predict from this picture.
    EXPECT_FALSE(d.decode(H263Frame(H263Frame::Inter, 16, 16, 4).skipped().take()));
    // A code that starts no macroblock type.
    EXPECT_FALSE(d.decode(H263Frame(H263Frame::Intra, 32, 16, 4).bits(0, 9).bits(0, 16).take()));
    EXPECT_EQ(lumaAt(d.picture(), 31, 0), 150);
    // Stuffing alone until the data ends.
    H263Frame stuffing(H263Frame::Intra, 32, 16, 4);
    for (int i = 0; i < 10; ++i) {
        stuffing.bits(1, 9);
    }
    EXPECT_FALSE(d.decode(stuffing.take()));
    EXPECT_EQ(lumaAt(d.picture(), 31, 0), 150);
}

} // namespace
