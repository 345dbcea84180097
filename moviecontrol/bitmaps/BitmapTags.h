#pragma once
// One entry point for every bitmap tag, chosen by the tag code.

#include "DecodedBitmap.h"

#include <cstdint>
#include <span>

namespace mc {

enum class BitmapTag : std::uint16_t {
    DefineBits = 6,
    DefineBitsLossless = 20,
    DefineBitsJpeg2 = 21,
    DefineBitsJpeg3 = 35,
    DefineBitsLossless2 = 36,
    DefineBitsJpeg4 = 90,
};

// True for the tag codes decodeBitmapTag understands.
bool isBitmapTag(std::uint16_t tagCode);

// Decodes the body (after the character id) of a bitmap tag. `sharedTables` is the content
// of the movie's JPEGTables tag and only matters for DefineBits. Unknown codes give
// Unsupported.
DecodedBitmap decodeBitmapTag(std::uint16_t tagCode, std::span<const std::uint8_t> body,
                              std::span<const std::uint8_t> sharedTables = {});

} // namespace mc
