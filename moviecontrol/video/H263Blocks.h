#pragma once
// The macroblock-layer codes of H.263 as Flash uses them: MCBPC (intra and inter), CBPY,
// motion vector differences and the transform coefficients with their escape.

#include <cstdint>

#include "BitStream.h"
#include "Idct.h"

namespace video {

// Intra MCBPC: 0..3 intra with chroma pattern, 4..7 the same with a quantiser change,
// 8 stuffing. -1 for no code.
int readIntraMcbpc(BitStream& in);
// Inter MCBPC: type * 4 + chroma pattern for types inter, inter+q, inter 4V, intra,
// intra+q; 20 stuffing. -1 for no code.
int readInterMcbpc(BitStream& in);
// The four luma coded-block bits as an intra macroblock states them (inter ones invert).
int readCbpy(BitStream& in);
// A motion vector difference in half pixels, -16..16; false for no code.
bool readMotionDelta(BitStream& in, int& delta);

// Reads the coefficients of one block in zigzag order into `block` (row-major), starting at
// scan position `first` (1 after an intra DC). `version` selects the escape form. False for
// a damaged block.
bool readCoefficients(BitStream& in, Block& block, int first, std::uint8_t version);

// H.263 inverse quantisation of every coefficient from `first`, clipped to 12 bits.
void dequantise(Block& block, int quantiser, int first);

} // namespace video
