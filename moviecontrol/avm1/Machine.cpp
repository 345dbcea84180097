#include "avm1/Machine.h"

#include "avm1/Convert.h"
#include "avm1/Interpreter.h"
#include "avm1/State.h"
#include "scriptbudget/EndRequest.h"
#include "scriptbudget/ScriptMemory.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <unordered_map>

namespace avm1 {

// --- Host defaults ---------------------------------------------------------------------

double Host::wallClockMs() {
    using namespace std::chrono;
    return static_cast<double>(
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

double Host::localOffsetMinutes(double utcMs) {
    std::time_t t = static_cast<std::time_t>(std::floor(utcMs / 1000.0));
    std::tm local{};
    if (!localtime_r(&t, &local)) {
        return 0;
    }
    return static_cast<double>(local.tm_gmtoff) / 60.0;
}

// --- Limits ----------------------------------------------------------------------------

void Machine::State::report(LimitKind kind, std::string_view message) {
    unsigned bit = 1u << static_cast<unsigned>(kind);
    if (reported & bit) {
        return;
    }
    reported |= bit;
    host.reportLimit(kind, message);
}

void Machine::State::abort(LimitKind kind, std::string_view message) {
    report(kind, message);
    if (kind == LimitKind::TimeBudget) {
        frameAborted = true;
    }
    throw ScriptAbort{kind};
}

namespace {
// What one heap object and one stored property cost beyond the texts they hold: the
// object with its property table, the property with its slot in the table.
constexpr std::size_t ObjectBytes = 256;
constexpr std::size_t PropertyBytes = 96;
} // namespace

std::size_t Machine::State::heapBytes() const {
    return heap.size() * ObjectBytes + propertyCount * PropertyBytes;
}

void Machine::State::checkBudget() {
    madeAtCheck = scriptbudget::ScriptMemory::made();
    if (frameAborted || halted) {
        throw ScriptAbort{LimitKind::TimeBudget};
    }
    if (actionsThisFrame > limits.actionsPerFrame) {
        abort(LimitKind::TimeBudget, "a script ran past the action budget of a frame");
    }
    switch (budget.check(heapBytes())) {
    case scriptbudget::Overrun::None:
        break;
    case scriptbudget::Overrun::Ending:
        // Nothing to report: the player is going away, and no script of it runs again.
        frameAborted = true;
        throw ScriptAbort{LimitKind::TimeBudget};
    case scriptbudget::Overrun::Memory:
        // Like an over-long script: abandoned with the rest of the frame's scripts.
        frameAborted = true;
        abort(LimitKind::MemoryBudget, "the scripts held more memory than the movie may use");
    case scriptbudget::Overrun::Time:
        abort(LimitKind::TimeBudget, "a script ran past the time budget of a frame");
    }
}

void Machine::State::reserve(std::size_t bytes) {
    if (!budget.allows(heapBytes(), bytes)) {
        frameAborted = true;
        abort(LimitKind::MemoryBudget, "a script asked for more memory than the movie may use");
    }
}

// --- Roots -----------------------------------------------------------------------------

Root::Root(Machine& machine, Object* object) : machine_(&machine), object_(object) {
    if (object_) {
        ++machine_->state_->roots[object_];
    }
}

Root::Root(const Root& other) : machine_(other.machine_), object_(other.object_) {
    if (object_) {
        ++machine_->state_->roots[object_];
    }
}

Root& Root::operator=(const Root& other) {
    if (this != &other) {
        Root copy(other);
        std::swap(machine_, copy.machine_);
        std::swap(object_, copy.object_);
    }
    return *this;
}

Root::~Root() {
    if (!object_) {
        return;
    }
    auto& roots = machine_->state_->roots;
    auto it = roots.find(object_);
    if (it != roots.end() && --it->second == 0) {
        roots.erase(it);
    }
}

// --- Construction ----------------------------------------------------------------------

Machine::Machine(Host& host, int swfVersion, Limits limits)
    : state_(std::make_unique<State>(host, swfVersion, limits)) {
    State& s = *state_;
    s.smallInts.reserve(1024);
    for (int i = 0; i < 1024; ++i) {
        s.smallInts.emplace_back(std::to_string(i));
    }
    s.objectProto = make<Object>(nullptr);
    // Function.prototype holds call and apply but is no function itself.
    s.functionProto = make<Object>(s.objectProto);
    s.global = make<Object>(nullptr); // _global inherits nothing
#define AVM1_INSTALL(Name) install##Name(*this);
    AVM1_CLASS_LIST(AVM1_INSTALL)
#undef AVM1_INSTALL
    // Every function names Function as its own constructor, built-ins as much as a script's
    // (which InterpreterCalls gives it); those made before Function existed get it now.
    s.functionCtor = get(s.functionProto, s.sConstructor).asObject();
    for (std::size_t i = 0; i < s.heap.size(); ++i) {
        if (FunctionObject* f = s.heap[i]->asFunction()) {
            nameConstructor(f);
        }
    }
    s.liveAfterCollection = s.heap.size();
}

Machine::~Machine() = default;

Host& Machine::host() {
    return state_->host;
}
const Limits& Machine::limits() const {
    return state_->limits;
}
int Machine::version() const {
    return state_->version;
}
bool Machine::caseSensitive() const {
    return state_->caseSensitive();
}

void Machine::adopt(std::unique_ptr<Object> object) {
    State& s = *state_;
    if (s.heap.size() >= s.limits.maxObjects && !s.activations.empty()) {
        s.abort(LimitKind::MemoryBudget, "a script made more objects than the movie may hold");
    }
    s.heap.push_back(std::move(object));
}

Object* Machine::global() {
    return state_->global;
}
Object* Machine::objectPrototype() {
    return state_->objectProto;
}
Object* Machine::functionPrototype() {
    return state_->functionProto;
}
Object* Machine::arrayPrototype() {
    return state_->arrayProto;
}

Object* Machine::prototypeOf(std::string_view globalName) {
    Value ctor = get(state_->global, str(globalName));
    if (!ctor.isObject()) {
        return nullptr;
    }
    return get(ctor.asObject(), state_->sPrototype).asObject();
}

Object* Machine::newObject() {
    return make<Object>(state_->objectProto);
}

Object* Machine::newArray(std::span<const Value> elements) {
    auto* array = make<ArrayObject>(state_->arrayProto);
    for (std::size_t i = 0; i < elements.size(); ++i) {
        set(array, indexName(*this, static_cast<double>(i)), elements[i]);
    }
    array->setLength(*this, static_cast<double>(elements.size()));
    return array;
}

FunctionObject* Machine::newFunction(NativeFn fn) {
    FunctionObject* f = make<FunctionObject>(state_->functionProto, std::move(fn));
    nameConstructor(f);
    return f;
}

void Machine::nameConstructor(FunctionObject* f) {
    if (Object* ctor = state_->functionCtor;
        ctor && !f->properties().find(state_->sConstructor, true)) {
        define(f, state_->sConstructor.view(), Value(ctor), attr::DontEnum);
    }
}

FunctionObject* Machine::newClass(NativeFn fn, Object* parentPrototype) {
    FunctionObject* ctor = newFunction(std::move(fn));
    Object* proto = make<Object>(parentPrototype ? parentPrototype : state_->objectProto);
    define(ctor, "prototype", Value(proto), attr::Hidden);
    define(proto, "constructor", Value(static_cast<Object*>(ctor)), attr::Hidden);
    return ctor;
}

void Machine::define(Object* object, std::string_view name, const Value& value,
                     std::uint32_t attributes) {
    Str key = str(name);
    if (Property* p = object->properties().find(key, true)) {
        p->value = value;
        p->attributes = attributes;
        p->getter = p->setter = nullptr;
        return;
    }
    object->properties().add(Property{key, value, attributes, nullptr, nullptr}, true);
    ++state_->propertyCount;
}

FunctionObject* Machine::defineMethod(Object* object, std::string_view name, NativeFn fn,
                                      std::uint32_t attributes) {
    FunctionObject* f = newFunction(std::move(fn));
    define(object, name, Value(static_cast<Object*>(f)), attributes);
    return f;
}

Str Machine::str(std::string_view text) {
    State& s = *state_;
    if (text.size() <= 4) {
        double index;
        if (parseArrayIndex(text, index) && index < s.smallInts.size()) {
            return s.smallInts[static_cast<std::size_t>(index)];
        }
    }
    constexpr std::size_t MaxInternedLength = 48, MaxInterned = 8192;
    if (text.size() > MaxInternedLength) {
        return Str(text);
    }
    auto it = s.interned.find(text);
    if (it != s.interned.end()) {
        return it->second;
    }
    Str made(text);
    if (s.interned.size() < MaxInterned) {
        s.interned.emplace(made.view(), made); // the key views the shared text itself
    }
    return made;
}

// --- Property access -------------------------------------------------------------------

namespace {
constexpr int MaxChain = 256;
constexpr int MaxWatcherNesting = 64;

// `__proto__` follows the movie's case rule like any other name.
bool isProtoName(const Machine::State& s, const Str& name) {
    return name.size() == 9 && (s.caseSensitive() ? name.view() == "__proto__"
                                                  : equalsFolded(name.view(), "__proto__"));
}

// The __resolve handler of an object: the first stored __resolve along the chain that holds
// an object (a primitive or a clip there is passed over); an accessor gives none.
Value findResolver(Machine& m, Object* object) {
    Machine::State& s = m.state();
    const Str& name = s.sResolve;
    bool cs = s.caseSensitive();
    for (int depth = 0; object && depth < MaxChain; ++depth, object = object->proto()) {
        const Property* p = object->properties().find(name, cs);
        if (!p || !attr::visibleTo(p->attributes, s.version)) {
            continue;
        }
        if (p->isAccessor()) {
            return {};
        }
        if (Object* o = p->value.asObject(); o && !o->isDisplayObject()) {
            return p->value;
        }
    }
    return {};
}
} // namespace

namespace {
// A member version 6 cannot read but still assigns through: one hidden from version 6
// alone or kept for version 7, and none for a later player.
bool writableHidden(std::uint32_t attributes, int version) {
    constexpr std::uint32_t later = attr::Only8 | attr::Only9 | attr::Only10;
    return version == 6 && (attributes & (attr::Hide6 | attr::Only7)) != 0 &&
           (attributes & later) == 0;
}
} // namespace

bool callAccessor(Machine& m, const Property& property, Object* function, const Value& self,
                  std::span<const Value> args, Value& result) {
    // An accessor that reaches its own property again may do so a limited number of times;
    // past that the access does not run it and the script goes on.
    constexpr int MaxNesting = 65;
    Machine::State& s = m.state();
    const std::uint64_t serial = property.serial;
    if (std::count(s.activeAccessors.begin(), s.activeAccessors.end(), serial) >= MaxNesting) {
        return false;
    }
    s.activeAccessors.push_back(serial);
    struct Leave {
        Machine::State& s;
        ~Leave() { s.activeAccessors.pop_back(); }
    } leave{s};
    result = callValue(m, Value(function), self, args, nullptr);
    return true;
}

Value lookupProperty(Machine& m, Object* object, const Str& name, Object** holder, bool* found) {
    Machine::State& s = m.state();
    if (found) {
        *found = false;
    }
    if (!object) {
        return {};
    }
    if (isProtoName(s, name)) {
        if (found) {
            *found = true;
        }
        if (holder) {
            *holder = object;
        }
        // `super` stands for its prototype: its __proto__ is the one of that prototype.
        if (dynamic_cast<SuperObject*>(object)) {
            object = object->proto();
            if (!object) {
                return {};
            }
        }
        if (Property* p = object->properties().find(s.sProto, true)) {
            return p->value; // a script stored its own __proto__ value
        }
        return object->proto() ? Value(object->proto()) : Value();
    }
    if (object->vanished()) {
        return {};
    }
    bool cs = s.caseSensitive();
    Object* current = object;
    for (int depth = 0; current && depth < MaxChain; ++depth) {
        if (Property* p = current->properties().find(name, cs);
            p && attr::visibleTo(p->attributes, s.version)) {
            if (found) {
                *found = true;
            }
            if (holder) {
                *holder = current;
            }
            if (!p->isAccessor()) {
                return p->value;
            }
            if (!p->getter) {
                return {};
            }
            // A getter that cannot be called (addProperty takes any object) and one nested
            // too deep both read the value stored under the accessor.
            if (!p->getter->asFunction()) {
                return p->value;
            }
            Value out;
            return callAccessor(m, *p, p->getter, Value(object), {}, out) ? out : p->value;
        }
        Value out;
        if (current->getVirtual(m, name, out)) {
            if (found) {
                *found = true;
            }
            if (holder) {
                *holder = current;
            }
            return out;
        }
        // Version 5 has no conversions for functions: past Function.prototype a function
        // finds what scripts put on Object.prototype, never its toString or valueOf, so a
        // function reads as undefined wherever it meets a primitive.
        if (current == s.functionProto && s.version < 6 &&
            (equalsFolded(name.view(), "toString") || equalsFolded(name.view(), "valueOf"))) {
            current = nullptr;
            break;
        }
        current = current->proto();
    }
    if (current && (!s.activations.empty() || s.callDepth > 0)) {
        // A chain longer than 256 links (a cycle of __proto__ values) ends the script that
        // searched it, as nested calls past the limit do.
        s.abort(LimitKind::RecursionDepth, "a prototype chain ran past 256 links");
    }
    // Not found: an object's __resolve answers for missing names.
    if (!(name == s.sResolve)) {
        Value resolver = findResolver(m, object);
        if (resolver.isObject() && resolver.asObject()->asFunction()) {
            if (found) {
                *found = true;
            }
            Value arg(name);
            return callValue(m, resolver, Value(object), std::span(&arg, 1), nullptr);
        }
    }
    return {};
}

Value Machine::get(Object* object, const Str& name) {
    return lookupProperty(*this, object, name, nullptr, nullptr);
}

Value Machine::getMember(const Value& base, const Str& name) {
    if (Object* o = base.asObject()) {
        // Every clip answers _global, as it answers _root and _parent.
        State& s = *state_;
        if (o->isDisplayObject() && s.version >= 6 && name.size() == 7 &&
            (s.caseSensitive() ? name == s.sGlobal : equalsFolded(name.view(), "_global"))) {
            return Value(s.global);
        }
        return get(o, name);
    }
    if (base.isNullish()) {
        return {};
    }
    State& s = *state_;
    Object* proto = base.isString()   ? s.stringProto
                    : base.isNumber() ? s.numberProto
                                      : s.booleanProto;
    if (base.isString() && name == s.sLength) {
        return Value(static_cast<double>(unicode::utf16Length(base.asString().view())));
    }
    if (!proto) {
        return {};
    }
    // Methods of primitives see a wrapper as `this`; getters are rare enough to box.
    Object* box = toObject(base);
    return get(box ? box : proto, name);
}

void Machine::set(Object* object, const Str& name, const Value& value) {
    if (!object || name.empty()) {
        return;
    }
    if (isProtoName(*state_, name)) {
        const Str& proto = state_->sProto;
        Value stored = value;
        if (!object->watchers().empty()) {
            runWatcher(object, proto, object->proto() ? Value(object->proto()) : Value(), value,
                       stored);
        }
        // Any value may be stored; only an object links the chain.
        object->properties().remove(proto, true);
        object->setProto(stored.asObject());
        if (!stored.isObject()) {
            object->properties().add(Property{proto, stored, attr::DontEnum, nullptr, nullptr},
                                     true);
        }
        return;
    }
    if (object->setVirtual(*this, name, value)) {
        return;
    }
    assign(object, name, value, true);
}

bool Machine::runWatcher(Object* object, const Str& name, const Value& old, const Value& value,
                         Value& result) {
    bool cs = state_->caseSensitive();
    auto& list = object->watchers();
    auto matches = [&](const Watcher& w) {
        return cs ? w.name == name : equalsFolded(w.name.view(), name.view());
    };
    auto it = std::find_if(list.begin(), list.end(), matches);
    // An assignment made by the running callback is a plain one before version 7; later
    // versions call the watcher again, up to 64 calls inside the first.
    const int nesting = state_->version < 7 ? 0 : MaxWatcherNesting;
    if (it == list.end() || it->running > nesting) {
        return false;
    }
    const Watcher w = *it;
    ++it->running;
    // The callback may watch or unwatch anything, this name included: the list is searched
    // again afterwards, and a watcher it removed or replaced stays so.
    struct Done {
        std::vector<Watcher>& list;
        const Watcher& w;
        ~Done() {
            for (Watcher& x : list) {
                if (x.running > 0 && x.callback == w.callback && x.name == w.name) {
                    --x.running;
                    break;
                }
            }
        }
    } done{list, w};
    Value args[] = {Value(name), old, value, w.userData};
    result = callValue(*this, Value(w.callback), Value(object), args, nullptr);
    return true;
}

void Machine::assign(Object* object, const Str& name, const Value& value, bool watched) {
    State& s = *state_;
    bool cs = s.caseSensitive();
    Property* own = object->properties().find(name, cs);
    if (own && !attr::visibleTo(own->attributes, s.version)) {
        // A member this version does not see takes the script's value and shows from then
        // on (a version 5 movie that sets Object.prototype.hasOwnProperty gets it); no
        // inherited setter runs for it.
        // Version 6 still writes into a member kept for version 7: it takes the value and
        // stays hidden from reads. An accessor the version does not see loses its getter
        // and setter: it becomes a plain member (MovieClip.prototype.transform set by a
        // version 5 movie reads back as set).
        if (!writableHidden(own->attributes & ~attr::Hide6, s.version)) {
            own->attributes &= ~attr::VersionBits;
        }
        own->getter = nullptr;
        own->setter = nullptr;
        own->value = value;
        return;
    }
    if (own && !own->isAccessor() && (own->attributes & attr::ReadOnly)) {
        return;
    }
    // The property the assignment meets: the own one, else an inherited accessor, whose
    // setter takes the assignment.
    Property* met = own;
    Object* holder = own ? object : nullptr;
    Object* p = object->proto();
    for (int depth = 0; !met && p && depth < MaxChain; ++depth, p = p->proto()) {
        Property* found = p->properties().find(name, cs);
        const bool reached =
            found && (attr::visibleTo(found->attributes, s.version) ||
                      (found->isAccessor() && writableHidden(found->attributes, s.version)));
        if (reached) {
            if (found->isAccessor()) {
                met = found;
                holder = p;
            }
            break;
        }
    }
    if (watched && !object->watchers().empty()) {
        // The old value is the stored one, even under an accessor: no getter runs.
        Value stored;
        if (runWatcher(object, name, met ? met->value : Value(), value, stored)) {
            return assign(object, name, stored, false); // the callback may change the object
        }
    }
    if (met && met->isAccessor()) {
        if (Object* setter = met->setter) {
            // The value is also stored under the accessor once the setter is done, if the
            // property is still there.
            const std::uint64_t serial = met->serial;
            Value ignored;
            callAccessor(*this, *met, setter, Value(object), std::span(&value, 1), ignored);
            Property* again = holder->properties().find(name, cs);
            if (again && again->serial == serial) {
                again->value = value;
            }
        }
        return;
    }
    if (met) {
        met->value = value;
        return;
    }
    if (s.propertyCount >= s.limits.maxObjects * 4 && !s.activations.empty()) {
        s.abort(LimitKind::MemoryBudget, "a script stored more properties than the movie may hold");
    }
    object->properties().add(Property{name, value, 0, nullptr, nullptr}, cs);
    ++s.propertyCount;
}

bool Machine::hasOwnProperty(Object* object, const Str& name) {
    if (!object) {
        return false;
    }
    if (isProtoName(*state_, name)) {
        return object->proto() || object->properties().find(state_->sProto, true);
    }
    // As for..in, hasOwnProperty sees a property that the movie's version hides from reads.
    if (object->properties().find(name, state_->caseSensitive())) {
        return true;
    }
    return object->hasVirtual(*this, name);
}

bool Machine::hasProperty(Object* object, const Str& name) {
    for (int depth = 0; object && depth < MaxChain; ++depth) {
        if (hasOwnProperty(object, name)) {
            return true;
        }
        object = object->proto();
    }
    return false;
}

bool Machine::deleteProperty(Object* object, const Str& name) {
    if (!object) {
        return false;
    }
    bool cs = state_->caseSensitive();
    if (isProtoName(*state_, name)) {
        object->properties().remove(state_->sProto, true);
        object->setProto(nullptr);
        return true;
    }
    // A member the version hides can still be deleted, as for..in and hasOwnProperty still
    // see it.
    Property* p = object->properties().find(name, cs);
    if (p) {
        if (p->attributes & attr::DontDelete) {
            return false;
        }
        object->properties().remove(name, cs);
        --state_->propertyCount;
        return true;
    }
    return object->deleteVirtual(*this, name);
}

std::vector<Str> Machine::enumerate(Object* object) {
    // Flash lists each object of the chain in insertion order, own first, and hands the
    // names out last first.
    std::vector<Str> names;
    std::vector<Str> seen;
    bool cs = state_->caseSensitive();
    auto already = [&](const Str& n) {
        for (const Str& s : seen) {
            if (cs ? s == n : equalsFolded(s.view(), n.view())) {
                return true;
            }
        }
        return false;
    };
    const auto addVirtual = [&](Object* o) {
        std::vector<Str> extra;
        o->enumerateVirtual(*this, extra);
        for (Str& n : extra) {
            if (already(n)) {
                continue;
            }
            seen.push_back(n);
            names.push_back(std::move(n));
        }
    };
    for (int depth = 0; object && depth < MaxChain; ++depth) {
        // A clip's children come after its own variables, the newest of which come first.
        if (object->isDisplayObject()) {
            addVirtual(object);
        }
        object->properties().forEach([&](const Property& p) {
            // A property hidden from this version is still listed: Flash checks only
            // DontEnum here.
            if (already(p.name)) {
                return;
            }
            seen.push_back(p.name);
            if (!(p.attributes & attr::DontEnum)) {
                names.push_back(p.name);
            }
        });
        if (!object->isDisplayObject()) {
            addVirtual(object);
        }
        // A function's __proto__ is hidden from version 5, so its walk ends at the function.
        if (state_->version < 6 && object->asFunction() != nullptr && !object->protoShownTo5()) {
            break;
        }
        object = object->proto();
    }
    std::reverse(names.begin(), names.end());
    return names;
}

// --- Conversions -----------------------------------------------------------------------

Value Machine::toPrimitive(const Value& v) {
    Object* o = v.asObject();
    if (!o || o->vanished()) {
        return v; // a clip reference with nothing at its path reads as its (empty) path
    }
    if (o->isDisplayObject()) {
        return v; // a clip is asked for no number: it reads as NaN whatever its valueOf says
    }
    Value valueOf = get(o, state_->sValueOf);
    if (valueOf.isObject() && valueOf.asObject()->asFunction()) {
        return callValue(*this, valueOf, v, {}, nullptr);
    }
    return {}; // an object without valueOf (a bare _global) reads as undefined
}

double Machine::toNumber(const Value& v) {
    switch (v.type()) {
    case Type::Undefined:
    case Type::Null:
        return state_->version >= 7 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
    case Type::Boolean:
        return v.asBool() ? 1.0 : 0.0;
    case Type::Number:
        return v.asNumber();
    case Type::String:
        return stringToNumber(v.asString().view(), state_->version);
    case Type::Object: {
        Value p = toPrimitive(v);
        if (p.isObject()) {
            return state_->version >= 5 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
        }
        return toNumber(p);
    }
    }
    return 0;
}

Str Machine::toString(const Value& v) {
    State& s = *state_;
    switch (v.type()) {
    case Type::Undefined:
        return s.version >= 7 ? s.sUndefined : s.sEmpty;
    case Type::Null:
        return s.sNull;
    case Type::Boolean:
        if (s.version < 5) {
            return s.smallInts[v.asBool() ? 1 : 0];
        }
        return v.asBool() ? s.sTrue : s.sFalse;
    case Type::Number: {
        double n = v.asNumber();
        if (n >= 0 && n < 1024 && n == std::trunc(n) && !std::signbit(n)) {
            return s.smallInts[static_cast<std::size_t>(n)];
        }
        return Str(numberToText(n));
    }
    case Type::String:
        return v.asString();
    case Type::Object: {
        Object* o = v.asObject();
        if (o->isDisplayObject()) {
            return Str(s.host.dotPath(o));
        }
        Value f = get(o, s.sToString);
        if (f.isObject() && f.asObject()->asFunction()) {
            // Only a string result counts.
            Value r = callValue(*this, f, v, {}, nullptr);
            if (r.isString()) {
                return r.asString();
            }
        }
        return Str(o->asFunction() ? "[type Function]" : "[type Object]");
    }
    }
    return s.sEmpty;
}

bool Machine::toBoolean(const Value& v) {
    switch (v.type()) {
    case Type::Undefined:
    case Type::Null:
        return false;
    case Type::Boolean:
        return v.asBool();
    case Type::Number:
        return !std::isnan(v.asNumber()) && v.asNumber() != 0;
    case Type::String:
        // From version 7 any non-empty text is true; before, the text's number decides.
        if (state_->version >= 7) {
            return !v.asString().empty();
        }
        {
            double n = stringToNumber(v.asString().view(), state_->version);
            return !std::isnan(n) && n != 0;
        }
    case Type::Object:
        return true;
    }
    return false;
}

Object* Machine::toObject(const Value& v) {
    State& s = *state_;
    switch (v.type()) {
    case Type::Object:
        return v.asObject();
    case Type::String: {
        // The wrapper comes from whatever _global.String is now: a script that puts its own
        // function there has it run for every string it reads a member of.
        const Property* p = s.global->properties().find(s.sString, true);
        FunctionObject* f = p && !p->isAccessor() && p->value.asObject()
                                ? p->value.asObject()->asFunction()
                                : nullptr;
        if (f && !f->isNative()) {
            const Value arg = v;
            return toObject(constructValue(*this, p->value, std::span(&arg, 1)));
        }
        return makeStringObject(*this, s.stringProto, v.asString());
    }
    case Type::Number:
        return make<BoxObject>(s.numberProto, v, "Number");
    case Type::Boolean:
        return make<BoxObject>(s.booleanProto, v, "Boolean");
    default:
        return nullptr;
    }
}

std::string_view Machine::typeOf(const Value& v) {
    switch (v.type()) {
    case Type::Undefined:
        return "undefined";
    case Type::Null:
        return "null";
    case Type::Boolean:
        return "boolean";
    case Type::Number:
        return "number";
    case Type::String:
        return "string";
    case Type::Object:
        // Buttons and text fields are plain objects to typeof; only clips differ, and to
        // version 5 code, which knew no text field objects, fields are clips too.
        if (v.asObject()->isDisplayObject() &&
            (v.asObject()->className() == "MovieClip" ||
             (version() < 6 && v.asObject()->className() == "TextField"))) {
            return "movieclip";
        }
        return v.asObject()->asFunction() ? "function" : "object";
    }
    return "undefined";
}

std::string Machine::numberToString(double n) {
    return numberToText(n);
}
std::string Machine::numberToString(double n, int radix) {
    return numberToText(n, radix);
}

Object* Machine::registeredClass(std::string_view symbol) {
    std::string key(symbol);
    for (char& c : key) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    auto it = state_->registeredClasses.find(key);
    return it == state_->registeredClasses.end() ? nullptr : it->second;
}

// --- Collection ------------------------------------------------------------------------

namespace {
class Marker : public Tracer {
  public:
    void mark(const Object* object) override {
        if (object && !object->marked) {
            const_cast<Object*>(object)->marked = true;
            work_.push_back(const_cast<Object*>(object));
        }
    }
    using Tracer::mark;
    void drain() {
        while (!work_.empty()) {
            Object* o = work_.back();
            work_.pop_back();
            mark(o->proto());
            o->properties().forEach([&](const Property& p) {
                mark(p.value);
                mark(p.getter);
                mark(p.setter);
            });
            for (const Watcher& w : o->watchers()) {
                mark(w.callback);
                mark(w.userData);
            }
            for (Object* i : o->interfaces()) {
                mark(i);
            }
            if (NativeState* native = o->nativeState()) {
                native->trace(*this);
            }
            o->trace(*this);
        }
    }

  private:
    std::vector<Object*> work_;
};
} // namespace

void Machine::collectGarbage() {
    State& s = *state_;
    if (running()) {
        return;
    }
    Marker marker;
    for (Object* o : {s.global, s.objectProto, s.functionProto, s.arrayProto, s.stringProto,
                      s.numberProto, s.booleanProto, s.dateProto, s.errorProto, s.functionCtor}) {
        marker.mark(o);
    }
    for (auto& [object, count] : s.roots) {
        marker.mark(object);
    }
    for (auto& [name, ctor] : s.registeredClasses) {
        marker.mark(ctor);
    }
    for (const Timer& t : s.timers) {
        marker.mark(t.function);
        marker.mark(t.object);
        for (const Value& v : t.args) {
            marker.mark(v);
        }
    }
    for (const Value& v : s.stack) {
        marker.mark(v);
    }
    for (const Value& v : s.globalRegisters) {
        marker.mark(v);
    }
    marker.drain();
    s.host.traceRoots(marker);
    marker.drain();
    std::size_t properties = 0;
    std::erase_if(s.heap, [&](std::unique_ptr<Object>& o) {
        if (o->marked) {
            o->marked = false;
            properties += o->properties().size();
            return false;
        }
        return true;
    });
    s.propertyCount = properties;
    s.liveAfterCollection = s.heap.size();
    s.bytesAfterCollection = scriptbudget::ScriptMemory::live() + s.heapBytes();
}

void Machine::collectIfNeeded() {
    State& s = *state_;
    // By count, and by bytes: a few objects can hold strings or bitmaps of many megabytes.
    constexpr std::size_t MinByteGrowth = std::size_t{32} << 20;
    const std::size_t bytes = scriptbudget::ScriptMemory::live() + s.heapBytes();
    if (s.heap.size() > s.liveAfterCollection * 2 + 20000 ||
        bytes > s.bytesAfterCollection + std::max(s.bytesAfterCollection, MinByteGrowth)) {
        collectGarbage();
    }
}

std::size_t Machine::objectCount() const {
    return state_->heap.size();
}

// --- Running ---------------------------------------------------------------------------

bool Machine::running() const {
    return !state_->activations.empty() || state_->callDepth > 0;
}

Object* Machine::currentTarget() {
    for (auto it = state_->activations.rbegin(); it != state_->activations.rend(); ++it) {
        if ((*it)->target != nullptr) {
            return (*it)->target;
        }
    }
    return nullptr;
}

Object* Machine::resolveTarget(std::string_view path) {
    Activation* act = state_->activations.empty() ? nullptr : state_->activations.back();
    Object* start = currentTarget();
    if (start == nullptr) {
        start = state_->host.level(0);
    }
    return start != nullptr ? resolveTargetPath(*this, act, start, path) : nullptr;
}

void Machine::beginFrame() {
    state_->actionsThisFrame = 0;
    state_->workSinceCheck = 0;
    state_->frameAborted = false;
    state_->budget.beginFrame();
    // Values a block leaves on the stack are seen by the blocks after it in the same frame,
    // whatever clip they belong to; a new frame starts with an empty stack.
    if (state_->activations.empty()) {
        state_->stack.clear();
    }
}

void Machine::runBlock(std::span<const std::uint8_t> bytes, Object* clip, int version) {
    auto copy = std::make_shared<std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
    Code code{copy, std::span<const std::uint8_t>(*copy)};
    runBlock(code, clip, version);
}

void Machine::runBlock(Code code, Object* clip, int version) {
    State& s = *state_;
    if (s.frameAborted || s.halted || scriptbudget::endRequested()) {
        return;
    }
    Activation act;
    act.code = std::move(code);
    act.version = version > 0 ? version : s.rootVersion;
    Scope* globalScope = make<Scope>(nullptr, s.global);
    act.scope = clip ? make<Scope>(globalScope, clip, true) : globalScope;
    act.thisValue = Value(clip);
    act.target = act.baseClip = clip;
    act.locals = clip ? clip : s.global;
    act.constants = s.constants;
    int savedVersion = s.version;
    std::size_t savedStack = s.stack.size();
    bool finished = false;
    try {
        execute(*this, act);
        finished = true;
    } catch (const ScriptThrow&) {
        // An uncaught throw ends the block quietly, as in Flash.
    } catch (const ScriptAbort&) {
    }
    s.version = savedVersion;
    if (!finished || !s.activations.empty()) {
        s.stack.resize(std::min(s.stack.size(), savedStack));
    }
}

Value Machine::call(const Value& function, const Value& thisValue, std::span<const Value> args) {
    return guarded(*state_, [&] { return callValue(*this, function, thisValue, args, nullptr); });
}

Value Machine::callMethod(Object* object, std::string_view name, std::span<const Value> args) {
    if (!object) {
        return {};
    }
    return guarded(*state_, [&] {
        Value f = get(object, str(name));
        return callValue(*this, f, Value(object), args, object->proto());
    });
}

Object* Machine::construct(const Value& constructor, std::span<const Value> args) {
    return guarded(*state_, [&] { return constructValue(*this, constructor, args); }).asObject();
}

void Machine::tickTimers(double nowMs, const std::function<void()>& afterRound) {
    State& s = *state_;
    s.timerNow = nowMs;
    // The timers run on their own clock, in rounds: each round is the moment the earliest
    // waiting call fell due, and runs once every timer due at that moment (the older timer
    // first), then `afterRound` (the host runs what the round queued). A short interval so
    // runs several times between two frames, interleaved with the others, and two timers due
    // together both run before the scripts either queued. Each timer runs at most
    // kMaxTimerRunsPerTick times a tick: a stalled player does not replay every missed call.
    // Timers started by these calls are due after `nowMs`, so they wait for the next tick.
    constexpr int kMaxTimerRunsPerTick = 10;
    std::unordered_map<int, int> runs; // calls this tick, by timer id
    const auto mayRun = [&](const Timer& t) {
        const auto done = runs.find(t.id);
        return t.due <= nowMs && (done == runs.end() || done->second < kMaxTimerRunsPerTick);
    };
    std::vector<int> round;
    for (;;) {
        std::optional<double> moment;
        for (const Timer& t : s.timers) {
            if (mayRun(t) && (!moment || t.due < *moment)) {
                moment = t.due;
            }
        }
        if (!moment) {
            break;
        }
        round.clear();
        for (const Timer& t : s.timers) {
            if (mayRun(t) && t.due == *moment) {
                round.push_back(t.id);
            }
        }
        for (const int id : round) {
            // An earlier call of the round may have cleared this timer.
            const auto it = std::find_if(s.timers.begin(), s.timers.end(),
                                         [id](const Timer& t) { return t.id == id; });
            if (it == s.timers.end()) {
                continue;
            }
            const bool last = ++runs[id] == kMaxTimerRunsPerTick;
            Timer timer = *it;
            if (timer.repeat) {
                it->due = timer.due + timer.interval;
                if (last) {
                    it->due = std::max(it->due, nowMs + timer.interval);
                }
            } else {
                s.timers.erase(it);
            }
            if (timer.object) {
                callMethod(timer.object, timer.method.view(), timer.args);
            } else {
                call(timer.function, Value(), timer.args);
            }
        }
        if (afterRound) {
            afterRound();
        }
    }
}

void Machine::clearTimersOf(Object* object) {
    std::erase_if(state_->timers, [&](const Timer& t) {
        return t.object == object || t.function.asObject() == object;
    });
}

} // namespace avm1
