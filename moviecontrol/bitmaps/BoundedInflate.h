#pragma once
// zlib data inflated into a buffer whose size the caller already knows.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace mc {

// Inflates a zlib stream, producing at most `expected` bytes. The result is shorter when the
// stream ends early or is corrupt (whatever was produced up to the fault is kept), so its
// length tells how much of the picture the movie really holds. Never reads past `input`.
std::vector<std::uint8_t> inflateBounded(std::span<const std::uint8_t> input, std::size_t expected);

} // namespace mc
