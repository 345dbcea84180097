// Object and ASSetPropFlags.

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

// The names ASSetPropFlags applies to: null for all, or a list (an array, or text with commas,
// which any other value becomes).
std::vector<Str> propNames(Machine& m, const Value& list, bool& all) {
    std::vector<Str> names;
    all = list.isNull();
    if (all) {
        return names;
    }
    if (auto* o = dynamic_cast<ArrayObject*>(list.asObject())) {
        double n = m.toNumber(m.get(o, "length"));
        for (double i = 0; i < n && i < 65536; ++i) {
            names.push_back(m.toString(m.get(o, indexName(m, i))));
        }
        return names;
    }
    std::string text = m.toString(list).str();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        names.push_back(m.str(std::string_view(text).substr(start, comma - start)));
        start = comma + 1;
    }
    return names;
}

} // namespace

void installObject(Machine& m) {
    auto& s = m.state();
    Object* global = m.global();
    Object* proto = s.objectProto;

    FunctionObject* object = m.newFunction([](CallArgs& c) -> Value {
        Machine& m = c.machine;
        if (c.count() > 0 && !c.arg(0).isNullish()) {
            return Value(m.toObject(c.arg(0)));
        }
        if (c.constructing && c.thisObject()) {
            return c.thisValue;
        }
        // Called as a function with nothing to convert it gives a bare object that inherits
        // nothing, not even from Object.prototype.
        return Value(m.make<Object>(nullptr));
    });
    m.define(object, "prototype", Value(proto), attr::Hidden | attr::ReadOnly);
    m.define(proto, "constructor", fn(object), attr::DontEnum);
    m.define(global, "Object", fn(object));

    m.defineMethod(proto, "toString", [](CallArgs& c) -> Value {
        Object* o = c.thisObject();
        if (o && o->asFunction()) {
            return Value(c.machine.str("[type Function]"));
        }
        return Value(c.machine.str("[object Object]"));
    });
    m.defineMethod(proto, "toLocaleString",
                   [](CallArgs& c) -> Value { return Value(c.machine.str("[object Object]")); });
    m.defineMethod(proto, "valueOf", [](CallArgs& c) -> Value { return c.thisValue; });
    // The property questions came with Flash Player 6: version 5 movies reach them only
    // by their native numbers.
    const std::uint32_t since6 = attr::DontEnum | attr::Only6;
    m.defineMethod(
        proto, "hasOwnProperty",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            // A primitive is asked through its wrapper: a string's own length counts.
            Object* o = c.thisValue.isNullish() ? nullptr : m.toObject(c.thisValue);
            if (!o || c.count() == 0) {
                return Value(false);
            }
            const Str name = m.toString(c.arg(0));
            // A clip's children are found by name, but they are no properties of its own;
            // nor, from version 6 on, are its built-in properties (_x, _name...), which
            // version 5 movies see each object hold itself.
            if (o->isDisplayObject() && !o->properties().find(name, m.caseSensitive()) &&
                ((m.version() >= 6 && o->hasVirtual(m, name)) ||
                 m.host().child(o, name.view(), m.caseSensitive()) != nullptr)) {
                return Value(false);
            }
            return Value(m.hasOwnProperty(o, name));
        },
        since6);
    m.defineMethod(
        proto, "isPropertyEnumerable",
        [](CallArgs& c) -> Value {
            Object* o = c.thisObject();
            if (!o || c.count() == 0) {
                return Value(false);
            }
            Str name = c.machine.toString(c.arg(0));
            const Property* p = o->properties().find(name, c.machine.caseSensitive());
            return Value(p && !(p->attributes & attr::DontEnum) &&
                         attr::visibleTo(p->attributes, c.machine.version()));
        },
        since6);
    m.defineMethod(
        proto, "isPrototypeOf",
        [](CallArgs& c) -> Value {
            Object* self = c.thisObject();
            // A primitive is asked about through its wrapper, whose chain starts at its
            // class's prototype; undefined and null have none.
            const Value& v = c.arg(0);
            Object* o = v.isNullish() ? nullptr : c.machine.toObject(v);
            for (int d = 0; o && d < 256; ++d) {
                o = o->proto();
                if (o == self) {
                    return Value(true);
                }
            }
            return Value(false);
        },
        since6);
    // addProperty, watch and unwatch came with Flash Player 6 as well.
    m.defineMethod(
        proto, "addProperty",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            Object* o = c.thisObject();
            if (!o || c.count() < 2) {
                return Value(false);
            }
            Str name = m.toString(c.arg(0));
            const Value& getter = c.arg(1);
            const Value& setter = c.arg(2);
            // The getter must be an object; the setter an object too, or null for a property
            // that cannot be written. A missing or undefined setter refuses the whole call.
            if (name.empty() || !getter.isObject() || !(setter.isObject() || setter.isNull())) {
                return Value(false);
            }
            Property* p = o->properties().find(name, m.caseSensitive());
            if (!p) {
                p = &o->properties().add(Property{name, Value(), 0, nullptr, nullptr},
                                         m.caseSensitive());
            }
            p->getter = getter.asObject();
            // The stored value stays: a watcher still sees it as the old value.
            p->setter = setter.asObject();
            return Value(true);
        },
        since6 | attr::DontDelete);
    m.defineMethod(
        proto, "watch",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            Object* o = c.thisObject();
            if (!o || c.count() < 2 || !callable(c.arg(1))) {
                return Value(false);
            }
            Str name = m.toString(c.arg(0));
            auto& list = o->watchers();
            std::erase_if(list, [&](const Watcher& w) {
                return m.caseSensitive() ? w.name == name
                                         : equalsFolded(w.name.view(), name.view());
            });
            list.push_back(Watcher{name, c.arg(1).asObject(), c.arg(2)});
            return Value(true);
        },
        since6 | attr::DontDelete);
    m.defineMethod(
        proto, "unwatch",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            Object* o = c.thisObject();
            if (!o || c.count() < 1) {
                return Value(false);
            }
            Str name = m.toString(c.arg(0));
            auto& list = o->watchers();
            std::size_t before = list.size();
            std::erase_if(list, [&](const Watcher& w) {
                return m.caseSensitive() ? w.name == name
                                         : equalsFolded(w.name.view(), name.view());
            });
            return Value(list.size() != before);
        },
        since6 | attr::DontDelete);
    m.defineMethod(object, "registerClass", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        if (c.count() < 2) {
            return Value(false);
        }
        std::string key = m.toString(c.arg(0)).str();
        for (char& ch : key) {
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
        // A function registers, null or undefined unregisters, anything else is refused.
        if (callable(c.arg(1))) {
            m.state().registeredClasses[key] = c.arg(1).asObject();
        } else if (c.arg(1).isNullish()) {
            m.state().registeredClasses.erase(key);
        } else {
            return Value(false);
        }
        return Value(true);
    });

    m.defineMethod(global, "ASSetPropFlags", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.arg(0).asObject();
        if (!o) {
            return {};
        }
        // The flags are read before the names, as scripts can see by their conversions.
        auto set = static_cast<std::uint32_t>(toInt32(m.toNumber(c.arg(2))));
        auto clear = c.count() > 3 ? static_cast<std::uint32_t>(toInt32(m.toNumber(c.arg(3)))) : 0u;
        bool all = false;
        std::vector<Str> names = propNames(m, c.arg(1), all);
        auto apply = [&](Property& p) { p.attributes = (p.attributes & ~clear) | set; };
        // __proto__ is stored apart, but takes the version flag as a property would.
        const auto applyToProto = [&] {
            if ((clear & attr::Only6) != 0) {
                o->setProtoShownTo5(true);
            }
            if ((set & attr::Only6) != 0) {
                o->setProtoShownTo5(false);
            }
        };
        if (all) {
            o->properties().forEach(apply);
            applyToProto();
        } else {
            for (const Str& n : names) {
                if (Property* p = o->properties().find(n, m.caseSensitive())) {
                    apply(*p);
                } else if (n.size() == 9 &&
                           (m.caseSensitive() ? n.view() == "__proto__"
                                              : equalsFolded(n.view(), "__proto__"))) {
                    applyToProto();
                }
            }
        }
        return {};
    });
}

Object* constructorPrototype(Machine& m, Object* ctor) {
    return m.get(ctor, "prototype").asObject();
}

} // namespace avm1
