#pragma once
// Building one 8x8 block of a VP6 picture: the integer inverse transform the format
// specifies, and motion-compensated prediction from a reference picture with its optional
// deblocking of the reference and its bilinear or four-tap sub-pixel filters.

#include <array>
#include <cstdint>

#include "YuvPicture.h"

namespace video::vp6 {

struct MotionVector {
    int x = 0; // Quarter luma pixels (eighth chroma pixels).
    int y = 0;
    bool operator==(const MotionVector&) const = default;
};

// Decides how predicted blocks are filtered; set by the frame headers.
struct PredictionFilter {
    bool deblock = false;
    int deblockLimit = 0;  // Threshold of the loop filter, from the quantiser.
    int mode = 0;          // 0 bilinear, 1 four-tap, 2 four-tap where the block is busy.
    int varianceLimit = 0; // Mode 2: flatter luma blocks stay bilinear.
    int maxVector = 0;     // Mode 2: longer luma vectors stay bilinear (0: no limit).
    int taps = 16;         // Which four-tap filter set.
};

// Writes the transform of `coeffs` (raster order) over the block at (x, y).
void transformPut(const std::array<std::int16_t, 64>& coeffs, Plane& plane, int x, int y);
// Adds the transform to the block; `selector` <= 1 means only the DC is applied.
void transformAdd(const std::array<std::int16_t, 64>& coeffs, int selector, Plane& plane, int x,
                  int y);

void copyBlock(const Plane& ref, Plane& out, int x, int y);
// Predicts the block at (x, y) of `out` from `ref` moved by `mv`; `luma` picks quarter-pixel
// vectors and the four-tap filters, chroma uses eighth pixels and bilinear only.
void predictBlock(const Plane& ref, Plane& out, int x, int y, MotionVector mv, bool luma,
                  const PredictionFilter& filter);

} // namespace video::vp6
