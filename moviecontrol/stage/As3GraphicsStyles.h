#pragma once
// The drawing API's styles of ActionScript 3 (flash.display.Graphics) as the shape records
// a drawing keeps.
#include "avm2/DisplayHost.h"
#include "swf/Styles.h"

namespace mc {

// A colour 0xRRGGBB with an alpha from 0 to 1.
swf::Rgba graphicsColor(std::uint32_t rgb, double alpha);
// A gradient fill: linear, radial or, with a focal point, focal.
swf::FillStyle graphicsGradient(const avm2::GraphicsGradient& gradient);
// A bitmap fill: repeating or clipped, smoothed or not, its matrix from the bitmap's pixels
// to the shape's twips. The pixels themselves are the drawing's (Drawing::beginBitmapFill).
swf::FillStyle graphicsBitmapFill(const avm2::GraphicsOp& op);
// lineStyle's thickness (pixels), colour, hinting, scale mode, caps, joints and miter limit.
swf::LineStyle graphicsLine(const avm2::GraphicsOp& op);

} // namespace mc
