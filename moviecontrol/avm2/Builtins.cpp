// The core classes: Object, Function, Class, Array, String, Number, int, uint, Boolean,
// Math, the Error family, and the global functions (trace, getTimer...). The player's
// classes (events, display) follow from the class list.
#include "avm2/ClassList.h"
#include "avm2/DictionaryStore.h"
#include "avm2/ErrorMessages.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/NumberFormat.h"
#include "avm2/NumberParsing.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace avm2 {

#define AVM2_DECLARE_INSTALL(Name) void install##Name(Machine& m);
AVM2_CLASS_LIST(AVM2_DECLARE_INSTALL)
#undef AVM2_DECLARE_INSTALL
void installVector(Machine& m);
void installStringClass(Machine& m);
void installArrayClass(Machine& m);
void installUriFunctions(Machine& m);
void installReflection(Machine& m);
void installRegExp(Machine& m);
void installQNameAndNamespace(Machine& m);
void installDate(Machine& m);
void installJson(Machine& m);
void installByteArray(Machine& m);
void installAmf(Machine& m);
void installProxy(Machine& m);

namespace {

Object* selfObject(const Value& self) {
    return self.isObject() ? self.asObject() : nullptr;
}

Value objectToString(Machine& m, const Value& self, Args&) {
    if (self.isObject() && self.asObject()->kind == Object::Kind::Class) {
        return Value::string("[class " + self.asObject()->builds->name + "]");
    }
    if (self.isObject() && self.asObject()->kind == Object::Kind::Function) {
        return Value::string("function Function() {}");
    }
    return Value::string("[object " + m.className(self) + "]");
}

Value objectValueOf(Machine&, const Value& self, Args&) {
    return self;
}

Value hasOwnProperty(Machine& m, const Value& self, Args& a) {
    const std::string k = m.toString(arg(a, 0));
    const Name name = Name::publicName(k);
    Object* o = selfObject(self);
    // A name the value's class binds publicly (declared there or by a base) is its own: a
    // string's length; for an object also its dynamic properties.
    if (o == nullptr) {
        Class* c = self.isNullish() ? nullptr : m.classOf(self);
        return Value::boolean(c != nullptr && c->instance.find(name) != nullptr);
    }
    if (o->traits != nullptr && o->traits->find(name) != nullptr) {
        return Value::boolean(true);
    }
    // A class object is also a Class, and any function a Function: their prototype accessor.
    if ((o->kind == Object::Kind::Class || o->kind == Object::Kind::Function) && k == "prototype") {
        return Value::boolean(true);
    }
    if (o->kind == Object::Kind::Class && m.classClass != nullptr &&
        m.classClass->instance.find(name) != nullptr) {
        return Value::boolean(true);
    }
    // A dictionary answers by the key's string, even for a key kept by identity.
    if (o->kind == Object::Kind::Dictionary && dictionaryFind(o, Name::publicName(k)) != nullptr) {
        return Value::boolean(true);
    }
    if (o->kind == Object::Kind::Array) {
        char* end = nullptr;
        const unsigned long idx = std::strtoul(k.c_str(), &end, 10);
        if (!k.empty() && *end == 0 && idx < o->elements.size() && !o->elements[idx].isHole()) {
            return Value::boolean(true);
        }
    }
    return Value::boolean(o->findProp(k) != nullptr);
}

Value propertyIsEnumerable(Machine& m, const Value& self, Args& a) {
    Object* o = selfObject(self);
    const std::string k = m.toString(arg(a, 0));
    if (o == nullptr) {
        return Value::boolean(false);
    }
    // Only what a for-in visits is enumerable: the object's own dynamic properties not
    // hidden, an array's elements and a dictionary's keys; never a trait (a declared
    // variable, method or accessor), nor a vector's elements.
    auto it = o->propIndex.find(k);
    if (it != o->propIndex.end()) {
        return Value::boolean(!o->dontEnum[it->second]);
    }
    if (o->kind == Object::Kind::Dictionary) {
        return Value::boolean(dictionaryFind(o, Name::publicName(k)) != nullptr);
    }
    if (o->kind == Object::Kind::Array &&
        (o->cls == nullptr || m.vectorClass == nullptr || !o->cls->isSubclassOf(m.vectorClass))) {
        char* end = nullptr;
        const unsigned long idx = std::strtoul(k.c_str(), &end, 10);
        return Value::boolean(!k.empty() && k[0] >= '0' && k[0] <= '9' && *end == 0 &&
                              idx < o->elements.size() && !o->elements[idx].isHole());
    }
    return Value::boolean(false);
}

Value setPropertyIsEnumerable(Machine& m, const Value& self, Args& a) {
    Object* o = selfObject(self);
    if (o != nullptr) {
        auto it = o->propIndex.find(m.toString(arg(a, 0)));
        if (it != o->propIndex.end()) {
            o->dontEnum[it->second] = !Machine::toBoolean(arg(a, 1));
        }
    }
    return Value();
}

Value isPrototypeOf(Machine&, const Value& self, Args& a) {
    Value v = arg(a, 0);
    if (!v.isObject() || !self.isObject()) {
        return Value::boolean(false);
    }
    for (Object* p = v.asObject()->proto; p != nullptr; p = p->proto) {
        if (p == self.asObject()) {
            return Value::boolean(true);
        }
    }
    return Value::boolean(false);
}

// --- Function ---
// call and apply on something that is no function (Function.prototype.call.call()) do
// nothing, as Flash's do.
Value functionCall(Machine& m, const Value& self, Args& a) {
    if (self.isNullish()) {
        return Value();
    }
    Value thisv = arg(a, 0);
    Args rest(a.size() > 1 ? a.begin() + 1 : a.end(), a.end());
    return m.call(self, thisv, rest);
}

Value functionApply(Machine& m, const Value& self, Args& a) {
    if (self.isNullish()) {
        return Value();
    }
    Value thisv = arg(a, 0);
    Args rest;
    Value list = arg(a, 1);
    // The arguments come as an Array or not at all.
    if (list.isObject() && list.asObject()->kind == Object::Kind::Array) {
        rest = list.asObject()->elements;
    } else if (!list.isNullish()) {
        m.throwError("TypeError", 1116,
                     "second argument to Function.prototype.apply must be an array.");
    }
    for (Value& v : rest) {
        if (v.isHole()) {
            v = Value();
        }
    }
    return m.call(self, thisv, rest);
}

// --- Number, int, uint, Boolean ---
Value numberCall(Machine& m, const Value&, Args& a) {
    return Value::number(a.empty() ? 0 : m.toNumber(a[0]));
}
Value intCall(Machine& m, const Value&, Args& a) {
    return Value::integer(a.empty() ? 0 : toInt32(m.toNumber(a[0])));
}
Value uintCall(Machine& m, const Value&, Args& a) {
    return Value::unsignedInt(a.empty() ? 0 : toUint32(m.toNumber(a[0])));
}
Value booleanCall(Machine&, const Value&, Args& a) {
    return Value::boolean(!a.empty() && Machine::toBoolean(a[0]));
}

Value numberToStringMethod(Machine& m, const Value& self, Args& a) {
    const double d = m.toNumber(self);
    const Value radix = arg(a, 0);
    const int r = radix.isUndefined() ? 10 : toInt32(m.toNumber(radix));
    if (r < 2 || r > 36) {
        m.throwError("RangeError", 1003,
                     "The radix argument must be between 2 and 36; got " + std::to_string(r) + ".");
    }
    return Value::string(numberToRadix(d, r));
}

// The digit count a Number method was given, checked against its range.
int digitCount(Machine& m, const Value& given, int low, int high) {
    const double d = m.toNumber(given);
    const double whole = std::isnan(d) ? 0 : std::trunc(d);
    if (whole < low || whole > high) {
        m.throwError("RangeError", 1002,
                     "Number.toPrecision has a range of 1 to 21. Number.toFixed and "
                     "Number.toExponential have a range of 0 to 20. Specified value is not "
                     "within expected range.");
    }
    return static_cast<int>(whole);
}

Value numberToFixed(Machine& m, const Value& self, Args& a) {
    const double d = m.toNumber(self);
    return Value::string(numberToFixedText(d, digitCount(m, arg(a, 0), 0, 20)));
}

Value numberToExponential(Machine& m, const Value& self, Args& a) {
    const double d = m.toNumber(self);
    // Its parameter defaults to 0 and is read as an int, so undefined also asks for no
    // fraction digits.
    return Value::string(numberToExponentialText(d, digitCount(m, arg(a, 0), 0, 20)));
}

Value numberToPrecision(Machine& m, const Value& self, Args& a) {
    const double d = m.toNumber(self);
    // An argument equal to undefined (null too) prints the number as toString does; left
    // out, it defaults to 0, which is out of range.
    if (a.empty()) {
        return Value::string(numberToPrecisionText(d, digitCount(m, Value::integer(0), 1, 21)));
    }
    if (a[0].isNullish()) {
        return Value::string(numberToString(d));
    }
    return Value::string(numberToPrecisionText(d, digitCount(m, a[0], 1, 21)));
}

Value valueOfSelf(Machine&, const Value& self, Args&) {
    return self;
}

Value booleanToString(Machine& m, const Value& self, Args&) {
    return Value::string(m.toString(self));
}

// --- Math ---
// Math's methods declare their parameters: called with another count they throw, as a
// compiled method does.
void checkMathArgs(Machine& m, const char* name, const Args& a, std::size_t count) {
    if (a.size() != count) {
        m.throwError("ArgumentError", 1063,
                     std::string("Argument count mismatch on Math$/") + name + "(). Expected " +
                         std::to_string(count) + ", got " + std::to_string(a.size()) + ".");
    }
}
template <double (*F)(double), const char* Name> Value math1(Machine& m, const Value&, Args& a) {
    checkMathArgs(m, Name, a, 1);
    return Value::number(F(m.toNumber(a[0])));
}
double roundHalfUp(double d) {
    return std::floor(d + 0.5);
}
constexpr char kAbs[] = "abs";
constexpr char kFloor[] = "floor";
constexpr char kCeil[] = "ceil";
constexpr char kRound[] = "round";
constexpr char kSqrt[] = "sqrt";
constexpr char kSin[] = "sin";
constexpr char kCos[] = "cos";
constexpr char kTan[] = "tan";
constexpr char kAsin[] = "asin";
constexpr char kAcos[] = "acos";
constexpr char kAtan[] = "atan";
constexpr char kExp[] = "exp";
constexpr char kLog[] = "log";
// ECMA-262 15.8.2.13 where C's pow differs: a NaN exponent gives NaN whatever the base, and
// 1 or -1 to an infinite power is NaN.
Value mathPow(Machine& m, const Value&, Args& a) {
    checkMathArgs(m, "pow", a, 2);
    const double x = m.toNumber(a[0]);
    const double y = m.toNumber(a[1]);
    if (std::isnan(y) || (std::isinf(y) && std::fabs(x) == 1)) {
        return Value::number(std::numeric_limits<double>::quiet_NaN());
    }
    return Value::number(std::pow(x, y));
}
Value mathAtan2(Machine& m, const Value&, Args& a) {
    checkMathArgs(m, "atan2", a, 2);
    return Value::number(std::atan2(m.toNumber(a[0]), m.toNumber(a[1])));
}
// +0 counts as larger than -0 (ECMA-262 15.8.2.11, 15.8.2.12).
template <bool Max> Value mathMinMax(Machine& m, const Value&, Args& a) {
    double r =
        Max ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    for (const Value& v : a) {
        const double d = m.toNumber(v);
        if (std::isnan(d)) {
            return Value::number(d);
        }
        if (d == r && d == 0) {
            r = std::signbit(d) == Max ? r : d;
        } else {
            r = Max ? std::max(r, d) : std::min(r, d);
        }
    }
    return Value::number(r);
}
Value mathRandom(Machine&, const Value&, Args&) {
    static std::uint64_t state = 0x9E3779B97F4A7C15ull;
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return Value::number(static_cast<double>(state >> 11) / 9007199254740992.0);
}

// --- Error ---
Value errorInit(Machine& m, const Value& self, Args& a) {
    Object* o = selfObject(self);
    if (o == nullptr) {
        return Value();
    }
    const std::string message = a.empty() || a[0].isUndefined() ? std::string() : m.toString(a[0]);
    Class* c = o->cls;
    while (c != nullptr && c->unit != nullptr) {
        c = c->super;
    }
    // The language's own errors name themselves; the player's (flash.errors) keep Error's.
    const std::string name = c != nullptr && c->ns.uri.empty() ? c->name : std::string("Error");
    m.setProperty(self, Name::publicName("message"), Value::string(message));
    m.setProperty(self, Name::publicName("name"), Value::string(name));
    o->number = a.size() > 1 ? m.toNumber(a[1]) : 0;
    // What an uncaught error prints: made here, without calling back into scripts, so that
    // an error made at the depth bound does not need another call.
    o->text = (message.empty() ? name : name + ": " + message) + m.stackTrace();
    return Value();
}

// Error's message and name are variables of each error, and Error.prototype is itself an
// error holding "Error" in both: being variables, not properties, they are not lent through
// the prototype chain to objects further down it.
void installErrorPrototype(Class* error) {
    for (const char* field : {"message", "name"}) {
        Binding b;
        b.ns = Namespace::publicNs();
        b.kind = Binding::Kind::Slot;
        b.slot = static_cast<std::uint32_t>(error->instance.slots.size());
        error->instance.slots.emplace_back();
        error->instance.add(field, b);
    }
    Object* proto = error->prototype;
    proto->cls = error;
    proto->traits = &error->instance;
    proto->slots.assign(error->instance.slots.size(), Value::string("Error"));
}

Value errorToString(Machine& m, const Value& self, Args&) {
    Object* o = selfObject(self);
    if (o == nullptr) {
        return Value::string("Error");
    }
    const std::string name = m.toString(m.getProperty(self, Name::publicName("name")));
    const std::string message = m.toString(m.getProperty(self, Name::publicName("message")));
    return Value::string(message.empty() ? name : name + ": " + message);
}

Value errorId(Machine&, const Value& self, Args&) {
    Object* o = selfObject(self);
    return Value::integer(o != nullptr ? static_cast<std::int32_t>(o->number) : 0);
}

// The text an uncaught error prints: its name, message and the methods running when it was
// made, as the debugging player gives it.
Value errorGetStackTrace(Machine&, const Value& self, Args&) {
    Object* o = selfObject(self);
    return o != nullptr && !o->text.empty() ? Value::string(o->text) : Value::null();
}

// Error.getErrorMessage(id): the player's text for an error number, its places unfilled.
Value errorGetMessage(Machine& m, const Value&, Args& a) {
    const std::int32_t id = a.empty() ? 0 : toInt32(m.toNumber(a[0]));
    return Value::string(errorMessage(id));
}

// Error.throwError(type, index, ...rest): throws a new `type` made of the text for `index`,
// its places %1 to %6 filled from `rest` in order (a place with no value, or past the sixth,
// left empty).
Value errorThrowError(Machine& m, const Value&, Args& a) {
    const std::int32_t id = static_cast<std::int32_t>(toUint32(m.toNumber(arg(a, 1))));
    const std::string text = errorMessage(id);
    std::string message;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9') {
            const int place = text[i + 1] - '1';
            if (place >= 0 && place < 6 && static_cast<std::size_t>(place) + 2 < a.size()) {
                message += m.toString(a[static_cast<std::size_t>(place) + 2]);
            }
            ++i;
            continue;
        }
        message += text[i];
    }
    Args args{Value::string(message), Value::integer(id)};
    throw ScriptThrow{m.construct(arg(a, 0), args)};
}

// --- Globals ---
Value traceFn(Machine& m, const Value&, Args& a) {
    std::string line;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (i > 0) {
            line += ' ';
        }
        line += m.toString(a[i]);
    }
    // The player's log holds text: a surrogate cut from its partner shows as U+FFFD and
    // a NUL character is left out.
    line = unicode::withoutLoneSurrogates(line);
    line.erase(std::remove(line.begin(), line.end(), '\0'), line.end());
    // \r and \n each end a line of the log (a text field's paragraphs end in \r).
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == '\r' || line[i] == '\n') {
            m.host().trace(std::string_view(line).substr(start, i - start));
            start = i + 1;
        }
    }
    return Value();
}

Value getTimerFn(Machine& m, const Value&, Args&) {
    return Value::integer(static_cast<std::int32_t>(m.host().clockMs()));
}

Value isNaNFn(Machine& m, const Value&, Args& a) {
    return Value::boolean(std::isnan(m.toNumber(arg(a, 0))));
}

Value isFiniteFn(Machine& m, const Value&, Args& a) {
    return Value::boolean(std::isfinite(m.toNumber(arg(a, 0))));
}

Value parseIntFn(Machine& m, const Value&, Args& a) {
    const std::string s = m.toString(arg(a, 0));
    return Value::number(parseInteger(s, toInt32(m.toNumber(arg(a, 1))), false));
}

Value parseFloatFn(Machine& m, const Value&, Args& a) {
    const std::string s = m.toString(arg(a, 0));
    return Value::number(parseDecimal(s, false).value_or(std::numeric_limits<double>::quiet_NaN()));
}

Value qualifiedClassNameFn(Machine& m, const Value&, Args& a) {
    Value v = arg(a, 0);
    if (v.isObject() && v.asObject()->kind == Object::Kind::Class) {
        return Value::string(v.asObject()->builds->qualifiedName());
    }
    if (v.isUndefined()) {
        return Value::string("void");
    }
    if (v.isNull()) {
        return Value::string("null");
    }
    Class* c = m.classOf(v);
    return Value::string(c != nullptr ? c->qualifiedName() : "Object");
}

Value namespaceToString(Machine&, const Value& self, Args&) {
    Object* o = selfObject(self);
    return Value::string(o != nullptr ? o->ns.uri : std::string());
}

} // namespace

Class* Machine::defineClass(const std::string& package, const std::string& name, Class* super,
                            NativeFn construct) {
    classes_.push_back(std::make_unique<Class>());
    Class* c = classes_.back().get();
    c->name = name;
    c->ns = Namespace::publicNs(package);
    c->super = super;
    c->sealed = false;
    if (super != nullptr) {
        c->instance = super->instance;
        c->native = super->native;
    }
    c->init = MethodRef{nullptr, 0, construct};
    Object* proto = allocate();
    proto->proto = super != nullptr ? super->prototype : nullptr;
    proto->cls = objectClass;
    c->prototype = proto;
    Object* co = allocate();
    co->kind = Object::Kind::Class;
    co->builds = c;
    // A built-in class is a Class like any other: it converts and prints as one.
    if (classClass != nullptr) {
        co->cls = classClass;
        co->proto = classClass->prototype;
    }
    co->ownTraits = std::make_unique<Traits>();
    co->traits = co->ownTraits.get();
    c->classObject = co;
    classByName_[c->qualifiedName()] = c;
    Binding b;
    b.ns = c->ns;
    b.kind = Binding::Kind::Const;
    b.slot = static_cast<std::uint32_t>(builtinTraits_.slots.size());
    SlotInit si;
    si.value = Value::object(co);
    builtinTraits_.slots.push_back(si);
    builtinGlobal_->slots.push_back(si.value);
    builtinTraits_.add(name, b);
    proto->setProp("constructor", Value::object(co));
    proto->dontEnum.back() = true;
    return c;
}

void Machine::defineMethod(Class* cls, const std::string& name, NativeFn fn, bool isStatic) {
    Object* target = isStatic ? cls->classObject : cls->prototype;
    Object* function = newNative(fn, name);
    // A player class's method binds to the object it is read from (see getProperty); Vector's,
    // like the core classes', are prototype functions.
    if (!isStatic && !cls->ns.uri.empty() && cls->ns.uri != "__AS3__.vec") {
        function->methodClass = cls;
    }
    const Value method = Value::object(function);
    target->setProp(name, method);
    target->dontEnum.back() = true;
    // The conversions every object answers to live on the prototypes only.
    if (!isStatic && name != "toString" && name != "valueOf" && name != "toLocaleString") {
        cls->as3Methods[name] = method;
    }
}

void Machine::declareParams(Class* cls, const std::string& name, std::uint8_t required,
                            std::uint8_t params, bool rest) {
    const Value* method = cls->prototype->findProp(name);
    if (method != nullptr && method->isObject()) {
        method->asObject()->method.nativeRequired = required;
        method->asObject()->method.nativeParams = params;
        method->asObject()->method.nativeRest = rest;
    }
}

void Machine::defineGetter(Class* cls, const std::string& name, NativeFn fn, bool isStatic) {
    Traits& t = isStatic ? *cls->classObject->ownTraits : cls->instance;
    Binding* b = t.findExact(name, Namespace::publicNs());
    if (b == nullptr) {
        Binding nb;
        nb.kind = Binding::Kind::Accessor;
        t.add(name, nb);
        b = t.findExact(name, Namespace::publicNs());
    }
    b->getter = MethodRef{nullptr, 0, fn};
}

void Machine::defineSetter(Class* cls, const std::string& name, NativeFn fn, bool isStatic) {
    Traits& t = isStatic ? *cls->classObject->ownTraits : cls->instance;
    Binding* b = t.findExact(name, Namespace::publicNs());
    if (b == nullptr) {
        Binding nb;
        nb.kind = Binding::Kind::Accessor;
        t.add(name, nb);
        b = t.findExact(name, Namespace::publicNs());
    }
    b->setter = MethodRef{nullptr, 0, fn};
}

void Machine::defineStaticConst(Class* cls, const std::string& name, const Value& v) {
    Object* co = cls->classObject;
    Binding b;
    b.ns = Namespace::publicNs();
    b.kind = Binding::Kind::Const;
    b.declaredBy = cls;
    b.slot = static_cast<std::uint32_t>(co->ownTraits->slots.size());
    SlotInit si;
    si.value = v;
    co->ownTraits->slots.push_back(si);
    co->slots.push_back(v);
    co->ownTraits->add(name, b);
}

void Machine::defineGlobal(const std::string& package, const std::string& name, const Value& v) {
    Binding b;
    b.ns = Namespace::publicNs(package);
    b.kind = Binding::Kind::Const;
    b.slot = static_cast<std::uint32_t>(builtinTraits_.slots.size());
    SlotInit si;
    si.value = v;
    builtinTraits_.slots.push_back(si);
    builtinGlobal_->slots.push_back(v);
    builtinTraits_.add(name, b);
}

void Machine::installBuiltins() {
    builtinGlobal_ = allocate();
    builtinGlobal_->kind = Object::Kind::Global;
    builtinGlobal_->traits = &builtinTraits_;

    objectClass = defineClass("", "Object", nullptr);
    objectClass->call = [](Machine& m, const Value&, Args& a) {
        return a.empty() || a[0].isNullish() ? Value::object(m.newObject()) : a[0];
    };
    builtinGlobal_->proto = objectClass->prototype;
    classClass = defineClass("", "Class", objectClass);
    functionClass = defineClass("", "Function", objectClass);
    // The classes made before Class existed take its prototype now.
    for (Class* c : {objectClass, classClass, functionClass}) {
        c->classObject->cls = classClass;
        c->classObject->proto = classClass->prototype;
    }
    defineMethod(objectClass, "toString", objectToString);
    defineMethod(objectClass, "toLocaleString", objectToString);
    defineMethod(objectClass, "valueOf", objectValueOf);
    defineMethod(objectClass, "hasOwnProperty", hasOwnProperty);
    defineMethod(objectClass, "propertyIsEnumerable", propertyIsEnumerable);
    defineMethod(objectClass, "setPropertyIsEnumerable", setPropertyIsEnumerable);
    defineMethod(objectClass, "isPrototypeOf", isPrototypeOf);
    // Object.prototype's functions declare (V = void 0), setPropertyIsEnumerable both of
    // (name, enumerable).
    for (const char* name : {"hasOwnProperty", "propertyIsEnumerable", "isPrototypeOf"}) {
        declareParams(objectClass, name, 0, 1);
    }
    declareParams(objectClass, "setPropertyIsEnumerable", 2, 2);
    defineMethod(functionClass, "call", functionCall);
    defineMethod(functionClass, "apply", functionApply);
    // A function's own call and apply are methods of its class too: read from a function
    // they stay bound to it, so `f.call.call()` still calls f.
    // They declare (thisArg = void 0, ...args) and (thisArg = void 0, argArray = void 0):
    // lengths 1 and 2.
    for (const auto& [name, fn, params, rest] :
         {std::tuple<const char*, NativeFn, std::uint8_t, bool>{"call", functionCall, 1, true},
          std::tuple<const char*, NativeFn, std::uint8_t, bool>{"apply", functionApply, 2,
                                                                false}}) {
        Binding b;
        b.kind = Binding::Kind::Method;
        b.method = MethodRef{nullptr, 0, fn};
        b.method.nativeParams = params;
        b.method.nativeRest = rest;
        b.declaredBy = functionClass;
        functionClass->instance.add(name, b);
    }
    // Function.prototype is itself a function, one that does nothing.
    functionClass->prototype->kind = Object::Kind::Function;
    functionClass->prototype->cls = functionClass;
    // As a function it answers to Function's accessors: its length is 0.
    functionClass->prototype->traits = &functionClass->instance;
    functionClass->prototype->method =
        MethodRef{nullptr, 0, [](Machine&, const Value&, Args&) { return Value(); }};

    // A function's length: how many parameters it declares.
    defineGetter(functionClass, "length", [](Machine&, const Value& self, Args&) {
        const Object* f = self.isObject() ? self.asObject() : nullptr;
        if (f != nullptr && f->method.unit == nullptr &&
            f->method.nativeParams != MethodRef::anyCount) {
            return Value::integer(f->method.nativeParams);
        }
        if (f == nullptr || f->method.unit == nullptr) {
            return Value::integer(0);
        }
        const auto& methods = f->method.unit->abc.methods;
        return Value::integer(
            f->method.index < methods.size()
                ? static_cast<std::int32_t>(methods[f->method.index].paramTypes.size())
                : 0);
    });

    arrayClass = defineClass("", "Array", objectClass);
    installArrayClass(*this);

    stringClass = defineClass("", "String", objectClass);
    stringClass->sealed = true;
    installStringClass(*this);

    numberClass = defineClass("", "Number", objectClass);
    intClass = defineClass("", "int", objectClass);
    uintClass = defineClass("", "uint", objectClass);
    booleanClass = defineClass("", "Boolean", objectClass);
    numberClass->call = numberCall;
    intClass->call = intCall;
    uintClass->call = uintCall;
    booleanClass->call = booleanCall;
    for (Class* c : {numberClass, intClass, uintClass}) {
        c->sealed = true;
        defineMethod(c, "toString", numberToStringMethod);
        defineMethod(c, "toLocaleString", numberToStringMethod);
        defineMethod(c, "toFixed", numberToFixed);
        defineMethod(c, "toExponential", numberToExponential);
        defineMethod(c, "toPrecision", numberToPrecision);
        defineMethod(c, "valueOf", valueOfSelf);
        // toString(radix = 10), toFixed(p = 0)... and valueOf().
        for (const char* name :
             {"toString", "toLocaleString", "toFixed", "toExponential", "toPrecision"}) {
            declareParams(c, name, 0, 1);
        }
        declareParams(c, "valueOf", 0, 0);
    }
    booleanClass->sealed = true;
    defineMethod(booleanClass, "toString", booleanToString);
    defineMethod(booleanClass, "valueOf", valueOfSelf);
    declareParams(booleanClass, "toString", 0, 0);
    declareParams(booleanClass, "valueOf", 0, 0);
    numberClass->classObject->setProp("NaN",
                                      Value::number(std::numeric_limits<double>::quiet_NaN()));
    numberClass->classObject->setProp("MAX_VALUE",
                                      Value::number(std::numeric_limits<double>::max()));
    numberClass->classObject->setProp("MIN_VALUE",
                                      Value::number(std::numeric_limits<double>::denorm_min()));
    numberClass->classObject->setProp("POSITIVE_INFINITY",
                                      Value::number(std::numeric_limits<double>::infinity()));
    numberClass->classObject->setProp("NEGATIVE_INFINITY",
                                      Value::number(-std::numeric_limits<double>::infinity()));
    intClass->classObject->setProp("MAX_VALUE",
                                   Value::integer(std::numeric_limits<std::int32_t>::max()));
    intClass->classObject->setProp("MIN_VALUE",
                                   Value::integer(std::numeric_limits<std::int32_t>::min()));
    uintClass->classObject->setProp("MAX_VALUE", Value::unsignedInt(0xFFFFFFFFu));
    uintClass->classObject->setProp("MIN_VALUE", Value::integer(0));

    namespaceClass = defineClass("", "Namespace", objectClass);
    defineMethod(namespaceClass, "toString", namespaceToString);
    defineGetter(namespaceClass, "uri", namespaceToString);
    qnameClass = defineClass("", "QName", objectClass);
    installQNameAndNamespace(*this);

    Class* math = defineClass("", "Math", objectClass);
    Object* mo = math->classObject;
    const std::pair<const char*, double> constants[] = {
        {"PI", M_PI},       {"E", M_E},           {"LN2", M_LN2},     {"LN10", M_LN10},
        {"LOG2E", M_LOG2E}, {"LOG10E", M_LOG10E}, {"SQRT2", M_SQRT2}, {"SQRT1_2", M_SQRT1_2}};
    for (const auto& [constName, value] : constants) {
        mo->setProp(constName, Value::number(value));
    }
    defineMethod(math, "abs", math1<std::fabs, kAbs>, true);
    defineMethod(math, "floor", math1<std::floor, kFloor>, true);
    defineMethod(math, "ceil", math1<std::ceil, kCeil>, true);
    defineMethod(math, "round", math1<roundHalfUp, kRound>, true);
    defineMethod(math, "sqrt", math1<std::sqrt, kSqrt>, true);
    defineMethod(math, "sin", math1<std::sin, kSin>, true);
    defineMethod(math, "cos", math1<std::cos, kCos>, true);
    defineMethod(math, "tan", math1<std::tan, kTan>, true);
    defineMethod(math, "asin", math1<std::asin, kAsin>, true);
    defineMethod(math, "acos", math1<std::acos, kAcos>, true);
    defineMethod(math, "atan", math1<std::atan, kAtan>, true);
    defineMethod(math, "exp", math1<std::exp, kExp>, true);
    defineMethod(math, "log", math1<std::log, kLog>, true);
    defineMethod(math, "pow", mathPow, true);
    defineMethod(math, "atan2", mathAtan2, true);
    defineMethod(math, "max", mathMinMax<true>, true);
    defineMethod(math, "min", mathMinMax<false>, true);
    defineMethod(math, "random", mathRandom, true);

    errorClass = defineClass("", "Error", objectClass, errorInit);
    errorClass->native = Class::Native::Error;
    installErrorPrototype(errorClass);
    defineMethod(errorClass, "toString", errorToString);
    defineMethod(errorClass, "getStackTrace", errorGetStackTrace);
    defineGetter(errorClass, "errorID", errorId);
    defineMethod(errorClass, "getErrorMessage", errorGetMessage, true);
    defineMethod(errorClass, "throwError", errorThrowError, true);
    for (const char* name : {"TypeError", "ReferenceError", "RangeError", "ArgumentError",
                             "VerifyError", "SyntaxError", "EvalError", "URIError", "SecurityError",
                             "DefinitionError", "UninitializedError"}) {
        // Their prototypes are plain objects naming the class.
        Object* proto = defineClass("", name, errorClass, errorInit)->prototype;
        proto->setProp("name", Value::string(name));
        proto->dontEnum.back() = true;
    }
    for (const char* name : {"IOError", "IllegalOperationError", "InvalidSWFError", "MemoryError",
                             "ScriptTimeoutError", "StackOverflowError", "DRMManagerError"}) {
        defineClass("flash.errors", name, errorClass, errorInit);
    }
    // Reading past the end is a kind of input error.
    defineClass("flash.errors", "EOFError", findClass("flash.errors::IOError"), errorInit);

    defineGlobal("", "trace", Value::object(newNative(traceFn, "trace")));
    defineGlobal("", "isNaN", Value::object(newNative(isNaNFn, "isNaN")));
    defineGlobal("", "isFinite", Value::object(newNative(isFiniteFn, "isFinite")));
    defineGlobal("", "parseInt", Value::object(newNative(parseIntFn, "parseInt")));
    defineGlobal("", "parseFloat", Value::object(newNative(parseFloatFn, "parseFloat")));
    defineGlobal("", "NaN", Value::number(std::numeric_limits<double>::quiet_NaN()));
    defineGlobal("", "Infinity", Value::number(std::numeric_limits<double>::infinity()));
    defineGlobal("", "undefined", Value());
    defineGlobal("flash.utils", "getTimer", Value::object(newNative(getTimerFn, "getTimer")));
    defineGlobal("flash.utils", "getQualifiedClassName",
                 Value::object(newNative(qualifiedClassNameFn, "getQualifiedClassName")));

    installUriFunctions(*this);
    installReflection(*this);
    installRegExp(*this);
    installDate(*this);
    installJson(*this);
    installByteArray(*this);
    installAmf(*this);
    installProxy(*this);
    installVector(*this);
    Class* dictionary = defineClass("flash.utils", "Dictionary", objectClass);
    dictionary->native = Class::Native::Dictionary;
    // JSON writes a Dictionary as its class name, never its keys.
    defineMethod(dictionary, "toJSON",
                 [](Machine&, const Value&, Args&) { return Value::string("Dictionary"); });
#define AVM2_INSTALL(Name) install##Name(*this);
    AVM2_CLASS_LIST(AVM2_INSTALL)
#undef AVM2_INSTALL
    declareBuiltinLengths();
    declarePlayerParameters();

    // The core classes' `length`: how many arguments their constructors take as ECMA-262
    // counts them (Date's seven, the two of Namespace and QName, one for the rest).
    for (const auto& [className, length] :
         {std::pair<const char*, int>{"Date", 7}, {"Namespace", 2}, {"QName", 2}}) {
        if (Class* c = findClass(className)) {
            defineStaticConst(c, "length", Value::integer(length));
        }
    }
    for (const char* className : {"Object",
                                  "Class",
                                  "Function",
                                  "Array",
                                  "String",
                                  "Boolean",
                                  "Number",
                                  "int",
                                  "uint",
                                  "RegExp",
                                  "XML",
                                  "XMLList",
                                  "Error",
                                  "TypeError",
                                  "ReferenceError",
                                  "RangeError",
                                  "ArgumentError",
                                  "VerifyError",
                                  "SyntaxError",
                                  "EvalError",
                                  "URIError",
                                  "SecurityError",
                                  "DefinitionError",
                                  "UninitializedError"}) {
        if (Class* c = findClass(className)) {
            defineStaticConst(c, "length", Value::integer(1));
        }
    }
    // The core classes the language declares final: no class may extend them, and their
    // descriptions say so.
    for (const char* className : {"Boolean", "Number", "int", "uint", "String", "Date", "Math",
                                  "Namespace", "QName", "XML", "XMLList", "JSON"}) {
        if (Class* c = findClass(className)) {
            c->isFinal = true;
        }
    }
}

} // namespace avm2
