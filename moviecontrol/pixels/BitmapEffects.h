#pragma once
// BitmapData's per-channel operations on unpremultiplied colour: colour transforms, channel
// copies, merges, palette maps and thresholds. Each works on the part of its rectangle that
// lies inside both bitmaps; a source may be the destination itself.

#include "pixels/BitmapPixels.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace pixels {

// Multipliers and offsets in the order red, green, blue, alpha.
struct ChannelTransform {
    std::array<double, 4> mult{1, 1, 1, 1};
    std::array<double, 4> add{0, 0, 0, 0};
};

void colorTransform(BitmapPixels& bitmap, PixelRect rect, const ChannelTransform& t);

// Where `from` (a rectangle of the source) lands in the destination.
struct Placement {
    PixelRect from;
    int toX = 0, toY = 0;
};

// The part of a placement inside both bitmaps: where it lands, and the source pixel that
// lands on its top-left corner. Empty when they do not overlap.
struct Overlap {
    PixelRect dest;
    int sourceX = 0, sourceY = 0;
};
Overlap overlapOf(const BitmapPixels& dest, const BitmapPixels& source, Placement at);

// Copies one channel (1 red, 2 green, 4 blue, 8 alpha) into another.
void copyChannel(BitmapPixels& dest, const BitmapPixels& source, Placement at,
                 std::uint32_t sourceChannel, std::uint32_t destChannel);

// Per channel (source * mult + dest * (256 - mult)) / 256, multipliers in 0..256.
void merge(BitmapPixels& dest, const BitmapPixels& source, Placement at,
           const std::array<std::uint32_t, 4>& mult);

// Each channel looked up in its table (indexed by the source's channel); the four results
// are added as ARGB. `present` says which tables were given: a missing one keeps the channel.
void paletteMap(BitmapPixels& dest, const BitmapPixels& source, Placement at,
                const std::array<std::array<std::uint32_t, 256>, 4>& tables,
                const std::array<bool, 4>& present);

// Pixels whose (source & mask) passes `operation` ("<", "<=", ">", ">=", "==", "!=")
// against (threshold & mask) become `color`; the others get the source pixel when
// `copySource` is set. Returns how many passed; -1 for an unknown operation.
int threshold(BitmapPixels& dest, const BitmapPixels& source, Placement at,
              std::string_view operation, std::uint32_t thresholdValue, std::uint32_t color,
              std::uint32_t mask, bool copySource);

} // namespace pixels
