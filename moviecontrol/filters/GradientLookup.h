#pragma once
// The gradient filters colour their effect through a 256-entry ramp built from the record's
// colours and ratios.

#include "PixelMath.h"
#include "swf/Filters.h"

#include <array>
#include <vector>

namespace mc {

using GradientRamp = std::array<Premultiplied, 256>;

// Linear interpolation (straight colour) between consecutive stops, the first stop's
// colour before it and the last's after it. Ratios that go backwards are taken as equal to
// the previous one. No stops give a fully transparent ramp.
GradientRamp gradientRamp(const std::vector<swf::GradientFilterStop>& stops);

} // namespace mc
