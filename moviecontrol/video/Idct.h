#pragma once
// The 8x8 inverse DCT of H.263, computed in double precision: it is well inside the accuracy
// the standard asks of decoders, and the frames of a card are small.

#include <array>
#include <cstdint>

namespace video {

using Block = std::array<std::int32_t, 64>; // Row-major coefficients or samples.

// In place: dequantised coefficients in, rounded spatial samples out (not clamped).
void inverseDct(Block& block);

} // namespace video
