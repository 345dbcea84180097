#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace moviemaker {

// DefineBitsJPEG2 when `alpha` is empty, DefineBitsJPEG3 otherwise: the JPEG stream as
// given (SOI first) and, for the third version, one alpha byte a pixel, row by row, which
// the body stores zlib-compressed. The JPEG must start with its SOI marker.
std::vector<uint8_t> encodeDefineBitsJpeg(uint16_t id, std::span<const uint8_t> jpeg,
                                          std::span<const uint8_t> alpha = {});

} // namespace moviemaker
