#pragma once
// for-in and for-each over one object: its array elements (holes passed over), then its
// dynamic properties or dictionary entries that are enumerable, by a 1-based index.

#include "avm2/Runtime.h"

#include <cstdint>

namespace avm2 {

// The index of the next enumerable property after `index`, or 0 when there is none.
std::int64_t nextEnumerableIndex(const Object* o, std::int64_t index);

// An enumeration index a script handed back, made whole and safe to convert (NaN is 0).
std::int64_t enumerationIndex(double d);

} // namespace avm2
