#pragma once
// Drop shadow, glow and gradient glow: the blurred shape of the object, coloured, offset and
// put behind (outer) or inside (inner) it. Images are premultiplied ARGB32 layers that
// already leave room for the effect (see filterMargins); the result has the same size.

#include "FilterScale.h"
#include "swf/Filters.h"

#include <QImage>

namespace mc {

QImage applyDropShadow(const QImage& source, const swf::DropShadowFilter& filter,
                       FilterScale scale);
QImage applyGlow(const QImage& source, const swf::GlowFilter& filter, FilterScale scale);
QImage applyGradientGlow(const QImage& source, const swf::GradientGlowFilter& filter,
                         FilterScale scale);

// The offset of a shadow in device pixels: `distance` along `angle` (radians, clockwise
// on screen since y points down).
QPointF shadowOffset(double angle, double distance, FilterScale scale);

} // namespace mc
