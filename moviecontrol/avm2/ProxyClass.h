#pragma once
// flash.utils.Proxy: an object whose subclass answers for every property it does not
// declare, through methods in the flash_proxy namespace (getProperty, setProperty,
// callProperty, hasProperty, deleteProperty) and enumerates through nextNameIndex,
// nextName and nextValue.

#include "avm2/Runtime.h"

#include <cstdint>

namespace avm2 {

class Machine;

bool isProxy(const Value& v);
// Calls the proxy's flash_proxy method `hook` with the name first, then `extra`. The name
// goes as a QName (an attribute's marked as one), or to hasProperty as a string when its
// proxyForm says the `in` operator asked.
Value proxyNamed(Machine& m, const Value& proxy, const char* hook, const Name& name,
                 Args extra = {});
// Whether `delete` reaches the deleteProperty hook: only on a dynamic proxy, and only for a
// name in the public namespace that is not an attribute, as for any dynamic property.
bool proxyDeletes(const Value& proxy, const Name& name);
// A QName made for a proxy's hook carries whether it named an attribute (isAttribute).
bool qnameIsAttribute(const Value& v);
// The enumeration hooks: the index after `index` (0 at the end), the name and value there.
std::int64_t proxyNextIndex(Machine& m, const Value& proxy, std::int64_t index);
Value proxyNextName(Machine& m, const Value& proxy, std::int64_t index);
Value proxyNextValue(Machine& m, const Value& proxy, std::int64_t index);

void installProxy(Machine& m);

} // namespace avm2
