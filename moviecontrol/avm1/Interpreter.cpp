// The action interpreter: decodes each action where it stands and runs it.

#include "avm1/Interpreter.h"

#include "avm1/Convert.h"
#include "avm1/Text.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace avm1 {

namespace {

constexpr int MaxRangeDepth = 64;

// Names of GetProperty/SetProperty indexes.
constexpr std::string_view PropertyNames[] = {
    "_x",           "_y",           "_xscale",       "_yscale",       "_currentframe",
    "_totalframes", "_alpha",       "_visible",      "_width",        "_height",
    "_rotation",    "_target",      "_framesloaded", "_name",         "_droptarget",
    "_url",         "_highquality", "_focusrect",    "_soundbuftime", "_quality",
    "_xmouse",      "_ymouse"};

/// Bounds-checked reads from an action's payload; reading past the end gives zeros.
class Payload {
  public:
    explicit Payload(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool atEnd() const { return pos_ >= bytes_.size(); }
    std::uint8_t u8() { return pos_ < bytes_.size() ? bytes_[pos_++] : (pos_++, 0); }
    std::uint16_t u16() {
        std::uint16_t lo = u8();
        return static_cast<std::uint16_t>(lo | (u8() << 8));
    }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::uint32_t u32() {
        std::uint32_t lo = u16();
        return lo | (static_cast<std::uint32_t>(u16()) << 16);
    }
    float f32() {
        std::uint32_t bits = u32();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    double f64() {
        // Stored as two little-endian 32-bit halves, high half first.
        std::uint64_t hi = u32();
        std::uint64_t lo = u32();
        std::uint64_t bits = (hi << 32) | lo;
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    std::string_view cstring() {
        std::size_t start = std::min(pos_, bytes_.size());
        std::size_t end = start;
        while (end < bytes_.size() && bytes_[end] != 0)
            ++end;
        pos_ = end + 1;
        return {reinterpret_cast<const char*>(bytes_.data()) + start, end - start};
    }
    bool overrun() const { return pos_ > bytes_.size(); }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

struct Outcome {
    enum Kind { Done, Returned, JumpOut, Stop } kind = Done;
    std::size_t pc = 0;
    Value value;
};

bool isCallable(const Value& v) {
    return v.isObject() && v.asObject()->asFunction();
}

class Interp {
  public:
    Interp(Machine& m, Activation& a) : m_(m), s_(m.state()), a_(a) {}

    Outcome run(std::size_t start, std::size_t end);

  private:
    // Stack.
    Value pop() {
        if (s_.stack.size() <= a_.stackBase)
            return {};
        Value v = std::move(s_.stack.back());
        s_.stack.pop_back();
        return v;
    }
    void push(Value v) { s_.stack.push_back(std::move(v)); }
    Value& top() {
        if (s_.stack.size() <= a_.stackBase)
            s_.stack.emplace_back();
        return s_.stack.back();
    }
    std::vector<Value> popArgs() {
        double n = m_.toNumber(pop());
        std::size_t count = 0;
        if (n > 0)
            count = static_cast<std::size_t>(std::min(n, 65536.0));
        std::vector<Value> args;
        args.reserve(std::min<std::size_t>(count, s_.stack.size() - a_.stackBase + 1));
        for (std::size_t i = 0; i < count; ++i) {
            if (s_.stack.size() <= a_.stackBase)
                break; // a count past the stack takes what is there
            args.push_back(pop());
        }
        return args;
    }
    // Version 4 actions push real booleans too; only their text differs ("1" and "0").
    static Value boolValue(bool b) { return Value(b); }
    /// A register: the function's own while it has that many, otherwise one of the four
    /// registers every block and plain function shares. Null past those.
    Value* reg(std::size_t r) {
        if (r < a_.registers.size())
            return &a_.registers[r];
        return r < s_.globalRegisters.size() ? &s_.globalRegisters[r] : nullptr;
    }

    // Variables and paths.
    Object* currentTarget() { return a_.target; }
    Object* targetOrRoot() {
        if (a_.target)
            return a_.target;
        if (a_.baseClip && a_.baseClip->isDisplayObject())
            return s_.host.root(a_.baseClip);
        return s_.host.level(0);
    }
    // Where `var` puts a variable: a function's locals; outside functions the timeline the
    // scope reads, the target or the root while the target names no clip.
    Object* declarationScope() {
        if (a_.isFunction)
            return a_.locals;
        if (a_.target)
            return a_.target;
        return a_.baseClip ? targetOrRoot() : a_.locals;
    }
    bool lookup(const Str& name, Value& out, Object** holder);
    Value getVariable(const Str& name, Object** holder = nullptr);
    void setVariable(const Str& name, const Value& value);
    void defineLocal(const Str& name, const Value& value);
    Value specialName(const Str& name, bool& found);
    /// For "path:var" and "path.var": the object the path names and the variable name.
    bool splitPath(const Str& name, Object*& object, Str& var);
    Object* targetFromValue(const Value& v);
    void setTarget(Object* clip);
    void setTargetOrRoot(Object* clip);

    // Actions that need more than a few lines.
    void actionPush(Payload p);
    void actionDefineFunction(Payload p, std::size_t bodyStart, std::size_t& next, bool v2);
    Outcome actionTry(Payload p, std::size_t next, std::size_t end);
    Outcome actionWith(Payload p, std::size_t next, std::size_t end);
    void actionCallFunction();
    /// super(...): the constructor of the class the running method's class extends.
    Value callSuperConstructor(SuperObject* sup, std::span<const Value> args);
    void actionCallMethod();
    void actionNew(bool method);
    void actionGotoFrame2(Payload p);
    void actionGetUrl2(Payload p);
    void actionEnumerate(const Value& object);
    bool instanceOf(const Value& object, const Value& constructor);
    void actionStartDrag();
    Value add2(const Value& a, const Value& b);
    Value less2(const Value& a, const Value& b);
    bool equals2(const Value& a, const Value& b);
    Str str(std::string_view bytes) {
        if (isAscii(bytes))
            return m_.str(bytes);
        return Str(decodeText(bytes));
    }
    /// A text of a Push action, decoded once per place in a living code block.
    Str literal(std::string_view bytes) {
        constexpr std::size_t MaxLiterals = 1 << 16;
        auto key = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const void* owner = a_.code.owner.get();
        if (owner) {
            auto it = s_.literals.find(key);
            if (it != s_.literals.end() && it->second.owner == owner && !it->second.alive.expired())
                return it->second.text;
        }
        Str text = str(bytes);
        if (owner) {
            if (s_.literals.size() >= MaxLiterals)
                s_.literals.clear();
            s_.literals[key] = Machine::State::Literal{owner, a_.code.owner, text};
        }
        return text;
    }
    Outcome subRange(std::size_t start, std::size_t end);
    void gotoFrameValue(const Value& frame, bool play, std::uint32_t bias);
    // A frame given as "path:frame" names its clip before the last colon; without one it is
    // the current target's. Leaves the frame part in `frame`; null when the path leads nowhere.
    Object* frameOwner(std::string_view& frame);

    Machine& m_;
    Machine::State& s_;
    Activation& a_;
};

// --- Variables -------------------------------------------------------------------------

bool Interp::lookup(const Str& name, Value& out, Object** holder) {
    for (Scope* sc = a_.scope; sc; sc = sc->parent()) {
        Object* o = sc->object();
        // Version 4 movies predate the global object's names (NaN, Infinity, Math...).
        if (!o || (o == s_.global && a_.version < 5))
            continue;
        // A script whose own clip was removed under it reads the root's variables instead.
        if (sc->isTimeline() && o->isDisplayObject() && s_.host.removed(o))
            o = s_.host.root(o);
        if (!o)
            continue;
        bool found = false;
        Value v = lookupProperty(m_, o, name, nullptr, &found);
        if (found) {
            out = std::move(v);
            if (holder)
                *holder = o;
            return true;
        }
    }
    return false;
}

Value Interp::specialName(const Str& name, bool& found) {
    std::string_view n = name.view();
    // Most names are none of this, _global and super: their length tells.
    found = false;
    if (n.size() != 4 && n.size() != 5 && n.size() != 7)
        return {};
    found = true;
    bool cs = s_.caseSensitive();
    auto is = [&](std::string_view w) { return cs ? n == w : equalsFolded(n, w); };
    if (is("this")) {
        if (!a_.suppressThis)
            return a_.thisValue;
        // A function that keeps `this` in a register or goes without it sees the `this` of
        // the timeline it closes over; a version 5 function closes over none and looks
        // the name up like any other.
        if (a_.version >= 6)
            return Value(a_.baseClip ? a_.baseClip : targetOrRoot());
    }
    if (is("_global") && a_.version >= 6)
        return Value(s_.global);
    if (is("super")) {
        if (a_.suppressSuper)
            return {};
        Object* self = a_.thisValue.asObject();
        if (!self)
            return {};
        Object* home = a_.home ? a_.home : self->proto();
        return Value(static_cast<Object*>(m_.make<SuperObject>(self, home)));
    }
    found = false;
    return {};
}

bool Interp::splitPath(const Str& name, Object*& object, Str& var) {
    object = nullptr;
    if (!name.hasPathSeparator())
        return false;
    std::string_view path = name.view();
    std::size_t sep = path.find_last_of(":.");
    object = nullptr;
    if (sep == std::string_view::npos)
        return false;
    std::string_view objectPath = path.substr(0, sep);
    var = str(path.substr(sep + 1));
    for (Scope* sc = a_.scope; sc && !object; sc = sc->parent())
        if (sc->object())
            object = resolveTargetPath(m_, &a_, sc->object(), objectPath);
    return true;
}

Value Interp::getVariable(const Str& name, Object** holder) {
    std::string_view path = name.view();
    bool found;
    Value special = specialName(name, found);
    if (found)
        return special;
    Object* object;
    Str var;
    if (splitPath(name, object, var)) {
        if (holder)
            *holder = object;
        return object ? m_.get(object, var) : Value();
    }
    if (name.hasPathSeparator() && path.find('/') != std::string_view::npos) {
        for (Scope* sc = a_.scope; sc; sc = sc->parent()) {
            if (!sc->object())
                continue;
            if (Object* o = resolveTargetPath(m_, &a_, sc->object(), path))
                return Value(o);
        }
        return {};
    }
    Value out;
    if (lookup(name, out, holder))
        return out;
    // Clip names the stage does not serve as properties.
    bool cs = s_.caseSensitive();
    auto is = [&](std::string_view w) { return cs ? path == w : equalsFolded(path, w); };
    if (is("_root"))
        return Value(s_.host.root(targetOrRoot()));
    if (is("_parent") && a_.target)
        return Value(s_.host.parent(a_.target));
    if (const auto level = levelNumber(path))
        return *level >= 0 ? Value(s_.host.level(*level)) : Value();
    return {};
}

void Interp::setVariable(const Str& name, const Value& value) {
    Object* object;
    Str var;
    if (splitPath(name, object, var)) {
        if (object)
            m_.set(object, var, value);
        return;
    }
    // The innermost scope that has it; otherwise the timeline (never a function's locals).
    Object* timeline = nullptr;
    for (Scope* sc = a_.scope; sc; sc = sc->parent()) {
        Object* o = sc->object();
        if (!o)
            continue;
        if (m_.hasProperty(o, name)) {
            m_.set(o, name, value);
            return;
        }
        if (!timeline && sc->isTimeline())
            timeline = o;
    }
    if (!timeline)
        timeline = a_.target ? a_.target : s_.global;
    m_.set(timeline, name, value);
}

void Interp::defineLocal(const Str& name, const Value& value) {
    // On a timeline `var /:a = 1` sets through the path; a function's local takes the
    // whole text as its name.
    if (!a_.isFunction && name.view().find_first_of(":./") != std::string_view::npos) {
        setVariable(name, value);
        return;
    }
    Object* locals = declarationScope();
    if (!locals)
        return;
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
    if (Object* o = v.asObject(); o && o->isDisplayObject())
        return o;
    Str path = m_.toString(v);
    if (path.empty())
        return currentTarget();
    Object* start = targetOrRoot();
    Object* o = start ? resolveTargetPath(m_, &a_, start, path.view()) : nullptr;
    return o && o->isDisplayObject() ? o : nullptr;
}

void Interp::setTargetOrRoot(Object* clip) {
    // A target that names no clip leaves the actions to the movie's root.
    if (!clip || !clip->isDisplayObject())
        clip = a_.baseClip && a_.baseClip->isDisplayObject() ? s_.host.root(a_.baseClip)
                                                             : s_.host.level(0);
    setTarget(clip);
}

void Interp::setTarget(Object* clip) {
    a_.target = clip;
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
    for (auto it = above.rbegin(); it != above.rend(); ++it)
        chain = m_.make<Scope>(chain, (*it)->object(), (*it)->isTimeline());
    a_.scope = chain;
}

// --- Operators -------------------------------------------------------------------------

Value Interp::add2(const Value& a, const Value& b) {
    // valueOf first; text on either side makes both text, where an object that valueOf
    // left an object gives its toString. Otherwise such an object adds as NaN.
    Value pa = m_.toPrimitive(a);
    Value pb = m_.toPrimitive(b);
    if (pa.isString() || pb.isString()) {
        Str sa = m_.toString(pa.isObject() ? a : pa), sb = m_.toString(pb.isObject() ? b : pb);
        if (sa.size() + sb.size() > s_.limits.maxStringBytes / 4)
            s_.abort(LimitKind::MemoryBudget, "a script built a string past the movie's budget");
        return Value(Str(joinText(sa.view(), sb.view())));
    }
    auto number = [&](const Value& p) {
        return p.isObject() ? std::numeric_limits<double>::quiet_NaN() : m_.toNumber(p);
    };
    return Value(number(pa) + number(pb));
}

Value Interp::less2(const Value& a, const Value& b) {
    // An object whose valueOf gives an object compares false at once, the other operand
    // unconverted; a clip in that place compares as NaN.
    auto objectGivesFalse = [](const Value& p) {
        return p.isObject() && !p.asObject()->isDisplayObject();
    };
    Value pa = m_.toPrimitive(a);
    if (objectGivesFalse(pa))
        return Value(false);
    Value pb = m_.toPrimitive(b);
    if (objectGivesFalse(pb))
        return Value(false);
    if (pa.isString() && pb.isString())
        return Value(toUtf16(pa.asString().view()) < toUtf16(pb.asString().view()));
    double x = m_.toNumber(pa), y = m_.toNumber(pb);
    if (std::isnan(x) || std::isnan(y))
        return {};
    return Value(x < y);
}

bool Interp::equals2(const Value& a, const Value& b) {
    if (a.type() == b.type()) {
        if (a.isString())
            return a.asString() == b.asString();
        return strictEquals(a, b);
    }
    if (a.isNullish() && b.isNullish())
        return true;
    if (a.isObject() != b.isObject()) {
        // An object meets a primitive through its valueOf (undefined when it has none).
        const Value& object = a.isObject() ? a : b;
        const Value& other = a.isObject() ? b : a;
        Value p = m_.toPrimitive(object);
        return !p.isObject() && equals2(p, other);
    }
    if (a.isNullish() || b.isNullish())
        return false;
    if (a.isNumber() && b.isString())
        return a.asNumber() == m_.toNumber(b);
    if (a.isString() && b.isNumber())
        return m_.toNumber(a) == b.asNumber();
    if (a.isBool())
        return equals2(Value(a.asBool() ? 1.0 : 0.0), b);
    if (b.isBool())
        return equals2(a, Value(b.asBool() ? 1.0 : 0.0));
    return false;
}

bool Interp::instanceOf(const Value& object, const Value& constructor) {
    Object* o = object.asObject();
    Object* c = constructor.asObject();
    if (!o || !c)
        return false;
    Object* proto = m_.get(c, s_.sPrototype).asObject();
    if (!proto)
        return false;
    int depth = 0;
    for (Object* p = o->proto(); p && depth < 256; p = p->proto(), ++depth) {
        if (p == proto)
            return true;
        std::vector<Object*> pending(p->interfaces().begin(), p->interfaces().end());
        for (std::size_t i = 0; i < pending.size() && i < 1024; ++i) {
            Object* iface = pending[i];
            if (iface == c)
                return true;
            if (Object* ip = m_.get(iface, s_.sPrototype).asObject()) {
                if (ip == proto)
                    return true;
                pending.insert(pending.end(), ip->interfaces().begin(), ip->interfaces().end());
            }
        }
    }
    return false;
}

// --- Actions ---------------------------------------------------------------------------

void Interp::actionPush(Payload p) {
    while (!p.atEnd()) {
        std::uint8_t type = p.u8();
        switch (type) {
        case 0:
            push(Value(literal(p.cstring())));
            break;
        case 1:
            push(Value(static_cast<double>(p.f32())));
            break;
        case 2:
            push(Value::null());
            break;
        case 3:
            push(Value());
            break;
        case 4: {
            Value* r = reg(p.u8());
            push(r ? *r : Value());
            break;
        }
        case 5:
            push(Value(p.u8() != 0));
            break;
        case 6:
            push(Value(p.f64()));
            break;
        case 7:
            push(Value(static_cast<double>(static_cast<std::int32_t>(p.u32()))));
            break;
        case 8: {
            std::size_t i = p.u8();
            push(a_.constants && i < a_.constants->size() ? Value((*a_.constants)[i]) : Value());
            break;
        }
        case 9: {
            std::size_t i = p.u16();
            push(a_.constants && i < a_.constants->size() ? Value((*a_.constants)[i]) : Value());
            break;
        }
        default:
            return; // unknown type: the rest cannot be decoded
        }
        if (p.overrun()) {
            s_.stack.pop_back();
            return;
        }
    }
}

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
        for (std::uint16_t i = 0; i < params && !p.overrun(); ++i)
            info->params.push_back(str(p.cstring()));
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
    if (info->name.empty())
        push(Value(static_cast<Object*>(f)));
    else
        defineLocal(info->name, Value(static_cast<Object*>(f)));
}

Outcome Interp::subRange(std::size_t start, std::size_t end) {
    if (++a_.rangeDepth > MaxRangeDepth) {
        --a_.rangeDepth;
        s_.abort(LimitKind::MalformedScript, "a script nests blocks too deeply");
    }
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{a_.rangeDepth};
    return run(start, end);
}

Outcome Interp::actionWith(Payload p, std::size_t next, std::size_t end) {
    std::size_t size = p.u16();
    std::size_t bodyEnd = std::min(next + size, end);
    Value v = pop();
    Object* o = m_.toObject(v);
    if (!o) {
        Outcome out;
        out.kind = Outcome::JumpOut;
        out.pc = bodyEnd;
        return out;
    }
    Scope* saved = a_.scope;
    a_.scope = m_.make<Scope>(saved, o);
    Outcome out;
    try {
        out = subRange(next, bodyEnd);
    } catch (...) {
        a_.scope = saved;
        throw;
    }
    a_.scope = saved;
    if (out.kind == Outcome::Done) {
        out.kind = Outcome::JumpOut;
        out.pc = bodyEnd;
    }
    return out;
}

Outcome Interp::actionTry(Payload p, std::size_t next, std::size_t end) {
    std::uint8_t flags = p.u8();
    std::size_t trySize = p.u16(), catchSize = p.u16(), finallySize = p.u16();
    bool hasCatch = flags & 1, hasFinally = flags & 2, inRegister = flags & 4;
    std::uint8_t catchRegister = 0;
    Str catchName;
    if (inRegister)
        catchRegister = p.u8();
    else
        catchName = str(p.cstring());
    std::size_t tryEnd = std::min(next + trySize, end);
    std::size_t catchEnd = std::min(tryEnd + catchSize, end);
    std::size_t finallyEnd = std::min(catchEnd + finallySize, end);
    if (!hasFinally)
        finallyEnd = catchEnd;
    std::size_t stackDepth = s_.stack.size();

    Outcome out;
    bool pending = false; // a throw still travelling after finally
    ScriptThrow thrown;
    try {
        out = subRange(next, tryEnd);
    } catch (ScriptThrow& t) {
        s_.stack.resize(std::max(std::min(s_.stack.size(), stackDepth), a_.stackBase));
        if (hasCatch) {
            if (inRegister) {
                if (Value* r = reg(catchRegister))
                    *r = t.value;
            } else {
                defineLocal(catchName, t.value);
            }
            try {
                out = subRange(tryEnd, catchEnd);
            } catch (ScriptThrow& inner) {
                pending = true;
                thrown = inner;
            }
        } else {
            pending = true;
            thrown = t;
        }
    }
    if (hasFinally && finallyEnd > catchEnd) {
        Outcome fin = subRange(catchEnd, finallyEnd);
        if (fin.kind != Outcome::Done)
            return fin; // a return or jump in finally wins
    }
    if (pending)
        throw thrown;
    if (out.kind == Outcome::Done) {
        out.kind = Outcome::JumpOut;
        out.pc = finallyEnd;
    }
    return out;
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
    Value f = getVariable(name, &holder);
    if (auto* sup = dynamic_cast<SuperObject*>(f.asObject())) {
        push(callSuperConstructor(sup, args)); // super(...)
        return;
    }
    Value self;
    // A function found in an activation object is called on that object.
    if (holder && !holder->isDisplayObject() && holder != s_.global)
        self = Value(holder);
    else if (holder && holder->isDisplayObject())
        self = Value(holder);
    else
        self = Value(targetOrRoot());
    push(callValue(m_, f, self, args, nullptr));
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
                push(callSuperConstructor(sup, args));
                return;
            }
        }
        push(callValue(m_, object, Value(targetOrRoot()), args, nullptr));
        return;
    }
    Value self = object;
    Object* lookupFrom = object.asObject();
    if (auto* sup = dynamic_cast<SuperObject*>(lookupFrom))
        self = Value(sup->thisObject());
    Value f;
    Object* home = nullptr;
    if (lookupFrom) {
        f = lookupProperty(m_, lookupFrom, name, &home, nullptr);
    } else {
        f = m_.getMember(object, name);
    }
    if (!isCallable(f)) {
        push(Value());
        return;
    }
    push(callValue(m_, f, self, args, home));
}

void Interp::actionNew(bool method) {
    Value ctor;
    if (method) {
        Value nameValue = pop();
        Value object = pop();
        Str name = nameValue.isUndefined() ? Str() : m_.toString(nameValue);
        std::vector<Value> args = popArgs();
        ctor = name.empty() ? object : m_.getMember(object, name);
        push(constructValue(m_, ctor, args));
        return;
    }
    Str name = m_.toString(pop());
    std::vector<Value> args = popArgs();
    ctor = getVariable(name);
    push(constructValue(m_, ctor, args));
}

Object* Interp::frameOwner(std::string_view& frame) {
    const std::size_t colon = frame.find_last_of(':');
    if (colon == std::string_view::npos)
        return currentTarget();
    Object* t = resolveTargetPath(m_, &a_, targetOrRoot(), frame.substr(0, colon));
    frame = frame.substr(colon + 1);
    return t && t->isDisplayObject() ? t : nullptr;
}

void Interp::gotoFrameValue(const Value& frame, bool play, std::uint32_t bias) {
    // A whole number is a frame (wrapping as a 32-bit integer); anything else, undefined and
    // booleans included, is read as text: a frame number or a label, after an optional
    // "path:". The scene bias moves labels too. Frames before the first are ignored.
    Object* clip = targetOrRoot();
    std::int64_t number = 0;
    if (frame.isNumber()) {
        const double n = frame.asNumber();
        if (!clip || !std::isfinite(n) || n != std::trunc(n))
            return;
        number = toInt32(n);
    } else {
        Str text = m_.toString(frame);
        std::string_view label = text.view();
        clip = frameOwner(label);
        if (!clip)
            return;
        const double n = stringToNumber(label, 7);
        if (!std::isnan(n)) {
            if (!std::isfinite(n) || n != std::trunc(n))
                return;
            number = toInt32(n);
        } else if (auto found = s_.host.frameOfLabel(clip, label)) {
            number = static_cast<std::int64_t>(*found) + 1;
        } else {
            return;
        }
    }
    // The 0-based frame wraps as a 32-bit integer too: -2147483648 lands past the end.
    const std::int32_t index = toInt32(static_cast<double>(number - 1 + bias));
    if (index >= 0)
        s_.host.gotoFrame(clip, static_cast<std::uint32_t>(index), play);
}

void Interp::actionGotoFrame2(Payload p) {
    std::uint8_t flags = p.u8();
    std::uint32_t bias = (flags & 2) ? p.u16() : 0;
    gotoFrameValue(pop(), flags & 1, bias);
}

void Interp::actionGetUrl2(Payload p) {
    std::uint8_t flags = p.u8();
    Value target = pop();
    Value url = pop();
    UrlRequest r;
    r.url = m_.toString(url).str();
    r.target = m_.toString(target).str();
    // As the authoring tools write the byte: load variables 0x80, load into a target 0x40,
    // the method in the two low bits (the reverse of the order the format notes give).
    r.method = static_cast<UrlRequest::Method>(std::min(flags & 3, 2));
    r.loadTarget = (flags & 0x40) != 0;
    r.loadVariables = (flags & 0x80) != 0;
    r.sourceClip = currentTarget();
    if (r.url.size() >= 10 && equalsFolded(std::string_view(r.url).substr(0, 10), "fscommand:")) {
        s_.host.fscommand(std::string_view(r.url).substr(10), r.target);
        return;
    }
    s_.host.getUrl(r);
}

void Interp::actionEnumerate(const Value& object) {
    push(Value()); // the end marker
    Object* o = object.asObject();
    if (!o)
        return;
    std::vector<Str> names = m_.enumerate(o);
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        push(Value(*it));
}

void Interp::actionStartDrag() {
    Object* clip = targetFromValue(pop());
    bool lockCenter = m_.toBoolean(pop());
    bool constrain = m_.toBoolean(pop());
    std::optional<Host::DragBounds> bounds;
    if (constrain) {
        double bottom = m_.toNumber(pop());
        double right = m_.toNumber(pop());
        double top = m_.toNumber(pop());
        double left = m_.toNumber(pop());
        bounds = Host::DragBounds{left, top, right, bottom};
    }
    if (clip)
        s_.host.startDrag(clip, lockCenter, bounds);
}

Outcome Interp::run(std::size_t start, std::size_t end) {
    const auto bytes = a_.code.bytes;
    std::size_t pc = start;
    while (pc < end) {
        s_.tick();
        std::uint8_t code = bytes[pc];
        std::size_t next = pc + 1;
        Payload p({});
        if (code == 0)
            return {Outcome::Stop, pc, {}};
        if (code >= 0x80) {
            if (pc + 3 > bytes.size())
                return {Outcome::Stop, pc, {}};
            std::size_t len = bytes[pc + 1] | (bytes[pc + 2] << 8);
            if (pc + 3 + len > bytes.size())
                return {Outcome::Stop, pc, {}};
            p = Payload(bytes.subspan(pc + 3, len));
            next = pc + 3 + len;
        }
        switch (code) {
        // --- Timeline -------------------------------------------------------------------
        // With a target that names no clip, the timeline actions move the root.
        case 0x04:
            if (Object* t = targetOrRoot())
                s_.host.nextFrame(t);
            break;
        case 0x05:
            if (Object* t = targetOrRoot())
                s_.host.prevFrame(t);
            break;
        case 0x06:
            if (Object* t = targetOrRoot())
                s_.host.play(t);
            break;
        case 0x07:
            if (Object* t = targetOrRoot())
                s_.host.stop(t);
            break;
        case 0x08:
            s_.host.toggleQuality();
            break;
        case 0x09:
            s_.host.stopSounds();
            break;
        case 0x81:
            if (Object* t = targetOrRoot())
                s_.host.gotoFrame(t, p.u16(), false);
            break;
        case 0x8C:
            if (Object* t = targetOrRoot())
                s_.host.gotoLabel(t, str(p.cstring()).view(), false);
            break;
        case 0x9F:
            actionGotoFrame2(p);
            break;
        case 0x8A:
        case 0x8D: {
            Value frame = code == 0x8A ? Value(static_cast<double>(p.u16()) + 1) : Value();
            std::uint8_t skip = p.u8();
            if (code == 0x8D)
                frame = pop();
            Object* t = targetOrRoot();
            bool loaded = true;
            if (t) {
                double f = m_.toNumber(frame);
                if (frame.isString()) {
                    auto label = s_.host.frameOfLabel(t, frame.asString().view());
                    f = label ? *label + 1.0 : f;
                }
                // Once every frame is there, any frame counts as loaded, even one past the
                // end: preloaders wait for a frame number larger than the movie has.
                const std::uint32_t have = s_.host.framesLoaded(t);
                loaded = std::isnan(f) || f <= have || have >= s_.host.totalFrames(t);
            }
            if (!loaded) {
                for (int i = 0; i < skip && next < end; ++i) {
                    std::uint8_t c = bytes[next];
                    if (c >= 0x80 && next + 3 <= bytes.size())
                        next += 3 + (bytes[next + 1] | (bytes[next + 2] << 8));
                    else
                        next += 1;
                }
            }
            break;
        }
        case 0x8B: {
            std::string_view target = p.cstring();
            Object* clip =
                target.empty()
                    ? a_.baseClip
                    : resolveTargetPath(m_, &a_, a_.baseClip ? a_.baseClip : targetOrRoot(),
                                        str(target).view());
            setTargetOrRoot(clip);
            break;
        }
        case 0x20: {
            Value v = pop();
            Object* clip = nullptr;
            if (Object* o = v.asObject(); o && o->isDisplayObject()) {
                // A clip is found again by its path: of two clips of one name, the lower.
                const std::string path = s_.host.dotPath(o);
                Object* found = path.empty() ? nullptr : resolveTargetPath(m_, &a_, o, path);
                clip = found ? found : o;
            } else {
                Str path = m_.toString(v);
                clip = path.empty()
                           ? a_.baseClip
                           : resolveTargetPath(m_, &a_, a_.baseClip ? a_.baseClip : targetOrRoot(),
                                               path.view());
            }
            setTargetOrRoot(clip);
            break;
        }
        case 0x22: { // GetProperty
            // Fractions truncate toward zero: -0.8 reads property 0.
            double index = std::trunc(m_.toNumber(pop()));
            Object* clip = targetFromValue(pop());
            Value out;
            if (clip && index >= 0 && index < std::size(PropertyNames)) {
                const std::string_view name = PropertyNames[static_cast<std::size_t>(index)];
                if (!s_.host.displayProperty(clip, name, out))
                    out = m_.get(clip, m_.str(name));
            }
            push(out);
            break;
        }
        case 0x23: { // SetProperty
            Value value = pop();
            double index = std::trunc(m_.toNumber(pop()));
            Object* clip = targetFromValue(pop());
            if (clip && index >= 0 && index < std::size(PropertyNames))
                m_.set(clip, m_.str(PropertyNames[static_cast<std::size_t>(index)]), value);
            break;
        }
        case 0x24: { // CloneSprite
            double depth = m_.toNumber(pop());
            Str name = m_.toString(pop());
            Object* source = targetFromValue(pop());
            if (source)
                s_.host.cloneSprite(source, name.view(), static_cast<int>(toInt32(depth)));
            break;
        }
        case 0x25:
            if (Object* clip = targetFromValue(pop()))
                s_.host.removeSprite(clip);
            break;
        case 0x27:
            actionStartDrag();
            break;
        case 0x28:
            s_.host.stopDrag();
            break;
        case 0x9E: { // Call
            Value frame = pop();
            Str text = m_.toString(frame);
            std::string_view label = text.view();
            Object* clip = frameOwner(label);
            if (!clip)
                break;
            double n = stringToNumber(label, 7);
            if (!std::isnan(n)) {
                // Frame numbers wrap at 32 bits: 4294967299 is frame 3.
                if (std::uint32_t frame = toUint32(n); frame >= 1)
                    s_.host.callFrame(clip, frame - 1);
            } else if (auto f = s_.host.frameOfLabel(clip, label)) {
                s_.host.callFrame(clip, *f);
            }
            break;
        }
        case 0x83: {
            std::string_view url = p.cstring();
            std::string_view target = p.cstring();
            std::string u = decodeText(url);
            if (u.size() >= 10 && equalsFolded(std::string_view(u).substr(0, 10), "fscommand:")) {
                s_.host.fscommand(std::string_view(u).substr(10), decodeText(target));
            } else {
                UrlRequest r;
                r.url = u;
                r.target = decodeText(target);
                r.sourceClip = currentTarget();
                s_.host.getUrl(r);
            }
            break;
        }
        case 0x9A:
            actionGetUrl2(p);
            break;

        // --- Stack and registers --------------------------------------------------------
        case 0x96:
            actionPush(p);
            break;
        case 0x17:
            pop();
            break;
        case 0x4C: {
            Value v = top();
            push(v);
            break;
        }
        case 0x4D: {
            Value a = pop();
            Value b = pop();
            push(a);
            push(b);
            break;
        }
        case 0x87: {
            if (Value* r = reg(p.u8()))
                *r = top();
            break;
        }
        case 0x88: {
            std::uint16_t count = p.u16();
            auto pool = std::make_shared<std::vector<Str>>();
            pool->reserve(count);
            for (std::uint16_t i = 0; i < count && !p.atEnd(); ++i)
                pool->push_back(str(p.cstring()));
            a_.constants = pool;
            if (!a_.isFunction)
                s_.constants = pool;
            break;
        }

        // --- Arithmetic -----------------------------------------------------------------
        case 0x0A: {
            double b = m_.toNumber(pop()), a = m_.toNumber(pop());
            push(Value(a + b));
            break;
        }
        case 0x0B: {
            double b = m_.toNumber(pop()), a = m_.toNumber(pop());
            push(Value(a - b));
            break;
        }
        case 0x0C: {
            double b = m_.toNumber(pop()), a = m_.toNumber(pop());
            push(Value(a * b));
            break;
        }
        case 0x0D: {
            double b = m_.toNumber(pop()), a = m_.toNumber(pop());
            if (b == 0 && a_.version < 5)
                push(Value(Str("#ERROR#")));
            else
                push(Value(a / b));
            break;
        }
        case 0x3F: {
            double b = m_.toNumber(pop()), a = m_.toNumber(pop());
            push(Value(std::fmod(a, b)));
            break;
        }
        case 0x50:
            push(Value(m_.toNumber(pop()) + 1));
            break;
        case 0x51:
            push(Value(m_.toNumber(pop()) - 1));
            break;
        case 0x47: {
            Value b = pop(), a = pop();
            push(add2(a, b));
            break;
        }
        case 0x0E: { // Equals
            double b = m_.toNumber(pop()), a = m_.toNumber(pop());
            push(boolValue(a == b));
            break;
        }
        case 0x0F: { // Less
            double b = m_.toNumber(pop()), a = m_.toNumber(pop());
            push(boolValue(a < b));
            break;
        }
        case 0x10: { // And
            bool b = m_.toBoolean(pop()), a = m_.toBoolean(pop());
            push(boolValue(a && b));
            break;
        }
        case 0x11: {
            bool b = m_.toBoolean(pop()), a = m_.toBoolean(pop());
            push(boolValue(a || b));
            break;
        }
        case 0x12:
            push(boolValue(!m_.toBoolean(pop())));
            break;
        case 0x48: {
            Value b = pop(), a = pop();
            push(less2(a, b));
            break;
        }
        case 0x67: {
            Value b = pop(), a = pop();
            push(less2(b, a));
            break;
        }
        case 0x49: {
            Value b = pop(), a = pop();
            push(Value(equals2(a, b)));
            break;
        }
        case 0x66: {
            Value b = pop(), a = pop();
            push(Value(strictEquals(a, b)));
            break;
        }
        case 0x60:
        case 0x61:
        case 0x62:
        case 0x63:
        case 0x64:
        case 0x65: {
            std::int32_t b = toInt32(m_.toNumber(pop()));
            std::int32_t a = toInt32(m_.toNumber(pop()));
            auto ua = static_cast<std::uint32_t>(a);
            unsigned shift = static_cast<unsigned>(b) & 31;
            double r = 0;
            switch (code) {
            case 0x60:
                r = a & b;
                break;
            case 0x61:
                r = a | b;
                break;
            case 0x62:
                r = a ^ b;
                break;
            case 0x63:
                r = static_cast<std::int32_t>(ua << shift);
                break;
            case 0x64:
                r = a >> shift;
                break;
            default:
                r = static_cast<double>(ua >> shift);
                break;
            }
            push(Value(r));
            break;
        }
        case 0x18: {
            double n = m_.toNumber(pop());
            push(Value(std::isnan(n) ? 0.0 : std::trunc(n)));
            break;
        }
        case 0x4A:
            push(Value(m_.toNumber(pop())));
            break;
        case 0x4B:
            push(Value(m_.toString(pop())));
            break;
        case 0x44:
            push(Value(m_.str(m_.typeOf(pop()))));
            break;
        case 0x30: {
            double max = m_.toNumber(pop());
            double r = 0;
            if (max > 0 && std::isfinite(max)) {
                std::uniform_real_distribution<double> d(0.0, 1.0);
                r = std::floor(d(s_.random) * std::floor(max));
            }
            push(Value(r));
            break;
        }
        case 0x34:
            push(Value(std::floor(s_.host.timerMs())));
            break;

        // --- Strings --------------------------------------------------------------------
        case 0x21: {
            Str b = m_.toString(pop()), a = m_.toString(pop());
            if (a.size() + b.size() > s_.limits.maxStringBytes / 4)
                s_.abort(LimitKind::MemoryBudget,
                         "a script built a string past the movie's budget");
            push(Value(Str(joinText(a.view(), b.view()))));
            break;
        }
        case 0x13: {
            Str b = m_.toString(pop()), a = m_.toString(pop());
            push(boolValue(a == b));
            break;
        }
        case 0x29:
        case 0x68: {
            Str b = m_.toString(pop()), a = m_.toString(pop());
            bool r = code == 0x29 ? toUtf16(a.view()) < toUtf16(b.view())
                                  : toUtf16(b.view()) < toUtf16(a.view());
            push(boolValue(r));
            break;
        }
        case 0x14:
        case 0x31:
            push(Value(static_cast<double>(utf16Length(m_.toString(pop()).view()))));
            break;
        case 0x15:
        case 0x35: {
            double count = m_.toNumber(pop());
            double index = m_.toNumber(pop());
            std::u16string s = toUtf16(m_.toString(pop()).view());
            double start = std::isnan(index) ? 0 : std::max(index - 1, 0.0);
            if (start >= static_cast<double>(s.size())) {
                push(Value(s_.sEmpty));
                break;
            }
            double n = (std::isnan(count) || count < 0) ? static_cast<double>(s.size()) : count;
            auto st = static_cast<std::size_t>(start);
            auto len = static_cast<std::size_t>(std::min(n, static_cast<double>(s.size() - st)));
            push(Value(Str(fromUtf16(std::u16string_view(s).substr(st, len)))));
            break;
        }
        case 0x32:
        case 0x36: {
            std::u16string s = toUtf16(m_.toString(pop()).view());
            push(Value(s.empty() ? 0.0 : static_cast<double>(s[0])));
            break;
        }
        case 0x33:
        case 0x37: {
            std::uint32_t c = toUint32(m_.toNumber(pop()));
            if (code == 0x33 && a_.version < 6)
                c &= 0xFF;
            c &= 0xFFFF;
            push(Value(c == 0 ? s_.sEmpty : Str(codePointToUtf8(c))));
            break;
        }

        // --- Variables and members ------------------------------------------------------
        case 0x1C: {
            Str name = m_.toString(pop());
            push(getVariable(name));
            break;
        }
        case 0x1D: {
            Value value = pop();
            Str name = m_.toString(pop());
            setVariable(name, value);
            break;
        }
        case 0x3C: {
            Value value = pop();
            Str name = m_.toString(pop());
            defineLocal(name, value);
            break;
        }
        case 0x41: {
            Str name = m_.toString(pop());
            if (!a_.isFunction && name.view().find_first_of(":./") != std::string_view::npos) {
                Object* object;
                Str var;
                if (splitPath(name, object, var) && object && !m_.hasOwnProperty(object, var))
                    m_.set(object, var, Value());
                break;
            }
            Object* locals = declarationScope();
            if (locals && !m_.hasOwnProperty(locals, name))
                m_.set(locals, name, Value());
            break;
        }
        case 0x4E: {
            Value name = pop();
            Value object = pop();
            push(m_.getMember(object, m_.toString(name)));
            break;
        }
        case 0x4F: {
            Value value = pop();
            Value name = pop();
            Value object = pop();
            if (Object* o = object.asObject())
                m_.set(o, m_.toString(name), value);
            break;
        }
        case 0x3A: {
            Str name = m_.toString(pop());
            Value object = pop();
            push(Value(m_.deleteProperty(object.asObject(), name)));
            break;
        }
        case 0x3B: {
            Str name = m_.toString(pop());
            Object* object;
            Str var;
            if (splitPath(name, object, var)) {
                if (!object) {
                    // Flash's debugger warns when the path runs through a primitive.
                    std::string_view path = name.view();
                    Value base = getVariable(str(path.substr(0, path.find_last_of(":."))));
                    if (!base.isNullish() && !base.isObject())
                        m_.host().trace("Parameters of primitive types are no longer coerced "
                                        "into the required type - Object.");
                }
                push(Value(object && m_.deleteProperty(object, var)));
                break;
            }
            bool done = false;
            for (Scope* sc = a_.scope; sc && !done; sc = sc->parent()) {
                if (sc->object() && m_.hasOwnProperty(sc->object(), name)) {
                    push(Value(m_.deleteProperty(sc->object(), name)));
                    done = true;
                }
            }
            if (!done)
                push(Value(false));
            break;
        }
        case 0x42: {
            // A count no 32-bit integer holds makes no array and takes nothing.
            if (double n = m_.toNumber(top()); !(n >= 0 && n <= 2147483647.0)) {
                pop();
                push(Value());
                break;
            }
            std::vector<Value> elements = popArgs();
            push(Value(m_.newArray(elements)));
            break;
        }
        case 0x43: {
            double n = m_.toNumber(pop());
            Object* o = m_.newObject();
            std::size_t count = n > 0 ? static_cast<std::size_t>(std::min(n, 65536.0)) : 0;
            for (std::size_t i = 0; i < count; ++i) {
                Value value = pop();
                Str name = m_.toString(pop());
                m_.set(o, name, value);
            }
            push(Value(o));
            break;
        }
        case 0x46: {
            Str name = m_.toString(pop());
            actionEnumerate(getVariable(name));
            break;
        }
        case 0x55:
            actionEnumerate(pop());
            break;
        case 0x45: {
            Value v = pop();
            Object* o = v.asObject();
            push(o && o->isDisplayObject() ? Value(Str(s_.host.slashPath(o))) : Value());
            break;
        }

        // --- Functions and objects ------------------------------------------------------
        case 0x9B:
        case 0x8E:
            actionDefineFunction(p, next, next, code == 0x8E);
            break;
        case 0x3D:
            actionCallFunction();
            break;
        case 0x52:
            actionCallMethod();
            break;
        case 0x40:
            actionNew(false);
            break;
        case 0x53:
            actionNew(true);
            break;
        case 0x3E: {
            Outcome out;
            out.kind = Outcome::Returned;
            out.value = pop();
            return out;
        }
        case 0x54: {
            Value ctor = pop();
            Value object = pop();
            push(Value(instanceOf(object, ctor)));
            break;
        }
        case 0x2B: {
            Value object = pop();
            Value ctor = pop();
            push(instanceOf(object, ctor) ? object : Value::null());
            break;
        }
        case 0x2C: {
            Value ctor = pop();
            std::vector<Value> ifaces = popArgs();
            Object* c = ctor.asObject();
            Object* proto = c ? m_.get(c, s_.sPrototype).asObject() : nullptr;
            if (proto) {
                proto->interfaces().clear();
                for (const Value& i : ifaces)
                    if (Object* io = i.asObject())
                        proto->interfaces().push_back(io);
            }
            break;
        }
        case 0x69: {
            Value superclass = pop();
            Value subclass = pop();
            Object* sup = superclass.asObject();
            Object* sub = subclass.asObject();
            if (!sup || !sub)
                break;
            Object* proto = m_.make<Object>(m_.get(sup, s_.sPrototype).asObject());
            m_.define(proto, "constructor", superclass, attr::DontEnum);
            m_.define(proto, "__constructor__", superclass, attr::DontEnum);
            m_.set(sub, s_.sPrototype, Value(proto));
            break;
        }
        case 0x2A:
            throw ScriptThrow{pop()};
        case 0x26: {
            traceValue(m_, pop());
            break;
        }

        // --- Control flow ---------------------------------------------------------------
        case 0x99:
        case 0x9D: {
            std::int16_t offset = p.i16();
            if (code == 0x9D && !m_.toBoolean(pop()))
                break;
            auto target = static_cast<std::int64_t>(next) + offset;
            if (target < 0 || target > static_cast<std::int64_t>(bytes.size()))
                return {Outcome::Stop, pc, {}};
            auto t = static_cast<std::size_t>(target);
            if (t < start || t >= end)
                return {Outcome::JumpOut, t, {}};
            next = t;
            break;
        }
        case 0x94:
        case 0x8F: {
            Outcome out = code == 0x94 ? actionWith(p, next, end) : actionTry(p, next, end);
            if (out.kind != Outcome::JumpOut)
                return out;
            if (out.pc < start || out.pc >= end)
                return out.pc == end ? Outcome{} : out;
            next = out.pc;
            break;
        }
        default:
            break; // unknown actions are skipped, as Flash does
        }
        pc = next;
    }
    return {};
}

} // namespace

void traceValue(Machine& m, const Value& v) {
    // Flash prints undefined as "undefined" whatever the version; \r and \n each end a line.
    std::string_view text = v.isUndefined() ? std::string_view("undefined") : std::string_view();
    Str converted;
    if (!v.isUndefined()) {
        converted = m.toString(v);
        text = converted.view();
    }
    const std::string printable = withoutLoneSurrogates(text);
    text = printable;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
            m.host().trace(text.substr(start, i - start));
            start = i + 1;
        }
    }
}

Value constructNow(Machine& m, const Value& constructor, std::span<const Value> args);

// --- Calls -----------------------------------------------------------------------------

Value callFunction(Machine& m, FunctionObject* f, const Value& thisValue,
                   std::span<const Value> args, Object* home, bool constructing) {
    auto& s = m.state();
    if (s.callDepth >= s.limits.maxCallDepth)
        s.abort(LimitKind::RecursionDepth, "a script recursed deeper than 256 calls");
    ++s.callDepth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{s.callDepth};

    if (f->isNative()) {
        CallArgs ca{m, thisValue, args, f, constructing};
        return f->native()(ca);
    }
    const ScriptFunctionInfo& info = *f->script();
    Activation act;
    act.code = info.body;
    act.version = info.swfVersion;
    act.constants = info.constants;
    act.callee = f;
    act.home = home;
    act.isFunction = true;
    act.thisValue = thisValue;
    if (!thisValue.isObject() && !thisValue.isNullish())
        act.thisValue = Value(m.toObject(thisValue));
    Activation* caller = s.activations.empty() ? nullptr : s.activations.back();
    act.baseClip = f->definingTarget();
    // Without closures a function runs on the clip it is called on, else on the caller's.
    if (info.swfVersion < 6) {
        if (Object* self = act.thisValue.asObject(); self && self->isDisplayObject())
            act.baseClip = self;
        else if (caller && caller->target)
            act.baseClip = caller->target;
    }
    act.target = act.baseClip;
    act.locals = m.make<Object>(nullptr);
    Scope* globalScope = nullptr;
    Scope* parent = f->scope();
    if (!parent || info.swfVersion < 6) {
        globalScope = m.make<Scope>(nullptr, s.global);
        parent = act.baseClip ? m.make<Scope>(globalScope, act.baseClip, true) : globalScope;
    }
    act.scope = m.make<Scope>(parent, act.locals);
    if (info.isFunction2)
        act.registers.resize(info.registerCount);

    std::uint16_t flags = info.isFunction2 ? info.flags : 0;
    auto preload = [&](std::uint16_t bit) { return (flags & bit) != 0; };
    auto suppressed = [&](std::uint16_t bit) { return info.isFunction2 && (flags & bit) != 0; };
    // A DefineFunction2 value that is preloaded into a register or suppressed is not
    // available by name; a suppressed one's register stays undefined.
    act.suppressThis = preload(0x1) || suppressed(0x2);
    act.suppressSuper = preload(0x10) || suppressed(0x20);
    bool argumentsByName = !preload(0x4) && !suppressed(0x8);

    Object* arguments = nullptr;
    if (preload(0x4) || argumentsByName) {
        arguments = m.newArray(args);
        m.define(arguments, "callee", Value(static_cast<Object*>(f)), attr::DontEnum);
        m.define(arguments, "caller",
                 caller && caller->callee ? Value(static_cast<Object*>(caller->callee))
                                          : Value::null(),
                 attr::DontEnum);
    }
    std::size_t reg = 1;
    auto put = [&](const Value& v) {
        if (reg < act.registers.size())
            act.registers[reg] = v;
        ++reg;
    };
    if (info.isFunction2) {
        if (preload(0x1))
            put(suppressed(0x2) ? Value() : act.thisValue);
        if (preload(0x4))
            put(Value(arguments));
        if (preload(0x10)) {
            Object* self = act.thisValue.asObject();
            Object* h = home ? home : (self ? self->proto() : nullptr);
            put(self && !suppressed(0x20)
                    ? Value(static_cast<Object*>(m.make<SuperObject>(self, h)))
                    : Value());
        }
        if (preload(0x40))
            put(Value(act.baseClip ? s.host.root(act.baseClip) : s.host.level(0)));
        if (preload(0x80))
            put(Value(act.baseClip ? s.host.parent(act.baseClip) : nullptr));
        if (preload(0x100))
            put(Value(s.global));
    }
    if (argumentsByName)
        m.define(act.locals, "arguments", Value(arguments), 0);
    for (std::size_t i = 0; i < info.params.size(); ++i) {
        Value v = i < args.size() ? args[i] : Value();
        std::uint8_t r = i < info.paramRegisters.size() ? info.paramRegisters[i] : 0;
        if (r != 0) {
            if (r < act.registers.size())
                act.registers[r] = v;
        } else {
            m.define(act.locals, info.params[i].view(), v, 0);
        }
    }

    int savedVersion = s.version;
    s.version = act.version;
    act.stackBase = s.stack.size();
    s.activations.push_back(&act);
    struct Restore {
        Machine::State& s;
        int version;
        std::size_t base;
        ~Restore() {
            s.activations.pop_back();
            s.version = version;
            if (s.stack.size() > base)
                s.stack.resize(base);
        }
    } restore{s, savedVersion, act.stackBase};
    return execute(m, act);
}

Value callValue(Machine& m, const Value& function, const Value& thisValue,
                std::span<const Value> args, Object* home) {
    Object* o = function.asObject();
    FunctionObject* f = o ? o->asFunction() : nullptr;
    if (!f)
        return {};
    return guarded(m.state(), [&] { return callFunction(m, f, thisValue, args, home); });
}

Value constructValue(Machine& m, const Value& constructor, std::span<const Value> args) {
    return guarded(m.state(), [&] { return constructNow(m, constructor, args); });
}

Value constructNow(Machine& m, const Value& constructor, std::span<const Value> args) {
    auto& s = m.state();
    Object* c = constructor.asObject();
    FunctionObject* f = c ? c->asFunction() : nullptr;
    if (!f)
        return {};
    if (f->constructor) {
        if (s.callDepth >= s.limits.maxCallDepth)
            s.abort(LimitKind::RecursionDepth, "a script recursed deeper than 256 calls");
        ++s.callDepth;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{s.callDepth};
        CallArgs ca{m, Value(), args, f, true};
        return f->constructor(ca);
    }
    Object* proto = m.get(f, s.sPrototype).asObject();
    Object* object = m.make<Object>(proto);
    m.define(object, "__constructor__", constructor, attr::DontEnum);
    if (s.version < 7)
        m.define(object, "constructor", constructor, attr::DontEnum);
    Value result = callFunction(m, f, Value(object), args, proto, true);
    if (f->isNative() && result.isObject())
        return result;
    return Value(object);
}

Value execute(Machine& m, Activation& act) {
    auto& s = m.state();
    bool pushed = s.activations.empty() || s.activations.back() != &act;
    if (pushed) {
        act.stackBase = s.stack.size();
        s.activations.push_back(&act);
        s.version = act.version;
    }
    struct Pop {
        Machine::State& s;
        bool pushed;
        std::size_t base;
        ~Pop() {
            if (pushed) {
                s.activations.pop_back();
                if (s.stack.size() > base)
                    s.stack.resize(base);
            }
        }
    } popGuard{s, pushed, act.stackBase};
    Interp interp(m, act);
    Outcome out = interp.run(0, act.code.bytes.size());
    if (out.kind == Outcome::Returned)
        return out.value;
    return {};
}

Object* resolveTargetPath(Machine& m, Activation* act, Object* start, std::string_view path) {
    auto& s = m.state();
    if (path.empty())
        return start;
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
        if (++steps > 4096)
            return nullptr;
        while (!path.empty() && path[0] == ':')
            path.remove_prefix(1);
        if (path.empty())
            break;
        Value next;
        if (path.substr(0, 2) == "..") {
            path.remove_prefix(path.size() > 2 && (path[2] == '/' || path[2] == ':') ? 3 : 2);
            if (!object->isDisplayObject())
                return nullptr;
            next = Value(s.host.parent(object));
        } else {
            std::size_t end = path.find_first_of(":./");
            std::string_view name = path.substr(0, end);
            path = end == std::string_view::npos ? std::string_view() : path.substr(end + 1);
            if (name.empty())
                return nullptr;
            if (is(name, "_root")) {
                Object* from = object->isDisplayObject()
                                   ? object
                                   : (act && act->target ? act->target : nullptr);
                next = Value(from ? s.host.root(from) : s.host.level(0));
            } else if (is(name, "_parent") && object->isDisplayObject()) {
                next = Value(s.host.parent(object));
            } else if (is(name, "_global")) {
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
