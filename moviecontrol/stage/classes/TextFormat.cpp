// TextFormat: a text's font, size, colour and paragraph settings as scripts build them,
// and the room a text takes in them. Each setting is a getter/setter pair on the prototype
// over what the object keeps, so a value is converted as it is set (numbers to whole
// numbers, flags to booleans) and reads back converted, as in Flash.
#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "StageScripts.h"
#include "TextFormatObject.h"
#include "TextFormatValues.h"
#include "TextMetrics.h"
#include "avm1/Function.h"
#include "avm1/Packages.h"
#include "unicode/Utf16Text.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

// The constructor's parameters, in order.
constexpr const char* kConstructorFields[] = {
    "font",   "size",  "color",      "bold",        "italic", "underline", "url",
    "target", "align", "leftMargin", "rightMargin", "indent", "leading"};

// What one TextFormat object holds; null where it says nothing.
struct TextFormatState : avm1::NativeState {
    TextFormatState() { fields.fill(Value::null()); }
    std::array<Value, kTextFormatFieldCount> fields;
    // Kept as numbers: the array a script gives is read once, when it is set.
    std::optional<std::vector<double>> tabStops;
    std::string display = "block";
};

TextFormatState* stateOf(const CallArgs& c) {
    avm1::Object* self = c.thisObject();
    return self != nullptr ? dynamic_cast<TextFormatState*>(self->nativeState()) : nullptr;
}

// The value a field takes when a script sets it to `v`.
Value converted(avm1::Machine& m, TextFormatField field, const Value& v, const Value& old) {
    const TextFormatRule rule = textFormatRule(field);
    if (v.isNullish()) {
        return rule.kind == TextFormatRule::Alignment ? old : Value::null();
    }
    switch (rule.kind) {
    case TextFormatRule::Text:
        return Value(m.toString(v));
    case TextFormatRule::Flag:
        return Value(m.toBoolean(v));
    case TextFormatRule::Whole:
        return Value(textFormatWhole(m.toNumber(v), rule, m.version()));
    case TextFormatRule::Color:
        return Value(textFormatColor(m.toNumber(v)));
    case TextFormatRule::Number:
        return Value(m.toNumber(v));
    case TextFormatRule::Alignment: {
        const std::string a = textFormatAlignment(m.toString(v).str());
        return a.empty() ? old : Value(m.str(a));
    }
    }
    return old;
}

// A paragraph is shown inline or not at all only when named so exactly; any other value, null
// and undefined included, shows it as a block.
std::string textFormatDisplay(avm1::Machine& m, const Value& v) {
    if (v.isNullish()) {
        return "block";
    }
    const std::string name = m.toString(v).str();
    return name == "inline" || name == "none" ? name : "block";
}

std::vector<double> tabStopsOf(avm1::Machine& m, avm1::Object* array) {
    std::vector<double> stops;
    const double length = m.toNumber(m.get(array, "length"));
    for (double i = 0; std::isfinite(length) && i < length && i < 1000; ++i) {
        const double s = m.toNumber(m.get(array, avm1::Machine::numberToString(i)));
        stops.push_back(textFormatWhole(s, {TextFormatRule::Whole}, m.version()));
    }
    return stops;
}

// The settings in the order Flash defines them on the prototype; they are enumerable, so
// for..in over a TextFormat lists them (newest first).
constexpr std::string_view kDefinitionOrder[] = {
    "font",      "size",   "color",      "url",         "target",       "bold",    "italic",
    "underline", "align",  "leftMargin", "rightMargin", "indent",       "leading", "blockIndent",
    "tabStops",  "bullet", "display",    "kerning",     "letterSpacing"};

void defineField(avm1::Machine& m, avm1::Object* proto, TextFormatField field) {
    const auto i = static_cast<std::size_t>(field);
    avm1::defineAccessor(
        m, proto, textFormatFieldName(field),
        [i](CallArgs& c) -> Value {
            const TextFormatState* s = stateOf(c);
            return s != nullptr ? s->fields.at(i) : Value();
        },
        [i, field](CallArgs& c) -> Value {
            if (TextFormatState* s = stateOf(c)) {
                s->fields.at(i) = converted(c.machine, field, c.arg(0), s->fields.at(i));
            }
            return Value();
        },
        0);
}

void defineTabStops(avm1::Machine& m, avm1::Object* proto) {
    avm1::defineAccessor(
        m, proto, "tabStops",
        [](CallArgs& c) -> Value {
            const TextFormatState* s = stateOf(c);
            if (s == nullptr || !s->tabStops) {
                return s != nullptr ? Value::null() : Value();
            }
            std::vector<Value> values(s->tabStops->begin(), s->tabStops->end());
            return Value(c.machine.newArray(values));
        },
        [](CallArgs& c) -> Value {
            if (TextFormatState* s = stateOf(c)) {
                avm1::Object* array = c.arg(0).asObject();
                if (array != nullptr) {
                    s->tabStops = tabStopsOf(c.machine, array);
                } else if (c.arg(0).isNullish()) {
                    s->tabStops.reset();
                }
            }
            return Value();
        },
        0);
}

void defineDisplay(avm1::Machine& m, avm1::Object* proto) {
    avm1::defineAccessor(
        m, proto, "display",
        [](CallArgs& c) -> Value {
            const TextFormatState* s = stateOf(c);
            return s != nullptr ? Value(c.machine.str(s->display)) : Value();
        },
        [](CallArgs& c) -> Value {
            if (TextFormatState* s = stateOf(c)) {
                s->display = textFormatDisplay(c.machine, c.arg(0));
            }
            return Value();
        },
        0);
}

void defineSettings(avm1::Machine& m, avm1::Object* proto) {
    for (std::string_view name : kDefinitionOrder) {
        if (name == "tabStops") {
            defineTabStops(m, proto);
        } else if (name == "display") {
            defineDisplay(m, proto);
        } else {
            for (std::size_t i = 0; i < kTextFormatFieldCount; ++i) {
                const auto field = static_cast<TextFormatField>(i);
                if (textFormatFieldName(field) == name) {
                    defineField(m, proto, field);
                }
            }
        }
    }
}

// The room a text takes in this format; with a width, as a word-wrapped field that wide.
Value textExtent(StageScripts& stage, CallArgs& c) {
    avm1::Machine& m = c.machine;
    if (c.count() < 1 || c.thisObject() == nullptr) {
        return Value();
    }
    TextFormat f;
    partialFormatOf(m, c.thisObject()).applyTo(f);
    TextDocument doc;
    doc.append(unicode::toUtf16(m.toString(c.arg(0)).str()), f);
    const double wrap = c.count() > 1 ? m.toNumber(c.arg(1)) * 20.0 : 0.0;
    const bool wrapped = std::isfinite(wrap) && wrap > 0;
    const TextExtent e =
        measureText(stage.player().catalog(), doc, true, wrapped ? std::max(wrap - 80.0, 1.0) : 0);
    avm1::Object* out = m.newObject();
    const auto pixels = [](double twips) { return std::round(twips) / 20.0; };
    // The heights are whole pixels, cut: lines kept in twips add up to a fraction of one.
    const auto wholePixels = [](double twips) { return std::floor(twips / 20.0); };
    m.set(out, "width", Value(pixels(e.width)));
    m.set(out, "height", Value(wholePixels(e.height)));
    m.set(out, "ascent", Value(wholePixels(e.ascent)));
    m.set(out, "descent", Value(wholePixels(e.descent)));
    m.set(out, "textFieldWidth", Value(wrapped ? wrap / 20.0 : pixels(e.width) + 4));
    m.set(out, "textFieldHeight", Value(wholePixels(e.height) + 4));
    return Value(out);
}

// getTextExtent is each object's own method, not the prototype's.
struct ExtentMethod {
    avm1::Root method;
};

} // namespace

void installTextFormat(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    StageScripts* s = &stage;
    auto extent = std::make_shared<ExtentMethod>();
    extent->method =
        avm1::Root(m, m.newFunction([s](CallArgs& c) -> Value { return textExtent(*s, c); }));
    // new TextFormat(font, size, color, bold, italic, underline, url, target, align,
    // leftMargin, rightMargin, indent, leading): what is not given reads null.
    avm1::FunctionObject* format = m.newClass([extent](CallArgs& c) {
        avm1::Object* self = c.thisObject();
        if (self == nullptr || !c.constructing) {
            return Value();
        }
        avm1::Machine& m = c.machine;
        self->setNativeState(std::make_unique<TextFormatState>());
        m.define(self, "getTextExtent", Value(extent->method.get()), avm1::attr::DontEnum);
        std::size_t i = 0;
        for (const char* name : kConstructorFields) {
            const Value& v = c.arg(i++);
            if (v.isNullish()) {
                continue;
            }
            // Whole numbers given here are taken as 32-bit integers first, in every version.
            const bool whole =
                std::string_view(name) == "size" || std::string_view(name).ends_with("Margin") ||
                std::string_view(name) == "indent" || std::string_view(name) == "leading";
            m.set(self, name,
                  whole ? Value(static_cast<double>(textFormatInt32(m.toNumber(v)))) : v);
        }
        return Value();
    });
    m.define(m.global(), "TextFormat", Value(static_cast<avm1::Object*>(format)));
    defineSettings(m, m.get(format, "prototype").asObject());
    stage.keepAlive(extent);
}

} // namespace mc
