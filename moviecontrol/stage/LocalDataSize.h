#pragma once
// The size Flash reports for a shared object: the bytes of its own file format, measured
// without writing it.

#include <cstddef>
#include <string_view>

#include "avm1/Object.h"

namespace mc {

// Whether a property of a shared object's data is saved: stored, enumerable values; not
// functions or clips, which Flash leaves out.
bool keptInLocalData(const avm1::Property& property);

// The file a shared object named `name` holding `data` would take, at most `most` bytes:
// its header and name, then each kept property in ActionScript's message format. 0 when
// nothing would be kept, as no file is written then.
std::size_t localDataFileSize(std::string_view name, const avm1::Object& data, std::size_t most);

} // namespace mc
