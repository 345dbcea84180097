#pragma once
// A complete JPEG stream decoded with libjpeg-turbo into an opaque premultiplied image.

#include "DecodedBitmap.h"

#include <cstdint>
#include <span>

namespace mc {

// Decodes one self-contained JPEG stream (already cleaned by assembleJpegStream). Grey,
// YCbCr, RGB and (Adobe) CMYK data are accepted. A stream that breaks after the header
// gives the rows decoded so far with the rest black and status Partial.
DecodedBitmap decodeJpegStream(std::span<const std::uint8_t> stream);

} // namespace mc
