#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace audio {

// The Nellymoser Asao codec that movies use for speech and small music: blocks of 64
// bytes, each 256 mono samples at the sound's rate (8 and 16 kHz by their own codec codes,
// or 5.5 to 44 kHz by the rate field). A block holds two half-blocks of 128 spectral
// lines; each half is turned back into samples by an inverse MDCT whose window overlaps
// the half before, so one decoder serves a whole sound or a whole stream.
// How many bits each of a half-block's 124 coded lines takes, from the lines' levels (in
// 1/2048 of a power of two): the louder lines more, 198 bits in all where the search for a
// common offset finds that sum. The encoder makes the same choice from the same levels.
std::array<int, 124> nellymoserLineBits(const std::array<std::int32_t, 124>& level);

class NellymoserDecoder {
  public:
    static constexpr std::size_t kBlockBytes = 64;
    static constexpr std::size_t kBlockSamples = 256;

    // Appends the samples of the whole blocks in `data` (a part block at the end is
    // dropped), at most `maxFrames`, each sample written `channels` times.
    void decode(std::span<const std::uint8_t> data, std::size_t maxFrames,
                std::vector<std::int16_t>& out, unsigned channels = 1);

  private:
    void decodeBlock(std::span<const std::uint8_t, kBlockBytes> block,
                     std::array<float, kBlockSamples>& samples);

    std::array<float, 128> overlap_{}; // the previous half's windowed second half
    std::uint32_t noise_ = 0x2545F491u;
};

} // namespace audio
