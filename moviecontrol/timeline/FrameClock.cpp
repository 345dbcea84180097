#include "FrameClock.h"

#include <algorithm>
#include <cmath>

namespace mc {

namespace {
// A rate of zero still plays; players run such movies at their slowest usual pace rather than
// freezing on frame 1. Very high rates are capped where players cap them.
constexpr double kZeroRateFps = 1.0;
constexpr double kMaxFps = 120.0;
} // namespace

void FrameClock::setRate(std::uint16_t rate8_8) {
    const double fps = rate8_8 / 256.0;
    fps_ = fps <= 0.0 ? kZeroRateFps : std::min(std::max(fps, 0.01), kMaxFps);
}

int FrameClock::intervalMs() const {
    return std::max(1, static_cast<int>(std::lround(1000.0 / fps_)));
}

void FrameClock::start(std::int64_t nowMs) {
    nextDueMs_ = static_cast<double>(nowMs) + 1000.0 / fps_;
}

int FrameClock::advance(std::int64_t nowMs) {
    const double now = static_cast<double>(nowMs);
    const double period = 1000.0 / fps_;
    int due = 0;
    while (now >= nextDueMs_ && due < kMaxCatchUp) {
        nextDueMs_ += period;
        ++due;
    }
    if (now >= nextDueMs_) {
        // Still behind after catching up: drop the rest and count from now.
        nextDueMs_ = now + period;
    }
    return due;
}

} // namespace mc
