#pragma once
// Reading the coefficient tokens of one 8x8 block, from the bool-coded partition or from the
// Huffman-coded one. Coefficients land in raster order, AC ones already dequantised; the DC
// stays a quantised difference until the decoder adds its prediction.

#include <array>
#include <cstdint>

#include "BitStream.h"
#include "Vp6BoolDecoder.h"
#include "Vp6Models.h"

namespace video::vp6 {

struct BlockCoefficients {
    std::array<std::int16_t, 64> c{};
    int selector = 0; // Highest zigzag position the block may use, for the transform.
};

// `plane` 0 for luma, 1 for chroma; `context` is how many of the left and above blocks had
// a DC (0..2).
void readTokens(BoolDecoder& in, const Models& m, int plane, int context, int acDequant,
                BlockCoefficients& out);

// The Huffman partition also codes runs of blocks without DC or without AC, which carry
// across blocks of the same plane type.
class HuffmanTokenReader {
  public:
    void reset() { emptyBlocks_ = {}; }
    void read(BitStream& in, const Models& m, int plane, int acDequant, BlockCoefficients& out);

  private:
    std::array<std::array<int, 2>, 2> emptyBlocks_{}; // [DC or AC][plane]
};

} // namespace video::vp6
