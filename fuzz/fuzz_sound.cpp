// Arbitrary bytes through the sound layer: every sound tag reader, each decoder (PCM,
// ADPCM, MP3 and Nellymoser; the first byte is the format byte of a DefineSound), a stream
// decoded block by block, and the mixer playing the result with the sound info the bytes
// give.
#include "Mixer.h"
#include "SoundDecoding.h"
#include "SoundTags.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

std::size_t sink = 0;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::span<const std::uint8_t> all(data, size);
    const std::span<const std::uint8_t> rest = all.subspan(1);

    const auto start = audio::readStartSound(rest);
    const auto start2 = audio::readStartSound2(rest);
    const auto head = audio::readStreamHead(rest);
    const auto button = audio::readDefineButtonSound(rest);
    sink += audio::readExportAssets(rest).size() + (start2 ? start2->className.size() : 0) +
            (head ? head->samplesPerBlock : 0) + (button ? button->buttonId : 0);

    // A short decode limit keeps each run quick; the limits themselves are part of the test.
    audio::DecodeLimits limits;
    limits.maxFrames = 44100;
    audio::SoundDefinition sound;
    sound.id = 1;
    sound.format = audio::formatFromByte(data[0]);
    sound.sampleCount = static_cast<std::uint32_t>(size * 3);
    sound.data = rest;
    const auto pcm = audio::decodeEventSound(sound, limits);

    // The same bytes as a stream: blocks of the length the next byte gives.
    audio::StreamDecoder stream(sound.format);
    std::vector<std::int16_t> out;
    for (std::size_t at = 0; at < rest.size();) {
        const std::size_t length = std::min<std::size_t>(rest[at] * 4u + 1, rest.size() - at);
        stream.decodeBlock(rest.subspan(at, length), 44100, out);
        at += length;
    }
    sink += out.size() + stream.rate();

    if (pcm && pcm->frames() > 0) {
        audio::Mixer mixer(44100);
        mixer.startEvent(1, std::make_shared<const audio::PcmBuffer>(*pcm),
                         start ? start->info : audio::SoundInfo{});
        std::vector<std::int16_t> mixed(2 * 4096);
        mixer.mix(mixed.data(), 4096);
        sink += static_cast<std::size_t>(mixed[100]);
    }
    return 0;
}
