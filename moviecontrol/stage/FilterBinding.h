#pragma once
// MovieClip.filters: the display object's filter records seen as flash.filters objects, and
// filter objects turned back into records that the renderer draws.

#include <optional>
#include <vector>

#include "DisplayObject.h"
#include "avm1/FilterObjects.h"
#include "avm1/Machine.h"

namespace mc {

// A record for a script filter; none for a displacement filter without a map bitmap.
std::optional<swf::Filter> filterRecord(const avm1::FilterFields& fields);
// The script fields of a filter record (a displacement filter's map bitmap left out).
avm1::FilterFields filterFields(const swf::Filter& filter);

// A new array of new filter objects: changing them changes nothing until assigned back.
avm1::Value filtersValue(avm1::Machine& m, const DisplayObject& o);
// Replaces the object's filters with the filter objects of an array; other entries are
// skipped, and anything but an array clears them.
void setFilters(avm1::Machine& m, DisplayObject& o, const avm1::Value& value);

} // namespace mc
