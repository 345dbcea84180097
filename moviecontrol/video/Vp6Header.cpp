#include "Vp6Header.h"

namespace video::vp6 {

HeaderError readFrameHeader(std::span<const std::uint8_t> frame, int keyProfile, FrameHeader& out) {
    if (frame.empty()) {
        return HeaderError::Truncated;
    }
    out = FrameHeader{};
    out.keyFrame = (frame[0] & 0x80) == 0;
    out.quantiser = (frame[0] >> 1) & 0x3F;
    out.separatedCoefficients = (frame[0] & 1) != 0;
    std::size_t at = 1;
    int profile = keyProfile;
    if (out.keyFrame) {
        if (frame.size() < 2) {
            return HeaderError::Truncated;
        }
        out.version = frame[1] >> 3;
        out.profile = (frame[1] >> 1) & 3;
        out.interlaced = (frame[1] & 1) != 0;
        profile = out.profile;
        at = 2;
        if (out.version > 8 || out.interlaced) {
            return HeaderError::Unsupported;
        }
    }
    if (out.separatedCoefficients || profile == 0) {
        if (frame.size() < at + 2) {
            return HeaderError::Truncated;
        }
        // Counted from the start of the frame.
        const std::size_t offset = (static_cast<std::size_t>(frame[at]) << 8) | frame[at + 1];
        at += 2;
        if (offset > frame.size()) {
            return HeaderError::Truncated;
        }
        // An offset of 2 means no separate partition, as a zero difference would.
        out.coefficientsOffset = offset == 2 ? 0 : offset;
        if (out.coefficientsOffset != 0 && out.coefficientsOffset < at) {
            return HeaderError::Truncated;
        }
    }
    if (out.keyFrame) {
        if (frame.size() < at + 4) {
            return HeaderError::Truncated;
        }
        out.macroblockRows = frame[at];
        out.macroblockColumns = frame[at + 1];
        out.displayRows = frame[at + 2];
        out.displayColumns = frame[at + 3];
        at += 4;
        if (out.macroblockRows == 0 || out.macroblockColumns == 0) {
            return HeaderError::BadSize;
        }
    }
    out.modesOffset = at;
    return HeaderError::None;
}

bool isKeyFrame(std::span<const std::uint8_t> frame) {
    return !frame.empty() && (frame[0] & 0x80) == 0;
}

} // namespace video::vp6
