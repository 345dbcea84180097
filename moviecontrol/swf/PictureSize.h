#pragma once
// A picture's size from the header of its file, without decoding it.

#include <cstdint>
#include <optional>
#include <span>

namespace swf {

// Pictures larger than this many pixels a side are refused, as the bitmap decoders would.
inline constexpr std::uint32_t kMaxPictureSide = 16384;

struct PictureSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The size in pixels of a JPEG, PNG or GIF file; nullopt when the bytes are none of these,
// the size is missing, zero or past kMaxPictureSide.
std::optional<PictureSize> pictureSize(std::span<const std::uint8_t> bytes);

} // namespace swf
