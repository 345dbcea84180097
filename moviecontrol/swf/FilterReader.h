#pragma once

#include "ReadContext.h"
#include "swf/ByteReader.h"
#include "swf/Filters.h"

#include <vector>

namespace swf {

// FILTERLIST: a count byte, then filters. An unknown filter id ends the list (ctx.invalid),
// since its length cannot be known.
std::vector<Filter> readFilterList(ByteReader& r, ReadContext& ctx);

} // namespace swf
