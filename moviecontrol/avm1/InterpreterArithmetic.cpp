// Numbers, logic, comparison and conversion. The first script version's actions read
// every operand as a number (Add, Equals, Less); version 5's typed ones (Add2, Equals2,
// Less2, Greater) follow ECMA-262 with Flash's differences.

#include "avm1/Compare.h"
#include "avm1/Interp.h"

#include "avm1/Convert.h"
#include "unicode/Utf16Text.h"

#include "swf/ActionCodes.h"

#include <cmath>
#include <limits>

namespace avm1 {

void Interp::actionAdd() {
    double b = m_.toNumber(pop()), a = m_.toNumber(pop());
    push(Value(a + b));
}

void Interp::actionSubtract() {
    double b = m_.toNumber(pop()), a = m_.toNumber(pop());
    push(Value(a - b));
}

void Interp::actionMultiply() {
    double b = m_.toNumber(pop()), a = m_.toNumber(pop());
    push(Value(a * b));
}

void Interp::actionDivide() {
    double b = m_.toNumber(pop()), a = m_.toNumber(pop());
    // Version 4 players had no infinity to give.
    if (b == 0 && a_.version < 5) {
        push(Value(Str("#ERROR#")));
    } else {
        push(Value(a / b));
    }
}

void Interp::actionModulo() {
    double b = m_.toNumber(pop()), a = m_.toNumber(pop());
    push(Value(std::fmod(a, b)));
}

void Interp::actionIncrement() {
    push(Value(m_.toNumber(pop()) + 1));
}

void Interp::actionDecrement() {
    push(Value(m_.toNumber(pop()) - 1));
}

void Interp::actionAdd2() {
    Value b = pop(), a = pop();
    push(add2(a, b));
}

void Interp::actionEquals() {
    double b = m_.toNumber(pop()), a = m_.toNumber(pop());
    push(boolValue(a == b));
}

void Interp::actionLess() {
    double b = m_.toNumber(pop()), a = m_.toNumber(pop());
    push(boolValue(a < b));
}

void Interp::actionAnd() {
    bool b = condition(pop()), a = condition(pop());
    push(boolValue(a && b));
}

void Interp::actionOr() {
    bool b = condition(pop()), a = condition(pop());
    push(boolValue(a || b));
}

void Interp::actionNot() {
    push(boolValue(!condition(pop())));
}

void Interp::actionLess2() {
    Value b = pop(), a = pop();
    push(less2(a, b));
}

void Interp::actionGreater() {
    // a > b is b < a, undefined where either is NaN.
    Value b = pop(), a = pop();
    push(less2(b, a));
}

void Interp::actionEquals2() {
    Value b = pop(), a = pop();
    push(Value(equals2(a, b)));
}

void Interp::actionStrictEquals() {
    Value b = pop(), a = pop();
    push(Value(strictEquals(a, b)));
}

void Interp::actionBitwise(std::uint8_t code) {
    std::int32_t b = toInt32(m_.toNumber(pop()));
    std::int32_t a = toInt32(m_.toNumber(pop()));
    auto ua = static_cast<std::uint32_t>(a);
    unsigned shift = static_cast<unsigned>(b) & 31;
    double r = 0;
    switch (code) {
    case swf::op::BitAnd:
        r = a & b;
        break;
    case swf::op::BitOr:
        r = a | b;
        break;
    case swf::op::BitXor:
        r = a ^ b;
        break;
    case swf::op::BitLShift:
        r = static_cast<std::int32_t>(ua << shift);
        break;
    case swf::op::BitRShift:
        r = a >> shift;
        break;
    default: // BitURShift
        // Movies of versions 8 and 9 get the result as a signed integer.
        r = (a_.version == 8 || a_.version == 9)
                ? static_cast<double>(static_cast<std::int32_t>(ua >> shift))
                : static_cast<double>(ua >> shift);
        break;
    }
    push(Value(r));
}

void Interp::actionToInteger() {
    // int() wraps as a 32-bit integer: int(2147483648) is -2147483648, int(Infinity) 0.
    push(Value(static_cast<double>(toInt32(m_.toNumber(pop())))));
}

void Interp::actionToNumber() {
    push(Value(m_.toNumber(pop())));
}

void Interp::actionToString() {
    push(Value(m_.toString(pop())));
}

void Interp::actionTypeOf() {
    push(Value(m_.str(m_.typeOf(pop()))));
}

void Interp::actionRandomNumber() {
    double max = m_.toNumber(pop());
    double r = 0;
    if (max > 0 && std::isfinite(max)) {
        std::uniform_real_distribution<double> d(0.0, 1.0);
        r = std::floor(d(s_.random) * std::floor(max));
    }
    push(Value(r));
}

void Interp::actionGetTime() {
    push(Value(std::floor(s_.host.timerMs())));
}

Value Interp::add2(const Value& a, const Value& b) {
    // valueOf first; text on either side makes both text, where an object that valueOf
    // left an object gives its toString. Otherwise such an object adds as its number.
    // From version 6 a Date prefers text: it adds by its toString (ECMA-262 8.6.2.6).
    // Version 5 adds it by valueOf like any object.
    // valueOf runs for every object, display objects included, and an answer that is an
    // object leaves the operand as it was. A movie clip takes only an undefined answer: it
    // then adds as its path. Any other answer leaves the clip, which adds as its path to
    // text and as NaN to a number.
    auto primitive = [&](const Value& v) {
        Object* o = v.asObject();
        if (!o || o->vanished()) {
            return v;
        }
        if (a_.version >= 6 && !o->isDisplayObject() && o->className() == "Date") {
            return Value(m_.toString(v));
        }
        Value valueOf = m_.get(o, s_.sValueOf);
        Value r = valueOf.isObject() && valueOf.asObject()->asFunction()
                      ? callValue(m_, valueOf, v, {}, nullptr)
                      : Value();
        if (o->isDisplayObject() && m_.typeOf(v) == "movieclip") {
            return r.isUndefined() ? Value(m_.toString(v)) : v;
        }
        return r.isObject() ? v : r;
    };
    // The right operand is converted first, as the player pops it first.
    Value pb = primitive(b);
    Value pa = primitive(a);
    if (pa.isString() || pb.isString()) {
        Str sa = m_.toString(pa.isObject() ? a : pa), sb = m_.toString(pb.isObject() ? b : pb);
        if (sa.size() + sb.size() > s_.limits.maxStringBytes / 4) {
            s_.abort(LimitKind::MemoryBudget, "a script built a string past the movie's budget");
        }
        return Value(Str(unicode::joinText(sa.view(), sb.view())));
    }
    // An operand still an object is converted to a number from scratch: its valueOf runs
    // a second time, left before right.
    double x = m_.toNumber(pa);
    double y = m_.toNumber(pb);
    return Value(x + y);
}

Value scriptLess(Machine& m, const Value& a, const Value& b) {
    // An object whose valueOf gives an object compares false at once, the other operand
    // unconverted; a clip in that place compares as NaN.
    auto objectGivesFalse = [](const Value& p) {
        return p.isObject() && !p.asObject()->isDisplayObject();
    };
    Value pa = m.toPrimitive(a);
    if (objectGivesFalse(pa)) {
        return Value(false);
    }
    Value pb = m.toPrimitive(b);
    if (objectGivesFalse(pb)) {
        return Value(false);
    }
    if (pa.isString() && pb.isString()) {
        return Value(unicode::toUtf16(pa.asString().view()) <
                     unicode::toUtf16(pb.asString().view()));
    }
    double x = m.toNumber(pa), y = m.toNumber(pb);
    if (std::isnan(x) || std::isnan(y)) {
        return {};
    }
    return Value(x < y);
}

Value Interp::less2(const Value& a, const Value& b) {
    return scriptLess(m_, a, b);
}

bool Interp::equals2(const Value& a, const Value& b) {
    if (m_.version() < 6) {
        // Version 5 takes both operands through valueOf before comparing, the right one
        // first: a String and a Number object of the same digits are equal, and so are two
        // functions (which have no valueOf there, so both read as undefined). An object
        // whose valueOf gives an object meets a primitive through valueOf once more.
        const Value pb = m_.toPrimitive(b);
        const Value pa = m_.toPrimitive(a);
        return looseEquals(pa, pb);
    }
    return looseEquals(a, b);
}

bool Interp::looseEquals(const Value& a, const Value& b) {
    if (a.isObject() && b.isObject() &&
        a.asObject()->isDisplayObject() != b.asObject()->isDisplayObject()) {
        // A clip is a type of its own: the other object meets it through its valueOf, as it
        // would meet a primitive, and only a valueOf giving that very clip makes them equal.
        const Value& clip = a.asObject()->isDisplayObject() ? a : b;
        const Value p = m_.toPrimitive(a.asObject()->isDisplayObject() ? b : a);
        return p.isObject() && p.asObject() == clip.asObject();
    }
    if (a.type() == b.type()) {
        if (a.isString()) {
            return a.asString() == b.asString();
        }
        return strictEquals(a, b);
    }
    if (a.isNullish() && b.isNullish()) {
        return true;
    }
    if (a.isObject() != b.isObject()) {
        // An object meets a primitive through its valueOf (undefined when it has none).
        const Value& object = a.isObject() ? a : b;
        const Value& other = a.isObject() ? b : a;
        Value p = m_.toPrimitive(object);
        return !p.isObject() && looseEquals(p, other);
    }
    if (a.isNullish() || b.isNullish()) {
        return false;
    }
    if (a.isNumber() && b.isString()) {
        return a.asNumber() == m_.toNumber(b);
    }
    if (a.isString() && b.isNumber()) {
        return m_.toNumber(a) == b.asNumber();
    }
    if (a.isBool()) {
        return looseEquals(Value(a.asBool() ? 1.0 : 0.0), b);
    }
    if (b.isBool()) {
        return looseEquals(a, Value(b.asBool() ? 1.0 : 0.0));
    }
    return false;
}

} // namespace avm1
