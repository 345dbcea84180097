// TextField.prototype: what scripts do with edit fields beyond their properties.
#include <algorithm>
#include <cmath>
#include <string>

#include "StageObject.h"
#include "StageScripts.h"
#include "StyleSheetClass.h"
#include "TextEditing.h"
#include "TextFieldProperties.h"
#include "TextFieldState.h"
#include "TextFormatObject.h"
#include "TextMetrics.h"
#include "avm1/Function.h"
#include "unicode/Utf16Text.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

// A character index argument: whole, and within [0, length].
std::size_t indexArg(avm1::Machine& m, const Value& v, std::size_t length) {
    const double n = m.toNumber(v);
    if (!std::isfinite(n) || n < 0) {
        return std::isnan(n) || n < 0 ? 0 : length;
    }
    return static_cast<std::size_t>(std::min(std::floor(n), static_cast<double>(length)));
}

// The range that optional (begin, end) arguments pick: the whole text without them, one
// character with a begin alone. A negative end is the end of the text.
std::pair<std::size_t, std::size_t> rangeOf(avm1::Machine& m, const CallArgs& c, std::size_t given,
                                            std::size_t length) {
    if (given == 0) {
        return {0, length};
    }
    const std::size_t begin = indexArg(m, c.arg(0), length);
    if (given == 1) {
        return {begin, std::min(begin + 1, length)};
    }
    const bool toTheEnd = m.toNumber(c.arg(1)) < 0;
    return {begin, toTheEnd ? length : indexArg(m, c.arg(1), length)};
}

// Where the character `points` code points into a text starts, in UTF-16 units; the text's
// length past its end.
std::size_t utf16Offset(const std::u16string& text, std::size_t points) {
    std::size_t at = 0;
    for (std::size_t seen = 0; at < text.size() && seen < points; ++seen) {
        const bool pair = text[at] >= 0xD800 && text[at] < 0xDC00 && at + 1 < text.size() &&
                          text[at + 1] >= 0xDC00 && text[at + 1] < 0xE000;
        at += pair ? 2 : 1;
    }
    return at;
}

std::size_t codePointCount(const std::u16string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char16_t u) { return u < 0xDC00 || u >= 0xE000; }));
}

} // namespace

void installTextField(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::FunctionObject* field = m.newClass([](CallArgs&) { return Value(); });
    // Version 5 code sees the class but not its prototype, though its fields still take
    // their methods from it.
    m.define(m.global(), "TextField", Value(static_cast<avm1::Object*>(field)),
             avm1::attr::DontEnum);
    avm1::Object* proto = m.get(field, "prototype").asObject();
    m.define(field, "prototype", Value(proto), avm1::attr::Hidden | avm1::attr::Only6);
    StageScripts* s = &stage;
    const auto textOf = [s](CallArgs& c) -> TextFieldState* {
        DisplayObject* o = s->displayOf(c.thisValue);
        return o != nullptr && o->text ? o->text.get() : nullptr;
    };
    if (m.version() >= 6) {
        defineFieldAccessors(stage, proto);
    }
    m.defineMethod(proto, "getTextFormat", [textOf](CallArgs& c) -> Value {
        TextFieldState* t = textOf(c);
        if (t == nullptr) {
            return Value();
        }
        const std::size_t given = std::min<std::size_t>(c.count(), 2);
        const auto [begin, end] = rangeOf(c.machine, c, given, t->document.size());
        // No characters, no settings: an empty text, a range that starts where it ends and a
        // single character past the text give a format with nothing set.
        std::optional<PartialFormat> f;
        const bool none = t->document.empty() || (given == 2 && begin == end) ||
                          (given == 1 && begin >= t->document.size());
        if (!none) {
            f = t->document.formatOf(begin, end);
        }
        return Value(textFormatObject(c.machine, f.value_or(PartialFormat{})));
    });
    m.defineMethod(proto, "getNewTextFormat", [textOf](CallArgs& c) -> Value {
        TextFieldState* t = textOf(c);
        return t != nullptr ? Value(textFormatObject(c.machine, PartialFormat::of(t->newFormat)))
                            : Value();
    });
    m.defineMethod(proto, "setTextFormat", [textOf, s](CallArgs& c) {
        TextFieldState* t = textOf(c);
        // The format is the last argument; those before it pick a range of the text.
        avm1::Object* f = c.count() > 0 ? c.arg(c.count() - 1).asObject() : nullptr;
        if (t != nullptr && f != nullptr) {
            const std::size_t given = std::min<std::size_t>(c.count() - 1, 2);
            const auto [begin, end] = rangeOf(c.machine, c, given, t->document.size());
            t->document.apply(begin, end, partialFormatOf(c.machine, f));
            relayOut(s->player().catalog(), *t);
        }
        return Value();
    });
    m.defineMethod(proto, "setNewTextFormat", [textOf](CallArgs& c) {
        TextFieldState* t = textOf(c);
        if (t != nullptr && c.arg(0).asObject() != nullptr) {
            partialFormatOf(c.machine, c.arg(0).asObject()).applyTo(t->newFormat);
        }
        return Value();
    });
    // The focused field's selection gives way to the text, which takes the new text format,
    // and the caret follows it; a field without the focus has its caret at the start.
    m.defineMethod(proto, "replaceSel", [textOf, s](CallArgs& c) {
        TextFieldState* t = textOf(c);
        if (t == nullptr) {
            return Value();
        }
        const std::u16string typed = unicode::toUtf16(c.machine.toString(c.arg(0)).str());
        const auto focus = s->input.focus.lock();
        const bool focused = focus != nullptr && focus->text.get() == t;
        InputState::Selection chosen;
        if (focused) {
            chosen = selectionWithin(t->plainText(), static_cast<double>(s->input.selection.begin),
                                     static_cast<double>(s->input.selection.end));
        }
        const std::u16string& text = t->document.text();
        const std::size_t begin = utf16Offset(text, chosen.begin);
        const std::size_t end = utf16Offset(text, chosen.end);
        t->document.replace(begin, end, typed, t->newFormat);
        if (focused) {
            const std::size_t caret = chosen.begin + codePointCount(typed);
            s->input.selection = InputState::Selection{caret, caret, caret};
        }
        relayOut(s->player().catalog(), *t);
        return Value();
    });
    // The text argument is read as text whatever it is, missing ones too.
    m.defineMethod(
        proto, "replaceText",
        [textOf, s](CallArgs& c) {
            TextFieldState* t = textOf(c);
            if (t != nullptr && c.count() >= 2) {
                const std::size_t length = t->document.size();
                const std::size_t begin = indexArg(c.machine, c.arg(0), length);
                const std::size_t end = indexArg(c.machine, c.arg(1), length);
                const std::u16string text = unicode::toUtf16(c.machine.toString(c.arg(2)).str());
                if (begin <= end) {
                    // The new text takes the format of what it replaces.
                    const TextFormat* f = t->document.formatAt(begin);
                    const TextFormat format = f != nullptr ? *f : t->newFormat;
                    t->document.replace(begin, end, text, format);
                    relayOut(s->player().catalog(), *t);
                }
            }
            return Value();
        },
        avm1::attr::DontEnum | (m.version() < 7 ? avm1::attr::Only7 : 0u));
    m.defineMethod(proto, "removeTextField", [s](CallArgs& c) {
        if (DisplayObject* o = s->displayOf(c.thisValue); o != nullptr && o->text) {
            s->removeByScript(*o);
        }
        return Value();
    });
    m.defineMethod(proto, "getDepth", [s](CallArgs& c) {
        DisplayObject* o = s->displayOf(c.thisValue);
        return o != nullptr ? Value(static_cast<double>(o->depth)) : Value();
    });
    // Fields broadcast onChanged and onScroller to their listeners.
    if (avm1::Object* broadcaster = m.get(m.global(), "AsBroadcaster").asObject()) {
        const Value target(proto);
        m.callMethod(broadcaster, "initialize", std::span<const Value>(&target, 1));
    }
    installStyleSheetClass(stage, field);
}

} // namespace mc
