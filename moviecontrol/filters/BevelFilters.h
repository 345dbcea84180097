#pragma once
// Bevel and gradient bevel: the blurred shape compared with itself shifted both ways along
// the light angle; where the side towards the light is more covered the highlight shows,
// on the other side the shadow. Same layer conventions as the shadow filters.

#include "FilterScale.h"
#include "swf/Filters.h"

#include <QImage>

namespace mc {

enum class BevelPlacement { Outer, Inner, Full };

// Full when the record asks for the bevel on top, otherwise inner or outer.
BevelPlacement bevelPlacement(bool inner, bool onTop);

QImage applyBevel(const QImage& source, const swf::BevelFilter& filter, FilterScale scale);
QImage applyGradientBevel(const QImage& source, const swf::GradientBevelFilter& filter,
                          FilterScale scale);

} // namespace mc
