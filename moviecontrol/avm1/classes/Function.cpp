// Function: the constructor of functions and their call and apply.

#include "avm1/Interpreter.h"
#include "avm1/State.h"

namespace avm1 {

namespace {

Value fn(Object* f) {
    return Value(f);
}

// The `this` that call and apply give: undefined or null stand for _global, as in a plain
// function call, and a primitive comes wrapped.
Value thisFor(Machine& m, const Value& given) {
    if (given.isNullish()) {
        return Value(m.global());
    }
    return Value(m.toObject(given));
}

} // namespace

void installFunction(Machine& m) {
    auto& s = m.state();
    Object* fproto = s.functionProto;
    FunctionObject* function = m.newFunction([](CallArgs& c) -> Value {
        // `new Function()` gives a plain object made from Function.prototype.
        if (c.constructing) {
            return {};
        }
        if (c.count() > 0) {
            return c.arg(0);
        }
        // Nothing to convert: a bare object that inherits nothing.
        return Value(c.machine.make<Object>(nullptr));
    });
    m.define(function, "prototype", Value(fproto), attr::Hidden | attr::ReadOnly);
    m.define(fproto, "constructor", fn(function), attr::DontEnum);
    m.define(m.global(), "Function", fn(function), attr::DontEnum | attr::Only6);
    // call and apply came with version 6.
    m.defineMethod(
        fproto, "call",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            Object* self = c.thisObject();
            Value thisArg = thisFor(m, c.arg(0));
            std::span<const Value> rest =
                c.count() > 1 ? c.args.subspan(1) : std::span<const Value>();
            Object* home = thisArg.asObject() ? thisArg.asObject()->proto() : nullptr;
            return callValue(m, Value(self), thisArg, rest, home);
        },
        attr::DontEnum | attr::Only6);
    m.defineMethod(
        fproto, "apply",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            Object* self = c.thisObject();
            Value thisArg = thisFor(m, c.arg(0));
            std::vector<Value> args;
            if (Object* list = c.arg(1).asObject()) {
                double n = m.toNumber(m.get(list, "length"));
                for (double i = 0; i < n && i < 65536; ++i) {
                    args.push_back(m.get(list, indexName(m, i)));
                }
            }
            Object* home = thisArg.asObject() ? thisArg.asObject()->proto() : nullptr;
            return callValue(m, Value(self), thisArg, args, home);
        },
        attr::DontEnum | attr::Only6);
}

} // namespace avm1
