#pragma once
// The H.263 in-loop deblocking filter (the picture header's deblocking flag): softens the
// steps across 8x8 block edges by an amount that grows with the quantiser, leaving real
// edges (steps much larger than the quantiser's) alone.

#include <cstdint>
#include <vector>

#include "YuvPicture.h"

namespace video {

struct MacroblockInfo {
    bool coded = false; // Not a skipped macroblock of an inter frame.
    std::uint8_t quantiser = 1;
};

// Filters every block edge with a coded macroblock on at least one side; `info` has one
// entry per macroblock, row by row.
void deblock(YuvPicture& picture, const std::vector<MacroblockInfo>& info);

// The filter across one edge: a and b before it, c and d after.
void filterEdge(std::uint8_t& a, std::uint8_t& b, std::uint8_t& c, std::uint8_t& d, int strength);

} // namespace video
