// ContextMenuItem: one line a movie adds to the player's right-click menu. Its members are
// ordinary properties, as Flash makes them, so scripts can read and change each one.

#include "avm1/State.h"

#include <array>

namespace avm1 {

namespace {

// Sets the item's five members from the constructor's arguments; an argument left out
// takes Flash's default (not after a separator, enabled, visible).
void initItem(Machine& m, Object* item, std::span<const Value> args) {
    const auto given = [&](std::size_t i) { return i < args.size(); };
    m.set(item, "caption", given(0) ? args[0] : Value());
    m.set(item, "onSelect", given(1) ? args[1] : Value());
    m.set(item, "separatorBefore", Value(given(2) && m.toBoolean(args[2])));
    m.set(item, "enabled", Value(!given(3) || m.toBoolean(args[3])));
    m.set(item, "visible", Value(!given(4) || m.toBoolean(args[4])));
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
    // A new item with the same members, inheriting what this one inherits.
    m.defineMethod(proto, "copy", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        if (self == nullptr) {
            return {};
        }
        std::array<Value, 5> members;
        const std::array<std::string_view, 5> names = {"caption", "onSelect", "separatorBefore",
                                                       "enabled", "visible"};
        for (std::size_t i = 0; i < names.size(); ++i) {
            members[i] = m.get(self, names[i]);
        }
        Object* copy = m.newObject();
        copy->setProto(self->proto());
        initItem(m, copy, members);
        return Value(copy);
    });
    m.define(m.global(), "ContextMenuItem", Value(static_cast<Object*>(ctor)));
}

} // namespace avm1
