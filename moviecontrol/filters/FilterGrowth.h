#pragma once
// How much larger than the object the off-screen layer must be for its filters to show.

#include "FilterScale.h"
#include "swf/Filters.h"

#include <QMargins>
#include <vector>

namespace mc {

// Device pixels the filter's effect reaches beyond the object on each side. Inner effects
// and the colour filters stay within it.
QMargins filterMargins(const swf::Filter& filter, FilterScale scale);

// The margins of a filter list applied in order: each filter spreads the previous result.
QMargins filterListMargins(const std::vector<swf::Filter>& filters, FilterScale scale);

} // namespace mc
