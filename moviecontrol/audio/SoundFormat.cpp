#include "SoundFormat.h"

namespace audio {

std::uint32_t rateFromCode(unsigned code) {
    static constexpr std::uint32_t kRates[4] = {5512, 11025, 22050, 44100};
    return kRates[code & 3u];
}

SoundFormat formatFromByte(std::uint8_t bits) {
    SoundFormat f;
    f.codec = static_cast<std::uint8_t>(bits >> 4);
    f.rate = rateFromCode((bits >> 2) & 3u);
    f.sixteenBit = (bits & 2u) != 0;
    f.stereo = (bits & 1u) != 0;
    if (f.kind() == Codec::Nellymoser16k) {
        f.rate = 16000;
        f.stereo = false;
    } else if (f.kind() == Codec::Nellymoser8k) {
        f.rate = 8000;
        f.stereo = false;
    }
    return f;
}

} // namespace audio
