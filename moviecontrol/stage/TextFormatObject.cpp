#include "TextFormatObject.h"

#include <cmath>

#include "StageScripts.h"
#include "TextMetrics.h"
#include "avm1/Function.h"
#include "unicode/Utf16Text.h"

namespace mc {

namespace {

using avm1::Value;

template <typename T, typename F>
void put(avm1::Machine& m, avm1::Object* o, const char* name, const std::optional<T>& v, F make) {
    m.set(o, name, v ? make(*v) : Value::null());
}

} // namespace

avm1::Object* textFormatObject(avm1::Machine& m, const PartialFormat& f) {
    avm1::Object* o = m.construct(m.get(m.global(), "TextFormat"), {});
    if (o == nullptr) {
        return nullptr;
    }
    const auto text = [&m](const std::string& s) { return Value(m.str(s)); };
    const auto number = [](double v) { return Value(v); };
    const auto boolean = [](bool v) { return Value(v); };
    put(m, o, "font", f.font, text);
    put(m, o, "size", f.size, number);
    put(m, o, "color", f.color, [](std::uint32_t c) { return Value(static_cast<double>(c)); });
    put(m, o, "bold", f.bold, boolean);
    put(m, o, "italic", f.italic, boolean);
    put(m, o, "underline", f.underline, boolean);
    put(m, o, "url", f.url, text);
    put(m, o, "target", f.target, text);
    put(m, o, "align", f.align, text);
    put(m, o, "leftMargin", f.leftMargin, number);
    put(m, o, "rightMargin", f.rightMargin, number);
    put(m, o, "indent", f.indent, number);
    put(m, o, "leading", f.leading, number);
    put(m, o, "blockIndent", f.blockIndent, number);
    put(m, o, "bullet", f.bullet, boolean);
    put(m, o, "kerning", f.kerning, boolean);
    put(m, o, "letterSpacing", f.letterSpacing, number);
    put(m, o, "tabStops", f.tabStops, [&m](const std::vector<double>& stops) {
        std::vector<Value> values;
        values.reserve(stops.size());
        for (double s : stops) {
            values.emplace_back(s);
        }
        return Value(m.newArray(values));
    });
    return o;
}

PartialFormat partialFormatOf(avm1::Machine& m, avm1::Object* o) {
    PartialFormat f;
    if (o == nullptr) {
        return f;
    }
    Value v;
    const auto given = [&](const char* name) {
        v = m.get(o, name);
        return !v.isNullish();
    };
    // Numbers that make no sense leave the attribute as it is.
    const auto finite = [&](double low, double high) -> std::optional<double> {
        const double n = m.toNumber(v);
        return std::isfinite(n) ? std::optional(std::clamp(n, low, high)) : std::nullopt;
    };
    if (given("font")) {
        f.font = m.toString(v).str();
    }
    if (given("size")) {
        f.size = finite(0, 10000);
    }
    if (given("color")) {
        const double c = m.toNumber(v);
        f.color = std::isfinite(c) ? static_cast<std::uint32_t>(
                                         static_cast<std::int64_t>(std::fmod(c, 4294967296.0))) &
                                         0xFFFFFFu
                                   : 0u;
    }
    if (given("bold")) {
        f.bold = m.toBoolean(v);
    }
    if (given("italic")) {
        f.italic = m.toBoolean(v);
    }
    if (given("underline")) {
        f.underline = m.toBoolean(v);
    }
    if (given("url")) {
        f.url = m.toString(v).str();
    }
    if (given("target")) {
        f.target = m.toString(v).str();
    }
    if (given("align")) {
        const std::string a = m.toString(v).str();
        if (a == "left" || a == "right" || a == "center" || a == "justify") {
            f.align = a;
        }
    }
    if (given("leftMargin")) {
        f.leftMargin = finite(0, 720);
    }
    if (given("rightMargin")) {
        f.rightMargin = finite(0, 720);
    }
    if (given("indent")) {
        f.indent = finite(-720, 720);
    }
    if (given("leading")) {
        f.leading = finite(-360, 720);
    }
    if (given("blockIndent")) {
        f.blockIndent = finite(0, 720);
    }
    if (given("bullet")) {
        f.bullet = m.toBoolean(v);
    }
    if (given("kerning")) {
        f.kerning = m.toBoolean(v);
    }
    if (given("letterSpacing")) {
        f.letterSpacing = finite(-1000, 1000);
    }
    if (given("tabStops") && v.asObject() != nullptr) {
        avm1::Object* array = v.asObject();
        const double length = m.toNumber(m.get(array, "length"));
        std::vector<double> stops;
        for (double i = 0; std::isfinite(length) && i < length && i < 1000; ++i) {
            const double s = m.toNumber(m.get(array, avm1::Machine::numberToString(i)));
            stops.push_back(std::isfinite(s) ? s : 0.0);
        }
        f.tabStops = std::move(stops);
    }
    return f;
}

} // namespace mc
