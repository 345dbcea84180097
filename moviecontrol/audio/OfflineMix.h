#pragma once

#include "Mixer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace audio {

// Mixes a movie's sound frame by frame without a device, on the frame clock: frame i covers
// samples round(i * rate / fps) up to round((i + 1) * rate / fps), so N frames last exactly
// N / fps seconds.
class OfflineMix {
  public:
    // `keep`: every frame's samples are kept; otherwise only the last frame's (a movie
    // played without writing its sound, whose sounds must still come to their end).
    OfflineMix(Mixer& mixer, double framesPerSecond, bool keep = true);
    // Mixes the samples of the next frame.
    void mixFrame();
    // Interleaved stereo at the mixer's rate.
    const std::vector<std::int16_t>& samples() const { return samples_; }

  private:
    Mixer& mixer_;
    double framesPerSecond_;
    bool keep_;
    std::uint64_t frames_ = 0;
    std::vector<std::int16_t> samples_;
};

// Writes 16-bit stereo samples as a WAV file: to a new file beside `path` first, renamed
// over it once whole. False when it cannot be written.
bool writeWav(const std::string& path, const std::vector<std::int16_t>& stereo, std::uint32_t rate);

} // namespace audio
