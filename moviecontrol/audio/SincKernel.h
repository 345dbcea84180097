#pragma once

#include <array>

namespace audio {

// Band-limited interpolation between the samples of a sound: a Blackman-windowed sinc over
// 16 samples. Raising a 5.5 to 22 kHz sound to the output rate this way leaves no mirror
// images of its spectrum above its own band, which straight lines between samples do.
class SincKernel {
  public:
    static constexpr int kTaps = 16;
    static constexpr int kBefore = kTaps / 2 - 1; // taps before the sample at the position
    static constexpr int kPhases = 256;

    // The weights for a position `frac` (0 <= frac < 1) past a sample: tap k weighs the
    // sample at index k - kBefore relative to that one. Phase 0 is exactly that sample.
    static const std::array<float, kTaps>& weights(float frac);
};

} // namespace audio
