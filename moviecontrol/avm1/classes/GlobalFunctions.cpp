// Global functions: number parsing, escape/unescape, getTimer, random and the timers.

#include "avm1/Convert.h"
#include "avm1/Interpreter.h"
#include "avm1/State.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <cmath>

namespace avm1 {

namespace {

std::string escapeText(std::string_view text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out;
}

std::string unescapeText(std::string_view text) {
    // A '+' is a space, as in a form's values. A '%' starts an escape of two hexadecimal
    // digits; any other character inside one is swallowed with it ("%zz" gives "z", "%u0041"
    // gives "0041") and one cut short at the end gives nothing. A '%' inside an escape starts
    // it again without forgetting the digits read ("%%41" gives "A"), so the digits give a
    // byte only when their value fits one ("%4%41" gives nothing).
    constexpr unsigned tooBig = 0x100;
    std::string out;
    int remain = 0;
    unsigned value = 0;
    for (char ch : text) {
        if (ch == '%') {
            remain = 2;
            continue;
        }
        if (remain == 0) {
            out.push_back(ch == '+' ? ' ' : ch);
            continue;
        }
        const int digit = hexDigit(ch);
        if (digit < 0) {
            remain = 0;
            value = 0;
            continue;
        }
        value = std::min(value * 16 + static_cast<unsigned>(digit), tooBig);
        if (--remain == 0) {
            if (value < tooBig) {
                out.push_back(static_cast<char>(value));
            }
            value = 0;
        }
    }
    return unicode::decodeText(out);
}

// setInterval(function, ms, args...) or setInterval(object, "method", ms, args...).
Value addTimer(CallArgs& c, bool repeat) {
    Machine& m = c.machine;
    auto& s = m.state();
    Timer t;
    std::size_t next;
    if (c.arg(0).isObject() && c.arg(0).asObject()->asFunction()) {
        t.function = c.arg(0);
        next = 1;
    } else if (c.arg(0).isObject() && c.count() >= 3) {
        t.object = c.arg(0).asObject();
        t.method = m.toString(c.arg(1));
        next = 2;
    } else {
        return {};
    }
    if (c.arg(next).isUndefined()) {
        return {}; // no interval, no timer
    }
    double ms = m.toNumber(c.arg(next));
    if (std::isnan(ms) || ms < 0) {
        ms = 0;
    }
    // The player runs timers no more often than every 10 ms, whatever the interval asked.
    constexpr double kShortestIntervalMs = 10;
    t.interval = std::max(ms, kShortestIntervalMs);
    t.repeat = repeat;
    t.due = s.timerNow + t.interval;
    for (std::size_t i = next + 1; i < c.count(); ++i) {
        t.args.push_back(c.args[i]);
    }
    if (s.timers.size() >= 10000) {
        s.abort(LimitKind::MemoryBudget, "a script started more timers than the movie may hold");
    }
    t.id = s.nextTimerId++;
    s.timers.push_back(std::move(t));
    return Value(static_cast<double>(s.timers.back().id));
}

Value removeTimer(CallArgs& c) {
    auto& s = c.machine.state();
    double id = c.machine.toNumber(c.arg(0));
    std::erase_if(s.timers, [&](const Timer& t) { return t.id == id; });
    return {};
}

} // namespace

void installGlobalFunctions(Machine& m) {
    Object* g = m.global();
    m.define(g, "NaN", Value(std::numeric_limits<double>::quiet_NaN()), attr::Hidden);
    m.define(g, "Infinity", Value(std::numeric_limits<double>::infinity()), attr::Hidden);
    m.defineMethod(g, "parseInt", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        if (c.count() == 0) {
            return {};
        }
        int radix = c.count() > 1 ? toInt32(m.toNumber(c.arg(1))) : 0;
        if (c.count() > 1 && (radix < 2 || radix > 36)) {
            return Value(std::numeric_limits<double>::quiet_NaN());
        }
        // A String object is read by its own text: the player does not ask its toString,
        // which a script may have replaced.
        Value text = c.arg(0);
        if (Value inner;
            text.isObject() && text.asObject()->primitiveValue(inner) && inner.isString()) {
            text = inner;
        }
        return Value(parseIntText(m.toString(text).view(), radix));
    });
    m.defineMethod(g, "parseFloat", [](CallArgs& c) -> Value {
        if (c.count() == 0) {
            return {};
        }
        return Value(parseFloatText(c.machine.toString(c.arg(0)).view()));
    });
    // Without an argument there is no number to ask about, whatever undefined converts to
    // in the movie's version: isNaN() is true and isFinite() false.
    m.defineMethod(g, "isNaN", [](CallArgs& c) -> Value {
        return Value(c.count() == 0 || std::isnan(c.machine.toNumber(c.arg(0))));
    });
    m.defineMethod(g, "isFinite", [](CallArgs& c) -> Value {
        return Value(c.count() > 0 && std::isfinite(c.machine.toNumber(c.arg(0))));
    });
    m.defineMethod(g, "escape", [](CallArgs& c) -> Value {
        if (c.count() == 0) {
            return {};
        }
        return Value(Str(escapeText(c.machine.toString(c.arg(0)).view())));
    });
    m.defineMethod(g, "unescape", [](CallArgs& c) -> Value {
        if (c.count() == 0) {
            return {};
        }
        return Value(Str(unescapeText(c.machine.toString(c.arg(0)).view())));
    });
    m.defineMethod(g, "getTimer", [](CallArgs& c) -> Value {
        return Value(std::floor(c.machine.host().timerMs()));
    });
    m.defineMethod(g, "random", [](CallArgs& c) -> Value {
        double max = c.machine.toNumber(c.arg(0));
        if (!(max > 0) || !std::isfinite(max)) {
            return Value(0.0);
        }
        std::uniform_real_distribution<double> d(0.0, 1.0);
        return Value(std::floor(d(c.machine.state().random) * std::floor(max)));
    });
    m.defineMethod(g, "trace", [](CallArgs& c) -> Value {
        traceValue(c.machine, c.arg(0));
        return {};
    });
    // A request to show the frame at once; frames are shown whole after every event here.
    m.defineMethod(g, "updateAfterEvent", [](CallArgs&) -> Value { return {}; });
    m.defineMethod(g, "setInterval", [](CallArgs& c) { return addTimer(c, true); });
    m.defineMethod(g, "setTimeout", [](CallArgs& c) { return addTimer(c, false); });
    m.defineMethod(g, "clearInterval", removeTimer);
    m.defineMethod(g, "clearTimeout", removeTimer);
}

} // namespace avm1
