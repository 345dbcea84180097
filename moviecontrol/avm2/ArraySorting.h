#pragma once
// Array.sort and Array.sortOn: the order a comparison function or the flags give, with
// undefined after every value and holes after that, in the reference player's quicksort
// order, equal values included.

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

// Sorts index[0..count) by `compare` (negative, zero, positive) on the entries, as the
// reference player's quicksort does: middle pivot, ranges of three or fewer sorted by hand,
// smaller half first. Equal entries end in whatever order that leaves, and a comparison
// that contradicts itself still ends, each entry kept once.
void quickSortPositions(std::vector<std::size_t>& index, std::size_t count,
                        const std::function<int(std::size_t, std::size_t)>& compare);

Value sortArray(Machine& m, const Value& self, Args& args);
Value sortArrayOn(Machine& m, const Value& self, Args& args);

} // namespace avm2
