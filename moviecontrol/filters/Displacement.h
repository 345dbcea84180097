#pragma once
// The displacement map filter: each pixel shows the picture at an offset read from a map.

#include "FilterScale.h"
#include "swf/Filters.h"

#include <QImage>

namespace mc {

// dst(x, y) = src(x + (cx(x, y) - 128) * scaleX / 256, y + (cy(x, y) - 128) * scaleY / 256),
// where cx and cy are the map's chosen channels at (x - mapX, y - mapY), all in stage pixels
// (the layer's top-left is the picture's). A fractional position blends its four nearest
// pixels. Pixels the map does not cover stay in place; a pixel past the picture's edge
// wraps, clamps, is the undisplaced pixel or the filter's colour as its mode says. The
// result is premultiplied ARGB32 of the source's size.
QImage applyDisplacement(const QImage& source, const swf::DisplacementMapFilter& filter,
                         FilterScale scale);

} // namespace mc
