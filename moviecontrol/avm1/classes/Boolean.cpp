// Boolean: the wrapper of true and false.

#include "avm1/State.h"

namespace avm1 {

namespace {

Value fn(Object* f) {
    return Value(f);
}

} // namespace

void installBoolean(Machine& m) {
    auto& s = m.state();
    Object* global = m.global();
    FunctionObject* boolean = m.newClass([](CallArgs& c) -> Value {
        if (c.count() == 0 && !c.constructing) {
            return {}; // Boolean() alone converts nothing
        }
        bool b = c.machine.toBoolean(c.arg(0));
        if (c.constructing) {
            if (auto* box = dynamic_cast<BoxObject*>(c.thisObject())) {
                box->adopt(Value(b), "Boolean");
            }
            return c.thisValue;
        }
        return Value(b);
    });
    s.booleanProto = constructorPrototype(m, boolean);
    boolean->constructor = [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* p = m.get(c.callee, "prototype").asObject();
        return Value(static_cast<Object*>(
            m.make<BoxObject>(p, Value(c.count() ? m.toBoolean(c.arg(0)) : false), "Boolean")));
    };
    m.define(global, "Boolean", fn(boolean));
    auto boolValue = [](CallArgs& c) -> Value {
        Value v;
        if (Object* o = c.thisObject(); o && o->primitiveValue(v) && v.isBool()) {
            return v;
        }
        return c.thisValue.isBool() ? c.thisValue : Value();
    };
    m.defineMethod(s.booleanProto, "valueOf", boolValue);
    m.defineMethod(s.booleanProto, "toString", [boolValue](CallArgs& c) -> Value {
        Value v = boolValue(c);
        if (!v.isBool()) {
            return {};
        }
        return Value(c.machine.str(v.asBool() ? "true" : "false"));
    });
}

} // namespace avm1
