#pragma once
// How BitmapData's methods read their arguments: coordinates, colours, rectangles and
// points as scripts pass them, shared by the files that make up the class.

#include "avm1/Machine.h"
#include "pixels/BitmapEffects.h"
#include "pixels/BitmapPixels.h"

#include <cstdint>

namespace avm1 {

// A pixel coordinate: floored, 0 for NaN and infinities, kept within ±10^9.
int toCoordinate(Machine& m, const Value& v);
std::uint32_t toColor(Machine& m, const Value& v);
// The x, y, width and height of a rectangle object; negative sizes read as 0.
pixels::PixelRect toRect(Machine& m, Object* r);
// A source rectangle and destination point; false when either is missing.
bool placementArgs(Machine& m, const Value& rect, const Value& point, pixels::Placement& out);
// The multipliers and offsets of a flash.geom.ColorTransform; false for anything else.
bool toChannelTransform(Machine& m, const Value& v, pixels::ChannelTransform& out);

// Installs draw, applyFilter, generateFilterRect, noise, perlinNoise and pixelDissolve.
void installBitmapGenerators(Machine& m, Object* proto);

} // namespace avm1
