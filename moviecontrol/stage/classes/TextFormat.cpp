// TextFormat: a text's font, size, colour and paragraph settings as scripts build them,
// and the room a text takes in them.
#include <cmath>

#include "StageScripts.h"
#include "TextFormatObject.h"
#include "TextMetrics.h"
#include "avm1/Function.h"
#include "avm1/Utf16Text.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

// The constructor's parameters, in order.
constexpr const char* kConstructorFields[] = {
    "font",   "size",  "color",      "bold",        "italic", "underline", "url",
    "target", "align", "leftMargin", "rightMargin", "indent", "leading"};

} // namespace

void installTextFormat(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    // new TextFormat(font, size, color, bold, italic, underline, url, target, align,
    // leftMargin, rightMargin, indent, leading): what is not given reads null.
    avm1::FunctionObject* format = m.newClass([](CallArgs& c) {
        avm1::Object* self = c.thisObject();
        if (self == nullptr) {
            return Value();
        }
        std::size_t i = 0;
        for (const char* name : kConstructorFields) {
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
    avm1::Object* proto = m.get(format, "prototype").asObject();
    StageScripts* s = &stage;
    // The room a text takes in this format; with a width, as a word-wrapped field that wide.
    m.defineMethod(proto, "getTextExtent", [s](CallArgs& c) -> Value {
        avm1::Machine& m = c.machine;
        if (c.count() < 1 || c.thisObject() == nullptr) {
            return Value();
        }
        TextFormat f;
        partialFormatOf(m, c.thisObject()).applyTo(f);
        TextDocument doc;
        doc.append(avm1::toUtf16(m.toString(c.arg(0)).str()), f);
        const double wrap = c.count() > 1 ? m.toNumber(c.arg(1)) * 20.0 : 0.0;
        const bool wrapped = std::isfinite(wrap) && wrap > 0;
        const TextExtent e =
            measureText(s->player().catalog(), doc, true, wrapped ? std::max(wrap - 80.0, 1.0) : 0);
        avm1::Object* out = m.newObject();
        const auto pixels = [](double twips) { return std::round(twips) / 20.0; };
        m.set(out, "width", Value(pixels(e.width)));
        m.set(out, "height", Value(pixels(e.height)));
        m.set(out, "ascent", Value(pixels(e.ascent)));
        m.set(out, "descent", Value(pixels(e.descent)));
        m.set(out, "textFieldWidth", Value(wrapped ? wrap / 20.0 : pixels(e.width) + 4));
        m.set(out, "textFieldHeight", Value(pixels(e.height) + 4));
        return Value(out);
    });
}

} // namespace mc
