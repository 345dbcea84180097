#include "TextFieldProperties.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <span>

#include "StageObject.h"
#include "StageScripts.h"
#include "StyledText.h"
#include "TabIndex.h"
#include "TextFieldState.h"
#include "TextMetrics.h"
#include "avm1/Convert.h"
#include "avm1/Function.h"
#include "avm1/Packages.h"
#include "unicode/Utf16Text.h"

namespace mc {

namespace {

using avm1::Value;

bool is(std::string_view name, std::string_view wanted) {
    return avm1::equalsFolded(name, wanted);
}

std::uint32_t rgbOf(const swf::Rgba& c) {
    return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}

swf::Rgba rgbaOf(double value) {
    const auto v =
        std::isfinite(value)
            ? static_cast<std::uint32_t>(static_cast<std::int64_t>(std::fmod(value, 4294967296.0)))
            : 0u;
    return swf::Rgba{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                     static_cast<std::uint8_t>(v), 255};
}

// The properties in the order players enumerate them; the last five came with version 8.
constexpr std::array<std::string_view, 35> kNames = {"styleSheet",
                                                     "mouseWheelEnabled",
                                                     "condenseWhite",
                                                     "restrict",
                                                     "textHeight",
                                                     "textWidth",
                                                     "bottomScroll",
                                                     "length",
                                                     "selectable",
                                                     "multiline",
                                                     "password",
                                                     "wordWrap",
                                                     "background",
                                                     "border",
                                                     "html",
                                                     "embedFonts",
                                                     "maxChars",
                                                     "maxhscroll",
                                                     "hscroll",
                                                     "variable",
                                                     "htmlText",
                                                     "type",
                                                     "text",
                                                     "autoSize",
                                                     "tabIndex",
                                                     "textColor",
                                                     "backgroundColor",
                                                     "borderColor",
                                                     "maxscroll",
                                                     "scroll",
                                                     "filters",
                                                     "sharpness",
                                                     "thickness",
                                                     "antiAliasType",
                                                     "gridFitType"};
constexpr std::size_t kLaterNames = 5;

// The line a script scrolls to: whole (cut toward zero); NaN, a negative number or one so
// large that the player's position overflows (from about 7.671e14 on) go to the first line.
double scrollLine(double n) {
    constexpr double kOverflow = 767100486418433.0;
    return std::isnan(n) || n < 0 || n >= kOverflow ? 1.0 : std::trunc(n);
}

} // namespace

bool readFieldProperty(StageScripts& stage, StageObject& object, DisplayObject& o,
                       std::string_view n, Value& out) {
    avm1::Machine& m = stage.machine();
    TextFieldState& t = *o.text;
    if (is(n, "text")) {
        out = Value(m.str(t.plainText()));
    } else if (is(n, "htmlText")) {
        out = Value(m.str(fieldHtmlText(object, t)));
    } else if (is(n, "html")) {
        out = Value(t.field.html);
    } else if (is(n, "textColor")) {
        // The colour new text takes: setTextFormat over the text leaves it as it was.
        out = Value(static_cast<double>(t.newFormat.color));
    } else if (is(n, "autoSize")) {
        out = Value(m.str(t.autoSize));
    } else if (is(n, "variable")) {
        out = t.field.variableName.empty() ? Value::null() : Value(m.str(t.field.variableName));
    } else if (is(n, "border")) {
        out = Value(t.field.border);
    } else if (is(n, "background")) {
        out = Value(t.background);
    } else if (is(n, "backgroundColor")) {
        out = Value(static_cast<double>(rgbOf(t.backgroundColor)));
    } else if (is(n, "borderColor")) {
        out = Value(static_cast<double>(rgbOf(t.borderColor)));
    } else if (is(n, "multiline")) {
        out = Value(t.field.multiline);
    } else if (is(n, "wordWrap")) {
        out = Value(t.field.wordWrap);
    } else if (is(n, "selectable")) {
        out = Value(!t.field.noSelect);
    } else if (is(n, "password")) {
        out = Value(t.field.password);
    } else if (is(n, "embedFonts")) {
        out = Value(t.field.useOutlines);
    } else if (is(n, "type")) {
        out = Value(m.str(t.field.readOnly ? "dynamic" : "input"));
    } else if (is(n, "maxChars")) {
        const std::int32_t most = t.maxChars.value_or(t.field.maxLength.value_or(0));
        out = most != 0 ? Value(static_cast<double>(most)) : Value::null();
    } else if (is(n, "length")) {
        out = Value(static_cast<double>(t.document.size()));
    } else if (is(n, "condenseWhite")) {
        out = Value(t.condenseWhite);
    } else if (is(n, "mouseWheelEnabled")) {
        out = Value(t.mouseWheelEnabled);
    } else if (is(n, "restrict")) {
        out = t.restrict ? Value(m.str(*t.restrict)) : Value::null();
    } else if (is(n, "tabIndex")) {
        out = t.tabIndex ? Value(*t.tabIndex) : Value();
    } else if (is(n, "textWidth") || is(n, "textHeight")) {
        const TextExtent e = measureField(stage.player().catalog(), t);
        out = Value(std::floor((is(n, "textWidth") ? e.width : e.height) / 20.0));
    } else if (is(n, "scroll") || is(n, "hscroll")) {
        clampScroll(stage.player().catalog(), t);
        out = Value(is(n, "scroll") ? static_cast<double>(t.scroll) : t.hscroll);
    } else if (is(n, "maxscroll") || is(n, "maxhscroll") || is(n, "bottomScroll")) {
        const ScrollLimits limits = scrollLimits(stage.player().catalog(), t);
        out = is(n, "maxscroll")    ? Value(static_cast<double>(limits.maxScroll))
              : is(n, "maxhscroll") ? Value(limits.maxHScroll)
                                    : Value(static_cast<double>(bottomScroll(
                                          limits, std::min(t.scroll, limits.maxScroll))));
    } else if (is(n, "styleSheet")) {
        out = object.styleSheet != nullptr ? Value(object.styleSheet) : Value();
    } else if (m.version() >= 8 && is(n, "sharpness")) {
        out = Value(t.sharpness);
    } else if (m.version() >= 8 && is(n, "thickness")) {
        out = Value(t.thickness);
    } else if (m.version() >= 8 && is(n, "antiAliasType")) {
        out = Value(m.str(t.antiAliasType));
    } else if (m.version() >= 8 && is(n, "gridFitType")) {
        out = Value(m.str(t.gridFitType));
    } else {
        return false;
    }
    return true;
}

namespace {

// The glyph settings are kept as single-precision numbers, NaN and infinities included.
double singlePrecision(double v) {
    if (std::isnan(v)) {
        return v;
    }
    constexpr double kMost = std::numeric_limits<float>::max();
    if (std::fabs(v) > kMost) {
        // Past the largest float, rounding goes to it up to half its last step, then to
        // infinity.
        const double halfStep = std::ldexp(1.0, 103);
        return std::fabs(v) < kMost + halfStep ? std::copysign(kMost, v)
                                               : std::copysign(HUGE_VAL, v);
    }
    return static_cast<double>(static_cast<float>(v));
}

} // namespace

bool writeFieldProperty(StageScripts& stage, StageObject& object, DisplayObject& o,
                        std::string_view n, const Value& value) {
    avm1::Machine& m = stage.machine();
    TextFieldState& t = *o.text;
    if (is(n, "text") || is(n, "htmlText")) {
        assignFieldText(stage, object, t, m.toString(value).str(), is(n, "htmlText"));
        // A text set anew is shown from its first line.
        t.scroll = 1;
        stage.fieldEdited(o);
    } else if (is(n, "html")) {
        t.field.html = m.toBoolean(value);
    } else if (is(n, "textColor")) {
        PartialFormat color;
        color.color = rgbOf(rgbaOf(m.toNumber(value)));
        t.document.apply(0, t.document.size(), color);
        t.newFormat.color = *color.color;
    } else if (is(n, "autoSize")) {
        if (value.isBool()) {
            t.autoSize = value.asBool() ? "left" : "none";
        } else {
            // The names are matched without regard to case; anything else turns it off.
            const std::string a = m.toString(value).str();
            t.autoSize = "none";
            for (const char* known : {"left", "center", "right"}) {
                if (avm1::equalsFolded(a, known)) {
                    t.autoSize = known;
                }
            }
        }
    } else if (is(n, "variable")) {
        t.field.variableName = value.isNullish() ? std::string() : m.toString(value).str();
        t.boundValue.clear();
        stage.fieldBound(o);
    } else if (is(n, "border")) {
        t.field.border = m.toBoolean(value);
    } else if (is(n, "background")) {
        t.background = m.toBoolean(value);
    } else if (is(n, "backgroundColor")) {
        t.backgroundColor = rgbaOf(m.toNumber(value));
    } else if (is(n, "borderColor")) {
        t.borderColor = rgbaOf(m.toNumber(value));
    } else if (is(n, "multiline")) {
        t.field.multiline = m.toBoolean(value);
    } else if (is(n, "wordWrap")) {
        t.field.wordWrap = m.toBoolean(value);
    } else if (is(n, "selectable")) {
        t.field.noSelect = !m.toBoolean(value);
    } else if (is(n, "password")) {
        t.field.password = m.toBoolean(value);
    } else if (is(n, "embedFonts")) {
        t.field.useOutlines = m.toBoolean(value);
    } else if (is(n, "type")) {
        const std::string type = m.toString(value).str();
        if (avm1::equalsFolded(type, "input")) {
            t.field.readOnly = false;
        } else if (avm1::equalsFolded(type, "dynamic")) {
            t.field.readOnly = true;
        }
    } else if (is(n, "maxChars")) {
        // Read back as the 32-bit whole number it converts to; only a positive one limits
        // what is typed.
        const std::int32_t most = avm1::toInt32(m.toNumber(value));
        t.maxChars = most;
        t.field.maxLength =
            most > 0 ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(
                           std::min<std::int32_t>(most, std::numeric_limits<std::uint16_t>::max())))
                     : std::nullopt;
    } else if (is(n, "condenseWhite")) {
        t.condenseWhite = m.toBoolean(value);
    } else if (is(n, "mouseWheelEnabled")) {
        t.mouseWheelEnabled = m.toBoolean(value);
    } else if (is(n, "restrict")) {
        // An empty list restricts nothing, as null does.
        std::string allowed = value.isNullish() ? std::string() : m.toString(value).str();
        t.restrict = allowed.empty() ? std::nullopt : std::optional(std::move(allowed));
    } else if (is(n, "tabIndex")) {
        t.tabIndex = tabIndexOfField(value.isNullish(), m.toNumber(value));
    } else if (is(n, "styleSheet")) {
        assignStyleSheet(stage, object, t, value.asObject());
    } else if (m.version() >= 8 && is(n, "sharpness")) {
        t.sharpness = singlePrecision(m.toNumber(value));
    } else if (m.version() >= 8 && is(n, "thickness")) {
        t.thickness = singlePrecision(m.toNumber(value));
    } else if (m.version() >= 8 && is(n, "antiAliasType")) {
        const std::string a = m.toString(value).str();
        if (a == "normal" || a == "advanced") {
            t.antiAliasType = a;
        }
    } else if (m.version() >= 8 && is(n, "gridFitType")) {
        const std::string g = m.toString(value).str();
        if (g == "none" || g == "pixel" || g == "subpixel") {
            t.gridFitType = g;
        }
    } else if (is(n, "scroll") || is(n, "hscroll")) {
        const ScrollLimits limits = scrollLimits(stage.player().catalog(), t);
        const double v = m.toNumber(value);
        if (is(n, "scroll")) {
            t.scroll = static_cast<std::size_t>(
                std::clamp(scrollLine(v), 1.0, static_cast<double>(limits.maxScroll)));
        } else {
            // Pixels as a 32-bit whole number: NaN and infinities are 0.
            t.hscroll = std::clamp(static_cast<double>(avm1::toInt32(v)), 0.0, limits.maxHScroll);
        }
    } else if (is(n, "length") || is(n, "textWidth") || is(n, "textHeight") ||
               is(n, "bottomScroll") || is(n, "maxscroll") || is(n, "maxhscroll")) {
        // read-only, or held at what the text allows
    } else {
        return false;
    }
    relayOut(stage.player().catalog(), t);
    return true;
}

void defineFieldAccessors(StageScripts& stage, avm1::Object* prototype) {
    avm1::Machine& m = stage.machine();
    StageScripts* s = &stage;
    // Added last first: enumeration gives the most recent first.
    for (std::size_t i = kNames.size(); i-- > 0;) {
        const std::string name(kNames[i]);
        if (i >= kNames.size() - kLaterNames && m.version() < 8) {
            // Not there yet: the name holds an ordinary empty value.
            m.define(prototype, name, Value(), 0);
            continue;
        }
        if (name == "filters") {
            // Shared with every display object: a field answers it itself, as clips do, and
            // the prototype holds only its place in the list.
            const auto nothing = [](avm1::CallArgs&) { return Value(); };
            avm1::defineAccessor(m, prototype, name, nothing, nothing, 0);
            continue;
        }
        avm1::FunctionObject* getter = m.newFunction([s, name](avm1::CallArgs& c) {
            avm1::Object* self = c.thisObject();
            DisplayObject* o = s->displayOf(c.thisValue);
            Value out;
            if (o != nullptr && o->text && self != nullptr && self->isDisplayObject()) {
                readFieldProperty(*s, static_cast<StageObject&>(*self), *o, name, out);
            }
            return out;
        });
        avm1::FunctionObject* setter = m.newFunction([s, name](avm1::CallArgs& c) {
            avm1::Object* self = c.thisObject();
            DisplayObject* o = s->displayOf(c.thisValue);
            if (o != nullptr && o->text && self != nullptr && self->isDisplayObject()) {
                writeFieldProperty(*s, static_cast<StageObject&>(*self), *o, name, c.arg(0));
            }
            return Value();
        });
        avm1::Property& p = prototype->properties().add(
            avm1::Property{m.str(name), Value(), 0, nullptr, nullptr}, m.caseSensitive());
        p.getter = getter;
        p.setter = setter;
    }
}

void listenToItself(avm1::Machine& m, StageObject& field) {
    const Value self(static_cast<avm1::Object*>(&field));
    m.define(&field, "_listeners", Value(m.newArray(std::span<const Value>(&self, 1))),
             avm1::attr::DontEnum);
}

void broadcastFieldChanged(avm1::Machine& m, StageObject& field) {
    const Value args[] = {Value(m.str("onChanged")), Value(static_cast<avm1::Object*>(&field))};
    if (m.get(&field, "broadcastMessage").asObject() != nullptr) {
        m.callMethod(&field, "broadcastMessage", args);
    } else {
        // A script took the broadcaster away: the field's own handler still hears it.
        m.callMethod(&field, "onChanged", std::span<const Value>(args + 1, 1));
    }
}

} // namespace mc
