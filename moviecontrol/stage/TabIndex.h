#pragma once

#include <cstdint>

namespace mc {

// What a script reads back from the tab index it gave a movie clip or button: the number
// cut to a 32-bit whole number the way the processor does it, so that what is not a number
// or does not fit becomes the lowest 32-bit number rather than wrapping round.
std::int32_t clipTabIndex(double value);

// What a script reads back from the tab index it gave a text field: the number wrapped
// round to 32 bits and read without a sign (-4 reads 4294967292, what is not a number 0).
double fieldTabIndex(double value);

} // namespace mc
