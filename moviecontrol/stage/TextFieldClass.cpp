// TextField.prototype and TextFormat: what scripts change on edit fields.
#include <cmath>

#include "StageObject.h"
#include "StageScripts.h"
#include "TextFieldState.h"
#include "avm1/Function.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

constexpr const char* kFormatFields[] = {"font",        "size",   "color",  "bold",  "italic",
                                         "underline",   "url",    "target", "align", "leftMargin",
                                         "rightMargin", "indent", "leading"};

// A TextFormat describing the field's one format.
avm1::Object* formatOf(avm1::Machine& m, const TextFieldState& t) {
    avm1::Object* f = m.construct(m.get(m.global(), "TextFormat"), {});
    if (f == nullptr) {
        return nullptr;
    }
    const swf::EditText& e = t.field;
    m.set(f, "font", Value(m.str(e.fontClass.value_or("Times New Roman"))));
    m.set(f, "size", Value(e.fontHeight ? *e.fontHeight / 20.0 : 12.0));
    const swf::Rgba c = e.color.value_or(swf::Rgba{0, 0, 0, 255});
    m.set(f, "color", Value(static_cast<double>((c.r << 16) | (c.g << 8) | c.b)));
    m.set(f, "bold", Value(false));
    m.set(f, "italic", Value(false));
    m.set(f, "underline", Value(false));
    m.set(f, "url", Value(m.str("")));
    m.set(f, "target", Value(m.str("")));
    const char* align = e.align == swf::TextAlign::Right     ? "right"
                        : e.align == swf::TextAlign::Center  ? "center"
                        : e.align == swf::TextAlign::Justify ? "justify"
                                                             : "left";
    m.set(f, "align", Value(m.str(align)));
    m.set(f, "leftMargin", Value(static_cast<double>(e.leftMargin / 20.0)));
    m.set(f, "rightMargin", Value(static_cast<double>(e.rightMargin / 20.0)));
    m.set(f, "indent", Value(static_cast<double>(e.indent / 20.0)));
    m.set(f, "leading", Value(static_cast<double>(e.leading / 20.0)));
    return f;
}

void applyFormat(avm1::Machine& m, TextFieldState& t, avm1::Object* f) {
    const auto given = [&](const char* name, Value& v) {
        v = m.get(f, name);
        return !v.isNullish();
    };
    Value v;
    if (given("size", v)) {
        const double size = m.toNumber(v);
        if (std::isfinite(size) && size >= 0 && size < 3000) {
            t.field.fontHeight = static_cast<std::uint16_t>(size * 20.0);
        }
    }
    if (given("color", v)) {
        const auto c = static_cast<std::uint32_t>(static_cast<std::int64_t>(m.toNumber(v)));
        t.field.color =
            swf::Rgba{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                      static_cast<std::uint8_t>(c), 255};
    }
    if (given("font", v)) {
        t.field.fontClass = m.toString(v).str();
    }
    if (given("align", v)) {
        const std::string a = m.toString(v).str();
        t.field.align = a == "right"     ? swf::TextAlign::Right
                        : a == "center"  ? swf::TextAlign::Center
                        : a == "justify" ? swf::TextAlign::Justify
                                         : swf::TextAlign::Left;
    }
    t.changed();
}

} // namespace

void installTextFieldClasses(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::FunctionObject* field = m.newClass([](CallArgs&) { return Value(); });
    m.define(m.global(), "TextField", Value(static_cast<avm1::Object*>(field)));
    avm1::Object* proto = m.get(field, "prototype").asObject();
    StageScripts* s = &stage;
    const auto textOf = [s](CallArgs& c) -> TextFieldState* {
        DisplayObject* o = s->displayOf(c.thisValue);
        return o != nullptr && o->text ? o->text.get() : nullptr;
    };
    m.defineMethod(proto, "getTextFormat", [textOf](CallArgs& c) {
        TextFieldState* t = textOf(c);
        return t != nullptr ? Value(formatOf(c.machine, *t)) : Value();
    });
    m.defineMethod(proto, "getNewTextFormat", [textOf](CallArgs& c) {
        TextFieldState* t = textOf(c);
        return t != nullptr ? Value(formatOf(c.machine, *t)) : Value();
    });
    const auto setFormat = [textOf](CallArgs& c) {
        TextFieldState* t = textOf(c);
        // The format is the last argument (the others pick a range of the text).
        avm1::Object* f = c.count() > 0 ? c.arg(c.count() - 1).asObject() : nullptr;
        if (t != nullptr && f != nullptr) {
            applyFormat(c.machine, *t, f);
        }
        return Value();
    };
    m.defineMethod(proto, "setTextFormat", setFormat);
    m.defineMethod(proto, "setNewTextFormat", setFormat);
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
    m.defineMethod(proto, "replaceSel", [](CallArgs&) { return Value(); });

    // new TextFormat(font, size, color, bold, italic, underline, url, target, align,
    // leftMargin, rightMargin, indent, leading): what is not given reads null.
    avm1::FunctionObject* format = m.newClass([](CallArgs& c) {
        avm1::Object* self = c.thisObject();
        if (self == nullptr) {
            return Value();
        }
        std::size_t i = 0;
        for (const char* name : kFormatFields) {
            const Value& v = c.arg(i++);
            c.machine.set(self, name, v.isUndefined() ? Value::null() : v);
        }
        for (const char* name :
             {"blockIndent", "bullet", "tabStops", "kerning", "letterSpacing", "display"}) {
            c.machine.set(self, name, Value::null());
        }
        return Value();
    });
    m.define(m.global(), "TextFormat", Value(static_cast<avm1::Object*>(format)));
}

} // namespace mc
