// The core classes: Object, Function, Class, Array, String, Number, int, uint, Boolean,
// Math, the Error family, and the global functions (trace, getTimer...). The player's
// classes (events, display) follow from the class list.
#include "avm2/ClassList.h"
#include "avm2/Machine.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace avm2 {

#define AVM2_DECLARE_INSTALL(Name) void install##Name(Machine& m);
AVM2_CLASS_LIST(AVM2_DECLARE_INSTALL)
#undef AVM2_DECLARE_INSTALL
void installVector(Machine& m);

namespace {

Value arg(const Args& a, std::size_t i) {
    return i < a.size() ? a[i] : Value();
}

Object* selfObject(const Value& self) {
    return self.isObject() ? self.asObject() : nullptr;
}

// A new array of the receiver's class: a Vector's slices and filters are Vectors.
Value sameKind(Machine& m, const Value& self, std::vector<Value> elements) {
    Object* o =
        self.isObject() && self.asObject()->cls != nullptr && self.asObject()->cls != m.arrayClass
            ? m.instantiate(self.asObject()->cls)
            : m.newArray();
    o->elements = std::move(elements);
    return Value::object(o);
}

std::string joinArray(Machine& m, Object* o, const std::string& sep) {
    std::string out;
    for (std::size_t i = 0; i < o->elements.size(); ++i) {
        if (i > 0) {
            out += sep;
        }
        const Value& v = o->elements[i];
        if (!v.isNullish()) {
            out += m.toString(v);
        }
        if ((i & 0x3FF) == 0) {
            m.checkBudget();
        }
    }
    return out;
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
    Object* o = selfObject(self);
    if (o == nullptr) {
        return Value::boolean(false);
    }
    if (o->traits != nullptr && o->traits->find(Name::publicName(k)) != nullptr) {
        return Value::boolean(true);
    }
    if (o->kind == Object::Kind::Array) {
        char* end = nullptr;
        const unsigned long idx = std::strtoul(k.c_str(), &end, 10);
        if (!k.empty() && *end == 0 && idx < o->elements.size()) {
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
    auto it = o->propIndex.find(k);
    if (it != o->propIndex.end()) {
        return Value::boolean(!o->dontEnum[it->second]);
    }
    return hasOwnProperty(m, self, a);
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
Value functionCall(Machine& m, const Value& self, Args& a) {
    Value thisv = arg(a, 0);
    Args rest(a.size() > 1 ? a.begin() + 1 : a.end(), a.end());
    return m.call(self, thisv, rest);
}

Value functionApply(Machine& m, const Value& self, Args& a) {
    Value thisv = arg(a, 0);
    Args rest;
    Value list = arg(a, 1);
    if (list.isObject()) {
        rest = list.asObject()->elements;
    }
    return m.call(self, thisv, rest);
}

// --- Array ---
Object* arraySelf(Machine& m, const Value& self) {
    Object* o = selfObject(self);
    if (o == nullptr || o->kind != Object::Kind::Array) {
        m.throwError("TypeError", 1034, "Type Coercion failed: cannot convert to Array.");
    }
    return o;
}

Value arrayInit(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    if (a.size() == 1 && a[0].isNumeric()) {
        const double n = a[0].asNumber();
        if (n < 0 || n != std::trunc(n) || n > 4294967295.0) {
            m.throwError("RangeError", 1005,
                         "Array index is not a positive integer (" + numberToString(n) + ").");
        }
        if (n > (1u << 26)) {
            throw ScriptAbort{"array"};
        }
        o->elements.resize(static_cast<std::size_t>(n));
    } else {
        o->elements = a;
    }
    return Value();
}

Value arrayCall(Machine& m, const Value&, Args& a) {
    Object* o = m.newArray();
    arrayInit(m, Value::object(o), a);
    return Value::object(o);
}

Value arrayLength(Machine& m, const Value& self, Args&) {
    return Value::unsignedInt(static_cast<std::uint32_t>(arraySelf(m, self)->elements.size()));
}

// A fixed-length vector refuses whatever would change its length.
void refuseIfFixed(Machine& m, const Object* o) {
    if (o->flag && o->cls != nullptr && m.vectorClass != nullptr &&
        o->cls->isSubclassOf(m.vectorClass)) {
        m.throwError("RangeError", 1126, "Cannot change the length of a fixed Vector.");
    }
}

// The length is a uint, so NaN empties the array and -1 asks for four billion elements.
Value arraySetLength(Machine& m, const Value& self, Args& a) {
    const std::uint32_t n = toUint32(m.toNumber(arg(a, 0)));
    Object* o = arraySelf(m, self);
    if (n == o->elements.size()) {
        return Value();
    }
    refuseIfFixed(m, o);
    if (n > (1u << 26)) {
        m.host().limitHit("memory");
        throw ScriptAbort{"array"};
    }
    Value fill;
    if (o->cls != nullptr && o->cls->elementType != nullptr) {
        fill = m.coerce(Value(), o->cls->elementType);
    }
    o->elements.resize(n, fill);
    return Value();
}

Value arrayPush(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    refuseIfFixed(m, o);
    for (auto& v : a) {
        o->elements.push_back(v);
    }
    return Value::unsignedInt(static_cast<std::uint32_t>(o->elements.size()));
}

Value arrayPop(Machine& m, const Value& self, Args&) {
    Object* o = arraySelf(m, self);
    refuseIfFixed(m, o);
    if (o->elements.empty()) {
        return Value();
    }
    Value v = o->elements.back();
    o->elements.pop_back();
    return v;
}

Value arrayShift(Machine& m, const Value& self, Args&) {
    Object* o = arraySelf(m, self);
    refuseIfFixed(m, o);
    if (o->elements.empty()) {
        return Value();
    }
    Value v = o->elements.front();
    o->elements.erase(o->elements.begin());
    return v;
}

Value arrayUnshift(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    refuseIfFixed(m, o);
    o->elements.insert(o->elements.begin(), a.begin(), a.end());
    return Value::unsignedInt(static_cast<std::uint32_t>(o->elements.size()));
}

Value arrayJoin(Machine& m, const Value& self, Args& a) {
    Value sep = arg(a, 0);
    return Value::string(
        joinArray(m, arraySelf(m, self), sep.isUndefined() ? "," : m.toString(sep)));
}

Value arrayToLocaleString(Machine& m, const Value& self, Args&) {
    Object* o = arraySelf(m, self);
    std::string out;
    for (std::size_t i = 0; i < o->elements.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        const Value v = o->elements[i];
        if (!v.isNullish()) {
            Args none;
            out += m.toString(m.callProperty(v, Name::publicName("toLocaleString"), none));
        }
    }
    return Value::string(out);
}

Value arrayToString(Machine& m, const Value& self, Args&) {
    return Value::string(joinArray(m, arraySelf(m, self), ","));
}

std::size_t clampIndex(Machine& m, const Value& v, std::size_t len, std::size_t fallback) {
    if (v.isUndefined()) {
        return fallback;
    }
    double d = m.toNumber(v);
    if (std::isnan(d)) {
        d = 0;
    }
    d = std::trunc(d);
    if (d < 0) {
        d = std::max(0.0, static_cast<double>(len) + d);
    }
    return static_cast<std::size_t>(std::min(d, static_cast<double>(len)));
}

Value arraySlice(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    const std::size_t len = o->elements.size();
    const std::size_t b = clampIndex(m, arg(a, 0), len, 0);
    const std::size_t e = clampIndex(m, arg(a, 1), len, len);
    std::vector<Value> out;
    if (b < e) {
        out.assign(o->elements.begin() + static_cast<std::ptrdiff_t>(b),
                   o->elements.begin() + static_cast<std::ptrdiff_t>(e));
    }
    return sameKind(m, self, std::move(out));
}

Value arraySplice(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    const std::size_t len = o->elements.size();
    if (a.empty()) {
        return Value::object(m.newArray());
    }
    refuseIfFixed(m, o);
    const std::size_t start = clampIndex(m, arg(a, 0), len, 0);
    std::size_t count = len - start;
    if (a.size() > 1) {
        const double d = std::trunc(m.toNumber(a[1])); // NaN and negatives remove nothing
        count = d > 0 ? static_cast<std::size_t>(std::min(d, static_cast<double>(count))) : 0;
    }
    const auto first = o->elements.begin() + static_cast<std::ptrdiff_t>(start);
    std::vector<Value> removed(first, first + static_cast<std::ptrdiff_t>(count));
    o->elements.erase(first, first + static_cast<std::ptrdiff_t>(count));
    if (a.size() > 2) {
        o->elements.insert(o->elements.begin() + static_cast<std::ptrdiff_t>(start), a.begin() + 2,
                           a.end());
    }
    return sameKind(m, self, std::move(removed));
}

Value arrayConcat(Machine& m, const Value& self, Args& a) {
    std::vector<Value> out = arraySelf(m, self)->elements;
    for (const Value& v : a) {
        if (v.isObject() && v.asObject()->kind == Object::Kind::Array) {
            out.insert(out.end(), v.asObject()->elements.begin(), v.asObject()->elements.end());
        } else {
            out.push_back(v);
        }
    }
    return sameKind(m, self, std::move(out));
}

Value arrayReverse(Machine& m, const Value& self, Args&) {
    Object* o = arraySelf(m, self);
    std::reverse(o->elements.begin(), o->elements.end());
    return self;
}

Value arrayIndexOf(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    const std::size_t from = clampIndex(m, arg(a, 1), o->elements.size(), 0);
    for (std::size_t i = from; i < o->elements.size(); ++i) {
        if (m.strictEquals(o->elements[i], arg(a, 0))) {
            return Value::integer(static_cast<std::int32_t>(i));
        }
    }
    return Value::integer(-1);
}

// lastIndexOf(item, from): a negative `from` counts back from the end.
Value arrayLastIndexOf(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    const double len = static_cast<double>(o->elements.size());
    double from = arg(a, 1).isUndefined() ? len : std::trunc(m.toNumber(arg(a, 1)));
    if (std::isnan(from)) {
        from = 0;
    }
    if (from < 0) {
        from += len;
    }
    if (from < 0) {
        return Value::integer(-1);
    }
    const auto end = static_cast<std::size_t>(std::min(from + 1, len));
    for (std::size_t i = end; i > 0; --i) {
        if (m.strictEquals(o->elements[i - 1], arg(a, 0))) {
            return Value::integer(static_cast<std::int32_t>(i - 1));
        }
    }
    return Value::integer(-1);
}

// forEach, map, filter, some, every: the callback gets (item, index, array).
template <int Mode> Value arrayIterate(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    Value fn = arg(a, 0);
    Value thisv = arg(a, 1);
    std::vector<Value> out;
    for (std::size_t i = 0; i < o->elements.size(); ++i) {
        Args cb{o->elements[i], Value::integer(static_cast<std::int32_t>(i)), self};
        Value r = m.call(fn, thisv, cb);
        if constexpr (Mode == 1) {
            out.push_back(r);
        } else if constexpr (Mode == 2) {
            if (Machine::toBoolean(r)) {
                out.push_back(o->elements[i]);
            }
        } else if constexpr (Mode == 3) {
            if (Machine::toBoolean(r)) {
                return Value::boolean(true);
            }
        } else if constexpr (Mode == 4) {
            if (!Machine::toBoolean(r)) {
                return Value::boolean(false);
            }
        }
    }
    if constexpr (Mode == 1 || Mode == 2) {
        return sameKind(m, self, std::move(out));
    } else if constexpr (Mode == 3) {
        return Value::boolean(false);
    } else if constexpr (Mode == 4) {
        return Value::boolean(true);
    }
    return Value();
}

Value arraySort(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    Value fn = arg(a, 0);
    int flags = 0;
    if (fn.isNumeric()) {
        flags = toInt32(fn.asNumber());
        fn = Value();
    } else {
        flags = toInt32(m.toNumber(arg(a, 1)));
    }
    const bool numeric = (flags & 16) != 0;
    const bool descending = (flags & 2) != 0;
    const bool noCase = (flags & 1) != 0;
    auto less = [&](const Value& x, const Value& y) {
        if (x.isUndefined() || y.isUndefined()) {
            return !x.isUndefined() && y.isUndefined();
        }
        bool r = false;
        if (fn.isObject()) {
            Args cb{x, y};
            r = m.toNumber(m.call(fn, Value::null(), cb)) < 0;
        } else if (numeric) {
            r = m.toNumber(x) < m.toNumber(y);
        } else {
            std::string sx = m.toString(x);
            std::string sy = m.toString(y);
            if (noCase) {
                std::transform(sx.begin(), sx.end(), sx.begin(), ::tolower);
                std::transform(sy.begin(), sy.end(), sy.begin(), ::tolower);
            }
            r = sx < sy;
        }
        return r;
    };
    std::stable_sort(o->elements.begin(), o->elements.end(), [&](const Value& x, const Value& y) {
        return descending ? less(y, x) : less(x, y);
    });
    return self;
}

// --- String ---
std::string selfString(Machine& m, const Value& self) {
    return m.toString(self);
}

Value stringCall(Machine& m, const Value&, Args& a) {
    return Value::string(a.empty() ? std::string() : m.toString(a[0]));
}

Value stringLength(Machine& m, const Value& self, Args&) {
    return Value::integer(static_cast<std::int32_t>(selfString(m, self).size()));
}

// A character position as the string methods take it: an integer, NaN and undefined as 0.
double position(Machine& m, const Value& v) {
    const double d = v.isUndefined() ? 0 : std::trunc(m.toNumber(v));
    return std::isnan(d) ? 0 : d;
}

Value stringCharAt(Machine& m, const Value& self, Args& a) {
    const std::string s = selfString(m, self);
    const double i = position(m, arg(a, 0));
    if (i < 0 || i >= static_cast<double>(s.size())) {
        return Value::string("");
    }
    return Value::string(s.substr(static_cast<std::size_t>(i), 1));
}

Value stringCharCodeAt(Machine& m, const Value& self, Args& a) {
    const std::string s = selfString(m, self);
    const double i = position(m, arg(a, 0));
    if (i < 0 || i >= static_cast<double>(s.size())) {
        return Value::number(std::numeric_limits<double>::quiet_NaN());
    }
    return Value::integer(static_cast<unsigned char>(s[static_cast<std::size_t>(i)]));
}

Value stringFromCharCode(Machine& m, const Value&, Args& a) {
    std::string out;
    for (const Value& v : a) {
        const std::uint32_t c = toUint32(m.toNumber(v)) & 0xFFFF;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return Value::string(out);
}

Value stringIndexOf(Machine& m, const Value& self, Args& a) {
    const std::string s = selfString(m, self);
    const std::string needle = m.toString(arg(a, 0));
    const std::size_t from = clampIndex(m, arg(a, 1), s.size(), 0);
    const auto p = s.find(needle, from);
    return Value::integer(p == std::string::npos ? -1 : static_cast<std::int32_t>(p));
}

Value stringLastIndexOf(Machine& m, const Value& self, Args& a) {
    const std::string s = selfString(m, self);
    // The search starts at most at `from`; NaN or none searches the whole string.
    double from =
        arg(a, 1).isUndefined() ? static_cast<double>(s.size()) : std::trunc(m.toNumber(arg(a, 1)));
    if (std::isnan(from)) {
        from = static_cast<double>(s.size());
    }
    const auto start =
        static_cast<std::size_t>(std::clamp(from, 0.0, static_cast<double>(s.size())));
    const auto p = s.rfind(m.toString(arg(a, 0)), start);
    return Value::integer(p == std::string::npos ? -1 : static_cast<std::int32_t>(p));
}

Value stringSubstring(Machine& m, const Value& self, Args& a) {
    const std::string s = selfString(m, self);
    std::size_t b =
        clampIndex(m,
                   arg(a, 0).isUndefined() ? Value::integer(0)
                                           : Value::number(std::max(0.0, m.toNumber(arg(a, 0)))),
                   s.size(), 0);
    std::size_t e = arg(a, 1).isUndefined()
                        ? s.size()
                        : clampIndex(m, Value::number(std::max(0.0, m.toNumber(arg(a, 1)))),
                                     s.size(), s.size());
    if (b > e) {
        std::swap(b, e);
    }
    return Value::string(s.substr(b, e - b));
}

Value stringSlice(Machine& m, const Value& self, Args& a) {
    const std::string s = selfString(m, self);
    const std::size_t b = clampIndex(m, arg(a, 0), s.size(), 0);
    const std::size_t e = clampIndex(m, arg(a, 1), s.size(), s.size());
    return Value::string(b < e ? s.substr(b, e - b) : std::string());
}

Value stringSubstr(Machine& m, const Value& self, Args& a) {
    const std::string s = selfString(m, self);
    const std::size_t b = clampIndex(m, arg(a, 0), s.size(), 0);
    double n = arg(a, 1).isUndefined() ? static_cast<double>(s.size()) : m.toNumber(arg(a, 1));
    if (std::isnan(n) || n < 0) {
        n = 0;
    }
    return Value::string(
        s.substr(b, static_cast<std::size_t>(std::min(n, static_cast<double>(s.size())))));
}

Value stringToUpper(Machine& m, const Value& self, Args&) {
    std::string s = selfString(m, self);
    std::transform(s.begin(), s.end(), s.begin(), ::toupper);
    return Value::string(s);
}

Value stringToLower(Machine& m, const Value& self, Args&) {
    std::string s = selfString(m, self);
    std::transform(s.begin(), s.end(), s.begin(), ::tolower);
    return Value::string(s);
}

Value stringSplit(Machine& m, const Value& self, Args& a) {
    const std::string s = selfString(m, self);
    std::vector<Value> out;
    // The limit is a uint: -1 keeps every piece, 0 none.
    const std::uint32_t limit =
        arg(a, 1).isUndefined() ? 0xFFFFFFFFu : toUint32(m.toNumber(arg(a, 1)));
    if (limit == 0) {
        return Value::object(m.newArray());
    }
    if (arg(a, 0).isUndefined()) {
        out.push_back(Value::string(s));
    } else {
        const std::string sep = m.toString(arg(a, 0));
        if (sep.empty()) {
            for (char c : s) {
                if (out.size() >= limit) {
                    break;
                }
                out.push_back(Value::string(std::string(1, c)));
            }
        } else {
            std::size_t start = 0;
            while (out.size() < limit) {
                const auto p = s.find(sep, start);
                if (p == std::string::npos) {
                    out.push_back(Value::string(s.substr(start)));
                    break;
                }
                out.push_back(Value::string(s.substr(start, p - start)));
                start = p + sep.size();
            }
        }
    }
    return Value::object(m.newArray(std::move(out)));
}

Value stringConcat(Machine& m, const Value& self, Args& a) {
    std::string s = selfString(m, self);
    for (const Value& v : a) {
        s += m.toString(v);
    }
    return Value::string(s);
}

Value stringToString(Machine& m, const Value& self, Args&) {
    return Value::string(selfString(m, self));
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

Value numberToFixed(Machine& m, const Value& self, Args& a) {
    const double d = m.toNumber(self);
    const int digits = toInt32(m.toNumber(arg(a, 0)));
    if (digits < 0 || digits > 20) {
        m.throwError("RangeError", 1002,
                     "Number.toFixed has a range of 0 to 20. Value must be within the range.");
    }
    if (std::isnan(d) || std::fabs(d) >= 1e21) {
        return Value::string(numberToString(d));
    }
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", digits, d);
    std::string s = buf;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) {
        s.erase(0, 1);
    }
    return Value::string(s);
}

Value valueOfSelf(Machine&, const Value& self, Args&) {
    return self;
}

Value booleanToString(Machine& m, const Value& self, Args&) {
    return Value::string(m.toString(self));
}

// --- Math ---
template <double (*F)(double)> Value math1(Machine& m, const Value&, Args& a) {
    return Value::number(F(m.toNumber(arg(a, 0))));
}
double roundHalfUp(double d) {
    return std::floor(d + 0.5);
}
Value mathPow(Machine& m, const Value&, Args& a) {
    return Value::number(std::pow(m.toNumber(arg(a, 0)), m.toNumber(arg(a, 1))));
}
Value mathAtan2(Machine& m, const Value&, Args& a) {
    return Value::number(std::atan2(m.toNumber(arg(a, 0)), m.toNumber(arg(a, 1))));
}
template <bool Max> Value mathMinMax(Machine& m, const Value&, Args& a) {
    double r =
        Max ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    for (const Value& v : a) {
        const double d = m.toNumber(v);
        if (std::isnan(d)) {
            return Value::number(d);
        }
        r = Max ? std::max(r, d) : std::min(r, d);
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
    o->setProp("message", a.empty() || a[0].isUndefined() ? Value::string("")
                                                          : Value::string(m.toString(a[0])));
    o->dontEnum.back() = true;
    Class* c = o->cls;
    while (c != nullptr && c->unit != nullptr) {
        c = c->super;
    }
    o->setProp("name", Value::string(c != nullptr ? c->name : "Error"));
    o->dontEnum.back() = true;
    o->number = a.size() > 1 ? m.toNumber(a[1]) : 0;
    // What an uncaught error prints: made here, without calling back into scripts, so that
    // an error made at the depth bound does not need another call.
    const std::string message = o->findProp("message")->asString();
    const std::string name = o->findProp("name")->asString();
    o->text = (message.empty() ? name : name + ": " + message) + m.stackTrace();
    return Value();
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

Value errorGetStackTrace(Machine&, const Value&, Args&) {
    return Value::null();
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
    m.host().trace(line);
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
    std::string s = m.toString(arg(a, 0));
    int radix = toInt32(m.toNumber(arg(a, 1)));
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) {
        ++i;
    }
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        neg = s[i] == '-';
        ++i;
    }
    if ((radix == 0 || radix == 16) && i + 1 < s.size() && s[i] == '0' &&
        (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        radix = 16;
        i += 2;
    }
    if (radix == 0) {
        radix = 10;
    }
    if (radix < 2 || radix > 36) {
        return Value::number(std::numeric_limits<double>::quiet_NaN());
    }
    double v = 0;
    bool any = false;
    for (; i < s.size(); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
        const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 'a' + 10 : 99;
        if (d >= radix) {
            break;
        }
        v = v * radix + d;
        any = true;
    }
    if (!any) {
        return Value::number(std::numeric_limits<double>::quiet_NaN());
    }
    return Value::number(neg ? -v : v);
}

Value parseFloatFn(Machine& m, const Value&, Args& a) {
    const std::string s = m.toString(arg(a, 0));
    char* end = nullptr;
    const double d = std::strtod(s.c_str(), &end);
    if (end == s.c_str()) {
        return Value::number(std::numeric_limits<double>::quiet_NaN());
    }
    return Value::number(d);
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
    target->setProp(name, Value::object(newNative(fn, name)));
    target->dontEnum.back() = true;
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
    defineMethod(functionClass, "call", functionCall);
    defineMethod(functionClass, "apply", functionApply);

    arrayClass = defineClass("", "Array", objectClass, arrayInit);
    arrayClass->native = Class::Native::Array;
    arrayClass->call = arrayCall;
    defineGetter(arrayClass, "length", arrayLength);
    defineSetter(arrayClass, "length", arraySetLength);
    defineMethod(arrayClass, "push", arrayPush);
    defineMethod(arrayClass, "pop", arrayPop);
    defineMethod(arrayClass, "shift", arrayShift);
    defineMethod(arrayClass, "unshift", arrayUnshift);
    defineMethod(arrayClass, "join", arrayJoin);
    defineMethod(arrayClass, "toString", arrayToString);
    defineMethod(arrayClass, "toLocaleString", arrayToLocaleString);
    defineMethod(arrayClass, "slice", arraySlice);
    defineMethod(arrayClass, "splice", arraySplice);
    defineMethod(arrayClass, "concat", arrayConcat);
    defineMethod(arrayClass, "reverse", arrayReverse);
    defineMethod(arrayClass, "indexOf", arrayIndexOf);
    defineMethod(arrayClass, "lastIndexOf", arrayLastIndexOf);
    defineMethod(arrayClass, "forEach", arrayIterate<0>);
    defineMethod(arrayClass, "map", arrayIterate<1>);
    defineMethod(arrayClass, "filter", arrayIterate<2>);
    defineMethod(arrayClass, "some", arrayIterate<3>);
    defineMethod(arrayClass, "every", arrayIterate<4>);
    defineMethod(arrayClass, "sort", arraySort);
    const std::pair<const char*, int> sortFlags[] = {{"CASEINSENSITIVE", 1},
                                                     {"DESCENDING", 2},
                                                     {"UNIQUESORT", 4},
                                                     {"RETURNINDEXEDARRAY", 8},
                                                     {"NUMERIC", 16}};
    for (const auto& [flagName, value] : sortFlags) {
        arrayClass->classObject->setProp(flagName, Value::integer(value));
    }

    stringClass = defineClass("", "String", objectClass);
    stringClass->call = stringCall;
    stringClass->sealed = true;
    defineGetter(stringClass, "length", stringLength);
    defineMethod(stringClass, "charAt", stringCharAt);
    defineMethod(stringClass, "charCodeAt", stringCharCodeAt);
    defineMethod(stringClass, "indexOf", stringIndexOf);
    defineMethod(stringClass, "lastIndexOf", stringLastIndexOf);
    defineMethod(stringClass, "substring", stringSubstring);
    defineMethod(stringClass, "substr", stringSubstr);
    defineMethod(stringClass, "slice", stringSlice);
    defineMethod(stringClass, "toUpperCase", stringToUpper);
    defineMethod(stringClass, "toLowerCase", stringToLower);
    defineMethod(stringClass, "split", stringSplit);
    defineMethod(stringClass, "concat", stringConcat);
    defineMethod(stringClass, "toString", stringToString);
    defineMethod(stringClass, "valueOf", stringToString);
    defineMethod(stringClass, "fromCharCode", stringFromCharCode, true);

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
        defineMethod(c, "toFixed", numberToFixed);
        defineMethod(c, "valueOf", valueOfSelf);
    }
    booleanClass->sealed = true;
    defineMethod(booleanClass, "toString", booleanToString);
    defineMethod(booleanClass, "valueOf", valueOfSelf);
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

    Class* math = defineClass("", "Math", objectClass);
    Object* mo = math->classObject;
    const std::pair<const char*, double> constants[] = {
        {"PI", M_PI},       {"E", M_E},           {"LN2", M_LN2},     {"LN10", M_LN10},
        {"LOG2E", M_LOG2E}, {"LOG10E", M_LOG10E}, {"SQRT2", M_SQRT2}, {"SQRT1_2", M_SQRT1_2}};
    for (const auto& [constName, value] : constants) {
        mo->setProp(constName, Value::number(value));
    }
    defineMethod(math, "abs", math1<std::fabs>, true);
    defineMethod(math, "floor", math1<std::floor>, true);
    defineMethod(math, "ceil", math1<std::ceil>, true);
    defineMethod(math, "round", math1<roundHalfUp>, true);
    defineMethod(math, "sqrt", math1<std::sqrt>, true);
    defineMethod(math, "sin", math1<std::sin>, true);
    defineMethod(math, "cos", math1<std::cos>, true);
    defineMethod(math, "tan", math1<std::tan>, true);
    defineMethod(math, "asin", math1<std::asin>, true);
    defineMethod(math, "acos", math1<std::acos>, true);
    defineMethod(math, "atan", math1<std::atan>, true);
    defineMethod(math, "exp", math1<std::exp>, true);
    defineMethod(math, "log", math1<std::log>, true);
    defineMethod(math, "pow", mathPow, true);
    defineMethod(math, "atan2", mathAtan2, true);
    defineMethod(math, "max", mathMinMax<true>, true);
    defineMethod(math, "min", mathMinMax<false>, true);
    defineMethod(math, "random", mathRandom, true);

    errorClass = defineClass("", "Error", objectClass, errorInit);
    errorClass->native = Class::Native::Error;
    defineMethod(errorClass, "toString", errorToString);
    defineMethod(errorClass, "getStackTrace", errorGetStackTrace);
    defineGetter(errorClass, "errorID", errorId);
    for (const char* name : {"TypeError", "ReferenceError", "RangeError", "ArgumentError",
                             "VerifyError", "SyntaxError", "EvalError", "URIError", "SecurityError",
                             "DefinitionError", "UninitializedError"}) {
        defineClass("", name, errorClass, errorInit);
    }
    for (const char* name : {"IOError", "EOFError", "IllegalOperationError", "InvalidSWFError",
                             "MemoryError", "ScriptTimeoutError", "StackOverflowError"}) {
        defineClass("flash.errors", name, errorClass, errorInit);
    }

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

    installVector(*this);
    Class* dictionary = defineClass("flash.utils", "Dictionary", objectClass);
    dictionary->native = Class::Native::Dictionary;
#define AVM2_INSTALL(Name) install##Name(*this);
    AVM2_CLASS_LIST(AVM2_INSTALL)
#undef AVM2_INSTALL
}

} // namespace avm2
