// Package objects and the helpers of native classes that scripts see as written in
// ActionScript.

#include "avm1/Packages.h"

#include "avm1/State.h"

namespace avm1 {

Object* packageObject(Machine& m, std::string_view dottedPath) {
    Object* at = m.global();
    while (!dottedPath.empty()) {
        std::size_t dot = dottedPath.find('.');
        std::string_view part = dottedPath.substr(0, dot);
        Object* next = nullptr;
        if (Property* p = at->properties().find(m.str(part), true)) {
            next = p->value.asObject();
        }
        if (!next) {
            next = m.newObject();
            // The flash package (geometry, filters, display) came with version 8: earlier
            // movies do not see it.
            const bool flashPackage = at == m.global() && part == "flash";
            m.define(at, part, Value(next), flashPackage ? attr::Only8 : 0);
        }
        at = next;
        dottedPath =
            dot == std::string_view::npos ? std::string_view() : dottedPath.substr(dot + 1);
    }
    return at;
}

void definePackaged(Machine& m, std::string_view dottedPath, std::string_view name, Object* ctor) {
    m.define(packageObject(m, dottedPath), name, Value(ctor));
}

void defineAccessor(Machine& m, Object* object, std::string_view name, NativeFn getter,
                    NativeFn setter, std::uint32_t attributes) {
    Str key = m.str(name);
    PropertyMap& props = object->properties();
    Property* p = props.find(key, true);
    if (!p) {
        p = &props.add(Property{key, Value(), attributes, nullptr, nullptr}, true);
    }
    p->attributes = attributes;
    p->getter = m.newFunction(std::move(getter));
    p->setter = setter ? m.newFunction(std::move(setter)) : nullptr;
}

namespace {

Timer& addCallAfterScripts(Machine& m, std::vector<Value> args) {
    auto& s = m.state();
    if (s.timers.size() >= 10000) {
        s.abort(LimitKind::MemoryBudget, "a script started more loads than the movie may hold");
    }
    Timer t;
    t.id = s.nextTimerId++;
    t.due = s.timerNow;
    t.repeat = false;
    t.args = std::move(args);
    s.timers.push_back(std::move(t));
    return s.timers.back();
}

} // namespace

void callAfterScripts(Machine& m, Object* object, std::string_view method,
                      std::vector<Value> args) {
    Timer& t = addCallAfterScripts(m, std::move(args));
    t.object = object;
    t.method = m.str(method);
}

void callAfterScripts(Machine& m, const Value& function, std::vector<Value> args) {
    addCallAfterScripts(m, std::move(args)).function = function;
}

} // namespace avm1
