#include "StyleSheetClass.h"

#include <cctype>
#include <string_view>
#include <utility>

#include "StageScripts.h"
#include "TextFormatObject.h"
#include "avm1/Function.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A shallow copy of a style object: its enumerable properties, values as they are.
avm1::Object* copyOf(avm1::Machine& m, avm1::Object* style) {
    avm1::Object* copy = m.newObject();
    for (const avm1::Str& name : m.enumerate(style)) {
        m.set(copy, name, m.get(style, name));
    }
    return copy;
}

// The sheet keeps its styles in two arrays used as maps, ordinary properties of the sheet a
// for-in lists, as the players' own script class keeps them: _css by name as given, _styles
// as TextFormats.
avm1::Object* emptyStorage(avm1::Machine& m, avm1::Object* sheet, const char* name) {
    avm1::Object* made = m.newArray();
    m.set(sheet, name, Value(made));
    return made;
}

avm1::Object* storage(avm1::Machine& m, avm1::Object* sheet, const char* name) {
    avm1::Object* kept = m.get(sheet, name).asObject();
    return kept != nullptr ? kept : emptyStorage(m, sheet, name);
}

// The players' own transform: CSS properties to a TextFormat, each set as a script would set
// it. Only null and undefined give no format; any other value that is no object names no
// property and gives a format with nothing set.
Value transformStyle(avm1::Machine& m, const Value& style) {
    if (style.isNullish()) {
        return Value::null();
    }
    avm1::Object* o = style.asObject();
    const auto read = [&](const char* name) { return o != nullptr ? m.get(o, name) : Value(); };
    // Values keep the spaces CSS text had around them; they do not count here.
    const auto property = [&](const char* name) -> std::optional<std::string> {
        const Value v = read(name);
        if (v.isUndefined()) {
            return std::nullopt;
        }
        // Kerning is on for the text "true" or a number that is not zero: a boolean is
        // neither, as a script's comparison and parseInt read it.
        if (v.isBool() && std::string_view(name) == "kerning") {
            return std::string("false");
        }
        std::string s = m.toString(v).str();
        while (!s.empty() && isSpace(s.back())) {
            s.pop_back();
        }
        return s;
    };
    avm1::Object* format = textFormatObject(m, partialFormatOf(cssSettings(property)));
    if (format == nullptr) {
        return Value::null();
    }
    // Alignment and display go through the format's own setters: an alignment is matched
    // whatever its case, a display other than inline or none is a block.
    for (const auto& [css, to] :
         {std::pair{"textAlign", "align"}, std::pair{"display", "display"}}) {
        const Value v = read(css);
        if (!v.isUndefined() && m.toBoolean(v)) {
            m.set(format, to, v);
        }
    }
    return Value(format);
}

// Stores a copy of `style` under `name` and its transformed format beside it.
void setStyle(avm1::Machine& m, avm1::Object* sheet, const avm1::Str& name, const Value& style) {
    avm1::Object* css = storage(m, sheet, "_css");
    avm1::Object* styles = storage(m, sheet, "_styles");
    // Anything but an object stays known by name, as null.
    const Value copy =
        style.asObject() != nullptr ? Value(copyOf(m, style.asObject())) : Value::null();
    m.set(css, name, copy);
    const Value argument[] = {copy};
    const Value transformed = m.callMethod(sheet, "transform", argument);
    if (transformed.isNullish()) {
        m.deleteProperty(styles, name);
    } else {
        m.set(styles, name, transformed);
    }
}

} // namespace

StyleSheet styleSheetOf(avm1::Machine& m, avm1::Object* sheet) {
    StyleSheet out;
    if (sheet == nullptr) {
        return out;
    }
    avm1::Object* styles = m.get(sheet, "_styles").asObject();
    if (styles == nullptr) {
        return out;
    }
    for (const avm1::Str& name : m.enumerate(styles)) {
        std::string key = name.str();
        // Tags and classes match whatever their case.
        for (char& c : key) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        avm1::Object* format = m.get(styles, name).asObject();
        out.styles[key] = partialFormatOf(m, format);
        if (format != nullptr) {
            out.displays[key] = m.toString(m.get(format, "display")).str();
        }
    }
    return out;
}

void installStyleSheetClass(StageScripts& stage, avm1::Object* textField) {
    avm1::Machine& m = stage.machine();
    avm1::FunctionObject* sheet = m.newClass([](CallArgs&) { return Value(); });
    // Style sheets came with Flash Player 7: version 6 movies do not see the class.
    m.define(textField, "StyleSheet", Value(static_cast<avm1::Object*>(sheet)),
             avm1::attr::DontEnum | avm1::attr::Only7);
    avm1::Object* proto = m.get(sheet, "prototype").asObject();
    constexpr std::uint32_t kFixed =
        avm1::attr::DontEnum | avm1::attr::DontDelete | avm1::attr::ReadOnly;
    m.defineMethod(
        proto, "getStyle",
        [](CallArgs& c) -> Value {
            avm1::Machine& m = c.machine;
            avm1::Object* css =
                c.thisObject() != nullptr ? m.get(c.thisObject(), "_css").asObject() : nullptr;
            if (css == nullptr) {
                return Value::null();
            }
            avm1::Object* style = m.get(css, m.toString(c.arg(0))).asObject();
            return style != nullptr ? Value(copyOf(m, style)) : Value::null();
        },
        kFixed);
    m.defineMethod(
        proto, "setStyle",
        [](CallArgs& c) -> Value {
            if (c.thisObject() != nullptr) {
                setStyle(c.machine, c.thisObject(), c.machine.toString(c.arg(0)), c.arg(1));
            }
            return Value();
        },
        kFixed);
    m.defineMethod(
        proto, "clear",
        [](CallArgs& c) -> Value {
            if (avm1::Object* self = c.thisObject()) {
                emptyStorage(c.machine, self, "_styles");
                emptyStorage(c.machine, self, "_css");
            }
            return Value();
        },
        kFixed);
    m.defineMethod(
        proto, "getStyleNames",
        [](CallArgs& c) -> Value {
            avm1::Machine& m = c.machine;
            std::vector<Value> names;
            if (avm1::Object* css = c.thisObject() != nullptr
                                        ? m.get(c.thisObject(), "_css").asObject()
                                        : nullptr) {
                for (const avm1::Str& name : m.enumerate(css)) {
                    names.emplace_back(name);
                }
            }
            return Value(m.newArray(names));
        },
        kFixed);
    m.defineMethod(
        proto, "transform", [](CallArgs& c) { return transformStyle(c.machine, c.arg(0)); },
        kFixed);
    const auto parse = [](CallArgs& c) -> Value {
        avm1::Machine& m = c.machine;
        const auto rules = parseCss(m.toString(c.arg(0)).str());
        if (!rules || c.thisObject() == nullptr) {
            return Value(false);
        }
        for (const CssRule& rule : *rules) {
            avm1::Object* style = m.newObject();
            for (const auto& [name, value] : rule.properties) {
                m.set(style, name, Value(m.str(value)));
            }
            setStyle(m, c.thisObject(), m.str(rule.selector), Value(style));
        }
        return Value(true);
    };
    m.defineMethod(proto, "parseCSS", parse, kFixed);
    m.defineMethod(proto, "parse", parse, avm1::attr::DontEnum);
    // Loading style sheets from elsewhere is not offered: the request fails at once.
    m.defineMethod(
        proto, "load",
        [](CallArgs& c) -> Value {
            if (avm1::Object* self = c.thisObject()) {
                const Value failed[] = {Value(false)};
                c.machine.callMethod(self, "onLoad", failed);
            }
            return Value(false);
        },
        kFixed);
}

} // namespace mc
