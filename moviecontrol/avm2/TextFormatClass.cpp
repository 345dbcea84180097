// flash.text.TextFormat, and the TextField parts that take one: defaultTextFormat,
// getTextFormat and setTextFormat, which read and change the field's text model. A format's
// properties are null until set (null means "leave as it is" when applied); numbers keep
// Flash's types (whole numbers for sizes and margins), align is checked against the
// accepted words.
#include "avm2/HiddenFields.h"
#include "avm2/TextFormats.h"

#include "avm2/DisplayHost.h"
#include "avm2/Machine.h"
#include "avm2/StyleSheets.h"

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

Object* formatOf(Machine& m, const Value& self) {
    if (!self.isObject()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    return self.asObject();
}

// A property never set reads null, except display, which starts as "block".
Value propertyOf(Machine& m, const Value& self, std::size_t i) {
    const std::string_view key = kProperties[i].name;
    return hiddenField(formatOf(m, self), key,
                       key == "display" ? Value::string("block") : Value::null());
}

void setPropertyOf(Machine& m, const Value& self, std::size_t i, Value v) {
    setHiddenField(formatOf(m, self), kProperties[i].name, std::move(v));
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
        // Display words other than the three players know clear the property.
        if (std::string_view(kProperties[i].name) == "display" && text != "inline" &&
            text != "block" && text != "none") {
            return Value::null();
        }
        return Value::string(std::move(text));
    }
    case Kind::Whole: {
        // The player truncates to a machine integer: what has no such value (NaN, the
        // infinities) reads as the smallest one.
        const double n = m.toNumber(v);
        return Value::integer(std::isfinite(n) ? toInt32(n) : INT32_MIN);
    }
    case Kind::Number:
        return Value::number(m.toNumber(v));
    case Kind::Color:
        return Value::unsignedInt(toUint32(m.toNumber(v)));
    case Kind::Flag:
        return Value::boolean(Machine::toBoolean(v));
    case Kind::List: {
        // The setter's parameter is an Array: anything else is a coercion error.
        const Value list = m.coerce(v, m.arrayClass);
        std::vector<Value> copy;
        if (list.isObject()) {
            for (const Value& e : list.asObject()->elements) {
                copy.push_back(Value::integer(toInt32(m.toNumber(e))));
            }
        }
        return Value::object(m.newArray(std::move(copy)));
    }
    }
    return Value::null();
}

template <std::size_t I> Value propertyGet(Machine& m, const Value& self, Args&) {
    Value v = propertyOf(m, self, I);
    if (kProperties[I].kind == Kind::List && v.isObject()) {
        return Value::object(m.newArray(v.asObject()->elements));
    }
    return v;
}

template <std::size_t I> Value propertySet(Machine& m, const Value& self, Args& a) {
    setPropertyOf(m, self, I, converted(m, I, a.empty() ? Value() : a[0]));
    return Value();
}

template <std::size_t... I> void defineProperties(Machine& m, Class* c, std::index_sequence<I...>) {
    (m.defineGetter(c, kProperties[I].name, propertyGet<I>), ...);
    (m.defineSetter(c, kProperties[I].name, propertySet<I>), ...);
}

Value textFormatInit(Machine& m, const Value& self, Args& a) {
    for (std::size_t i = 0; i < kConstructorArgs && i < a.size(); ++i) {
        setPropertyOf(m, self, i, converted(m, i, a[i]));
    }
    return Value();
}

Value newFormat(Machine& m) {
    Args none;
    return m.construct(Value::object(m.findClass("flash.text::TextFormat")->classObject), none);
}

Value wholeOrNumber(double n) {
    if (std::isfinite(n) && n == std::trunc(n) && std::fabs(n) < 2147483648.0) {
        return Value::integer(static_cast<std::int32_t>(n));
    }
    return Value::number(n);
}

template <typename T, typename F>
void put(Machine& m, const Value& f, const char* name, const std::optional<T>& v, F make) {
    if (v) {
        setPropertyOf(m, f, indexOf(name), make(*v));
    }
}

} // namespace

Value textFormatObject(Machine& m, const mc::PartialFormat& p) {
    Value f = newFormat(m);
    auto text = [](const std::string& s) { return Value::string(s); };
    auto flag = [](bool b) { return Value::boolean(b); };
    put(m, f, "font", p.font, text);
    put(m, f, "size", p.size, wholeOrNumber);
    put(m, f, "color", p.color, [](std::uint32_t c) { return Value::unsignedInt(c); });
    put(m, f, "bold", p.bold, flag);
    put(m, f, "italic", p.italic, flag);
    put(m, f, "underline", p.underline, flag);
    put(m, f, "url", p.url, text);
    put(m, f, "target", p.target, text);
    put(m, f, "align", p.align, text);
    put(m, f, "leftMargin", p.leftMargin, wholeOrNumber);
    put(m, f, "rightMargin", p.rightMargin, wholeOrNumber);
    put(m, f, "indent", p.indent, wholeOrNumber);
    put(m, f, "leading", p.leading, wholeOrNumber);
    put(m, f, "blockIndent", p.blockIndent, wholeOrNumber);
    put(m, f, "bullet", p.bullet, flag);
    put(m, f, "kerning", p.kerning, flag);
    put(m, f, "letterSpacing", p.letterSpacing, [](double n) { return Value::number(n); });
    put(m, f, "tabStops", p.tabStops, [&m](const std::vector<double>& stops) {
        std::vector<Value> list;
        list.reserve(stops.size());
        for (double stop : stops) {
            list.push_back(wholeOrNumber(stop));
        }
        return Value::object(m.newArray(std::move(list)));
    });
    return f;
}

mc::PartialFormat partialFormatOf(Machine& m, const Value& format) {
    mc::PartialFormat p;
    auto slot = [&](const char* name) -> std::optional<Value> {
        Value v = propertyOf(m, format, indexOf(name));
        return v.isNullish() ? std::nullopt : std::optional<Value>(v);
    };
    // Numbers a model cannot draw with (NaN, infinities) leave the attribute as it is.
    auto number = [&](const char* name) -> std::optional<double> {
        auto v = slot(name);
        if (!v) {
            return std::nullopt;
        }
        const double n = m.toNumber(*v);
        return std::isfinite(n) ? std::optional<double>(n) : std::nullopt;
    };
    auto text = [&](const char* name) -> std::optional<std::string> {
        auto v = slot(name);
        return v ? std::optional<std::string>(m.toString(*v)) : std::nullopt;
    };
    auto flag = [&](const char* name) -> std::optional<bool> {
        auto v = slot(name);
        return v ? std::optional<bool>(Machine::toBoolean(*v)) : std::nullopt;
    };
    p.font = text("font");
    p.size = number("size");
    if (auto c = slot("color")) {
        p.color = toUint32(m.toNumber(*c)) & 0xFFFFFF;
    }
    p.bold = flag("bold");
    p.italic = flag("italic");
    p.underline = flag("underline");
    p.url = text("url");
    p.target = text("target");
    p.align = text("align");
    p.leftMargin = number("leftMargin");
    p.rightMargin = number("rightMargin");
    p.indent = number("indent");
    p.leading = number("leading");
    p.blockIndent = number("blockIndent");
    p.bullet = flag("bullet");
    p.kerning = flag("kerning");
    p.letterSpacing = number("letterSpacing");
    if (auto stops = slot("tabStops"); stops && stops->isObject()) {
        std::vector<double> list;
        for (const Value& e : stops->asObject()->elements) {
            const double n = m.toNumber(e);
            list.push_back(std::isfinite(n) ? n : 0.0);
        }
        p.tabStops = std::move(list);
    }
    return p;
}

Value textFormatArgument(Machine& m, const Value& v) {
    if (v.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter format must be non-null.");
    }
    return m.coerce(v, m.findClass("flash.text::TextFormat"));
}

namespace {

NodeId fieldNode(const Value& self) {
    return self.isObject() ? self.asObject()->displayNode : 0;
}

// The format text set by scripts takes; a field the host keeps no model for has Flash's
// defaults.
mc::TextFormat newTextFormat(Machine& m, const Value& self) {
    DisplayHost* host = m.host().display();
    const mc::TextFormat* f = host != nullptr ? host->textNewFormat(fieldNode(self)) : nullptr;
    return f != nullptr ? *f : mc::TextFormat{};
}

// defaultTextFormat: the attributes set in the new format replace the field's; those left
// null keep what the field had.
Value defaultFormatSet(Machine& m, const Value& self, Args& a) {
    const Value given = textFormatArgument(m, a.empty() ? Value() : a[0]);
    DisplayHost* host = m.host().display();
    if (mc::TextFormat* f = host != nullptr ? host->textNewFormat(fieldNode(self)) : nullptr) {
        partialFormatOf(m, given).applyTo(*f);
    }
    return Value();
}

// The range [begin, end) a format method names: no begin (-1) is the whole text, a begin
// without an end its one character; an empty or reversed range, or one past the text, is
// out of bounds.
struct Range {
    std::size_t begin = 0;
    std::size_t end = 0;
};

Range formatRange(Machine& m, const Args& a, std::size_t length, const char* method) {
    const double begin = a.size() > 0 ? m.toNumber(a[0]) : -1;
    const double end = a.size() > 1 ? m.toNumber(a[1]) : -1;
    const double b = begin == -1 ? 0 : begin;
    const double e = end != -1 ? end : begin == -1 ? static_cast<double>(length) : begin + 1;
    if (length == 0 && b == 0 && e == 0) {
        return {};
    }
    if (!(b >= 0) || !(e <= static_cast<double>(length)) || !(b < e)) {
        m.throwErrorIn(method, "RangeError", 2006, "The supplied index is out of bounds.", false);
    }
    return {static_cast<std::size_t>(b), static_cast<std::size_t>(e)};
}

Value getTextFormat(Machine& m, const Value& self, Args& a) {
    DisplayHost* host = m.host().display();
    const mc::TextDocument* doc = host != nullptr ? host->textDocument(fieldNode(self)) : nullptr;
    const std::size_t length = doc != nullptr ? doc->size() : 0;
    const Range r = formatRange(m, a, length, "flash.text::TextField/getTextFormat");
    if (doc == nullptr || r.begin == r.end) {
        return newFormat(m);
    }
    const auto shared = doc->formatOf(r.begin, r.end);
    return shared ? textFormatObject(m, *shared) : newFormat(m);
}

// setTextFormat(format, begin, end): the attributes the format sets change the characters
// of the range; its paragraph attributes change whole paragraphs.
Value setTextFormat(Machine& m, const Value& self, Args& a) {
    if (fieldStyleSheet(self).isObject()) {
        m.throwError("Error", 2009,
                     "This method cannot be used on a text field with a style sheet.");
    }
    const Value format = textFormatArgument(m, a.empty() ? Value() : a[0]);
    DisplayHost* host = m.host().display();
    const NodeId node = fieldNode(self);
    mc::TextDocument* doc = host != nullptr ? host->textDocument(node) : nullptr;
    const std::size_t length = doc != nullptr ? doc->size() : 0;
    Args range(a.size() > 1 ? a.begin() + 1 : a.end(), a.end());
    const Range r = formatRange(m, range, length, "flash.text::TextField/setTextFormat");
    const mc::PartialFormat partial = partialFormatOf(m, format);
    // Re-read after the conversions above, which may have run scripts.
    doc = host != nullptr ? host->textDocument(node) : nullptr;
    if (doc == nullptr || r.begin >= r.end || r.end > doc->size()) {
        return Value();
    }
    doc->apply(r.begin, r.end, partial);
    host->textEdited(node);
    return Value();
}

// textColor: the colour of the format new text takes; setting it colours all the text too.
Value textColorGet(Machine& m, const Value& self, Args&) {
    return Value::unsignedInt(newTextFormat(m, self).color & 0xFFFFFF);
}

Value textColorSet(Machine& m, const Value& self, Args& a) {
    const std::uint32_t color = toUint32(m.toNumber(a.empty() ? Value() : a[0])) & 0xFFFFFF;
    DisplayHost* host = m.host().display();
    const NodeId node = fieldNode(self);
    if (host == nullptr) {
        return Value();
    }
    if (mc::TextFormat* f = host->textNewFormat(node)) {
        f->color = color;
    }
    if (mc::TextDocument* doc = host->textDocument(node); doc != nullptr && doc->size() > 0) {
        mc::PartialFormat partial;
        partial.color = color;
        doc->apply(0, doc->size(), partial);
        host->textEdited(node);
    }
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

    Class* autoSize = m.defineClass("flash.text", "TextFieldAutoSize", m.objectClass);
    for (const auto& [name, v] : {std::pair{"NONE", "none"}, std::pair{"LEFT", "left"},
                                  std::pair{"CENTER", "center"}, std::pair{"RIGHT", "right"}}) {
        autoSize->classObject->setProp(name, Value::string(v));
        autoSize->classObject->dontEnum.back() = true;
    }
    Class* type = m.defineClass("flash.text", "TextFieldType", m.objectClass);
    for (const auto& [name, v] : {std::pair{"DYNAMIC", "dynamic"}, std::pair{"INPUT", "input"}}) {
        type->classObject->setProp(name, Value::string(v));
        type->classObject->dontEnum.back() = true;
    }

    if (Class* field = m.findClass("flash.text::TextField")) {
        m.defineGetter(field, "defaultTextFormat", [](Machine& mm, const Value& self, Args&) {
            return textFormatObject(mm, mc::PartialFormat::of(newTextFormat(mm, self)));
        });
        m.defineSetter(field, "defaultTextFormat", defaultFormatSet);
        m.defineMethod(field, "getTextFormat", getTextFormat);
        m.defineMethod(field, "setTextFormat", setTextFormat);
        m.defineGetter(field, "textColor", textColorGet);
        m.defineSetter(field, "textColor", textColorSet);
    }
}

} // namespace avm2
