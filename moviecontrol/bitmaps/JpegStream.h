#pragma once
// Movies split JPEG streams in ways a standard decoder rejects: tables kept in a shared tag,
// image data with its own start marker, and the stray end/start marker pair (FF D9 FF D8)
// old encoders left before the frame header. This joins the pieces into one clean stream.

#include <cstdint>
#include <span>
#include <vector>

namespace mc {

// One JPEG stream made of `tables` (the movie's shared tables, may be empty, with or without
// their own start/end markers) followed by `image`. Start and end markers before the first
// scan are dropped from both, so the result has exactly one start marker, the table and
// frame segments in order, the scan data as stored and an end marker. Stray bytes between
// segments are skipped; a segment cut short by the end of its piece is kept as it is. Frame
// headers and scans in `tables` are ignored.
std::vector<std::uint8_t> assembleJpegStream(std::span<const std::uint8_t> tables,
                                             std::span<const std::uint8_t> image);

} // namespace mc
