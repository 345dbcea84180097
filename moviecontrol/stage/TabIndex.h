#pragma once

#include <cstdint>
#include <optional>

namespace mc {

// What a script reads back from the tab index it gave a movie clip or button: the number
// cut to a 32-bit whole number the way the processor does it, so that what is not a number
// or does not fit becomes the lowest 32-bit number rather than wrapping round.
std::int32_t clipTabIndex(double value);

// What a script reads back from the tab index it gave a text field: the number wrapped
// round to 32 bits and read without a sign (-4 reads 4294967292, what is not a number 0).
double fieldTabIndex(double value);

// The tab index a script's value leaves on a clip or button, and on a text field: none for
// undefined and null, and none for whatever comes to -1 in 32 bits, which players keep as
// "not set"; otherwise what clipTabIndex and fieldTabIndex read back.
std::optional<std::int32_t> tabIndexOfClip(bool nullish, double value);
std::optional<double> tabIndexOfField(bool nullish, double value);

} // namespace mc
