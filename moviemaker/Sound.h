#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace moviemaker {

// The format byte of DefineSound and the stream heads.
struct SoundFormat {
    uint8_t codec = 3;    // 0 native PCM, 1 ADPCM, 2 MP3, 3 little-endian PCM, 4-6 Nellymoser
    uint8_t rateCode = 3; // 5.5, 11, 22, 44 kHz
    bool sixteenBit = true;
    bool stereo = false;
    // The byte as written; refuses a codec or rate code wider than its bits.
    uint8_t checkedByte() const;
    uint8_t byte() const {
        return static_cast<uint8_t>(codec << 4 | (rateCode & 3) << 2 | (sixteenBit ? 2 : 0) |
                                    (stereo ? 1 : 0));
    }
};

struct EnvelopePoint {
    uint32_t pos44 = 0;
    uint16_t left = 32768;
    uint16_t right = 32768;
};

struct SoundInfo {
    bool syncStop = false;
    bool noMultiple = false;
    std::optional<uint32_t> inPoint;
    std::optional<uint32_t> outPoint;
    std::optional<uint16_t> loops;
    std::vector<EnvelopePoint> envelope;
};

std::vector<uint8_t> encodeSoundInfo(const SoundInfo& info);

// A sine tone of `frequency` Hz, `frames` samples long at `rate`, peak `amplitude`.
std::vector<int16_t> sineTone(double frequency, uint32_t rate, std::size_t frames,
                              double amplitude = 16000.0);
// Samples as 16-bit little-endian bytes, or as 8-bit unsigned ones.
std::vector<uint8_t> pcm16Bytes(const std::vector<int16_t>& samples);
std::vector<uint8_t> pcm8Bytes(const std::vector<int16_t>& samples);

} // namespace moviemaker
