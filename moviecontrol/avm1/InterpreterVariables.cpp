// Variables, scopes and target paths: how a name is found, set and declared, and the
// actions that do that by name.

#include "avm1/Interp.h"

#include "avm1/Convert.h"
#include "unicode/Utf16Text.h"

namespace avm1 {

Object* Interp::targetOrRoot() {
    if (a_.target) {
        return a_.target;
    }
    if (a_.baseClip && a_.baseClip->isDisplayObject()) {
        return s_.host.root(a_.baseClip);
    }
    return s_.host.level(0);
}

Object* Interp::declarationScope() {
    if (a_.isFunction) {
        return a_.locals;
    }
    if (a_.target) {
        return a_.target;
    }
    return a_.baseClip ? targetOrRoot() : a_.locals;
}

bool Interp::lookup(const Str& name, Value& out, Object** holder) {
    for (Scope* sc = a_.scope; sc; sc = sc->parent()) {
        Object* o = sc->object();
        // Version 4 movies predate the global object's names (NaN, Infinity, Math...).
        if (!o || (o == s_.global && a_.version < 5)) {
            continue;
        }
        // A script whose own clip was removed under it reads the root's variables instead.
        if (sc->isTimeline() && o->isDisplayObject() && s_.host.removed(o)) {
            o = s_.host.root(o);
        }
        if (!o) {
            continue;
        }
        bool found = false;
        Value v = lookupProperty(m_, o, name, nullptr, &found);
        if (found) {
            out = std::move(v);
            if (holder) {
                *holder = o;
            }
            return true;
        }
    }
    return false;
}

Value Interp::specialName(const Str& name, bool& found) {
    std::string_view n = name.view();
    // Most names are none of this, _global and super: their length tells.
    found = false;
    if (n.size() != 4 && n.size() != 5 && n.size() != 7) {
        return {};
    }
    found = true;
    bool cs = s_.caseSensitive();
    auto is = [&](std::string_view w) { return cs ? n == w : equalsFolded(n, w); };
    if (is("this")) {
        if (!a_.suppressThis) {
            return a_.thisValue;
        }
        // A function that keeps `this` in a register or goes without it sees the `this` of
        // the timeline it closes over; a version 5 function closes over none and looks
        // the name up like any other.
        if (a_.version >= 6) {
            return Value(a_.baseClip ? a_.baseClip : targetOrRoot());
        }
    }
    if (is("_global") && a_.version >= 6) {
        return Value(s_.global);
    }
    // `super` came with Flash Player 6: to version 5 code it is a name like any other.
    if (is("super") && a_.version >= 6) {
        // `super` is a local of functions that keep it; to a frame's code, or a function
        // that goes without it, it is a name like any other (in version 6 any variable
        // spelled so in any case).
        if (a_.suppressSuper || !a_.isFunction) {
            found = false;
            return {};
        }
        Object* self = a_.thisValue.asObject();
        if (!self) {
            return {};
        }
        Object* home = a_.home ? a_.home : self->proto();
        return Value(static_cast<Object*>(m_.make<SuperObject>(self, home)));
    }
    found = false;
    return {};
}

bool Interp::splitPath(const Str& name, Object*& object, Str& var) {
    object = nullptr;
    if (!name.hasPathSeparator()) {
        return false;
    }
    std::string_view path = name.view();
    std::size_t sep = path.find_last_of(":.");
    object = nullptr;
    if (sep == std::string_view::npos) {
        return false;
    }
    std::string_view objectPath = path.substr(0, sep);
    var = str(path.substr(sep + 1));
    for (Scope* sc = a_.scope; sc && !object; sc = sc->parent()) {
        if (sc->object()) {
            object = resolveTargetPath(m_, &a_, sc->object(), objectPath);
        }
    }
    return true;
}

Value Interp::getVariable(const Str& name, Object** holder) {
    std::string_view path = name.view();
    bool found;
    Value special = specialName(name, found);
    if (found) {
        return special;
    }
    Object* object;
    Str var;
    if (splitPath(name, object, var)) {
        if (holder) {
            *holder = object;
        }
        if (object && a_.version < 5 && object->isDisplayObject() && isPropertyName(var.view())) {
            // Version 4 code reads a clip's properties with GetProperty only: "/mc:_alpha"
            // names a variable of that name, which the clip rarely has.
            const Property* p = object->properties().find(var, s_.caseSensitive());
            return p && !p->isAccessor() ? p->value : Value();
        }
        return object ? m_.get(object, var) : Value();
    }
    if (name.hasPathSeparator() && path.find('/') != std::string_view::npos) {
        for (Scope* sc = a_.scope; sc; sc = sc->parent()) {
            if (!sc->object()) {
                continue;
            }
            if (Object* o = resolveTargetPath(m_, &a_, sc->object(), path)) {
                return Value(o);
            }
        }
        return {};
    }
    Value out;
    if (lookup(name, out, holder)) {
        return out;
    }
    // Clip names the stage does not serve as properties.
    bool cs = s_.caseSensitive();
    auto is = [&](std::string_view w) { return cs ? path == w : equalsFolded(path, w); };
    if (is("_root")) {
        return Value(s_.host.root(targetOrRoot()));
    }
    if (is("_parent") && a_.target) {
        Object* parentClip = s_.host.parent(a_.target);
        return parentClip ? Value(parentClip) : Value();
    }
    if (const auto level = levelNumber(path)) {
        return *level >= 0 ? Value(s_.host.level(*level)) : Value();
    }
    return {};
}

void Interp::setVariable(const Str& name, const Value& value) {
    Object* object;
    Str var;
    if (splitPath(name, object, var)) {
        if (object) {
            m_.set(object, var, value);
        }
        return;
    }
    // The innermost scope that has it, up to the timeline, which takes it otherwise (never a
    // function's locals). Scopes past the timeline are not written: `color = 8` makes a
    // timeline variable even where _global has a Color.
    for (Scope* sc = a_.scope; sc; sc = sc->parent()) {
        Object* o = sc->object();
        if (!o) {
            continue;
        }
        if (sc->isTimeline() || m_.hasProperty(o, name)) {
            m_.set(o, name, value);
            return;
        }
    }
    m_.set(a_.target ? a_.target : s_.global, name, value);
}

void Interp::defineLocal(const Str& name, const Value& value) {
    // On a timeline `var /:a = 1` sets through the path; a function's local takes the
    // whole text as its name.
    if (!a_.isFunction && name.view().find_first_of(":./") != std::string_view::npos) {
        setVariable(name, value);
        return;
    }
    Object* locals = declarationScope();
    if (!locals) {
        return;
    }
    // Inside `with`, a name the with object already has is assigned there.
    for (Scope* sc = a_.scope; sc && sc->object() != locals && !sc->isTimeline();
         sc = sc->parent()) {
        if (sc->object() && m_.hasOwnProperty(sc->object(), name)) {
            m_.set(sc->object(), name, value);
            return;
        }
    }
    m_.set(locals, name, value);
}

Object* Interp::targetFromValue(const Value& v) {
    if (Object* o = v.asObject(); o && o->isDisplayObject()) {
        return o;
    }
    Str path = m_.toString(v);
    if (path.empty()) {
        return a_.targetLost ? nullptr : currentTarget();
    }
    Object* start = targetOrRoot();
    Object* o = start ? resolveTargetPath(m_, &a_, start, path.view()) : nullptr;
    return o && o->isDisplayObject() ? o : nullptr;
}

void Interp::setTargetOrRoot(Object* clip) {
    // A target that names no clip leaves names to the movie's root.
    if (!clip || !clip->isDisplayObject()) {
        clip = a_.baseClip && a_.baseClip->isDisplayObject() ? s_.host.root(a_.baseClip)
                                                             : s_.host.level(0);
        setTarget(clip);
        a_.targetLost = true;
        return;
    }
    setTarget(clip);
}

void Interp::setTarget(Object* clip) {
    a_.target = clip;
    a_.targetLost = false;
    Object* scopeObject = clip ? clip : targetOrRoot();
    // Rebuild the chain with the timeline link pointing at the new target.
    std::vector<Scope*> above;
    Scope* sc = a_.scope;
    while (sc && !sc->isTimeline()) {
        above.push_back(sc);
        sc = sc->parent();
    }
    Scope* base = sc ? sc->parent() : a_.scope;
    Scope* chain = m_.make<Scope>(base, scopeObject, true);
    for (auto it = above.rbegin(); it != above.rend(); ++it) {
        chain = m_.make<Scope>(chain, (*it)->object(), (*it)->isTimeline());
    }
    a_.scope = chain;
}

void Interp::actionGetVariable() {
    Str name = m_.toString(pop());
    push(getVariable(name));
}

void Interp::actionSetVariable() {
    Value value = pop();
    Str name = m_.toString(pop());
    setVariable(name, value);
}

void Interp::actionDefineLocal() {
    Value value = pop();
    Str name = m_.toString(pop());
    defineLocal(name, value);
}

void Interp::actionDefineLocal2() {
    // Declares without assigning: a name that is already there keeps its value.
    Str name = m_.toString(pop());
    if (!a_.isFunction && name.view().find_first_of(":./") != std::string_view::npos) {
        Object* object;
        Str var;
        if (splitPath(name, object, var) && object && !m_.hasOwnProperty(object, var)) {
            m_.set(object, var, Value());
        }
        return;
    }
    Object* locals = declarationScope();
    if (locals && !m_.hasOwnProperty(locals, name)) {
        m_.set(locals, name, Value());
    }
}

void Interp::actionDelete2() {
    Str name = m_.toString(pop());
    push(Value(deleteVariable(name)));
}

bool Interp::deleteVariable(const Str& name) {
    Object* object;
    Str var;
    if (splitPath(name, object, var)) {
        if (!object) {
            // Flash's debugger warns when the path runs through a primitive.
            std::string_view path = name.view();
            Value base = getVariable(str(path.substr(0, path.find_last_of(":."))));
            if (!base.isNullish() && !base.isObject()) {
                m_.host().trace("Parameters of primitive types are no longer coerced "
                                "into the required type - Object.");
            }
        }
        return object && m_.deleteProperty(object, var);
    }
    // The innermost scope that owns the name loses it; a function's own local variables
    // stay (and hide any of that name further out).
    for (Scope* sc = a_.scope; sc; sc = sc->parent()) {
        if (sc->object() && m_.hasOwnProperty(sc->object(), name)) {
            if (a_.isFunction && sc->object() == a_.locals) {
                return false;
            }
            return m_.deleteProperty(sc->object(), name);
        }
    }
    return false;
}

Object* resolveTargetPath(Machine& m, Activation* act, Object* start, std::string_view path) {
    auto& s = m.state();
    if (path.empty()) {
        return start;
    }
    Object* object = start;
    bool cs = s.caseSensitive();
    auto is = [&](std::string_view a, std::string_view b) {
        return cs ? a == b : equalsFolded(a, b);
    };
    if (path[0] == '/') {
        Object* from = act && act->target ? act->target : start;
        object = from && from->isDisplayObject() ? s.host.root(from) : s.host.level(0);
        path.remove_prefix(1);
    }
    bool first = true;
    int steps = 0;
    while (!path.empty() && object) {
        if (++steps > 4096) {
            return nullptr;
        }
        while (!path.empty() && path[0] == ':') {
            path.remove_prefix(1);
        }
        if (path.empty()) {
            break;
        }
        Value next;
        if (path.substr(0, 2) == "..") {
            path.remove_prefix(path.size() > 2 && (path[2] == '/' || path[2] == ':') ? 3 : 2);
            if (!object->isDisplayObject()) {
                return nullptr;
            }
            next = Value(s.host.parent(object));
        } else {
            std::size_t end = path.find_first_of(":./");
            std::string_view name = path.substr(0, end);
            path = end == std::string_view::npos ? std::string_view() : path.substr(end + 1);
            if (name.empty()) {
                return nullptr;
            }
            if (is(name, "_root")) {
                Object* from = object->isDisplayObject()
                                   ? object
                                   : (act && act->target ? act->target : nullptr);
                next = Value(from ? s.host.root(from) : s.host.level(0));
            } else if (is(name, "_parent") && object->isDisplayObject()) {
                next = Value(s.host.parent(object));
            } else if (is(name, "_global") && s.version >= 6) {
                next = Value(s.global);
            } else if (first && is(name, "this") && act) {
                next = act->thisValue;
            } else if (const auto level = levelNumber(name)) {
                next = *level >= 0 ? Value(s.host.level(*level)) : Value();
            } else if (Object* child =
                           object->isDisplayObject() ? s.host.child(object, name, cs) : nullptr) {
                next = Value(child);
            } else {
                next = m.get(object, m.str(name));
            }
        }
        first = false;
        object = next.asObject();
    }
    return object;
}

} // namespace avm1
