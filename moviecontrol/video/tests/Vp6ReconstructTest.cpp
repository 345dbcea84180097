#include "Vp6Reconstruct.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

namespace vp6 = video::vp6;
using video::Plane;

Plane ramp(int w, int h, int step) {
    Plane p;
    p.resize(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            p.row(y)[x] = static_cast<std::uint8_t>(std::min(255, 20 + step * x));
        }
    }
    return p;
}

TEST(Vp6Transform, MatchesTheCosineTransformWithinRounding) {
    // One horizontal frequency: every row the same half cosine, antisymmetric about 128.
    std::array<std::int16_t, 64> c{};
    c[1] = 400;
    Plane out;
    out.resize(8, 8);
    vp6::transformPut(c, out, 0, 0);
    for (int x = 0; x < 8; ++x) {
        // The format's transform is the orthonormal one scaled by a quarter.
        const double exact =
            128 + 400 / (16 * std::sqrt(2.0)) * std::cos((2 * x + 1) * std::numbers::pi / 16);
        for (int y = 0; y < 8; ++y) {
            ASSERT_NEAR(out.row(y)[x], exact, 1.0) << x << "," << y;
        }
        EXPECT_NEAR(out.row(0)[x] + out.row(0)[7 - x], 256, 1);
    }

    // Adding: only the DC when the block has nothing past the first position.
    std::array<std::int16_t, 64> dc{};
    dc[0] = 160;
    dc[1] = 500; // ignored: a selector of 1 means the DC alone
    Plane base;
    base.resize(8, 8);
    vp6::transformAdd(dc, 1, base, 0, 0);
    EXPECT_EQ(base.row(3)[3], 128 + ((160 + 15) >> 5));
    EXPECT_EQ(base.row(3)[0], base.row(3)[7]);
    vp6::transformAdd(dc, 2, base, 0, 0);
    EXPECT_GT(base.row(3)[0], base.row(3)[7] + 20);
}

TEST(Vp6Prediction, FourTapFiltersInterpolateARamp) {
    const Plane ref = ramp(32, 16, 5);
    vp6::PredictionFilter fourTap;
    fourTap.mode = 1;
    Plane out;
    out.resize(32, 16);
    // Half a pixel right: the symmetric filter of any set hits the midpoint of a ramp.
    vp6::predictBlock(ref, out, 8, 0, {2, 0}, true, fourTap);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(out.row(3)[8 + x], 20 + 5 * (8 + x) + 3) << x; // 2.5 rounded up
    }
    // Quarter pixel down a ramp across: columns stay, whatever the taps.
    vp6::predictBlock(ref, out, 8, 0, {0, 1}, true, fourTap);
    EXPECT_EQ(out.row(4)[10], ref.row(4)[10]);
    // Diagonal: across then down.
    vp6::predictBlock(ref, out, 8, 0, {-2, 3}, true, fourTap);
    EXPECT_EQ(out.row(2)[9], 20 + 5 * 8 + 3);
}

TEST(Vp6Prediction, BusyBlocksAndShortVectorsDecideTheFilterInModeTwo) {
    Plane ref;
    ref.resize(32, 16);
    // A sharp stripe at x = 12 in flat grey: bilinear gives 1/2 steps, four-tap rings.
    for (int y = 0; y < 16; ++y) {
        ref.row(y)[12] = 255;
    }
    vp6::PredictionFilter f;
    f.mode = 2;
    f.varianceLimit = 1;
    f.maxVector = 2;
    Plane out;
    out.resize(32, 16);
    vp6::predictBlock(ref, out, 8, 0, {2, 0}, true, f);  // busy, short: four-tap
    EXPECT_LT(out.row(0)[10], 128);                      // undershoot next to the stripe
    vp6::predictBlock(ref, out, 8, 0, {-6, 0}, true, f); // too long: bilinear
    EXPECT_EQ(out.row(0)[13], (128 + 255 + 1) >> 1);
    EXPECT_EQ(out.row(0)[11], 128);
}

TEST(Vp6Prediction, LoopFilterSmoothsTheReferenceEdgeThePredictionCrosses) {
    Plane ref;
    ref.resize(32, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) {
            ref.row(y)[x] = x < 16 ? 100 : 110;
        }
    }
    vp6::PredictionFilter f;
    Plane out;
    out.resize(32, 16);
    // One pixel left: the block covers the reference's edge at x = 16 (block columns 7|8
    // move to 6|7 in the prediction).
    vp6::predictBlock(ref, out, 8, 0, {4, 0}, true, f);
    EXPECT_EQ(out.row(0)[14], 100);
    EXPECT_EQ(out.row(0)[15], 110);
    f.deblock = true;
    f.deblockLimit = 14;
    vp6::predictBlock(ref, out, 8, 0, {4, 0}, true, f);
    EXPECT_EQ(out.row(0)[13], 100);
    EXPECT_EQ(out.row(0)[14], 103);
    EXPECT_EQ(out.row(0)[15], 107);
    // A step beyond twice the limit is an edge of the picture, not of the blocks: kept.
    for (int y = 0; y < 16; ++y) {
        for (int x = 16; x < 32; ++x) {
            ref.row(y)[x] = 250;
        }
    }
    vp6::predictBlock(ref, out, 8, 0, {4, 0}, true, f);
    EXPECT_EQ(out.row(0)[14], 100);
    EXPECT_EQ(out.row(0)[15], 250);
}

} // namespace
