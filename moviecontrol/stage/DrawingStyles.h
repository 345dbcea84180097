#pragma once

#include <optional>

#include "avm1/Function.h"
#include "swf/Styles.h"

namespace mc {

// The styles the drawing methods take from a script's arguments, as the shape records the
// drawing keeps: a colour with its alpha in percent, a gradient's arrays and matrix, and a
// line's thickness, hinting, scale mode, caps, joins and miter limit.

// A colour 0xRRGGBB and an alpha 0..100 (100 when not given).
swf::Rgba colorArg(avm1::Machine& m, const avm1::Value& rgb, const avm1::Value& alpha);

// beginGradientFill's and lineGradientStyle's arguments: type, colors, alphas, ratios, matrix,
// spread, interpolation, focal point. None when the type is neither "linear" nor "radial", an
// array or the matrix is missing, the arrays' lengths differ or a ratio is out of 0..255.
std::optional<swf::FillStyle> gradientArgs(avm1::Machine& m, const avm1::CallArgs& c);

// beginBitmapFill's arguments after the bitmap: a flash.geom.Matrix from the bitmap's pixels
// to the clip's (none is the identity), repeat (true when not given) and smoothing (false
// when not given). The fill's bitmap id is left for the drawing to give.
swf::FillStyle bitmapFillArgs(avm1::Machine& m, const avm1::CallArgs& c);

// lineStyle's arguments: thickness (points, 0..255), rgb, alpha, pixelHinting, noScale,
// capsStyle, jointStyle, miterLimit. None, which ends the lines, when no thickness is given.
std::optional<swf::LineStyle> lineStyleArgs(avm1::Machine& m, const avm1::CallArgs& c);

} // namespace mc
