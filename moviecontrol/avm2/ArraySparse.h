#pragma once
// An Array's indices run to 2^32-2 and its length to 2^32-1, far past what a dense list of
// slots can hold. The elements near the front stay dense; one written far past the dense
// end is kept as a dynamic property named by its index, with the length carried beside it,
// as the reference player keeps a sparse array in its property table.

#include "avm2/Runtime.h"

#include <cstdint>

namespace avm2 {

// How far past the dense end a store may reach and still grow the dense slots (when the
// memory budget allows them): past this the element goes to the sparse part. The methods
// that walk an array's elements walk only the dense ones.
inline constexpr std::uint32_t kMaxDenseGap = 1u << 20;

// The array's length: its dense slots, or more when elements lie beyond them.
std::uint32_t arrayLength(const Object* o);
// Stores element `index` (below 2^32-1) of array `o`, dense or sparse.
void setArrayElement(Machine& m, Object* o, std::uint32_t index, const Value& value);
// Sets the array's length: elements at or past it go; a longer one adds only holes.
void setArrayLength(Machine& m, Object* o, std::uint32_t length);

} // namespace avm2
