#pragma once

#include "Mixer.h"
#include "SoundDecoding.h"
#include "swf/ControlTags.h"

#include <optional>

namespace audio {

// The head of a timeline's stream: the first SoundStreamHead or SoundStreamHead2 in it.
std::optional<StreamHead> findStreamHead(const swf::Timeline& timeline);
// The body of the frame's SoundStreamBlock, if it has one.
std::optional<Bytes> streamBlockOf(const swf::Frame& frame);

// A timeline's stream from one frame on, one frame's block per pull. A frame without a
// block is a frame's length of silence; the stream ends with the timeline.
class StreamFeed : public StreamSource {
  public:
    StreamFeed(const swf::Timeline& timeline, const StreamHead& head, std::uint32_t firstFrame,
               double framesPerSecond);

    bool pull(std::vector<std::int16_t>& out) override;
    std::uint32_t rate() const override { return decoder_.rate(); }
    unsigned channels() const override { return decoder_.channels(); }

  private:
    const swf::Timeline& timeline_;
    StreamDecoder decoder_;
    std::uint32_t next_;
    double framesPerSecond_;
};

} // namespace audio
