// Object, Function, Boolean, Error, AsBroadcaster and ASSetPropFlags.

#include "avm1/Convert.h"
#include "avm1/Interpreter.h"
#include "avm1/State.h"

#include <cmath>

namespace avm1 {

namespace {

Value fn(Object* f) {
    return Value(f);
}

bool callable(const Value& v) {
    return v.isObject() && v.asObject()->asFunction();
}

/// The names ASSetPropFlags applies to: null for all, or a list (an array, or text with commas,
/// which any other value becomes).
std::vector<Str> propNames(Machine& m, const Value& list, bool& all) {
    std::vector<Str> names;
    all = list.isNull();
    if (all)
        return names;
    if (auto* o = dynamic_cast<ArrayObject*>(list.asObject())) {
        double n = m.toNumber(m.get(o, "length"));
        for (double i = 0; i < n && i < 65536; ++i)
            names.push_back(m.toString(m.get(o, indexName(m, i))));
        return names;
    }
    std::string text = m.toString(list).str();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        names.push_back(m.str(std::string_view(text).substr(start, comma - start)));
        start = comma + 1;
    }
    return names;
}

Value broadcast(Machine& m, Object* self, std::span<const Value> args) {
    if (!self || args.empty())
        return {};
    Str event = m.toString(args[0]);
    Value listeners = m.get(self, "_listeners");
    Object* list = listeners.asObject();
    if (!list)
        return Value(false);
    double n = m.toNumber(m.get(list, "length"));
    // Listeners added or removed by a handler take effect after this broadcast.
    std::vector<Value> snapshot;
    for (double i = 0; i < n && i < 65536; ++i)
        snapshot.push_back(m.get(list, indexName(m, i)));
    for (const Value& l : snapshot) {
        Object* lo = m.toObject(l);
        if (!lo)
            continue;
        Value f = m.get(lo, event);
        callValue(m, f, l, args.subspan(1), lo->proto());
    }
    return Value(!snapshot.empty());
}

} // namespace

void installObjectBuiltins(Machine& m) {
    auto& s = m.state();
    Object* global = m.global();
    Object* proto = s.objectProto;

    FunctionObject* object = m.newFunction([](CallArgs& c) -> Value {
        Machine& m = c.machine;
        if (c.count() > 0 && !c.arg(0).isNullish())
            return Value(m.toObject(c.arg(0)));
        if (c.constructing && c.thisObject())
            return c.thisValue;
        return Value(m.newObject());
    });
    m.define(object, "prototype", Value(proto), attr::Hidden | attr::ReadOnly);
    m.define(proto, "constructor", fn(object), attr::DontEnum);
    m.define(global, "Object", fn(object));

    m.defineMethod(proto, "toString", [](CallArgs& c) -> Value {
        Object* o = c.thisObject();
        if (o && o->asFunction())
            return Value(c.machine.str("[type Function]"));
        return Value(c.machine.str("[object Object]"));
    });
    m.defineMethod(proto, "toLocaleString",
                   [](CallArgs& c) -> Value { return Value(c.machine.str("[object Object]")); });
    m.defineMethod(proto, "valueOf", [](CallArgs& c) -> Value { return c.thisValue; });
    m.defineMethod(proto, "hasOwnProperty", [](CallArgs& c) -> Value {
        Object* o = c.thisObject();
        if (!o || c.count() == 0)
            return Value(false);
        return Value(c.machine.hasOwnProperty(o, c.machine.toString(c.arg(0))));
    });
    m.defineMethod(proto, "isPropertyEnumerable", [](CallArgs& c) -> Value {
        Object* o = c.thisObject();
        if (!o || c.count() == 0)
            return Value(false);
        Str name = c.machine.toString(c.arg(0));
        const Property* p = o->properties().find(name, c.machine.caseSensitive());
        return Value(p && !(p->attributes & attr::DontEnum) &&
                     attr::visibleTo(p->attributes, c.machine.version()));
    });
    m.defineMethod(proto, "isPrototypeOf", [](CallArgs& c) -> Value {
        Object* self = c.thisObject();
        Object* o = c.arg(0).asObject();
        for (int d = 0; o && d < 256; ++d) {
            o = o->proto();
            if (o == self)
                return Value(true);
        }
        return Value(false);
    });
    m.defineMethod(proto, "addProperty", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        if (!o || c.count() < 2)
            return Value(false);
        Str name = m.toString(c.arg(0));
        const Value& getter = c.arg(1);
        const Value& setter = c.arg(2);
        if (name.empty() || !callable(getter))
            return Value(false);
        if (!setter.isNull() && !setter.isUndefined() && !callable(setter))
            return Value(false);
        Property* p = o->properties().find(name, m.caseSensitive());
        if (!p) {
            p = &o->properties().add(Property{name, Value(), 0, nullptr, nullptr},
                                     m.caseSensitive());
        }
        p->getter = getter.asObject();
        // The stored value stays: a watcher still sees it as the old value.
        p->setter = callable(setter) ? setter.asObject() : nullptr;
        return Value(true);
    });
    m.defineMethod(proto, "watch", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        if (!o || c.count() < 2 || !callable(c.arg(1)))
            return Value(false);
        Str name = m.toString(c.arg(0));
        auto& list = o->watchers();
        std::erase_if(list, [&](const Watcher& w) {
            return m.caseSensitive() ? w.name == name : equalsFolded(w.name.view(), name.view());
        });
        list.push_back(Watcher{name, c.arg(1).asObject(), c.arg(2)});
        return Value(true);
    });
    m.defineMethod(proto, "unwatch", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        if (!o || c.count() < 1)
            return Value(false);
        Str name = m.toString(c.arg(0));
        auto& list = o->watchers();
        std::size_t before = list.size();
        std::erase_if(list, [&](const Watcher& w) {
            return m.caseSensitive() ? w.name == name : equalsFolded(w.name.view(), name.view());
        });
        return Value(list.size() != before);
    });
    m.defineMethod(object, "registerClass", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        if (c.count() < 2)
            return Value(false);
        std::string key = m.toString(c.arg(0)).str();
        for (char& ch : key)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        // A function registers, null or undefined unregisters, anything else is refused.
        if (callable(c.arg(1)))
            m.state().registeredClasses[key] = c.arg(1).asObject();
        else if (c.arg(1).isNullish())
            m.state().registeredClasses.erase(key);
        else
            return Value(false);
        return Value(true);
    });

    m.defineMethod(global, "ASSetPropFlags", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.arg(0).asObject();
        if (!o)
            return {};
        // The flags are read before the names, as scripts can see by their conversions.
        auto set = static_cast<std::uint32_t>(toInt32(m.toNumber(c.arg(2))));
        auto clear = c.count() > 3 ? static_cast<std::uint32_t>(toInt32(m.toNumber(c.arg(3)))) : 0u;
        bool all = false;
        std::vector<Str> names = propNames(m, c.arg(1), all);
        auto apply = [&](Property& p) { p.attributes = (p.attributes & ~clear) | set; };
        if (all) {
            o->properties().forEach(apply);
        } else {
            for (const Str& n : names)
                if (Property* p = o->properties().find(n, m.caseSensitive()))
                    apply(*p);
        }
        return {};
    });

    // Boolean.
    FunctionObject* boolean = m.newClass([](CallArgs& c) -> Value {
        if (c.count() == 0 && !c.constructing)
            return {}; // Boolean() alone converts nothing
        bool b = c.machine.toBoolean(c.arg(0));
        if (c.constructing) {
            if (auto* box = dynamic_cast<BoxObject*>(c.thisObject()))
                box->setValue(Value(b));
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
        if (Object* o = c.thisObject(); o && o->primitiveValue(v) && v.isBool())
            return v;
        return c.thisValue.isBool() ? c.thisValue : Value();
    };
    m.defineMethod(s.booleanProto, "valueOf", boolValue);
    m.defineMethod(s.booleanProto, "toString", [boolValue](CallArgs& c) -> Value {
        Value v = boolValue(c);
        if (!v.isBool())
            return {};
        return Value(c.machine.str(v.asBool() ? "true" : "false"));
    });

    // Error.
    FunctionObject* error = m.newClass([](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.constructing ? c.thisObject() : m.make<Object>(m.state().errorProto);
        if (self && c.count() > 0 && !c.arg(0).isUndefined())
            m.set(self, "message", c.arg(0));
        return Value(self);
    });
    s.errorProto = constructorPrototype(m, error);
    m.define(s.errorProto, "message", Value(m.str("Error")), attr::DontEnum);
    m.define(s.errorProto, "name", Value(m.str("Error")), attr::DontEnum);
    m.defineMethod(s.errorProto, "toString", [](CallArgs& c) -> Value {
        return Value(c.machine.toString(c.machine.get(c.thisObject(), "message")));
    });
    m.define(global, "Error", fn(error));

    // AsBroadcaster.
    FunctionObject* broadcaster = m.newClass([](CallArgs&) -> Value { return {}; });
    auto add = m.defineMethod(broadcaster, "addListener", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        Object* list = self ? m.get(self, "_listeners").asObject() : nullptr;
        if (!list)
            return Value(false);
        double n = m.toNumber(m.get(list, "length"));
        for (double i = 0; i < n && i < 65536; ++i)
            if (strictEquals(m.get(list, indexName(m, i)), c.arg(0)))
                return Value(true);
        m.set(list, indexName(m, n), c.arg(0));
        return Value(true);
    });
    auto remove = m.defineMethod(broadcaster, "removeListener", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        auto* list =
            self ? dynamic_cast<ArrayObject*>(m.get(self, "_listeners").asObject()) : nullptr;
        if (!list)
            return Value(false);
        double n = list->length();
        for (double i = 0; i < n && i < 65536; ++i) {
            if (!strictEquals(m.get(list, indexName(m, i)), c.arg(0)))
                continue;
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
        if (!o)
            return {};
        m.define(o, "_listeners", Value(m.newArray()), attr::DontEnum);
        m.define(o, "addListener", fn(add), attr::DontEnum);
        m.define(o, "removeListener", fn(remove), attr::DontEnum);
        m.define(o, "broadcastMessage", fn(send), attr::DontEnum);
        return {};
    });
    m.define(global, "AsBroadcaster", fn(broadcaster));
}

Object* constructorPrototype(Machine& m, Object* ctor) {
    return m.get(ctor, "prototype").asObject();
}

void installFunctionBuiltins(Machine& m) {
    auto& s = m.state();
    Object* fproto = s.functionProto;
    FunctionObject* function = m.newFunction([](CallArgs& c) -> Value {
        if (c.count() > 0)
            return c.arg(0);
        return Value(c.machine.newFunction([](CallArgs&) -> Value { return {}; }));
    });
    m.define(function, "prototype", Value(fproto), attr::Hidden | attr::ReadOnly);
    m.define(fproto, "constructor", fn(function), attr::DontEnum);
    m.define(m.global(), "Function", fn(function));
    m.defineMethod(fproto, "call", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        Value thisArg = c.count() > 0 ? c.arg(0) : Value();
        if (thisArg.isNullish())
            thisArg = Value();
        std::span<const Value> rest = c.count() > 1 ? c.args.subspan(1) : std::span<const Value>();
        Object* home = thisArg.asObject() ? thisArg.asObject()->proto() : nullptr;
        return callValue(m, Value(self), thisArg, rest, home);
    });
    m.defineMethod(fproto, "apply", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        Value thisArg = c.arg(0);
        std::vector<Value> args;
        if (Object* list = c.arg(1).asObject()) {
            double n = m.toNumber(m.get(list, "length"));
            for (double i = 0; i < n && i < 65536; ++i)
                args.push_back(m.get(list, indexName(m, i)));
        }
        Object* home = thisArg.asObject() ? thisArg.asObject()->proto() : nullptr;
        return callValue(m, Value(self), thisArg, args, home);
    });
}

} // namespace avm1
