#pragma once
// Public variables of built-in classes: typed slots laid out as a script class's would be,
// so that stores coerce to the declared type and subclasses made later inherit them.
#include "avm2/Runtime.h"

#include <utility>

namespace avm2 {

inline void addPublicSlot(Class* cls, const char* name, Class* type, Value initial) {
    Binding b;
    b.ns = Namespace::publicNs();
    b.kind = Binding::Kind::Slot;
    b.slot = static_cast<std::uint32_t>(cls->instance.slots.size());
    SlotInit si;
    si.value = std::move(initial);
    si.type = type;
    cls->instance.slots.push_back(si);
    cls->instance.add(name, b);
}

} // namespace avm2
