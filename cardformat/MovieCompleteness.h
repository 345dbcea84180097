#pragma once

#include <cstdint>
#include <string>

namespace cardformat {

// How much of an uncompressed movie starting `offset` bytes into a file is there. A card's
// movie is stored as it is, so a movie that ends before the length its header declares was
// cut short (a download broken off) and plays only the frames that made it.
struct MovieCompleteness {
    bool uncompressedMovie = false; // "FWS" and a whole header's length field at the offset
    std::uint64_t declared = 0;     // the header's length
    std::uint64_t present = 0;      // the bytes from the offset to the end of the file
    std::uint64_t missing() const { return declared > present ? declared - present : 0; }
};

// Throws CardError when the file cannot be read.
MovieCompleteness movieCompleteness(const std::string& path, std::uint64_t offset);

} // namespace cardformat
