#pragma once
// flash.system.ApplicationDomain objects: each a view of one of the machine's application
// domains (Machine.h), as the loading classes hand them out and take them back.

#include "avm2/Runtime.h"

#include <cstdint>
#include <optional>

namespace avm2 {

class Machine;

// A new ApplicationDomain object for `domain`: Flash makes a new one on every read.
Value domainObject(Machine& m, std::uint32_t domain);
// The domain an ApplicationDomain object stands for; none for any other value.
std::optional<std::uint32_t> domainOfObject(const Value& v);

void installApplicationDomain(Machine& m);

} // namespace avm2
