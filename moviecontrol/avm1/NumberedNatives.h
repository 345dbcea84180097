#pragma once

#include "avm1/Machine.h"

namespace avm1 {

// A native that ASnative(table, index) hands out but no class holds under a name: the
// player's own steps behind a class's methods, for classes outside this layer.
void defineNumberedNative(Machine& m, int table, int index, NativeFn fn);

} // namespace avm1
