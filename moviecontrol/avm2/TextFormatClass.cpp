// flash.text.TextFormat, and the TextField parts that take one: defaultTextFormat and
// setTextFormat. A format's properties are null until set (null means "leave as it is"
// when applied); numbers keep Flash's types (whole numbers for sizes and margins), align is
// checked against the accepted words.
#include "avm2/DisplayHost.h"
#include "avm2/Machine.h"
#include "unicode/Utf16Text.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

namespace avm2 {

namespace {

enum class Kind : std::uint8_t { Text, Whole, Number, Color, Flag, List };

struct Property {
    const char* name;
    Kind kind;
};

// In the constructor's argument order first, then the rest.
constexpr std::array<Property, 19> kProperties = {{
    {"font", Kind::Text},        {"size", Kind::Whole},           {"color", Kind::Color},
    {"bold", Kind::Flag},        {"italic", Kind::Flag},          {"underline", Kind::Flag},
    {"url", Kind::Text},         {"target", Kind::Text},          {"align", Kind::Text},
    {"leftMargin", Kind::Whole}, {"rightMargin", Kind::Whole},    {"indent", Kind::Whole},
    {"leading", Kind::Whole},    {"blockIndent", Kind::Whole},    {"bullet", Kind::Flag},
    {"kerning", Kind::Flag},     {"letterSpacing", Kind::Number}, {"tabStops", Kind::List},
    {"display", Kind::Text},
}};
constexpr std::size_t kConstructorArgs = 13;

std::size_t indexOf(std::string_view name) {
    for (std::size_t i = 0; i < kProperties.size(); ++i) {
        if (name == kProperties[i].name) {
            return i;
        }
    }
    return kProperties.size();
}

Value* slotOf(Machine& m, const Value& self, std::size_t i) {
    if (!self.isObject()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    Object* o = self.asObject();
    const char* key = kProperties[i].name;
    for (auto& [k, v] : o->entries) {
        if (k.isString() && k.asString() == key) {
            return &v;
        }
    }
    o->entries.emplace_back(Value::string(key), std::string_view(key) == "display"
                                                    ? Value::string("block")
                                                    : Value::null());
    return &o->entries.back().second;
}

bool acceptedAlign(const std::string& v) {
    for (const char* word : {"left", "right", "center", "justify", "start", "end"}) {
        if (v == word) {
            return true;
        }
    }
    return false;
}

Value converted(Machine& m, std::size_t i, const Value& v) {
    if (v.isNullish()) {
        return Value::null();
    }
    switch (kProperties[i].kind) {
    case Kind::Text: {
        std::string text = m.toString(v);
        if (std::string_view(kProperties[i].name) == "align" && !acceptedAlign(text)) {
            m.throwError("ArgumentError", 2008,
                         "Parameter align must be one of the accepted values.");
        }
        return Value::string(std::move(text));
    }
    case Kind::Whole:
        return Value::integer(toInt32(m.toNumber(v)));
    case Kind::Number:
        return Value::number(m.toNumber(v));
    case Kind::Color:
        return Value::unsignedInt(toUint32(m.toNumber(v)));
    case Kind::Flag:
        return Value::boolean(Machine::toBoolean(v));
    case Kind::List: {
        std::vector<Value> copy;
        if (v.isObject()) {
            for (const Value& e : v.asObject()->elements) {
                copy.push_back(Value::integer(toInt32(m.toNumber(e))));
            }
        }
        return Value::object(m.newArray(std::move(copy)));
    }
    }
    return Value::null();
}

template <std::size_t I> Value propertyGet(Machine& m, const Value& self, Args&) {
    Value v = *slotOf(m, self, I);
    if (kProperties[I].kind == Kind::List && v.isObject()) {
        return Value::object(m.newArray(v.asObject()->elements));
    }
    return v;
}

template <std::size_t I> Value propertySet(Machine& m, const Value& self, Args& a) {
    *slotOf(m, self, I) = converted(m, I, a.empty() ? Value() : a[0]);
    return Value();
}

template <std::size_t... I> void defineProperties(Machine& m, Class* c, std::index_sequence<I...>) {
    (m.defineGetter(c, kProperties[I].name, propertyGet<I>), ...);
    (m.defineSetter(c, kProperties[I].name, propertySet<I>), ...);
}

Value textFormatInit(Machine& m, const Value& self, Args& a) {
    for (std::size_t i = 0; i < kConstructorArgs && i < a.size(); ++i) {
        *slotOf(m, self, i) = converted(m, i, a[i]);
    }
    return Value();
}

Value newFormat(Machine& m) {
    Args none;
    return m.construct(Value::object(m.findClass("flash.text::TextFormat")->classObject), none);
}

// A copy holding every property of `from` that is set.
Value copyOf(Machine& m, const Value& from) {
    Value copy = newFormat(m);
    for (std::size_t i = 0; i < kProperties.size(); ++i) {
        *slotOf(m, copy, i) = *slotOf(m, from, i);
    }
    return copy;
}

// A new text field's format, as Flash gives it.
Value fieldDefaults(Machine& m) {
    Value f = newFormat(m);
    const std::pair<const char*, Value> defaults[] = {
        {"font", Value::string("Times New Roman")},
        {"size", Value::integer(12)},
        {"color", Value::unsignedInt(0)},
        {"bold", Value::boolean(false)},
        {"italic", Value::boolean(false)},
        {"underline", Value::boolean(false)},
        {"url", Value::string("")},
        {"target", Value::string("")},
        {"align", Value::string("left")},
        {"leftMargin", Value::integer(0)},
        {"rightMargin", Value::integer(0)},
        {"indent", Value::integer(0)},
        {"leading", Value::integer(0)},
        {"blockIndent", Value::integer(0)},
        {"bullet", Value::boolean(false)},
        {"kerning", Value::boolean(false)},
        {"letterSpacing", Value::number(0)},
        {"tabStops", Value::object(m.newArray())},
    };
    for (const auto& [name, v] : defaults) {
        *slotOf(m, f, indexOf(name)) = v;
    }
    return f;
}

constexpr char kDefaultFormat[] = "text.defaultTextFormat";

Value* keptFormat(Machine& m, const Value& field) {
    if (!field.isObject()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    for (auto& [k, v] : field.asObject()->entries) {
        if (k.isString() && k.asString() == kDefaultFormat) {
            return &v;
        }
    }
    field.asObject()->entries.emplace_back(Value::string(kDefaultFormat), fieldDefaults(m));
    return &field.asObject()->entries.back().second;
}

Object* formatArg(Machine& m, const Args& a) {
    const Value v = a.empty() ? Value() : a[0];
    Class* cls = m.findClass("flash.text::TextFormat");
    if (v.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter format must be non-null.");
    }
    m.coerce(v, cls);
    return v.asObject();
}

// defaultTextFormat: the properties set in the new format replace the field's; those left
// null keep what the field had.
Value defaultFormatSet(Machine& m, const Value& self, Args& a) {
    const Value given = Value::object(formatArg(m, a));
    Value* kept = keptFormat(m, self);
    for (std::size_t i = 0; i < kProperties.size(); ++i) {
        const Value v = *slotOf(m, given, i);
        if (!v.isNull()) {
            *slotOf(m, *kept, i) = v;
        }
    }
    return Value();
}

std::string escapedAttribute(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string escapedText(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// setTextFormat over the whole text: the field's text again as html wrapped in the
// format's tags, which the text model reads as Flash's html. A range that is only part of
// the text is checked but changes nothing yet.
Value setTextFormat(Machine& m, const Value& self, Args& a) {
    const Value format = Value::object(formatArg(m, a));
    DisplayHost* host = m.host().display();
    const NodeId node = self.isObject() ? self.asObject()->displayNode : 0;
    const std::string plain = host != nullptr && node != 0 ? host->text(node, false) : "";
    const double length = static_cast<double>(unicode::toUtf16(plain).size());
    const double begin = a.size() > 1 ? m.toNumber(a[1]) : -1;
    const double end = a.size() > 2 ? m.toNumber(a[2]) : -1;
    if (begin > length || end > length || (end >= 0 && begin > end)) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    const bool whole = (begin <= 0) && (end < 0 || end >= length);
    if (host == nullptr || node == 0 || !whole || plain.empty()) {
        return Value();
    }
    std::string open, close;
    auto value = [&](const char* name) { return *slotOf(m, format, indexOf(name)); };
    std::string font;
    if (!value("font").isNull()) {
        font += " FACE=\"" + escapedAttribute(m.toString(value("font"))) + "\"";
    }
    if (!value("size").isNull()) {
        font += " SIZE=\"" + m.toString(value("size")) + "\"";
    }
    if (!value("color").isNull()) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%06X", toUint32(m.toNumber(value("color"))) & 0xFFFFFF);
        font += std::string(" COLOR=\"") + hex + "\"";
    }
    if (!value("align").isNull()) {
        open += "<P ALIGN=\"" + escapedAttribute(m.toString(value("align"))) + "\">";
        close = "</P>" + close;
    }
    if (!font.empty()) {
        open += "<FONT" + font + ">";
        close = "</FONT>" + close;
    }
    for (const auto& [name, tag] :
         {std::pair{"bold", "B"}, std::pair{"italic", "I"}, std::pair{"underline", "U"}}) {
        if (Machine::toBoolean(value(name))) {
            open += std::string("<") + tag + ">";
            close.insert(0, std::string("</").append(tag).append(">"));
        }
    }
    bool anySet = !open.empty();
    for (const char* name : {"bold", "italic", "underline"}) {
        anySet = anySet || !value(name).isNull();
    }
    if (!anySet) {
        return Value();
    }
    std::string body;
    for (char c : escapedText(plain)) {
        body += c == '\r' ? std::string(close + open) : std::string(1, c);
    }
    host->setText(node, open + body + close, true);
    return Value();
}

} // namespace

void installTextFormat(Machine& m) {
    Class* format = m.defineClass("flash.text", "TextFormat", m.objectClass, textFormatInit);
    format->sealed = true;
    defineProperties(m, format, std::make_index_sequence<kProperties.size()>{});

    Class* align = m.defineClass("flash.text", "TextFormatAlign", m.objectClass);
    for (const auto& [name, v] :
         {std::pair{"LEFT", "left"}, std::pair{"RIGHT", "right"}, std::pair{"CENTER", "center"},
          std::pair{"JUSTIFY", "justify"}, std::pair{"START", "start"}, std::pair{"END", "end"}}) {
        align->classObject->setProp(name, Value::string(v));
        align->classObject->dontEnum.back() = true;
    }

    if (Class* field = m.findClass("flash.text::TextField")) {
        m.defineGetter(field, "defaultTextFormat", [](Machine& mm, const Value& self, Args&) {
            return copyOf(mm, *keptFormat(mm, self));
        });
        m.defineSetter(field, "defaultTextFormat", defaultFormatSet);
        m.defineMethod(field, "setTextFormat", setTextFormat);
    }
}

} // namespace avm2
