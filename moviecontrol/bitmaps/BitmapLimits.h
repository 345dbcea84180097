#pragma once
// Bitmap sizes come from the movie; they are refused before any pixel memory is reserved.

#include <cstdint>

namespace mc {

inline constexpr std::int64_t kMaxBitmapSide = 8192;
inline constexpr std::int64_t kMaxBitmapPixels = 64LL * 1024 * 1024;

/// True when a bitmap of this size may be allocated (both sides at least one pixel).
constexpr bool bitmapSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxBitmapSide && height <= kMaxBitmapSide &&
           width * height <= kMaxBitmapPixels;
}

} // namespace mc
