#pragma once
// flash.filters objects as the display tree takes them (DisplayObject.filters).
#include "avm2/DisplayHost.h"
#include "avm2/Machine.h"

#include <optional>

namespace avm2 {

// The filter's class and properties; none for what is not a filter.
std::optional<FilterValue> filterValueOf(Machine& m, const Value& filter);
// A new filter object of the value's class with its properties; null for an unknown class.
Value filterObjectOf(Machine& m, const FilterValue& value);

} // namespace avm2
