// flash.text.StyleSheet: styles kept as plain objects by lower-case selector, turned into
// TextFormat objects by transform; and TextField.styleSheet, which reads the field's markup
// with the formats the sheet's styles give when the markup (or the sheet) is assigned.
#include "avm2/NativeArgs.h"
#include "avm2/StyleSheets.h"

#include "Css.h"
#include "avm2/DisplayHost.h"
#include "avm2/Machine.h"
#include "avm2/TextFormats.h"

#include <cctype>
#include <utility>
#include <vector>

namespace avm2 {

namespace {

constexpr char kStyles[] = "styleSheet.styles";
constexpr char kFieldSheet[] = "textField.styleSheet";
constexpr char kFieldMarkup[] = "textField.styledMarkup";

// Values a built-in keeps with an object, out of the scripts' sight. Copied out, since a
// later store may move the others.
Value heldValue(const Value& self, const char* key) {
    if (self.isObject()) {
        for (const auto& [k, v] : self.asObject()->entries) {
            if (k.isString() && k.asString() == key) {
                return v;
            }
        }
    }
    return Value();
}

void holdValue(const Value& self, const char* key, Value value) {
    if (!self.isObject()) {
        return;
    }
    auto& entries = self.asObject()->entries;
    for (auto& [k, v] : entries) {
        if (k.isString() && k.asString() == key) {
            v = std::move(value);
            return;
        }
    }
    entries.emplace_back(Value::string(key), std::move(value));
}

std::string lowerCase(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

// The plain object holding the sheet's styles by selector, made on first use.
Object* stylesOf(Machine& m, const Value& sheet) {
    Value held = heldValue(sheet, kStyles);
    if (!held.isObject()) {
        held = Value::object(m.newObject());
        holdValue(sheet, kStyles, held);
    }
    return held.asObject();
}

// A style's enumerable properties, as a new plain object; null for what is no object.
Value copyOfStyle(Machine& m, const Value& style) {
    if (!style.isObject()) {
        return Value::null();
    }
    // Copied out first: making the copy may not move what is read.
    const Object* from = style.asObject();
    std::vector<std::pair<std::string, Value>> props;
    for (std::size_t i = 0; i < from->props.size(); ++i) {
        if (i >= from->dontEnum.size() || !from->dontEnum[i]) {
            props.push_back(from->props[i]);
        }
    }
    Object* copy = m.newObject();
    for (auto& [name, v] : props) {
        copy->setProp(name, std::move(v));
    }
    return Value::object(copy);
}

std::vector<std::string> styleNames(Machine& m, const Value& sheet) {
    std::vector<std::string> names;
    for (const auto& [name, v] : stylesOf(m, sheet)->props) {
        names.push_back(name);
    }
    return names;
}

Value getStyle(Machine& m, const Value& self, Args& a) {
    const std::string name = lowerCase(m.toString(arg(a, 0)));
    const Value* style = stylesOf(m, self)->findProp(name);
    const Value held = style != nullptr ? *style : Value::null();
    return copyOfStyle(m, held);
}

// A null style removes the selector.
Value setStyle(Machine& m, const Value& self, Args& a) {
    const std::string name = lowerCase(m.toString(arg(a, 0)));
    const Value copy = copyOfStyle(m, arg(a, 1));
    Object* styles = stylesOf(m, self);
    if (copy.isNull()) {
        styles->deleteProp(name);
    } else {
        styles->setProp(name, copy);
    }
    return Value();
}

Value clearStyles(Machine& m, const Value& self, Args&) {
    holdValue(self, kStyles, Value::object(m.newObject()));
    return Value();
}

Value styleNamesGet(Machine& m, const Value& self, Args&) {
    std::vector<Value> names;
    for (std::string& name : styleNames(m, self)) {
        names.push_back(Value::string(std::move(name)));
    }
    return Value::object(m.newArray(std::move(names)));
}

// Malformed text changes nothing; otherwise every rule sets its selector's style.
Value parseCss(Machine& m, const Value& self, Args& a) {
    const auto rules = mc::parseCss(m.toString(arg(a, 0)));
    if (!rules) {
        return Value();
    }
    for (const mc::CssRule& rule : *rules) {
        Object* style = m.newObject();
        for (const auto& [name, value] : rule.properties) {
            style->setProp(name, Value::string(value));
        }
        Args set{Value::string(rule.selector), Value::object(style)};
        setStyle(m, self, set);
    }
    return Value();
}

// transform(style): a TextFormat set as the style's CSS properties say, through the
// format's own setters (which check alignments and display words); null for no style.
Value transform(Machine& m, const Value&, Args& a) {
    const Value style = arg(a, 0);
    if (style.isNullish()) {
        return Value::null();
    }
    const auto property = [&](const char* name) -> std::optional<std::string> {
        const Value v = m.getProperty(style, Name::publicName(name));
        if (v.isNullish()) {
            return std::nullopt;
        }
        return m.toString(v);
    };
    const std::vector<mc::CssSetting> settings = mc::cssSettings(property);
    Args none;
    Value format =
        m.construct(Value::object(m.findClass("flash.text::TextFormat")->classObject), none);
    for (const mc::CssSetting& s : settings) {
        Value v;
        switch (s.kind) {
        case mc::CssSetting::Kind::Text:
            v = Value::string(s.text);
            break;
        case mc::CssSetting::Kind::Number:
            v = Value::number(s.number);
            break;
        case mc::CssSetting::Kind::Flag:
            v = Value::boolean(s.flag);
            break;
        }
        m.setProperty(format, Name::publicName(s.property), v);
    }
    return format;
}

NodeId nodeOf(const Value& self) {
    return self.isObject() ? self.asObject()->displayNode : 0;
}

// Reads the kept markup with what the sheet holds now.
void restyle(Machine& m, const Value& field, const std::string& markup) {
    const mc::StyleSheet styles = styleSheetOf(m, fieldStyleSheet(field));
    if (DisplayHost* host = m.host().display(); host != nullptr && nodeOf(field) != 0) {
        host->setStyledText(nodeOf(field), markup, styles);
    }
}

Value fieldSheetGet(Machine&, const Value& self, Args&) {
    const Value sheet = fieldStyleSheet(self);
    return sheet.isObject() ? sheet : Value::null();
}

// Assigning a sheet, even the one already set, styles the kept markup again with what the
// sheet holds now; removing it keeps the formats the text has.
Value fieldSheetSet(Machine& m, const Value& self, Args& a) {
    const Value sheet = m.coerce(arg(a, 0), m.findClass("flash.text::StyleSheet"));
    holdValue(self, kFieldSheet, sheet.isObject() ? sheet : Value::null());
    if (!sheet.isObject()) {
        holdValue(self, kFieldMarkup, Value());
        return Value();
    }
    if (const auto markup = fieldStyledMarkup(self)) {
        restyle(m, self, *markup);
    }
    return Value();
}

} // namespace

mc::StyleSheet styleSheetOf(Machine& m, const Value& sheet) {
    mc::StyleSheet out;
    if (!sheet.isObject()) {
        return out;
    }
    std::vector<std::pair<std::string, Value>> styles = stylesOf(m, sheet)->props;
    for (auto& [name, style] : styles) {
        Args args{style};
        const Value format = m.callProperty(sheet, Name::publicName("transform"), args);
        if (format.isObject()) {
            out.styles[lowerCase(name)] = partialFormatOf(m, format);
            out.displays[lowerCase(name)] =
                m.toString(m.getProperty(format, Name::publicName("display")));
        }
    }
    return out;
}

Value fieldStyleSheet(const Value& field) {
    return heldValue(field, kFieldSheet);
}

std::optional<std::string> fieldStyledMarkup(const Value& field) {
    const Value markup = heldValue(field, kFieldMarkup);
    if (!markup.isString() || !fieldStyleSheet(field).isObject()) {
        return std::nullopt;
    }
    return markup.asString();
}

void assignStyledText(Machine& m, const Value& field, const std::string& markup) {
    holdValue(field, kFieldMarkup, Value::string(markup));
    restyle(m, field, markup);
}

void installStyleSheet(Machine& m) {
    Class* sheet =
        m.defineClass("flash.text", "StyleSheet", m.findClass("flash.events::EventDispatcher"));
    sheet->sealed = false;
    m.defineMethod(sheet, "getStyle", getStyle);
    m.defineMethod(sheet, "setStyle", setStyle);
    m.defineMethod(sheet, "clear", clearStyles);
    m.defineGetter(sheet, "styleNames", styleNamesGet);
    m.defineMethod(sheet, "parseCSS", parseCss);
    m.defineMethod(sheet, "transform", transform);

    if (Class* field = m.findClass("flash.text::TextField")) {
        m.defineGetter(field, "styleSheet", fieldSheetGet);
        m.defineSetter(field, "styleSheet", fieldSheetSet);
    }
}

} // namespace avm2
