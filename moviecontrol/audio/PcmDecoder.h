#pragma once

#include "PcmBuffer.h"
#include "SoundFormat.h"

#include <span>

namespace audio {

// Uncompressed samples: 8-bit unsigned or 16-bit signed little-endian, interleaved when
// stereo. Appends at most `maxFrames` whole frames to `out`; a trailing partial frame is
// dropped.
void decodePcm(const SoundFormat& format, std::span<const std::uint8_t> data, std::size_t maxFrames,
               std::vector<std::int16_t>& out);

} // namespace audio
