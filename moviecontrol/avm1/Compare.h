// The script's `<` (the Less2 action) for built-ins that compare their arguments as a
// script would: operands converted once per comparison (valueOf runs each time), two
// texts compared by their UTF-16 units, NaN on either side giving undefined.
#pragma once

#include "avm1/Value.h"

namespace avm1 {

class Machine;

Value scriptLess(Machine& m, const Value& a, const Value& b);

} // namespace avm1
