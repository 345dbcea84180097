#pragma once

#include <chrono>
#include <cstdint>

namespace mc {

// The processor time one frame's drawing may take. Ordinary frames stay far inside it; a movie that
// asks for more (hundreds of blurred layers, huge filter sizes) gets its costliest effects
// drawn at lower resolution, or without their layer, for that frame, so that the program
// stays responsive whatever the movie asks.
//
// Effects are priced in work units (pixels times passes over them, see filterWork); the
// price of a unit is learnt from the effects drawn, starting from a cautious guess.
// The processor time of the calling thread: a frame's budget counts the work it does, so that
// what is drawn in full does not depend on how busy the machine is.
struct ThreadCpuClock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<ThreadCpuClock>;
    static constexpr bool is_steady = true;
    static time_point now() noexcept;
};

class FrameBudget {
  public:
    using Clock = ThreadCpuClock;
    // The greatest reduction in each direction before an effect is left out altogether.
    static constexpr int kMaxReduction = 16;

    explicit FrameBudget(std::chrono::milliseconds limit) : limit_(limit) {}

    void startFrame();
    // The frame's time is up: effects not yet begun are left out.
    bool exhausted() const;
    // The factor (1, 2, 4 ... kMaxReduction) by which an effect of `work` units is drawn
    // smaller in each direction to fit the time left; 0 when even the smallest would not
    // fit. Past the limit, each effect still gets a small slice.
    int reductionFor(double work) const;
    // An effect of `work` units (after its reduction) took `spent`.
    void record(double work, Clock::duration spent);

    // Effects drawn smaller or left out since startFrame().
    int degradedEffects() const { return degraded_; }
    void countDegraded() { ++degraded_; }

  private:
    double secondsLeft() const;

    std::chrono::milliseconds limit_;
    Clock::time_point start_ = Clock::now();
    // Seconds per work unit; cautious until measured (a slow machine, a sanitizer build).
    double secondsPerUnit_ = 4e-9;
    int degraded_ = 0;
};

} // namespace mc
