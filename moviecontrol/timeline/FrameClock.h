#pragma once

#include <cstdint>

namespace mc {

// Decides when frames are due, from a monotonic time in milliseconds that the caller reads
// (a QElapsedTimer in the widget, plain numbers in tests). Keeps no timer of its own.
class FrameClock {
  public:
    // rate8_8 is the header's 8.8 fixed-point frame rate.
    void setRate(std::uint16_t rate8_8);
    double framesPerSecond() const { return fps_; }
    // Milliseconds between two frames, for the timer that wakes the caller.
    int intervalMs() const;

    // Starts counting from now; the first frame falls due one interval later.
    void start(std::int64_t nowMs);
    // How many frames are due at nowMs since the last call. A caller that fell far behind
    // (a suspended machine, a slow frame) gets a few frames at most, not a burst.
    int advance(std::int64_t nowMs);

    static constexpr int kMaxCatchUp = 4;

  private:
    double fps_ = 12.0;
    double nextDueMs_ = 0.0;
};

} // namespace mc
