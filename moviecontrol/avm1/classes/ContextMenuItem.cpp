// ContextMenuItem: one line a movie adds to the player's right-click menu. Its members are
// ordinary properties, as Flash makes them, so scripts can read and change each one.

#include "avm1/State.h"

namespace avm1 {

namespace {

// What a script's `value == null` finds: undefined, null, or an object whose primitive
// value is one of them.
bool equalsNull(Machine& m, const Value& v) {
    return v.isNullish() || (v.isObject() && m.toPrimitive(v).isNullish());
}

// Sets the item's five members from the constructor's arguments, in Flash's order (a
// for-in meets them the other way round). Nothing is converted: a flag that equals null
// takes Flash's default (not after a separator, enabled, visible), any other value stays
// as given.
void initItem(Machine& m, Object* item, std::span<const Value> args) {
    const auto arg = [&](std::size_t i) { return i < args.size() ? args[i] : Value(); };
    const auto flag = [&](std::size_t i, bool byDefault) {
        const Value v = arg(i);
        return equalsNull(m, v) ? Value(byDefault) : v;
    };
    m.set(item, "caption", arg(0));
    m.set(item, "onSelect", arg(1));
    m.set(item, "separatorBefore", flag(2, false));
    m.set(item, "enabled", flag(3, true));
    m.set(item, "visible", flag(4, true));
}

} // namespace

void installContextMenuItem(Machine& m) {
    FunctionObject* ctor = m.newClass([](CallArgs& c) -> Value {
        if (Object* self = c.thisObject()) {
            initItem(c.machine, self, c.args);
        }
        return {};
    });
    Object* proto = constructorPrototype(m, ctor);
    // A new item made by whatever the global ContextMenuItem is now, without arguments,
    // then given this one's members as they are.
    m.defineMethod(proto, "copy", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        if (self == nullptr) {
            return {};
        }
        Object* copy = m.construct(m.get(m.global(), "ContextMenuItem"), {});
        if (copy == nullptr) {
            return {};
        }
        for (std::string_view name :
             {"caption", "onSelect", "separatorBefore", "enabled", "visible"}) {
            m.set(copy, name, m.get(self, name));
        }
        return Value(copy);
    });
    m.define(m.global(), "ContextMenuItem", Value(static_cast<Object*>(ctor)));
}

} // namespace avm1
