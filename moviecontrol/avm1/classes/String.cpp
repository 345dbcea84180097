// String: methods index UTF-16 code units.

#include "avm1/Convert.h"
#include "avm1/Interpreter.h"
#include "avm1/State.h"
#include "unicode/CaseTables.h"
#include "unicode/Utf16Text.h"

#include <cmath>

namespace avm1 {

namespace {

// The string a method works on. Every method reads it whole at least once, so that is
// the work counted against the budget: a kilobyte a step.
Str thisString(CallArgs& c) {
    Str s;
    Value v;
    if (c.thisValue.isString()) {
        s = c.thisValue.asString();
    } else if (Object* o = c.thisObject(); o && o->primitiveValue(v) && v.isString()) {
        s = v.asString();
    } else {
        s = c.machine.toString(c.thisValue);
    }
    c.machine.state().pace(1 + s.size() / 1024);
    return s;
}

// An index argument as a 32-bit integer, wrapping as Flash does (NaN and undefined are 0).
double intArg(Machine& m, const Value& v) {
    return toInt32(m.toNumber(v));
}

Value text(std::u16string_view s) {
    return Value(Str(unicode::fromUtf16(s)));
}

std::size_t clampIndex(double v, std::size_t size) {
    if (v <= 0) {
        return 0;
    }
    return v >= static_cast<double>(size) ? size : static_cast<std::size_t>(v);
}

// The most parts split may give: its second argument as a 32-bit integer, unless undefined
// (so NaN and the infinities allow none, and 2^32 + 1 one).
double splitLimit(CallArgs& c) {
    if (c.arg(1).isUndefined()) {
        return std::numeric_limits<double>::infinity();
    }
    return toInt32(c.machine.toNumber(c.arg(1)));
}

// Cuts `s` at every `separator` (at every unit when it is empty), at most `limit` parts.
std::vector<Value> cutText(Machine& m, std::u16string_view s, std::u16string_view separator,
                           double limit) {
    std::vector<Value> parts;
    std::size_t start = 0;
    while (static_cast<double>(parts.size()) < limit) {
        // Each part is a string of its own and an element of the result: both count
        // against the budget as the parts are made.
        m.state().pace();
        if (separator.empty()) {
            if (start >= s.size()) {
                break;
            }
            parts.push_back(text(s.substr(start++, 1)));
            continue;
        }
        std::size_t at = s.find(separator, start);
        if (at == std::u16string_view::npos) {
            parts.push_back(text(s.substr(start)));
            break;
        }
        parts.push_back(text(s.substr(start, at - start)));
        start = at + separator.size();
    }
    return parts;
}

// split from version 6 on, as ECMA-262 has it: no separator gives the whole text, a
// limit below 1 no parts, an empty separator every unit.
std::vector<Value> splitText(CallArgs& c, std::u16string_view s) {
    Machine& m = c.machine;
    if (c.arg(0).isUndefined()) {
        return {text(s)};
    }
    std::u16string separator = unicode::toUtf16(m.toString(c.arg(0)).view());
    if (s.empty()) {
        // Whatever the limit: an empty text is one empty part, unless the separator
        // matches it.
        return separator.empty() ? std::vector<Value>{} : std::vector<Value>{text(s)};
    }
    double limit = splitLimit(c);
    if (limit <= 0) {
        return {};
    }
    return cutText(m, s, separator, limit);
}

// split as version 5 players did: the separator defaults to a comma and is one character
// at most (a longer one, or an empty one, leaves the text whole).
std::vector<Value> splitVersion5(CallArgs& c, std::u16string_view s) {
    Machine& m = c.machine;
    std::u16string separator = c.arg(0).isUndefined()
                                   ? std::u16string(u",")
                                   : unicode::toUtf16(m.toString(c.arg(0)).view());
    if (separator.empty()) {
        return {text(s)};
    }
    double limit = splitLimit(c);
    if (limit <= 0) {
        return {};
    }
    if (s.empty() || separator.size() > 1) {
        return {text(s)};
    }
    return cutText(m, s, separator, limit);
}
} // namespace

BoxObject* makeStringObject(Machine& m, Object* proto, const Str& text) {
    auto* box = m.make<BoxObject>(proto, Value(text), "String");
    m.define(box, "length", Value(static_cast<double>(unicode::utf16Length(text.view()))),
             attr::DontEnum | attr::DontDelete);
    return box;
}

void installString(Machine& m) {
    auto& s = m.state();
    FunctionObject* string = m.newClass([](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Str text = c.count() ? m.toString(c.arg(0)) : Str();
        // Called by super() on the new object of a class whose prototype is a String
        // object, it makes that object a String of the text.
        Value held;
        if (auto* box = dynamic_cast<BoxObject*>(c.thisObject());
            box && !box->primitiveValue(held)) {
            box->adopt(Value(text), "String");
            m.define(box, "length", Value(static_cast<double>(unicode::utf16Length(text.view()))),
                     attr::DontEnum | attr::DontDelete);
        }
        return Value(text);
    });
    string->constructor = [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* p = m.get(c.callee, "prototype").asObject();
        Str text = c.count() ? m.toString(c.arg(0)) : Str();
        return Value(static_cast<Object*>(makeStringObject(m, p, text)));
    };
    // The prototype is itself a String object, of the empty text: the methods that read
    // their object's text (toString, valueOf) read "" from it instead of converting it,
    // which would call them again.
    Object* proto = m.make<BoxObject>(s.objectProto, Value(Str()), "String");
    m.define(string, "prototype", Value(proto), attr::Hidden);
    m.define(proto, "constructor", Value(static_cast<Object*>(string)), attr::Hidden);
    s.stringProto = proto;
    m.define(m.global(), "String", Value(static_cast<Object*>(string)));

    m.defineMethod(string, "fromCharCode", [](CallArgs& c) -> Value {
        std::u16string out;
        for (const Value& v : c.args) {
            auto code = static_cast<char16_t>(toUint32(c.machine.toNumber(v)) & 0xFFFF);
            if (code == 0) {
                break;
            }
            out.push_back(code);
        }
        return text(out);
    });
    // toString answers only for a text or a String object: anything else (even an object
    // that inherits it from String.prototype) gives undefined rather than its own text,
    // which would ask this method again. valueOf converts whatever it is called on.
    m.defineMethod(proto, "toString", [](CallArgs& c) -> Value {
        Value held;
        if (c.thisValue.isString()) {
            return c.thisValue;
        }
        if (Object* o = c.thisObject(); o && o->primitiveValue(held) && held.isString()) {
            return held;
        }
        return {};
    });
    m.defineMethod(proto, "valueOf", [](CallArgs& c) -> Value { return Value(thisString(c)); });
    m.defineMethod(proto, "charAt", [](CallArgs& c) -> Value {
        std::u16string s = unicode::toUtf16(thisString(c).view());
        double i = intArg(c.machine, c.arg(0));
        if (i < 0 || i >= static_cast<double>(s.size())) {
            return Value(Str());
        }
        return text(std::u16string_view(s).substr(static_cast<std::size_t>(i), 1));
    });
    m.defineMethod(proto, "charCodeAt", [](CallArgs& c) -> Value {
        std::u16string s = unicode::toUtf16(thisString(c).view());
        double i = intArg(c.machine, c.arg(0));
        if (i >= static_cast<double>(s.size()) && c.machine.version() < 6) {
            return Value(0.0); // version 5 reads past the end as the closing zero
        }
        if (i < 0 || i >= static_cast<double>(s.size())) {
            return Value(std::numeric_limits<double>::quiet_NaN());
        }
        return Value(static_cast<double>(s[static_cast<std::size_t>(i)]));
    });
    m.defineMethod(proto, "concat", [](CallArgs& c) -> Value {
        std::string out = thisString(c).str();
        for (const Value& v : c.args) {
            Str more = c.machine.toString(v);
            c.machine.state().reserve(out.size() + more.size());
            out += more.view();
        }
        return Value(Str(std::move(out)));
    });
    m.defineMethod(proto, "indexOf", [](CallArgs& c) -> Value {
        if (c.count() == 0) {
            return {};
        }
        std::u16string s = unicode::toUtf16(thisString(c).view());
        std::u16string needle = unicode::toUtf16(c.machine.toString(c.arg(0)).view());
        double start = intArg(c.machine, c.arg(1));
        if (start > static_cast<double>(s.size())) {
            return Value(-1.0);
        }
        std::size_t at = s.find(needle, clampIndex(start, s.size()));
        return Value(at == std::u16string::npos ? -1.0 : static_cast<double>(at));
    });
    m.defineMethod(proto, "lastIndexOf", [](CallArgs& c) -> Value {
        if (c.count() == 0) {
            return {};
        }
        std::u16string s = unicode::toUtf16(thisString(c).view());
        std::u16string needle = unicode::toUtf16(c.machine.toString(c.arg(0)).view());
        std::size_t from = std::u16string::npos;
        if (c.count() > 1 && !c.arg(1).isUndefined()) {
            double f = intArg(c.machine, c.arg(1));
            if (f < 0) {
                return Value(-1.0);
            }
            from = clampIndex(f, s.size());
        }
        std::size_t at = s.rfind(needle, from);
        return Value(at == std::u16string::npos ? -1.0 : static_cast<double>(at));
    });
    m.defineMethod(proto, "slice", [](CallArgs& c) -> Value {
        if (c.count() == 0) {
            return {};
        }
        std::u16string s = unicode::toUtf16(thisString(c).view());
        auto size = static_cast<double>(s.size());
        double a = intArg(c.machine, c.arg(0));
        double b = c.count() > 1 && !c.arg(1).isUndefined() ? intArg(c.machine, c.arg(1)) : size;
        if (a < 0) {
            a += size;
        }
        if (b < 0) {
            b += size;
        }
        std::size_t from = clampIndex(a, s.size()), to = clampIndex(b, s.size());
        if (to <= from) {
            return Value(Str());
        }
        return text(std::u16string_view(s).substr(from, to - from));
    });
    m.defineMethod(proto, "substring", [](CallArgs& c) -> Value {
        if (c.count() == 0) {
            return {};
        }
        std::u16string s = unicode::toUtf16(thisString(c).view());
        std::size_t from = clampIndex(intArg(c.machine, c.arg(0)), s.size());
        std::size_t to = c.count() > 1 && !c.arg(1).isUndefined()
                             ? clampIndex(intArg(c.machine, c.arg(1)), s.size())
                             : s.size();
        if (to < from) {
            std::swap(from, to);
        }
        return text(std::u16string_view(s).substr(from, to - from));
    });
    m.defineMethod(proto, "substr", [](CallArgs& c) -> Value {
        if (c.count() == 0) {
            return {};
        }
        std::u16string s = unicode::toUtf16(thisString(c).view());
        auto size = static_cast<double>(s.size());
        double a = intArg(c.machine, c.arg(0));
        if (a < 0) {
            a = std::max(a + size, 0.0);
        }
        double len = c.count() > 1 && !c.arg(1).isUndefined() ? intArg(c.machine, c.arg(1)) : size;
        std::size_t from = clampIndex(a, s.size());
        // The end is the start plus the length, counted back from the text's end when that
        // is negative: ("Hello", 1, -2) ends at 4 and gives "ell".
        double end = static_cast<double>(from) + len;
        if (end < 0) {
            end = std::max(end + size, 0.0);
        }
        std::size_t to = clampIndex(end, s.size());
        if (to <= from) {
            return Value(Str());
        }
        return text(std::u16string_view(s).substr(from, to - from));
    });
    m.defineMethod(proto, "split", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        std::u16string s = unicode::toUtf16(thisString(c).view());
        std::vector<Value> parts = m.version() < 6 ? splitVersion5(c, s) : splitText(c, s);
        m.state().reserve(parts.size() * 2 * sizeof(Value));
        return Value(m.newArray(parts));
    });
    m.defineMethod(proto, "toLowerCase", [](CallArgs& c) -> Value {
        std::u16string s = unicode::toUtf16(thisString(c).view());
        for (char16_t& ch : s) {
            ch = unicode::toLowerUnit(ch);
        }
        return text(s);
    });
    m.defineMethod(proto, "toUpperCase", [](CallArgs& c) -> Value {
        std::u16string s = unicode::toUtf16(thisString(c).view());
        for (char16_t& ch : s) {
            ch = unicode::toUpperUnit(ch);
        }
        return text(s);
    });
}

} // namespace avm1
