#include "SoundDecoding.h"

#include <algorithm>

#include "AdpcmDecoder.h"
#include "NellymoserDecoder.h"
#include "PcmDecoder.h"
#include "swf/ByteReader.h"

namespace audio {

bool codecSupported(const SoundFormat& format) {
    switch (format.kind()) {
    case Codec::PcmNative:
    case Codec::PcmLittle:
    case Codec::Adpcm:
    case Codec::Mp3:
    case Codec::Nellymoser16k:
    case Codec::Nellymoser8k:
    case Codec::Nellymoser:
        return true;
    default:
        return false;
    }
}

const char* codecName(const SoundFormat& format) {
    switch (format.kind()) {
    case Codec::PcmNative:
    case Codec::PcmLittle:
        return "PCM";
    case Codec::Adpcm:
        return "ADPCM";
    case Codec::Mp3:
        return "MP3";
    case Codec::Nellymoser16k:
    case Codec::Nellymoser8k:
    case Codec::Nellymoser:
        return "Nellymoser";
    case Codec::Speex:
        return "Speex";
    }
    return "unknown";
}

namespace {

bool isNellymoser(const SoundFormat& format) {
    return format.kind() == Codec::Nellymoser16k || format.kind() == Codec::Nellymoser8k ||
           format.kind() == Codec::Nellymoser;
}

std::size_t addCapped(std::size_t a, std::size_t b) {
    return a > SIZE_MAX - b ? SIZE_MAX : a + b;
}

// Drops `skip` frames from the front.
void dropFront(PcmBuffer& pcm, std::size_t skip) {
    const std::size_t n = std::min(skip, pcm.frames()) * pcm.channels;
    pcm.samples.erase(pcm.samples.begin(), pcm.samples.begin() + static_cast<std::ptrdiff_t>(n));
}

} // namespace

std::optional<PcmBuffer> decodeEventSound(const SoundDefinition& sound,
                                          const DecodeLimits& limits) {
    if (!codecSupported(sound.format)) {
        return std::nullopt;
    }
    PcmBuffer pcm;
    pcm.rate = sound.format.rate;
    pcm.channels = sound.format.channels();
    switch (sound.format.kind()) {
    case Codec::PcmNative:
    case Codec::PcmLittle:
        decodePcm(sound.format, sound.data, limits.maxFrames, pcm.samples);
        break;
    case Codec::Adpcm:
        decodeAdpcm(sound.data, sound.format.stereo, limits.maxFrames, pcm.samples);
        break;
    case Codec::Mp3: {
        swf::ByteReader r(sound.data);
        const std::int16_t seek = r.s16();
        Mp3Decoder mp3(pcm.channels);
        const std::size_t skip = seek > 0 ? static_cast<std::size_t>(seek) : 0;
        mp3.decode(r.rest(), addCapped(limits.maxFrames, skip), pcm.samples);
        if (mp3.rate() != 0) {
            pcm.rate = mp3.rate();
        }
        dropFront(pcm, skip);
        break;
    }
    case Codec::Nellymoser16k:
    case Codec::Nellymoser8k:
    case Codec::Nellymoser:
        NellymoserDecoder().decode(sound.data, limits.maxFrames, pcm.samples, pcm.channels);
        break;
    default:
        return std::nullopt;
    }
    // The tag's count ends the sound where the encoder padded its last block.
    if (sound.sampleCount > 0 && sound.sampleCount < pcm.frames()) {
        pcm.samples.resize(std::size_t{sound.sampleCount} * pcm.channels);
    }
    return pcm;
}

StreamDecoder::StreamDecoder(const SoundFormat& format) : format_(format) {
    if (format_.kind() == Codec::Mp3) {
        mp3_ = std::make_unique<Mp3Decoder>(format_.channels());
    } else if (isNellymoser(format_)) {
        nelly_ = std::make_unique<NellymoserDecoder>();
    }
}

std::uint32_t StreamDecoder::rate() const {
    return mp3_ && mp3_->rate() != 0 ? mp3_->rate() : format_.rate;
}

std::size_t StreamDecoder::decodeBlock(Bytes body, std::size_t maxFrames,
                                       std::vector<std::int16_t>& out) {
    const std::size_t before = out.size();
    switch (format_.kind()) {
    case Codec::PcmNative:
    case Codec::PcmLittle:
        decodePcm(format_, body, maxFrames, out);
        break;
    case Codec::Adpcm:
        decodeAdpcm(body, format_.stereo, maxFrames, out);
        break;
    case Codec::Mp3: {
        const std::optional<Mp3StreamBlock> block = readMp3StreamBlock(body);
        if (!block) {
            break;
        }
        if (first_ && block->seekSamples > 0) {
            skip_ = static_cast<std::size_t>(block->seekSamples);
        }
        std::vector<std::int16_t> decoded;
        mp3_->decode(block->frames, addCapped(maxFrames, skip_), decoded);
        const std::size_t ch = format_.channels();
        const std::size_t frames = decoded.size() / ch;
        const std::size_t dropped = std::min(skip_, frames);
        skip_ -= dropped;
        const std::size_t keep = std::min(frames - dropped, maxFrames);
        out.insert(out.end(), decoded.begin() + static_cast<std::ptrdiff_t>(dropped * ch),
                   decoded.begin() + static_cast<std::ptrdiff_t>((dropped + keep) * ch));
        break;
    }
    case Codec::Nellymoser16k:
    case Codec::Nellymoser8k:
    case Codec::Nellymoser:
        nelly_->decode(body, maxFrames, out, format_.channels());
        break;
    default:
        break;
    }
    first_ = false;
    return (out.size() - before) / format_.channels();
}

} // namespace audio
