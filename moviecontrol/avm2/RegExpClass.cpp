// RegExp, and the String methods that take one: match, replace, search and split. The
// pattern compiles once, when the RegExp is made; positions are UTF-16 code units.
#include "avm2/Machine.h"
#include "avm2/RegExpEngine.h"
#include "avm2/StringPositions.h"
#include "unicode/Utf16Text.h"

#include <cmath>

namespace avm2 {

namespace {

struct RegExpState {
    std::u16string source;
    RegExpFlags flags;
    std::unique_ptr<RegExpEngine> engine;
};

bool isRegExp(const Value& v) {
    return v.isObject() && v.asObject()->kind == Object::Kind::RegExp &&
           v.asObject()->nativeData != nullptr;
}

RegExpState& stateOf(Machine& m, const Value& self) {
    if (!isRegExp(self)) {
        m.throwError("TypeError", 1034, "Type Coercion failed: cannot convert to RegExp.");
    }
    return *std::static_pointer_cast<RegExpState>(self.asObject()->nativeData);
}

void compileInto(Object* o, std::u16string source, RegExpFlags flags) {
    auto state = std::make_shared<RegExpState>();
    state->engine = std::make_unique<RegExpEngine>(source, flags);
    state->source = std::move(source);
    state->flags = flags;
    o->kind = Object::Kind::RegExp;
    o->nativeData = std::move(state);
    o->number = 0; // lastIndex
}

Value regExpInit(Machine& m, const Value& self, Args& a) {
    if (!self.isObject()) {
        return Value();
    }
    const Value pattern = arg(a, 0);
    if (isRegExp(pattern)) {
        if (!arg(a, 1).isUndefined()) {
            m.throwError("TypeError", 1100,
                         "Cannot supply flags when constructing one RegExp from another.");
        }
        const RegExpState& from = stateOf(m, pattern);
        compileInto(self.asObject(), from.source, from.flags);
        return Value();
    }
    const std::u16string source =
        pattern.isUndefined() ? u"" : unicode::toUtf16(m.toString(pattern));
    const std::u16string letters =
        arg(a, 1).isUndefined() ? u"" : unicode::toUtf16(m.toString(arg(a, 1)));
    compileInto(self.asObject(), source, RegExpFlags::parse(letters));
    return Value();
}

Object* newRegExp(Machine& m, const Value& pattern) {
    Args args{pattern};
    Class* cls = m.findClass("RegExp");
    return m.construct(Value::object(cls->classObject), args).asObject();
}

// One search, with the script abandoned when backtracking passes its bound.
bool search(Machine& m, const RegExpState& state, std::u16string_view subject, std::size_t start,
            std::vector<RegExpEngine::Span>& spans) {
    switch (state.engine->exec(subject, start, spans)) {
    case RegExpEngine::Outcome::Matched:
        return true;
    case RegExpEngine::Outcome::NoMatch:
        return false;
    case RegExpEngine::Outcome::Exceeded:
        break;
    }
    m.host().limitHit("time");
    throw ScriptAbort{"regexp"};
}

Value spanText(std::u16string_view subject, const RegExpEngine::Span& span) {
    if (!span) {
        return Value();
    }
    return Value::string(
        unicode::fromUtf16(subject.substr(span->first, span->second - span->first)));
}

// exec's answer: the match and its groups, with index, input and the named groups.
Value matchArray(Machine& m, const RegExpState& state, std::u16string_view subject,
                 const std::vector<RegExpEngine::Span>& spans) {
    std::vector<Value> parts;
    parts.reserve(spans.size());
    for (const auto& span : spans) {
        parts.push_back(spanText(subject, span));
    }
    Object* result = m.newArray(std::move(parts));
    result->setProp("index", Value::integer(static_cast<std::int32_t>(spans[0]->first)));
    result->setProp("input", Value::string(unicode::fromUtf16(subject)));
    const auto& names = state.engine->groupNames();
    for (std::size_t g = 1; g < names.size() && g < spans.size(); ++g) {
        if (!names[g].empty()) {
            result->setProp(names[g], spanText(subject, spans[g]));
        }
    }
    return Value::object(result);
}

// exec: a global expression starts at lastIndex and moves it past the match (to 0 when
// nothing is found); any other starts at 0 and leaves lastIndex alone.
Value execOn(Machine& m, const Value& self, std::u16string_view subject) {
    RegExpState& state = stateOf(m, self);
    Object* o = self.asObject();
    std::size_t start = 0;
    if (state.flags.global) {
        const double last = std::trunc(o->number);
        if (last < 0 || last > static_cast<double>(subject.size())) {
            o->number = 0;
            return Value::null();
        }
        start = static_cast<std::size_t>(last);
    }
    std::vector<RegExpEngine::Span> spans;
    if (!search(m, state, subject, start, spans)) {
        if (state.flags.global) {
            o->number = 0;
        }
        return Value::null();
    }
    if (state.flags.global) {
        o->number = static_cast<double>(spans[0]->second);
    }
    return matchArray(m, state, subject, spans);
}

Value regExpExec(Machine& m, const Value& self, Args& a) {
    return execOn(m, self, unicode::toUtf16(m.toString(arg(a, 0))));
}

Value regExpTest(Machine& m, const Value& self, Args& a) {
    return Value::boolean(!execOn(m, self, unicode::toUtf16(m.toString(arg(a, 0)))).isNull());
}

Value regExpToString(Machine& m, const Value& self, Args&) {
    const RegExpState& state = stateOf(m, self);
    return Value::string("/" + unicode::fromUtf16(state.source) + "/" + state.flags.letters());
}

Value regExpSource(Machine& m, const Value& self, Args&) {
    return Value::string(unicode::fromUtf16(stateOf(m, self).source));
}

template <bool RegExpFlags::*Flag> Value regExpFlag(Machine& m, const Value& self, Args&) {
    return Value::boolean(stateOf(m, self).flags.*Flag);
}

Value regExpLastIndex(Machine& m, const Value& self, Args&) {
    stateOf(m, self);
    return Value::number(self.asObject()->number);
}

Value regExpSetLastIndex(Machine& m, const Value& self, Args& a) {
    stateOf(m, self);
    self.asObject()->number = toInt32(m.toNumber(arg(a, 0)));
    return Value();
}

// --- String methods that take a pattern ---

// match: a string is read as a pattern; other objects find nothing. A global expression
// searches from the start, each search from where the last match ended, and stops at the
// first search that finds nothing or ends where it began (an empty match there is not
// kept). lastIndex is left where the last search ended (0 when nothing was found), moved
// on by one when that is where it already was.
Value stringMatch(Machine& m, const Value& self, Args& a) {
    Value pattern = arg(a, 0);
    if (!isRegExp(pattern)) {
        if (!pattern.isString()) {
            return Value::null();
        }
        pattern = Value::object(newRegExp(m, pattern));
    }
    const std::u16string subject = unicode::toUtf16(m.toString(self));
    RegExpState& state = stateOf(m, pattern);
    if (!state.flags.global) {
        return execOn(m, pattern, subject);
    }
    const double before = pattern.asObject()->number;
    std::vector<Value> all;
    std::vector<RegExpEngine::Span> spans;
    std::size_t end = 0;
    for (;;) {
        const std::size_t start = end;
        if (!search(m, state, subject, start, spans)) {
            end = 0;
            break;
        }
        end = spans[0]->second;
        if (end == start) {
            break;
        }
        all.push_back(spanText(subject, spans[0]));
        if ((all.size() & 0xFFF) == 0) {
            m.checkBudget();
        }
    }
    const double after = static_cast<double>(end);
    pattern.asObject()->number = after == before ? after + 1 : after;
    return Value::object(m.newArray(std::move(all)));
}

Value stringSearch(Machine& m, const Value& self, Args& a) {
    Value pattern = arg(a, 0);
    if (!isRegExp(pattern)) {
        if (!pattern.isString()) {
            return Value::integer(-1);
        }
        pattern = Value::object(newRegExp(m, pattern));
    }
    const std::u16string subject = unicode::toUtf16(m.toString(self));
    std::vector<RegExpEngine::Span> spans;
    if (!search(m, stateOf(m, pattern), subject, 0, spans)) {
        return Value::integer(-1);
    }
    return Value::integer(static_cast<std::int32_t>(spans[0]->first));
}

// The replacement text for one match: $$, $&, $`, $', $n and $nn as groups, or what the
// function returns given the match, its groups, its index and the whole string.
std::u16string replacement(Machine& m, const Value& with, std::u16string_view subject,
                           const std::vector<RegExpEngine::Span>& spans) {
    if (with.isObject() && with.asObject()->kind == Object::Kind::Function) {
        // A group that took no part in the match is passed as empty text, not undefined.
        Args args;
        for (const auto& span : spans) {
            args.push_back(span ? spanText(subject, span) : Value::string(""));
        }
        args.push_back(Value::integer(static_cast<std::int32_t>(spans[0]->first)));
        args.push_back(Value::string(unicode::fromUtf16(subject)));
        return unicode::toUtf16(m.toString(m.call(with, Value::null(), args)));
    }
    const std::u16string text = unicode::toUtf16(m.toString(with));
    std::u16string out;
    const auto piece = [&](const RegExpEngine::Span& span) {
        if (span) {
            out += subject.substr(span->first, span->second - span->first);
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'$' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const char16_t c = text[i + 1];
        if (c == u'$') {
            out += u'$';
            ++i;
        } else if (c == u'&') {
            piece(spans[0]);
            ++i;
        } else if (c == u'`') {
            out += subject.substr(0, spans[0]->first);
            ++i;
        } else if (c == u'\'') {
            out += subject.substr(spans[0]->second);
            ++i;
        } else if (c >= u'0' && c <= u'9') {
            std::size_t group = c - u'0';
            std::size_t used = 1;
            if (i + 2 < text.size() && text[i + 2] >= u'0' && text[i + 2] <= u'9' &&
                group * 10 + (text[i + 2] - u'0') < spans.size()) {
                group = group * 10 + (text[i + 2] - u'0');
                used = 2;
            }
            if (group == 0 || group >= spans.size()) {
                out += text[i]; // not a group: the text stays
                continue;
            }
            piece(spans[group]);
            i += used;
        } else {
            out += text[i];
        }
    }
    return out;
}

Value stringReplace(Machine& m, const Value& self, Args& a) {
    const std::u16string subject = unicode::toUtf16(m.toString(self));
    const Value pattern = arg(a, 0);
    const Value with = arg(a, 1);
    std::u16string out;
    if (!isRegExp(pattern)) {
        // A string pattern replaces its first occurrence, found literally.
        const std::u16string needle = unicode::toUtf16(m.toString(pattern));
        const auto p = subject.find(needle);
        if (p == std::u16string::npos) {
            return Value::string(m.toString(self));
        }
        // Replacement text is taken as it is: $-patterns belong to patterns that are RegExps.
        std::vector<RegExpEngine::Span> spans{std::make_pair(p, p + needle.size())};
        const bool byFunction = with.isObject() && with.asObject()->kind == Object::Kind::Function;
        out = subject.substr(0, p) +
              (byFunction ? replacement(m, with, subject, spans)
                          : unicode::toUtf16(m.toString(with))) +
              subject.substr(p + needle.size());
        return Value::string(unicode::fromUtf16(out));
    }
    RegExpState& state = stateOf(m, pattern);
    std::vector<RegExpEngine::Span> spans;
    std::size_t copied = 0;
    std::size_t at = 0;
    while (at <= subject.size() && search(m, state, subject, at, spans)) {
        out += subject.substr(copied, spans[0]->first - copied);
        out += replacement(m, with, subject, spans);
        copied = spans[0]->second;
        if (!state.flags.global) {
            break;
        }
        at = spans[0]->second == spans[0]->first ? spans[0]->second + 1 : spans[0]->second;
        m.checkBudget();
    }
    if (state.flags.global) {
        pattern.asObject()->number = 0;
    }
    out += subject.substr(std::min(copied, subject.size()));
    return Value::string(unicode::fromUtf16(out));
}

} // namespace

// split by a pattern, as the player does it: the pieces between matches with each match's
// groups after its piece. An empty match ends the splitting, unless the pattern itself is
// empty, which cuts the text into characters. A limit reached among a match's groups stops
// only that match's groups: the next piece still comes before the limit ends the loop.
Value splitByRegExp(Machine& m, const std::u16string& subject, const Value& pattern,
                    std::uint32_t limit) {
    RegExpState& state = stateOf(m, pattern);
    const bool emptyPattern = state.source.empty();
    std::vector<Value> out;
    std::vector<RegExpEngine::Span> spans;
    std::size_t start = 0;
    while (start <= subject.size() && search(m, state, subject, start, spans)) {
        std::size_t matchAt = spans[0]->first;
        const std::size_t matchLength = spans[0]->second - spans[0]->first;
        if (matchLength == 0) {
            matchAt = start + 1;
            if (!emptyPattern) {
                break;
            }
        }
        if (matchAt + matchLength > subject.size()) {
            start = matchAt + matchLength;
            break;
        }
        out.push_back(Value::string(
            unicode::fromUtf16(std::u16string_view(subject).substr(start, matchAt - start))));
        if (out.size() >= limit) {
            break;
        }
        for (std::size_t g = 1; g < spans.size(); ++g) {
            out.push_back(spanText(subject, spans[g]));
            if (out.size() >= limit) {
                break;
            }
        }
        start = matchAt + matchLength;
        m.checkBudget();
    }
    if (out.size() < limit && start <= subject.size()) {
        out.push_back(
            Value::string(unicode::fromUtf16(std::u16string_view(subject).substr(start))));
    }
    return Value::object(m.newArray(std::move(out)));
}

void installRegExp(Machine& m) {
    Class* c = m.defineClass("", "RegExp", m.objectClass, regExpInit);
    c->native = Class::Native::RegExp;
    c->call = [](Machine& vm, const Value&, Args& a) {
        if (a.size() == 1 && isRegExp(a[0])) {
            return a[0];
        }
        Class* cls = vm.findClass("RegExp");
        return vm.construct(Value::object(cls->classObject), a);
    };
    m.defineMethod(c, "exec", regExpExec);
    m.defineMethod(c, "test", regExpTest);
    m.defineMethod(c, "toString", regExpToString);
    m.defineGetter(c, "source", regExpSource);
    m.defineGetter(c, "global", regExpFlag<&RegExpFlags::global>);
    m.defineGetter(c, "ignoreCase", regExpFlag<&RegExpFlags::ignoreCase>);
    m.defineGetter(c, "multiline", regExpFlag<&RegExpFlags::multiline>);
    m.defineGetter(c, "dotall", regExpFlag<&RegExpFlags::dotall>);
    m.defineGetter(c, "extended", regExpFlag<&RegExpFlags::extended>);
    m.defineGetter(c, "lastIndex", regExpLastIndex);
    m.defineSetter(c, "lastIndex", regExpSetLastIndex);
    m.defineMethod(m.stringClass, "match", stringMatch);
    m.defineMethod(m.stringClass, "search", stringSearch);
    m.defineMethod(m.stringClass, "replace", stringReplace);
    m.declareParams(m.stringClass, "match", 0, 1);
    m.declareParams(m.stringClass, "search", 0, 1);
    m.declareParams(m.stringClass, "replace", 0, 2);
}

} // namespace avm2
