// Defining functions and the actions that call and construct. How a call runs is in
// Interpreter.cpp (callFunction, constructValue).

#include "avm1/Interp.h"

namespace avm1 {

void Interp::actionDefineFunction(Payload p, std::size_t bodyStart, std::size_t& next, bool v2) {
    auto info = std::make_shared<ScriptFunctionInfo>();
    info->name = str(p.cstring());
    std::uint16_t params = p.u16();
    info->isFunction2 = v2;
    if (v2) {
        info->registerCount = p.u8();
        info->flags = p.u16();
        for (std::uint16_t i = 0; i < params && !p.overrun(); ++i) {
            info->paramRegisters.push_back(p.u8());
            info->params.push_back(str(p.cstring()));
        }
    } else {
        for (std::uint16_t i = 0; i < params && !p.overrun(); ++i) {
            info->params.push_back(str(p.cstring()));
        }
    }
    std::size_t size = p.u16();
    std::size_t codeEnd = a_.code.bytes.size();
    std::size_t bodyEnd = std::min(bodyStart + size, codeEnd);
    info->body.owner = a_.code.owner;
    info->body.bytes = a_.code.bytes.subspan(bodyStart, bodyEnd - bodyStart);
    // Functions came with version 5: a version 4 movie's functions run by its rules.
    info->swfVersion = std::max(a_.version, 5);
    info->constants = a_.constants;
    next = bodyEnd;

    Scope* closure = a_.version >= 6 ? a_.scope : nullptr;
    auto* f = m_.make<FunctionObject>(s_.functionProto, info, closure, a_.baseClip);
    Object* proto = m_.newObject();
    m_.define(proto, "constructor", Value(static_cast<Object*>(f)), attr::DontEnum);
    m_.define(f, "prototype", Value(proto), attr::DontEnum | attr::DontDelete);
    // A script's function is made as by `new Function`: it names its constructor itself.
    m_.define(f, "constructor", m_.get(s_.functionProto, s_.sConstructor), attr::DontEnum);
    if (info->name.empty()) {
        push(Value(static_cast<Object*>(f)));
    } else {
        defineLocal(info->name, Value(static_cast<Object*>(f)));
    }
}

Value Interp::callSuperConstructor(SuperObject* sup, std::span<const Value> args) {
    Object* home = sup->home();
    Value ctor = home ? m_.get(home, s_.sConstructor2) : Value();
    return callValue(m_, ctor, Value(sup->thisObject()), args, home ? home->proto() : nullptr);
}

void Interp::actionCallFunction() {
    Value nameValue = pop();
    std::vector<Value> args = popArgs();
    Str name = m_.toString(nameValue);
    Object* holder = nullptr;
    // A function is a variable: a path reaches it through its last ':' or '.'. A path of
    // slashes alone names a clip, and a clip is not called.
    const std::string_view path = name.view();
    const bool clipPathOnly = name.hasPathSeparator() && path.find('/') != std::string_view::npos &&
                              path.find_first_of(":.") == std::string_view::npos;
    Value f = clipPathOnly ? Value() : getVariable(name, &holder);
    if (auto* sup = dynamic_cast<SuperObject*>(f.asObject())) {
        push(fromCallAction([&] { return callSuperConstructor(sup, args); })); // super(...)
        return;
    }
    // A function found in an activation object or on a clip is called on that object;
    // one found on the global object on the target.
    Value self;
    if (holder && holder != s_.global) {
        self = Value(holder);
    } else {
        self = Value(targetOrRoot());
    }
    push(fromCallAction([&] { return callValue(m_, f, self, args, nullptr); }));
}

void Interp::actionCallMethod() {
    Value nameValue = pop();
    Value object = pop();
    std::vector<Value> args = popArgs();
    Str name = nameValue.isUndefined() ? Str() : m_.toString(nameValue);
    if (name.empty()) {
        // Calling the object itself: super() runs the parent constructor.
        if (Object* o = object.asObject()) {
            if (auto* sup = dynamic_cast<SuperObject*>(o)) {
                push(fromCallAction([&] { return callSuperConstructor(sup, args); }));
                return;
            }
        }
        push(fromCallAction(
            [&] { return callValue(m_, object, Value(targetOrRoot()), args, nullptr); }));
        return;
    }
    Value self = object;
    Object* lookupFrom = object.asObject();
    auto* sup = dynamic_cast<SuperObject*>(lookupFrom);
    if (sup) {
        self = Value(sup->thisObject());
    }
    Value f;
    // From version 7 `super` in the method is one level above the prototype the method
    // was found in. Version 6 takes it one level above the object the call started from:
    // an inherited method calling super.method() on an object two levels down runs its
    // own class's method once more (A.B.B). From version 7 a call through `super` climbs
    // at most one level past where its lookup started: a method found further up runs as
    // the method of that next level, whose constructor its own super() calls.
    Object* home = nullptr;
    if (lookupFrom) {
        f = lookupProperty(m_, lookupFrom, name, &home, nullptr);
        Object* start = lookupFrom->proto();
        if (a_.version < 7) {
            home = start;
        } else if (sup && start && home != start && home != start->proto()) {
            home = start->proto();
        }
    } else {
        f = m_.getMember(object, name);
    }
    if (!isCallable(f)) {
        push(Value());
        return;
    }
    push(fromCallAction([&] { return callValue(m_, f, self, args, home); }));
}

void Interp::actionNew(bool method) {
    if (method) {
        Value nameValue = pop();
        Value object = pop();
        Str name = nameValue.isUndefined() ? Str() : m_.toString(nameValue);
        std::vector<Value> args = popArgs();
        Value ctor = name.empty() ? object : m_.getMember(object, name);
        push(fromCallAction([&] { return constructValue(m_, ctor, args); }));
        return;
    }
    Str name = m_.toString(pop());
    std::vector<Value> args = popArgs();
    Value ctor = getVariable(name);
    push(fromCallAction([&] { return constructValue(m_, ctor, args); }));
}

} // namespace avm1
