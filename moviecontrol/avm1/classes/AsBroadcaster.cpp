// AsBroadcaster: gives an object listeners and broadcastMessage. The methods work as the
// player's class library wrote them: through the object's own removeListener and its
// list's push and splice, which scripts may replace and watch.

#include "avm1/Interpreter.h"
#include "avm1/State.h"

namespace avm1 {

namespace {

Value fn(Object* f) {
    return Value(f);
}

// The script's == (listeners compare through valueOf).
bool looseEquals(Machine& m, const Value& a, const Value& b, int depth = 0) {
    if (a.type() == b.type()) {
        return strictEquals(a, b);
    }
    if (a.isNullish() && b.isNullish()) {
        return true;
    }
    if (a.isObject() != b.isObject()) {
        const Value& object = a.isObject() ? a : b;
        const Value& other = a.isObject() ? b : a;
        Value p = m.toPrimitive(object);
        return depth < 2 && !p.isObject() && looseEquals(m, p, other, depth + 1);
    }
    if (a.isNullish() || b.isNullish()) {
        return false;
    }
    return m.toNumber(a) == m.toNumber(b);
}

Value broadcast(Machine& m, Object* self, std::span<const Value> args) {
    if (!self || args.empty()) {
        return {};
    }
    Str event = m.toString(args[0]);
    Value listeners = m.get(self, "_listeners");
    Object* list = listeners.asObject();
    if (!list) {
        return {};
    }
    // The list's length is read once and each listener as its turn comes: a listener that
    // removes itself moves the next one into the place already visited, which misses
    // this broadcast, and listeners added by a handler wait for the next one.
    const double n = m.toNumber(m.get(list, "length"));
    // True when some listener was there to ask (undefined and null are none), whether or
    // not it had the method; undefined otherwise.
    bool asked = false;
    for (double i = 0; i < n && i < 65536; ++i) {
        const Value l = m.get(list, indexName(m, i));
        Object* lo = m.toObject(l);
        if (!lo) {
            continue;
        }
        asked = true;
        Value f = m.get(lo, event);
        callValue(m, f, l, args.subspan(1), lo->proto());
    }
    return asked ? Value(true) : Value();
}

} // namespace

void installAsBroadcaster(Machine& m) {
    Object* global = m.global();
    FunctionObject* broadcaster = m.newClass([](CallArgs&) -> Value { return {}; });
    // A listener added again moves to the end: it is removed first.
    auto add = m.defineMethod(broadcaster, "addListener", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        if (!self) {
            return Value(true);
        }
        const Value listener = c.arg(0);
        m.callMethod(self, "removeListener", {&listener, 1});
        if (Object* list = m.get(self, "_listeners").asObject()) {
            m.callMethod(list, "push", {&listener, 1});
        }
        return Value(true);
    });
    // The first entry equal (==) to the listener leaves the list by splice.
    auto remove = m.defineMethod(broadcaster, "removeListener", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        Object* list = self ? m.get(self, "_listeners").asObject() : nullptr;
        if (!list) {
            return Value(false);
        }
        double n = m.toNumber(m.get(list, "length"));
        for (double i = 0; i < n && i < 65536; ++i) {
            m.state().pace();
            if (!looseEquals(m, m.get(list, indexName(m, i)), c.arg(0))) {
                continue;
            }
            const Value args[] = {Value(i), Value(1)};
            m.callMethod(list, "splice", args);
            return Value(true);
        }
        return Value(false);
    });
    auto send = m.defineMethod(broadcaster, "broadcastMessage", [](CallArgs& c) -> Value {
        return broadcast(c.machine, c.thisObject(), c.args);
    });
    m.defineMethod(broadcaster, "initialize", [add, remove, send](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.arg(0).asObject();
        if (!o) {
            return {};
        }
        m.define(o, "_listeners", Value(m.newArray()), attr::DontEnum);
        m.define(o, "addListener", fn(add), attr::DontEnum);
        m.define(o, "removeListener", fn(remove), attr::DontEnum);
        m.define(o, "broadcastMessage", fn(send), attr::DontEnum);
        return {};
    });
    // Version 5 sees the name and nothing under it: the members came with Flash Player 6.
    for (std::string_view name :
         {"prototype", "initialize", "addListener", "removeListener", "broadcastMessage"}) {
        if (Property* p = broadcaster->properties().find(m.str(name), true)) {
            p->attributes |= attr::Only6;
        }
    }
    m.define(global, "AsBroadcaster", fn(broadcaster));
}

} // namespace avm1
