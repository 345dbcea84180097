#pragma once
// The inverse of the movie format's ADPCM decoder, so tests can encode known tones: each
// code is the one whose decoded step lands nearest the input.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "AdpcmTables.h"
#include "moviemaker/BitWriter.h"

namespace audiotest {

inline std::vector<std::uint8_t> encodeAdpcm(const std::vector<std::int16_t>& interleaved,
                                             bool stereo, unsigned bits) {
    moviemaker::BitWriter out;
    out.ub(bits - 2, 2);
    const unsigned channels = stereo ? 2 : 1;
    const std::size_t frames = interleaved.size() / channels;
    int predictor[2] = {0, 0};
    int index[2] = {0, 0};
    const std::uint32_t sign = 1u << (bits - 1);
    for (std::size_t f = 0; f < frames; ++f) {
        for (unsigned c = 0; c < channels; ++c) {
            const int sample = interleaved[f * channels + c];
            if (f % 4096 == 0) {
                predictor[c] = sample;
                index[c] = std::min(index[c], 63);
                out.sb(sample, 16);
                out.ub(static_cast<std::uint32_t>(index[c]), 6);
                continue;
            }
            // Try every code and keep the closest result.
            std::uint32_t best = 0;
            int bestValue = 0;
            int bestError = 1 << 30;
            for (std::uint32_t code = 0; code < (1u << bits); ++code) {
                int step = audio::kAdpcmSteps[index[c]];
                int diff = 0;
                for (std::uint32_t k = sign >> 1; k != 0; k >>= 1) {
                    if (code & k) {
                        diff += step;
                    }
                    step >>= 1;
                }
                diff += step;
                const int value =
                    std::clamp(predictor[c] + ((code & sign) ? -diff : diff), -32768, 32767);
                if (std::abs(value - sample) < bestError) {
                    bestError = std::abs(value - sample);
                    best = code;
                    bestValue = value;
                }
            }
            out.ub(best, bits);
            predictor[c] = bestValue;
            index[c] =
                std::clamp(index[c] + audio::adpcmIndexShift(bits, best & (sign - 1)), 0, 88);
        }
    }
    return out.take();
}

} // namespace audiotest
