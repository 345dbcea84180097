#pragma once
// flash.utils.describeType and avmplus.describeType (with avmplus.FLASH10_FLAGS).

namespace avm2 {

class Machine;

void installDescribeType(Machine& m);

} // namespace avm2
