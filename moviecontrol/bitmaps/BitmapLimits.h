#pragma once
// Bitmap sizes come from the movie; they are refused before any pixel memory is reserved.

#include <cstdint>

namespace mc {

inline constexpr std::int64_t kMaxBitmapSide = 8192;
inline constexpr std::int64_t kMaxBitmapPixels = 64LL * 1024 * 1024;

// Beyond this many pixels a bitmap must be backed by enough data to be believed.
inline constexpr std::int64_t kTrustedBitmapPixels = 1LL << 20;
// Far more pixels per compressed byte than any real JPEG reaches (a flat 8x8 block still
// costs a few bits).
inline constexpr std::int64_t kMaxJpegPixelsPerByte = 512;

// True when a compressed picture of `bytes` bytes can plausibly hold `pixels` pixels;
// keeps a header claiming a huge picture over a few bytes from costing its full memory.
constexpr bool bitmapDataPlausible(std::int64_t pixels, std::int64_t bytes,
                                   std::int64_t pixelsPerByte) {
    return pixels <= kTrustedBitmapPixels || bytes * pixelsPerByte >= pixels;
}

// True when a bitmap of this size may be allocated (both sides at least one pixel).
constexpr bool bitmapSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxBitmapSide && height <= kMaxBitmapSide &&
           width * height <= kMaxBitmapPixels;
}

} // namespace mc
