#pragma once
// From the second JPEG tag version on, the image data may instead be a PNG or GIF file.

#include "DecodedBitmap.h"

#include <cstdint>
#include <span>

namespace mc {

enum class EmbeddedImageKind { Jpeg, Png, Gif };

// Tells the kind by the file signature; anything that is not PNG or GIF is taken as JPEG,
// as the JPEG data in movies often starts with a stray marker pair instead of SOI.
EmbeddedImageKind embeddedImageKind(std::span<const std::uint8_t> data);

// Decodes PNG or GIF data (first frame) with Qt's readers, refusing oversized pictures
// before their pixels are allocated. Colour stays unpremultiplied in those files and is
// premultiplied here.
DecodedBitmap decodeEmbeddedImage(std::span<const std::uint8_t> data, EmbeddedImageKind kind);

} // namespace mc
