#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace audio {

// The movie format's ADPCM: a two-bit code size (2 to 5 bits a sample), then packets of
// 4,096 samples a channel, each opening with a 16-bit sample and a 6-bit step index per
// channel followed by 4,095 codes (interleaved left, right when stereo). Appends at most
// `maxFrames` frames to `out`; stops quietly where the bits run out.
void decodeAdpcm(std::span<const std::uint8_t> data, bool stereo, std::size_t maxFrames,
                 std::vector<std::int16_t>& out);

} // namespace audio
