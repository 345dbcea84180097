#include <gtest/gtest.h>

#include "FrameClock.h"

namespace mc {
namespace {

TEST(FrameClockTest, FramesFallDueAtTheRate) {
    FrameClock clock;
    clock.setRate(24 * 256);
    EXPECT_EQ(clock.intervalMs(), 42);
    clock.start(1000);
    EXPECT_EQ(clock.advance(1000), 0);
    EXPECT_EQ(clock.advance(1041), 0);
    EXPECT_EQ(clock.advance(1042), 1);
    EXPECT_EQ(clock.advance(1042), 0);
    // A whole second gives 24 frames when asked often enough.
    int total = 1;
    for (int t = 1043; t <= 2001; t += 2) {
        total += clock.advance(t);
    }
    EXPECT_EQ(total, 24);
}

TEST(FrameClockTest, ZeroAndFractionalRatesAreUsable) {
    FrameClock clock;
    clock.setRate(0);
    EXPECT_GT(clock.framesPerSecond(), 0.0);
    EXPECT_GE(clock.intervalMs(), 1);
    clock.setRate(0x0C80); // 12.5 fps
    EXPECT_DOUBLE_EQ(clock.framesPerSecond(), 12.5);
    EXPECT_EQ(clock.intervalMs(), 80);
    clock.setRate(0xFFFF);
    EXPECT_LE(clock.framesPerSecond(), 120.0);
}

TEST(FrameClockTest, FallingBehindDropsFramesInsteadOfBursting) {
    FrameClock clock;
    clock.setRate(10 * 256);
    clock.start(0);
    EXPECT_EQ(clock.advance(60'000), FrameClock::kMaxCatchUp);
    // After dropping, the clock counts from the late moment, not from the old schedule.
    EXPECT_EQ(clock.advance(60'050), 0);
    EXPECT_EQ(clock.advance(60'100), 1);
}

} // namespace
} // namespace mc
