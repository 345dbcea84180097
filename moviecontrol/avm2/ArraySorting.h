#pragma once
// Array.sort and Array.sortOn: the order a comparison function or the flags give, with
// undefined after every value and holes after that, as a stable merge sort that survives a
// script's comparison that contradicts itself.

#include "avm2/Runtime.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace avm2 {

namespace sortflags {
inline constexpr int kCaseInsensitive = 1;
inline constexpr int kDescending = 2;
inline constexpr int kUniqueSort = 4;
inline constexpr int kReturnIndexedArray = 8;
inline constexpr int kNumeric = 16;
} // namespace sortflags

// The positions 0..count-1 in the order `compare` (negative, zero, positive) gives; equal
// items keep their order. Each comparison is made once per merge step, so a comparison
// that is not consistent still ends in n log n steps.
std::vector<std::size_t> mergeOrder(std::size_t count,
                                    const std::function<int(std::size_t, std::size_t)>& compare);

Value sortArray(Machine& m, const Value& self, Args& args);
Value sortArrayOn(Machine& m, const Value& self, Args& args);

} // namespace avm2
