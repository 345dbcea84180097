// ContextMenu: the player's right-click menu as a movie describes it (a callback, which of
// the player's own entries to show, and the movie's own items). Cards often hide the
// player's entries; the description is kept in ordinary properties, as Flash keeps it.

#include "avm1/State.h"

#include <array>
#include <string_view>
#include <vector>

namespace avm1 {

namespace {

// The player's own entries, each a flag of `builtInItems`, in the order the player makes
// them (a for-in loop meets them the other way round: save first, print last).
constexpr std::array<std::string_view, 8> BuiltInItems = {
    "print", "forward_back", "rewind", "loop", "play", "quality", "zoom", "save"};

// Gives `menu` its callback, an empty list of items and the player's entries all shown.
void initMenu(Machine& m, Object* menu, const Value& onSelect) {
    // In Flash's order: a for-in meets customItems, builtInItems, then onSelect.
    m.set(menu, "onSelect", onSelect);
    Object* builtIn = m.newObject();
    for (std::string_view name : BuiltInItems) {
        m.set(builtIn, name, Value(true));
    }
    m.set(menu, "builtInItems", Value(builtIn));
    m.set(menu, "customItems", Value(m.newArray()));
}

} // namespace

void installContextMenu(Machine& m) {
    FunctionObject* ctor = m.newClass([](CallArgs& c) -> Value {
        if (Object* self = c.thisObject()) {
            initMenu(c.machine, self, c.arg(0));
        }
        return {};
    });
    Object* proto = constructorPrototype(m, ctor);
    // Hides every entry of the player's own except Settings, which no movie may hide: a new
    // flags object, all false, on whatever object lent the method.
    m.defineMethod(proto, "hideBuiltInItems", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        if (Object* self = c.thisObject()) {
            Object* builtIn = m.newObject();
            for (std::string_view name : BuiltInItems) {
                m.set(builtIn, name, Value(false));
            }
            m.set(self, "builtInItems", Value(builtIn));
        }
        return {};
    });
    // A new menu with the same callback and flags and a copy of each item.
    m.defineMethod(proto, "copy", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        if (self == nullptr) {
            return {};
        }
        // Always a ContextMenu, whatever object lent the method.
        Object* copy = m.construct(m.get(m.global(), "ContextMenu"), {});
        if (copy == nullptr) {
            return {};
        }
        m.set(copy, "onSelect", m.get(self, "onSelect"));
        // The copy shares the flags object: a change made to it later shows in both.
        m.set(copy, "builtInItems", m.get(self, "builtInItems"));
        Object* items = m.get(self, "customItems").asObject();
        Object* copies = m.get(copy, "customItems").asObject();
        const double count = items != nullptr ? m.toNumber(m.get(items, "length")) : 0;
        for (double i = 0; i < count; ++i) {
            m.state().pace();
            // Each item is asked for its copy; what cannot answer leaves a hole.
            const Value item = m.get(items, indexName(m, i));
            Value itemCopy;
            if (Object* o = item.asObject()) {
                itemCopy = m.callMethod(o, "copy", {});
            }
            m.callMethod(copies, "push", std::span<const Value>(&itemCopy, 1));
        }
        return Value(copy);
    });
    m.define(m.global(), "ContextMenu", Value(static_cast<Object*>(ctor)));
}

} // namespace avm1
