#include "PcmDecoder.h"

#include <algorithm>

namespace audio {

void decodePcm(const SoundFormat& format, std::span<const std::uint8_t> data, std::size_t maxFrames,
               std::vector<std::int16_t>& out) {
    const std::size_t bytesPerSample = format.sixteenBit ? 2 : 1;
    const std::size_t frameBytes = bytesPerSample * format.channels();
    const std::size_t frames = std::min(data.size() / frameBytes, maxFrames);
    const std::size_t count = frames * format.channels();
    out.reserve(out.size() + count);
    for (std::size_t i = 0; i < count; ++i) {
        if (format.sixteenBit) {
            const auto lo = static_cast<std::uint16_t>(data[2 * i]);
            const auto hi = static_cast<std::uint16_t>(data[2 * i + 1]);
            out.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8))));
        } else {
            out.push_back(static_cast<std::int16_t>((static_cast<int>(data[i]) - 128) * 256));
        }
    }
}

} // namespace audio
