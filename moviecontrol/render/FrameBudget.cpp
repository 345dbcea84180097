#include "FrameBudget.h"

#include <algorithm>
#include <ctime>

namespace mc {
namespace {

// What an effect may still take once the frame's time is up.
constexpr double kSliceAfterLimit = 0.002;

} // namespace

ThreadCpuClock::time_point ThreadCpuClock::now() noexcept {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return time_point(std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec));
}

void FrameBudget::startFrame() {
    start_ = Clock::now();
    degraded_ = 0;
}

double FrameBudget::secondsLeft() const {
    const std::chrono::duration<double> used = Clock::now() - start_;
    return std::chrono::duration<double>(limit_).count() - used.count();
}

bool FrameBudget::exhausted() const {
    return secondsLeft() <= 0.0;
}

int FrameBudget::reductionFor(double work) const {
    const double left = std::max(secondsLeft(), kSliceAfterLimit);
    const double cost = std::max(work, 0.0) * secondsPerUnit_;
    for (int reduction = 1; reduction <= kMaxReduction; reduction *= 2) {
        if (cost / (static_cast<double>(reduction) * reduction) <= left) {
            return reduction;
        }
    }
    return 0;
}

void FrameBudget::record(double work, Clock::duration spent) {
    // Small effects say little about the price of a unit (fixed costs dominate).
    if (work < 1e5) {
        return;
    }
    const double measured = std::chrono::duration<double>(spent).count() / work;
    // Slower news is believed at once, faster news only by halves.
    secondsPerUnit_ = measured > secondsPerUnit_ ? measured : 0.5 * (secondsPerUnit_ + measured);
}

} // namespace mc
