#include "StreamFeed.h"

#include <algorithm>
#include <cmath>

#include "swf/TagCodes.h"

namespace audio {

namespace {
// One block never holds more than a few seconds; more is a damaged or hostile tag.
constexpr std::size_t kMaxBlockFrames = 44100 * 4;
} // namespace

std::optional<StreamHead> findStreamHead(const swf::Timeline& timeline) {
    for (const swf::Frame& frame : timeline.frames) {
        for (const swf::ControlTag& tag : frame.tags) {
            const auto* raw = std::get_if<swf::RawControlTag>(&tag);
            if (raw != nullptr && (raw->code == swf::tag::SoundStreamHead ||
                                   raw->code == swf::tag::SoundStreamHead2)) {
                return readStreamHead(raw->body);
            }
        }
    }
    return std::nullopt;
}

std::optional<Bytes> streamBlockOf(const swf::Frame& frame) {
    for (const swf::ControlTag& tag : frame.tags) {
        const auto* raw = std::get_if<swf::RawControlTag>(&tag);
        if (raw != nullptr && raw->code == swf::tag::SoundStreamBlock) {
            return raw->body;
        }
    }
    return std::nullopt;
}

StreamFeed::StreamFeed(const swf::Timeline& timeline, const StreamHead& head,
                       std::uint32_t firstFrame, double framesPerSecond)
    : timeline_(timeline), decoder_(head.stream), next_(firstFrame),
      framesPerSecond_(framesPerSecond > 0.0 ? framesPerSecond : 12.0) {}

bool StreamFeed::pull(std::vector<std::int16_t>& out) {
    if (next_ >= timeline_.frames.size()) {
        return false;
    }
    const swf::Frame& frame = timeline_.frames[next_++];
    if (const std::optional<Bytes> block = streamBlockOf(frame)) {
        decoder_.decodeBlock(*block, kMaxBlockFrames, out);
    } else {
        const auto silent = static_cast<std::size_t>(std::lround(rate() / framesPerSecond_));
        out.insert(out.end(), std::min(silent, kMaxBlockFrames) * channels(), 0);
    }
    return true;
}

} // namespace audio
