#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace audio {

// Decoded sound: signed 16-bit samples, interleaved when stereo.
struct PcmBuffer {
    std::uint32_t rate = 44100;
    unsigned channels = 1;
    std::vector<std::int16_t> samples;

    std::size_t frames() const { return channels == 0 ? 0 : samples.size() / channels; }
};

// Bounds on what decoding one sound may produce, whatever its tag claims: six minutes of
// 44.1 kHz sound is more than any card holds.
struct DecodeLimits {
    std::size_t maxFrames = 44100u * 60u * 6u;
};

} // namespace audio
