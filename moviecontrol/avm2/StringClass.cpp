// String's methods. Text stays UTF-8 in values, but scripts count, index and cut it in
// UTF-16 code units, so every position below is a code unit; a surrogate cut from its
// partner keeps its three-byte form until it meets the partner again.
#include "avm2/Machine.h"
#include "avm2/StringPositions.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

namespace avm2 {

Value splitByRegExp(Machine& m, const std::u16string& subject, const Value& pattern,
                    std::uint32_t limit);

namespace {

std::u16string selfUnits(Machine& m, const Value& self) {
    return unicode::toUtf16(m.toString(self));
}

Value fromUnits(std::u16string_view units) {
    return Value::string(unicode::fromUtf16(units));
}

Value stringCall(Machine& m, const Value&, Args& a) {
    return Value::string(a.empty() ? std::string() : m.toString(a[0]));
}

Value stringLength(Machine& m, const Value& self, Args&) {
    return Value::integer(static_cast<std::int32_t>(unicode::utf16Length(m.toString(self))));
}

Value stringCharAt(Machine& m, const Value& self, Args& a) {
    const std::u16string s = selfUnits(m, self);
    const double i = integerArg(m, a, 0, 0);
    if (i < 0 || i >= static_cast<double>(s.size())) {
        return Value::string("");
    }
    return fromUnits(std::u16string_view(s).substr(static_cast<std::size_t>(i), 1));
}

Value stringCharCodeAt(Machine& m, const Value& self, Args& a) {
    const std::u16string s = selfUnits(m, self);
    const double i = integerArg(m, a, 0, 0);
    if (i < 0 || i >= static_cast<double>(s.size())) {
        return Value::number(std::numeric_limits<double>::quiet_NaN());
    }
    return Value::integer(s[static_cast<std::size_t>(i)]);
}

Value stringFromCharCode(Machine& m, const Value&, Args& a) {
    std::u16string units;
    units.reserve(a.size());
    for (const Value& v : a) {
        units.push_back(static_cast<char16_t>(toUint32(m.toNumber(v)) & 0xFFFF));
    }
    return fromUnits(units);
}

Value stringIndexOf(Machine& m, const Value& self, Args& a) {
    const std::u16string s = selfUnits(m, self);
    const std::u16string needle = unicode::toUtf16(m.toString(arg(a, 0)));
    const std::size_t from = clampPlain(integerArg(m, a, 1, 0), s.size());
    const auto p = s.find(needle, from);
    return Value::integer(p == std::u16string::npos ? -1 : static_cast<std::int32_t>(p));
}

Value stringLastIndexOf(Machine& m, const Value& self, Args& a) {
    const std::u16string s = selfUnits(m, self);
    const std::u16string needle = unicode::toUtf16(m.toString(arg(a, 0)));
    // The search starts at most at `from`; NaN searches the whole string.
    double from = a.size() > 1 ? m.toNumber(a[1]) : kNoLimit;
    from = std::isnan(from) ? kNoLimit : std::trunc(from);
    // A start at or before -1 finds nothing, not even the empty string (where a start
    // between -1 and 0 is 0).
    if (from < 0) {
        return Value::integer(-1);
    }
    const auto p = s.rfind(needle, clampPlain(from, s.size()));
    return Value::integer(p == std::u16string::npos ? -1 : static_cast<std::int32_t>(p));
}

Value stringSubstring(Machine& m, const Value& self, Args& a) {
    const std::u16string s = selfUnits(m, self);
    std::size_t b = clampPlain(integerArg(m, a, 0, 0), s.size());
    std::size_t e = clampPlain(integerArg(m, a, 1, kNoLimit), s.size());
    if (b > e) {
        std::swap(b, e);
    }
    return fromUnits(std::u16string_view(s).substr(b, e - b));
}

Value stringSlice(Machine& m, const Value& self, Args& a) {
    const std::u16string s = selfUnits(m, self);
    const std::size_t b = clampFromEnd(integerArg(m, a, 0, 0), s.size());
    const std::size_t e = clampFromEnd(integerArg(m, a, 1, kNoLimit), s.size());
    return b < e ? fromUnits(std::u16string_view(s).substr(b, e - b)) : Value::string("");
}

// substr(start, count): the end is start + count, read like slice's end, so a negative
// count ends that far before the end of the string when counted from the start.
Value stringSubstr(Machine& m, const Value& self, Args& a) {
    const std::u16string s = selfUnits(m, self);
    const std::size_t b = clampFromEnd(integerArg(m, a, 0, 0), s.size());
    const std::size_t e =
        clampFromEnd(static_cast<double>(b) + integerArg(m, a, 1, kNoLimit), s.size());
    return b < e ? fromUnits(std::u16string_view(s).substr(b, e - b)) : Value::string("");
}

template <bool Upper> Value stringChangeCase(Machine& m, const Value& self, Args&) {
    std::u16string s = selfUnits(m, self);
    for (char16_t& c : s) {
        c = Upper ? upperUnit(c) : lowerUnit(c);
    }
    return fromUnits(s);
}

Value stringSplit(Machine& m, const Value& self, Args& a) {
    const std::u16string s = selfUnits(m, self);
    std::vector<Value> out;
    // The limit is a uint: -1 keeps every piece, 0 none.
    const std::uint32_t limit =
        arg(a, 1).isUndefined() ? 0xFFFFFFFFu : toUint32(m.toNumber(arg(a, 1)));
    if (limit == 0) {
        return Value::object(m.newArray());
    }
    if (arg(a, 0).isObject() && arg(a, 0).asObject()->kind == Object::Kind::RegExp) {
        return splitByRegExp(m, s, arg(a, 0), limit);
    }
    if (arg(a, 0).isUndefined()) {
        out.push_back(Value::string(m.toString(self)));
        return Value::object(m.newArray(std::move(out)));
    }
    const std::u16string sep = unicode::toUtf16(m.toString(arg(a, 0)));
    if (sep.empty()) {
        for (std::size_t i = 0; i < s.size() && out.size() < limit; ++i) {
            out.push_back(fromUnits(std::u16string_view(s).substr(i, 1)));
            if ((i & 0xFFF) == 0) {
                m.checkBudget();
            }
        }
        return Value::object(m.newArray(std::move(out)));
    }
    std::size_t start = 0;
    while (out.size() < limit) {
        const auto p = s.find(sep, start);
        if (p == std::u16string::npos) {
            out.push_back(fromUnits(std::u16string_view(s).substr(start)));
            break;
        }
        out.push_back(fromUnits(std::u16string_view(s).substr(start, p - start)));
        start = p + sep.size();
        if ((out.size() & 0xFFF) == 0) {
            m.checkBudget();
        }
    }
    return Value::object(m.newArray(std::move(out)));
}

Value stringConcat(Machine& m, const Value& self, Args& a) {
    std::string s = m.toString(self);
    for (const Value& v : a) {
        s = unicode::joinText(s, m.toString(v));
        m.checkBudget();
    }
    return Value::string(s);
}

// The difference of the first code units that differ, else of the lengths.
Value stringLocaleCompare(Machine& m, const Value& self, Args& a) {
    const std::u16string s = selfUnits(m, self);
    const std::u16string other = unicode::toUtf16(m.toString(arg(a, 0)));
    const std::size_t n = std::min(s.size(), other.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (s[i] != other[i]) {
            return Value::integer(static_cast<int>(s[i]) - static_cast<int>(other[i]));
        }
    }
    // One text the start of the other: only which is longer counts.
    return Value::integer(s.size() < other.size() ? -1 : s.size() > other.size() ? 1 : 0);
}

Value stringToString(Machine& m, const Value& self, Args&) {
    if (!self.isString()) {
        m.throwError("TypeError", 1004,
                     "Method String.prototype.toString was invoked on an "
                     "incompatible object.");
    }
    return self;
}

} // namespace

void installStringClass(Machine& m) {
    Class* c = m.stringClass;
    c->call = stringCall;
    m.defineGetter(c, "length", stringLength);
    m.defineMethod(c, "charAt", stringCharAt);
    m.defineMethod(c, "charCodeAt", stringCharCodeAt);
    m.defineMethod(c, "indexOf", stringIndexOf);
    m.defineMethod(c, "lastIndexOf", stringLastIndexOf);
    m.defineMethod(c, "substring", stringSubstring);
    m.defineMethod(c, "substr", stringSubstr);
    m.defineMethod(c, "slice", stringSlice);
    m.defineMethod(c, "toUpperCase", stringChangeCase<true>);
    m.defineMethod(c, "toLowerCase", stringChangeCase<false>);
    m.defineMethod(c, "toLocaleUpperCase", stringChangeCase<true>);
    m.defineMethod(c, "toLocaleLowerCase", stringChangeCase<false>);
    m.defineMethod(c, "split", stringSplit);
    m.defineMethod(c, "concat", stringConcat);
    m.defineMethod(c, "localeCompare", stringLocaleCompare);
    m.defineMethod(c, "toString", stringToString);
    m.defineMethod(c, "valueOf", stringToString);
    m.defineMethod(c, "fromCharCode", stringFromCharCode, true);
    // Every parameter has a default; only concat takes a rest list.
    for (const auto& [name, params] :
         std::initializer_list<std::pair<const char*, int>>{{"charAt", 1},
                                                            {"charCodeAt", 1},
                                                            {"indexOf", 2},
                                                            {"lastIndexOf", 2},
                                                            {"substring", 2},
                                                            {"substr", 2},
                                                            {"slice", 2},
                                                            {"toUpperCase", 0},
                                                            {"toLowerCase", 0},
                                                            {"toLocaleUpperCase", 0},
                                                            {"toLocaleLowerCase", 0},
                                                            {"split", 2},
                                                            {"localeCompare", 1},
                                                            {"toString", 0},
                                                            {"valueOf", 0}}) {
        m.declareParams(c, name, 0, static_cast<std::uint8_t>(params));
    }
}

} // namespace avm2
