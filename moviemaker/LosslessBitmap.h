#pragma once

#include "moviemaker/Records.h"

#include <cstdint>
#include <span>
#include <vector>

namespace moviemaker {

enum class LosslessFormat : uint8_t {
    Palette8 = 3, // up to 256 colours, rows padded to four bytes
    Rgb15 = 4,    // first version only; rows padded to an even number of pixels
    Argb32 = 5,
};

// Pixels row by row, top first, straight (not premultiplied) alpha. The first version is
// opaque and refuses translucent pixels; the second stores premultiplied colour, as
// players expect.
struct RawImage {
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<Rgba> pixels;
};

// The DefineBitsLossless (version 1) or DefineBitsLossless2 (version 2) body. A palette
// image with more than 256 colours is refused.
std::vector<uint8_t> encodeDefineBitsLossless(uint16_t id, const RawImage& image, int version,
                                              LosslessFormat format);

// zlib at the highest level; the same input always gives the same bytes.
std::vector<uint8_t> zlibCompress(std::span<const uint8_t> data);

} // namespace moviemaker
