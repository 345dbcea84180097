#pragma once
// How a movie's sound data is stored: the codec, the sampling rate and the sample layout
// that DefineSound and the stream heads give in one byte.

#include <cstdint>

namespace audio {

enum class Codec : std::uint8_t {
    PcmNative = 0, // uncompressed in the byte order of the authoring machine: little endian
    Adpcm = 1,
    Mp3 = 2,
    PcmLittle = 3,
    Nellymoser16k = 4,
    Nellymoser8k = 5,
    Nellymoser = 6,
    Speex = 11,
};

struct SoundFormat {
    std::uint8_t codec = 0; // as stored; values outside Codec are kept to be reported
    std::uint32_t rate = 5512;
    bool sixteenBit = true;
    bool stereo = false;

    Codec kind() const { return static_cast<Codec>(codec); }
    unsigned channels() const { return stereo ? 2u : 1u; }
};

// The byte shared by DefineSound and the stream heads: codec in the high four bits, then
// the rate code, the sample size and the channel count. The Nellymoser codes with a fixed
// rate say so in the codec, whatever the rate bits hold.
SoundFormat formatFromByte(std::uint8_t bits);
// The rate as the two bits code it: 5,512, 11,025, 22,050 or 44,100 samples a second.
std::uint32_t rateFromCode(unsigned code);

} // namespace audio
