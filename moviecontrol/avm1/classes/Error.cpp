// Error: what scripts throw, with a message.

#include "avm1/State.h"

namespace avm1 {

namespace {

Value fn(Object* f) {
    return Value(f);
}

} // namespace

void installError(Machine& m) {
    auto& s = m.state();
    Object* global = m.global();
    FunctionObject* error = m.newClass([](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.constructing ? c.thisObject() : m.make<Object>(m.state().errorProto);
        if (self && c.count() > 0 && !c.arg(0).isUndefined()) {
            m.set(self, "message", c.arg(0));
        }
        return Value(self);
    });
    s.errorProto = constructorPrototype(m, error);
    m.define(s.errorProto, "message", Value(m.str("Error")), attr::DontEnum);
    m.define(s.errorProto, "name", Value(m.str("Error")), attr::DontEnum);
    m.defineMethod(s.errorProto, "toString", [](CallArgs& c) -> Value {
        return Value(c.machine.toString(c.machine.get(c.thisObject(), "message")));
    });
    m.define(global, "Error", fn(error));
}

} // namespace avm1
