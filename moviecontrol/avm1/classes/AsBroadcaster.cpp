// AsBroadcaster: gives an object listeners and broadcastMessage.

#include "avm1/Interpreter.h"
#include "avm1/State.h"

namespace avm1 {

namespace {

Value fn(Object* f) {
    return Value(f);
}

Value broadcast(Machine& m, Object* self, std::span<const Value> args) {
    if (!self || args.empty()) {
        return {};
    }
    Str event = m.toString(args[0]);
    Value listeners = m.get(self, "_listeners");
    Object* list = listeners.asObject();
    if (!list) {
        return Value(false);
    }
    double n = m.toNumber(m.get(list, "length"));
    // Listeners added or removed by a handler take effect after this broadcast.
    std::vector<Value> snapshot;
    for (double i = 0; i < n && i < 65536; ++i) {
        snapshot.push_back(m.get(list, indexName(m, i)));
    }
    for (const Value& l : snapshot) {
        Object* lo = m.toObject(l);
        if (!lo) {
            continue;
        }
        Value f = m.get(lo, event);
        callValue(m, f, l, args.subspan(1), lo->proto());
    }
    return Value(!snapshot.empty());
}

} // namespace

void installAsBroadcaster(Machine& m) {
    Object* global = m.global();
    FunctionObject* broadcaster = m.newClass([](CallArgs&) -> Value { return {}; });
    auto add = m.defineMethod(broadcaster, "addListener", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        Object* list = self ? m.get(self, "_listeners").asObject() : nullptr;
        if (!list) {
            return Value(false);
        }
        double n = m.toNumber(m.get(list, "length"));
        for (double i = 0; i < n && i < 65536; ++i) {
            if (strictEquals(m.get(list, indexName(m, i)), c.arg(0))) {
                return Value(true);
            }
        }
        m.set(list, indexName(m, n), c.arg(0));
        return Value(true);
    });
    auto remove = m.defineMethod(broadcaster, "removeListener", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        auto* list =
            self ? dynamic_cast<ArrayObject*>(m.get(self, "_listeners").asObject()) : nullptr;
        if (!list) {
            return Value(false);
        }
        double n = list->length();
        for (double i = 0; i < n && i < 65536; ++i) {
            if (!strictEquals(m.get(list, indexName(m, i)), c.arg(0))) {
                continue;
            }
            for (double k = i; k + 1 < n; ++k) {
                m.state().pace();
                m.set(list, indexName(m, k), m.get(list, indexName(m, k + 1)));
            }
            list->setLength(m, n - 1);
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
    m.define(global, "AsBroadcaster", fn(broadcaster));
}

} // namespace avm1
