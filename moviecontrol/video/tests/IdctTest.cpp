#include "Idct.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

TEST(Idct, DcSpreadsEvenlyAndOneCosineFollowsItsBasis) {
    video::Block dc{};
    dc[0] = 800;
    video::inverseDct(dc);
    for (int v : dc) {
        EXPECT_EQ(v, 100);
    }

    // One vertical frequency: every column the same, rows following cos((2y+1)*3pi/16).
    video::Block wave{};
    wave[3 * 8] = 400;
    video::inverseDct(wave);
    for (int y = 0; y < 8; ++y) {
        const double expected =
            0.25 * std::sqrt(0.5) * 400 * std::cos((2 * y + 1) * 3 * std::numbers::pi / 16);
        for (int x = 0; x < 8; ++x) {
            EXPECT_NEAR(wave[y * 8 + x], expected, 0.51) << x << "," << y;
        }
    }
}

} // namespace
