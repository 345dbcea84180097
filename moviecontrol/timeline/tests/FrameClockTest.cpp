#include <gtest/gtest.h>

#include "FrameClock.h"
#include "StageFit.h"

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

TEST(StageFitTest, ShowAllFitsUniformlyAndCentres) {
    const TwipsRect stage{0, 0, 550 * 20, 400 * 20};
    const StageFit wide = fitShowAll(stage, 1100, 400);
    EXPECT_DOUBLE_EQ(wide.scale, 1.0 / 20.0);
    EXPECT_DOUBLE_EQ(wide.offsetX, 275.0);
    EXPECT_DOUBLE_EQ(wide.offsetY, 0.0);

    const StageFit tall = fitShowAll(stage, 275, 1000);
    EXPECT_DOUBLE_EQ(tall.scale, 0.5 / 20.0);
    EXPECT_DOUBLE_EQ(tall.stageHeightPx, 200.0);
    EXPECT_DOUBLE_EQ(tall.offsetY, 400.0);
}

TEST(StageFitTest, MinimumCornerMapsToTheStageOrigin) {
    const TwipsRect stage{-2000, 1000, 8000, 5000}; // 500 x 200 px
    const StageFit fit = fitShowAll(stage, 500, 300);
    const Transform t = fit.toDevice(stage);
    EXPECT_DOUBLE_EQ(t.mapX(-2000, 1000), 0.0);
    EXPECT_DOUBLE_EQ(t.mapY(-2000, 1000), 50.0);
    EXPECT_DOUBLE_EQ(t.mapX(8000, 5000), 500.0);
    EXPECT_DOUBLE_EQ(t.mapY(8000, 5000), 250.0);
}

TEST(StageFitTest, DegenerateStageOrViewStaysFinite) {
    const StageFit fit = fitShowAll(TwipsRect{0, 0, 0, 100}, 100, 100);
    EXPECT_GT(fit.scale, 0.0);
    const StageFit none = fitShowAll(TwipsRect{0, 0, 100, 100}, 0, -5);
    EXPECT_GT(none.scale, 0.0);
}

} // namespace
} // namespace mc
