#pragma once
// The four JPEG bitmap tags. Every payload is the tag body after the character id.

#include "DecodedBitmap.h"

#include <cstdint>
#include <span>

namespace mc {

// The fields of any JPEG tag once split: the image data (JPEG, or PNG/GIF from the second
// version on), the zlib alpha plane of the third and fourth versions (empty otherwise) and
// the movie's shared tables (only DefineBits relies on them; empty otherwise).
DecodedBitmap decodeJpegImage(std::span<const std::uint8_t> imageData,
                              std::span<const std::uint8_t> zlibAlpha,
                              std::span<const std::uint8_t> sharedTables = {});

// DefineBits: JPEG image data whose tables live in the movie's JPEGTables tag
// (`sharedTables`, may be empty when the movie has none).
DecodedBitmap decodeDefineBits(std::span<const std::uint8_t> imageData,
                               std::span<const std::uint8_t> sharedTables);

// DefineBitsJPEG2: JPEG with its own tables, or PNG/GIF data.
DecodedBitmap decodeDefineBitsJpeg2(std::span<const std::uint8_t> body);

// DefineBitsJPEG3: UI32 image length, the image, then a zlib alpha plane of one byte per
// pixel. Colour is clamped to alpha, since stored colour is meant to be premultiplied and
// encoders sometimes were not. PNG/GIF data keeps its own alpha; the plane is ignored.
DecodedBitmap decodeDefineBitsJpeg3(std::span<const std::uint8_t> body);

// DefineBitsJPEG4: as the third version with a UI16 deblocking strength after the length;
// deblocking is not applied.
DecodedBitmap decodeDefineBitsJpeg4(std::span<const std::uint8_t> body);

// Multiplies an opaque image by a zlib alpha plane (one byte per pixel, row by row).
// An empty or undecodable plane leaves the image opaque; a short one makes the missing
// pixels transparent and reports Partial.
BitmapStatus applyAlphaPlane(QImage& image, std::span<const std::uint8_t> zlibAlpha);

} // namespace mc
