#pragma once
// Turns a movie file into its uncompressed bytes (signature and length included).

#include "swf/Movie.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace swf {

struct DecompressedFile {
    LoadError error = LoadError::None;
    Compression compression = Compression::None;
    std::uint8_t version = 0;
    std::uint32_t declaredLength = 0;
    std::vector<std::uint8_t> bytes; // The 8-byte file header followed by the body.
    bool shorterThanDeclared = false;
    bool corrupt = false;
    bool capped = false;
};

// Inflates at most min(declared length, maxBytes) bytes; a truncated or damaged zlib stream
// gives what was inflated before the damage.
DecompressedFile decompressFile(std::span<const std::uint8_t> file, std::size_t maxBytes);

} // namespace swf
