#pragma once
// DefineBitsLossless (version 1) and DefineBitsLossless2 (version 2): zlib-compressed
// palette, 15-bit or 32-bit pixels.

#include "DecodedBitmap.h"

#include <cstdint>
#include <span>

namespace mc {

enum class LosslessVersion { Opaque = 1, WithAlpha = 2 };

// The header fields of a lossless tag as stored.
struct LosslessHeader {
    std::uint8_t format = 0; // 3: palette, 4: 15-bit RGB (version 1 only), 5: 32-bit
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t colorTableSize = 0; // format 3: palette entries minus one
};

// Decodes the zlib pixel data of a lossless tag whose header is already read. Pixels the
// data does not reach are transparent (version 2) or black (version 1) and the status is
// Partial; palette indexes past the palette give the same colour.
DecodedBitmap decodeLosslessPixels(const LosslessHeader& header,
                                   std::span<const std::uint8_t> zlibData, LosslessVersion version);

// `body` is the tag after the character id: UI8 format, UI16 width, UI16 height, for
// format 3 a UI8 palette size minus one, then the zlib data.
DecodedBitmap decodeDefineBitsLossless(std::span<const std::uint8_t> body, LosslessVersion version);

} // namespace mc
