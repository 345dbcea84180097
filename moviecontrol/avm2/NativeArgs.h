#pragma once
// How native methods read their call: an argument a script may have left out, and a receiver
// that must be an object.

#include "avm2/Machine.h"

#include <cstddef>

namespace avm2 {

// The argument at `i`, or undefined when the call gave fewer.
inline Value arg(const Args& a, std::size_t i) {
    return i < a.size() ? a[i] : Value();
}

// `self` as an object; a method called on null or undefined throws Flash's #1009.
inline Object* receiverObject(Machine& m, const Value& self) {
    if (!self.isObject()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    return self.asObject();
}

} // namespace avm2
