#pragma once
// The plain bytes at the start of a VP6 frame, before the bool-coded part.

#include <cstddef>
#include <cstdint>
#include <span>

namespace video::vp6 {

struct FrameHeader {
    bool keyFrame = false;
    int quantiser = 0;
    bool separatedCoefficients = false;
    // Key frames only:
    int version = 0; // 6, 7 or 8 for VP60, VP61, VP62.
    int profile = 0; // 0 simple; otherwise the frames carry filter settings.
    bool interlaced = false;
    int macroblockRows = 0;
    int macroblockColumns = 0;
    int displayRows = 0; // In macroblocks, as the encoder meant the picture to be shown.
    int displayColumns = 0;
    // Where the bool-coded header and modes start, and where the coefficients start (0 when
    // they follow in the same partition).
    std::size_t modesOffset = 0;
    std::size_t coefficientsOffset = 0;
};

enum class HeaderError { None, Truncated, Unsupported, BadSize };

// `keyProfile` is the profile of the last key frame (inter frames need it: the
// simple profile always splits the coefficients off).
HeaderError readFrameHeader(std::span<const std::uint8_t> frame, int keyProfile, FrameHeader& out);

bool isKeyFrame(std::span<const std::uint8_t> frame);

} // namespace video::vp6
