#pragma once
// Turns the stored sound of an event sound or of a stream's blocks into 16-bit samples,
// whatever the codec.

#include "Mp3Decoder.h"
#include "NellymoserDecoder.h"
#include "PcmBuffer.h"
#include "SoundTags.h"

#include <memory>
#include <optional>

namespace audio {

// Whether this layer can decode the codec; the others play silent.
bool codecSupported(const SoundFormat& format);
// A name for the codec, for the log.
const char* codecName(const SoundFormat& format);

// The whole of a DefineSound, its MP3 seek samples skipped and its length held to the
// sample count the tag states. Nothing for a codec this layer cannot decode.
std::optional<PcmBuffer> decodeEventSound(const SoundDefinition& sound,
                                          const DecodeLimits& limits = {});

// Decodes the blocks of one stream in order. MP3 blocks go through one decoder, so the
// stream plays without gaps; the first block's seek samples are skipped. The other codecs
// hold each block whole; Nellymoser blocks go through one decoder too, whose window
// overlaps from block to block.
class StreamDecoder {
  public:
    explicit StreamDecoder(const SoundFormat& format);

    // Appends the samples of one block's body (at most `maxFrames`) and returns the count.
    std::size_t decodeBlock(Bytes body, std::size_t maxFrames, std::vector<std::int16_t>& out);
    // The rate of the samples appended: the MP3 frames' own once known, else the head's.
    std::uint32_t rate() const;
    unsigned channels() const { return format_.channels(); }
    bool supported() const { return codecSupported(format_); }

  private:
    SoundFormat format_;
    std::unique_ptr<Mp3Decoder> mp3_;
    std::unique_ptr<NellymoserDecoder> nelly_;
    std::size_t skip_ = 0;
    bool first_ = true;
};

} // namespace audio
