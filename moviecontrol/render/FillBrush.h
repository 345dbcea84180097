#pragma once

#include <QBrush>
#include <QGradientStops>

#include "ColorTransform.h"
#include "swf/Styles.h"

namespace mc {

// Colour stops of a gradient with the colour transform applied. Ratios that repeat or go
// backwards are looked up as players do; linear-RGB gradients get a stop per ratio so that
// painting in sRGB follows the linear curve.
QGradientStops gradientStops(const swf::Gradient& gradient, const ColorTransform& cx);

// The brush for a solid or gradient fill, in the shape's twips (the gradient square is
// -16384..16384, placed by the fill's matrix). Bitmap fills are painted apart.
QBrush fillBrush(const swf::FillStyle& style, const ColorTransform& cx);

} // namespace mc
