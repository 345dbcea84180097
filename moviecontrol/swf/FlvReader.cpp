#include "swf/FlvReader.h"

namespace swf {

namespace {

std::uint32_t bigEndian(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t count) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < count; ++i) {
        v = v << 8 | bytes[at + i];
    }
    return v;
}

constexpr std::size_t kTagHeader = 11;
constexpr std::size_t kPreviousSize = 4;
constexpr int kSorenson = 2;
constexpr int kVp6 = 4;
constexpr int kVp6Alpha = 5;
constexpr int kCommandFrame = 5;
constexpr int kKeyFrame = 1;

} // namespace

std::optional<std::size_t> flvFirstTag(std::span<const std::uint8_t> file) {
    if (file.size() < 9 || file[0] != 'F' || file[1] != 'L' || file[2] != 'V') {
        return std::nullopt;
    }
    const std::size_t header = bigEndian(file, 5, 4);
    if (header < 9 || header > file.size()) {
        return std::nullopt;
    }
    return header + kPreviousSize;
}

std::optional<FlvTag> readFlvTag(std::span<const std::uint8_t> file, std::size_t& offset) {
    if (offset > file.size() || file.size() - offset < kTagHeader) {
        return std::nullopt;
    }
    const std::size_t size = bigEndian(file, offset + 1, 3);
    if (file.size() - offset - kTagHeader < size) {
        return std::nullopt;
    }
    FlvTag tag;
    // The type's low five bits; the others mark filtered (encrypted) packets.
    tag.type = file[offset] & 0x1F;
    // 24 bits of milliseconds, then the 8 bits above them.
    tag.timeMs = bigEndian(file, offset + 4, 3) | std::uint32_t{file[offset + 7]} << 24;
    tag.data = file.subspan(offset + kTagHeader, size);
    offset += kTagHeader + size + kPreviousSize;
    return tag;
}

std::optional<FlvVideoFrame> flvVideoFrame(std::span<const std::uint8_t> tagData) {
    if (tagData.empty()) {
        return std::nullopt;
    }
    FlvVideoFrame out;
    const int frameType = tagData[0] >> 4;
    out.codec = tagData[0] & 0x0F;
    out.keyFrame = frameType == kKeyFrame;
    if (frameType == kCommandFrame) {
        return std::nullopt;
    }
    // VP6 frames start with a byte of the crop to apply, which a SWF's frames lack.
    const std::size_t skip = out.codec == kVp6 || out.codec == kVp6Alpha ? 2 : 1;
    if (tagData.size() <= skip ||
        (out.codec != kSorenson && out.codec != kVp6 && out.codec != kVp6Alpha)) {
        return std::nullopt;
    }
    out.frame = tagData.subspan(skip);
    return out;
}

} // namespace swf
