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
        // Called as a function, Error makes nothing.
        if (!c.constructing) {
            return {};
        }
        Object* self = c.thisObject();
        if (self && c.count() > 0 && !c.arg(0).isUndefined()) {
            m.set(self, "message", c.arg(0));
        }
        return Value(self);
    });
    s.errorProto = constructorPrototype(m, error);
    m.define(s.errorProto, "message", Value(m.str("Error")), attr::DontEnum);
    m.define(s.errorProto, "name", Value(m.str("Error")), attr::DontEnum);
    m.defineMethod(s.errorProto, "toString", [](CallArgs& c) -> Value {
        // The message as it was given: an object message stays an object.
        return c.machine.get(c.thisObject(), "message");
    });
    m.define(global, "Error", fn(error));
}

} // namespace avm1
