// flash.text.Font: the fonts a movie embeds. An instance of a class a SymbolClass tag ties to
// a font definition describes that font; Font.enumerateFonts lists every embedded font with
// a name. A plain `new Font()` describes none and answers null.
#include "avm2/DisplayHost.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"

#include <array>
#include <utility>

namespace avm2 {

namespace {

constexpr char kName[] = "font.fontName";
constexpr char kStyle[] = "font.fontStyle";
constexpr char kType[] = "font.fontType";

void describe(Object* o, const DisplayHost::EmbeddedFont& font) {
    const char* style = font.bold && font.italic ? "boldItalic"
                        : font.bold              ? "bold"
                        : font.italic            ? "italic"
                                                 : "regular";
    setHiddenField(o, kName, Value::string(font.name));
    setHiddenField(o, kStyle, Value::string(style));
    setHiddenField(o, kType, Value::string("embedded"));
}

// The SymbolClass name of a class ("pkg.Name").
std::string symbolName(const Class& c) {
    return c.ns.uri.empty() ? c.name : c.ns.uri + "." + c.name;
}

Value fontInit(Machine& m, const Value& self, Args&) {
    DisplayHost* host = m.host().display();
    if (host == nullptr || !self.isObject()) {
        return Value();
    }
    for (const Class* c = self.asObject()->cls; c != nullptr; c = c->super) {
        if (auto font = host->fontOfClass(symbolName(*c))) {
            describe(self.asObject(), *font);
            break;
        }
    }
    return Value();
}

template <const char* Key> Value fontGet(Machine&, const Value& self, Args&) {
    return hiddenField(self, Key, Value::null());
}

Value enumerateFonts(Machine& m, const Value&, Args&) {
    std::vector<Value> list;
    DisplayHost* host = m.host().display();
    if (host != nullptr) {
        Class* font = m.findClass("flash.text::Font");
        for (const DisplayHost::EmbeddedFont& f : host->embeddedFonts()) {
            Object* o = m.instantiate(font);
            describe(o, f);
            list.push_back(Value::object(o));
        }
    }
    return Value::object(m.newArray(std::move(list)));
}

// Every character has a glyph in a font the player can fall back on; embedded fonts are
// not checked glyph by glyph.
Value hasGlyphs(Machine& m, const Value& self, Args&) {
    (void)m;
    return Value::boolean(!hiddenField(self, kName, Value::null()).isNull());
}

Value registerFont(Machine&, const Value&, Args&) {
    return Value();
}

void constants(Machine& m, const char* name,
               std::initializer_list<std::pair<const char*, const char*>> values) {
    Class* c = m.defineClass("flash.text", name, m.objectClass);
    for (const auto& [key, v] : values) {
        c->classObject->setProp(key, Value::string(v));
        c->classObject->dontEnum.back() = true;
    }
}

} // namespace

void installFonts(Machine& m) {
    Class* font = m.defineClass("flash.text", "Font", m.objectClass, fontInit);
    m.defineGetter(font, "fontName", fontGet<kName>);
    m.defineGetter(font, "fontStyle", fontGet<kStyle>);
    m.defineGetter(font, "fontType", fontGet<kType>);
    m.defineMethod(font, "hasGlyphs", hasGlyphs);
    m.defineMethod(font, "enumerateFonts", enumerateFonts, true);
    m.defineMethod(font, "registerFont", registerFont, true);
    constants(m, "FontStyle",
              {{"REGULAR", "regular"},
               {"BOLD", "bold"},
               {"ITALIC", "italic"},
               {"BOLD_ITALIC", "boldItalic"}});
    constants(m, "FontType",
              {{"EMBEDDED", "embedded"}, {"EMBEDDED_CFF", "embeddedCFF"}, {"DEVICE", "device"}});
    constants(m, "AntiAliasType", {{"NORMAL", "normal"}, {"ADVANCED", "advanced"}});
    constants(m, "GridFitType", {{"NONE", "none"}, {"PIXEL", "pixel"}, {"SUBPIXEL", "subpixel"}});
}

} // namespace avm2
