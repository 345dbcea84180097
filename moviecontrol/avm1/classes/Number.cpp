// Number.

#include "avm1/Convert.h"
#include "avm1/Interpreter.h"
#include "avm1/State.h"

#include <cmath>
#include <limits>

namespace avm1 {

namespace {
// The number a Number method works on: its `this` wrapper or a primitive.
bool thisNumber(CallArgs& c, double& out) {
    Value v;
    if (Object* o = c.thisObject(); o && o->primitiveValue(v) && v.isNumber()) {
        out = v.asNumber();
        return true;
    }
    if (c.thisValue.isNumber()) {
        out = c.thisValue.asNumber();
        return true;
    }
    return false;
}
} // namespace

void installNumber(Machine& m) {
    auto& s = m.state();
    FunctionObject* number = m.newClass([](CallArgs& c) -> Value {
        double n = c.count() ? c.machine.toNumber(c.arg(0)) : 0.0;
        // Run by `new` through another function (ASconstructor), it makes the new object
        // a Number.
        if (auto* box = dynamic_cast<BoxObject*>(c.thisObject()); box && c.constructing) {
            box->adopt(Value(n), "Number");
        }
        return Value(n);
    });
    number->constructor = [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* p = m.get(c.callee, "prototype").asObject();
        double n = c.count() ? m.toNumber(c.arg(0)) : 0.0;
        return Value(static_cast<Object*>(m.make<BoxObject>(p, Value(n), "Number")));
    };
    s.numberProto = constructorPrototype(m, number);
    m.define(m.global(), "Number", Value(static_cast<Object*>(number)));
    m.define(number, "MAX_VALUE", Value(std::numeric_limits<double>::max()),
             attr::Hidden | attr::ReadOnly);
    m.define(number, "MIN_VALUE", Value(std::numeric_limits<double>::denorm_min()),
             attr::Hidden | attr::ReadOnly);
    m.define(number, "NaN", Value(std::numeric_limits<double>::quiet_NaN()),
             attr::Hidden | attr::ReadOnly);
    m.define(number, "NEGATIVE_INFINITY", Value(-std::numeric_limits<double>::infinity()),
             attr::Hidden | attr::ReadOnly);
    m.define(number, "POSITIVE_INFINITY", Value(std::numeric_limits<double>::infinity()),
             attr::Hidden | attr::ReadOnly);
    m.defineMethod(s.numberProto, "valueOf", [](CallArgs& c) -> Value {
        double n;
        return thisNumber(c, n) ? Value(n) : Value();
    });
    m.defineMethod(s.numberProto, "toString", [](CallArgs& c) -> Value {
        double n;
        if (!thisNumber(c, n)) {
            return {};
        }
        int radix = 10;
        if (c.count() > 0 && !c.arg(0).isUndefined()) {
            radix = truncateToInt32(c.machine.toNumber(c.arg(0)));
        }
        if (radix < 2 || radix > 36) {
            radix = 10;
        }
        return Value(Str(numberToText(n, radix)));
    });
}

} // namespace avm1
