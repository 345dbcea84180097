#pragma once
// What a NetStream needs to know of the NetConnection it was made on.

#include "avm1/Object.h"

namespace avm1 {

// Whether `connection` is a NetConnection opened with connect(null), the connection that
// plays files progressively.
bool isLocalNetConnection(const Object* connection);

} // namespace avm1
