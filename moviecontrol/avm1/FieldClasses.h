#pragma once
// Helpers of the flash.geom classes whose state is a fixed list of numeric fields kept as
// ordinary properties (Matrix, ColorTransform): their constructor and their toString.

#include "avm1/State.h"

#include <array>
#include <string>

namespace avm1 {

inline std::string fieldsText(Machine& m, Object* o, const char* const* names, std::size_t count) {
    std::string out = "(";
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            out += ", ";
        }
        out += names[i];
        out += '=';
        out += m.toString(o ? m.get(o, names[i]) : Value()).str();
    }
    return out + ")";
}

// Constructors that take their fields in order, with defaults when called without any.
template <std::size_t N>
FunctionObject* fieldClass(Machine& m, const std::array<const char*, N>& names,
                           const std::array<double, N>& defaults) {
    return m.newClass([names, defaults](CallArgs& c) -> Value {
        if (Object* self = c.thisObject()) {
            for (std::size_t i = 0; i < N; ++i) {
                c.machine.set(self, names[i], c.count() == 0 ? Value(defaults[i]) : c.arg(i));
            }
        }
        return {};
    });
}

} // namespace avm1
