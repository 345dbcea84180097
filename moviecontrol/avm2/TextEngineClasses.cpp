// flash.text.engine: the formats (FontDescription, ElementFormat), the justifiers, the
// content elements and TextBlock, which breaks its content into TextLine display objects.
// The formats are values a script sets and clones; lines are made without laying glyphs
// out, so their metrics stay zero.
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/PublicSlots.h"

#include <initializer_list>

namespace avm2 {

namespace {

// The constructor's arguments, in order, stored into the public variables of those names
// (coerced as the variables' types say); an argument left out keeps the default.
void setArgs(Machine& m, const Value& self, Args& a, std::initializer_list<const char*> names) {
    std::size_t i = 0;
    for (const char* name : names) {
        if (i < a.size() && !a[i].isUndefined()) {
            m.setProperty(self, Name::publicName(name), a[i]);
        }
        ++i;
    }
}

// The formats and justifiers are their variables: a copy is a new object of the same class
// holding the same values.
Value cloneBySlots(Machine& m, const Value& self, Args&) {
    if (!self.isObject() || self.asObject()->cls == nullptr) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    Object* from = self.asObject();
    Object* copy = m.instantiate(from->cls);
    copy->slots = from->slots;
    return Value::object(copy);
}

void strings(Machine& m, Class* c,
             std::initializer_list<std::pair<const char*, const char*>> list) {
    for (const auto& [name, value] : list) {
        addPublicSlot(c, name, m.stringClass, Value::string(value));
    }
}

void numbers(Machine& m, Class* c, std::initializer_list<std::pair<const char*, double>> list) {
    for (const auto& [name, value] : list) {
        addPublicSlot(c, name, m.numberClass, Value::number(value));
    }
}

void installFormats(Machine& m) {
    Class* font = m.defineClass("flash.text.engine", "FontDescription", m.objectClass,
                                [](Machine& mm, const Value& s, Args& a) {
                                    setArgs(mm, s, a,
                                            {"fontName", "fontWeight", "fontPosture", "fontLookup",
                                             "renderingMode", "cffHinting"});
                                    return Value();
                                });
    font->isFinal = true;
    strings(m, font,
            {{"fontName", "_serif"},
             {"fontWeight", "normal"},
             {"fontPosture", "normal"},
             {"fontLookup", "device"},
             {"renderingMode", "cff"},
             {"cffHinting", "horizontalStem"}});
    addPublicSlot(font, "locked", m.booleanClass, Value::boolean(false));
    m.defineMethod(font, "clone", cloneBySlots);

    Class* format = m.defineClass(
        "flash.text.engine", "ElementFormat", m.objectClass,
        [](Machine& mm, const Value& s, Args& a) {
            Value description = arg(a, 0);
            if (description.isNullish()) {
                Args none;
                description = mm.construct(
                    Value::object(mm.findClass("flash.text.engine::FontDescription")->classObject),
                    none);
            }
            mm.setProperty(s, Name::publicName("fontDescription"), description);
            Args rest(a.begin() + std::min<std::size_t>(a.size(), 1), a.end());
            setArgs(mm, s, rest,
                    {"fontSize", "color", "alpha", "textRotation", "dominantBaseline",
                     "alignmentBaseline", "baselineShift", "kerning", "trackingRight",
                     "trackingLeft", "locale", "breakOpportunity", "digitCase", "digitWidth",
                     "ligatureLevel", "typographicCase"});
            return Value();
        });
    format->isFinal = true;
    addPublicSlot(format, "fontDescription", font, Value::null());
    numbers(m, format, {{"fontSize", 12}});
    addPublicSlot(format, "color", m.uintClass, Value::unsignedInt(0));
    numbers(m, format, {{"alpha", 1}});
    strings(m, format,
            {{"textRotation", "auto"},
             {"dominantBaseline", "roman"},
             {"alignmentBaseline", "useDominantBaseline"}});
    numbers(m, format, {{"baselineShift", 0}});
    strings(m, format, {{"kerning", "on"}});
    numbers(m, format, {{"trackingRight", 0}, {"trackingLeft", 0}});
    strings(m, format,
            {{"locale", "en"},
             {"breakOpportunity", "auto"},
             {"digitCase", "default"},
             {"digitWidth", "default"},
             {"ligatureLevel", "common"},
             {"typographicCase", "default"}});
    addPublicSlot(format, "locked", m.booleanClass, Value::boolean(false));
    m.defineMethod(format, "clone", cloneBySlots);
}

void installJustifiers(Machine& m) {
    Class* base = m.defineClass("flash.text.engine", "TextJustifier", m.objectClass);
    strings(m, base, {{"locale", "en"}, {"lineJustification", "unjustified"}});
    m.defineMethod(base, "clone", cloneBySlots);

    Class* space = m.defineClass(
        "flash.text.engine", "SpaceJustifier", base, [](Machine& mm, const Value& s, Args& a) {
            setArgs(mm, s, a, {"locale", "lineJustification", "letterSpacing"});
            return Value();
        });
    space->isFinal = true;
    addPublicSlot(space, "letterSpacing", m.booleanClass, Value::boolean(false));
    numbers(m, space, {{"minimumSpacing", 0.5}, {"optimumSpacing", 1}, {"maximumSpacing", 1.5}});

    Class* eastAsian = m.defineClass(
        "flash.text.engine", "EastAsianJustifier", base, [](Machine& mm, const Value& s, Args& a) {
            mm.setProperty(s, Name::publicName("locale"), Value::string("ja"));
            mm.setProperty(s, Name::publicName("lineJustification"), Value::string("allButLast"));
            setArgs(mm, s, a, {"locale", "lineJustification", "justificationStyle"});
            return Value();
        });
    eastAsian->isFinal = true;
    strings(m, eastAsian, {{"justificationStyle", "pushInKinsoku"}});
    addPublicSlot(eastAsian, "composeTrailingIdeographicSpaces", m.booleanClass,
                  Value::boolean(false));
}

// --- Content, blocks and lines ---------------------------------------------------------------

[[noreturn]] void notOnTextLine(Machine& m, const char* member) {
    m.throwErrorIn(std::string("flash.text.engine::TextLine/") + member, "Error", 2181,
                   "The TextLine class does not implement this property or method.");
}

template <const char* Member> Value refusedSetter(Machine& m, const Value&, Args&) {
    notOnTextLine(m, Member);
}

constexpr char kSetContextMenu[] = "set contextMenu";
constexpr char kSetFocusRect[] = "set focusRect";
constexpr char kSetTabChildren[] = "set tabChildren";
constexpr char kSetTabEnabled[] = "set tabEnabled";
constexpr char kSetTabIndex[] = "set tabIndex";

// A line of the block's whole content: without glyph layout the block gives one line, and
// none once it was given.
Value createTextLine(Machine& m, const Value& self, Args& a) {
    if (!self.isObject()) {
        return Value::null();
    }
    const Value content = m.getProperty(self, Name::publicName("content"));
    if (content.isNullish() || !arg(a, 0).isNullish()) {
        return Value::null();
    }
    Args none;
    Value line =
        m.construct(Value::object(m.findClass("flash.text.engine::TextLine")->classObject), none);
    m.setProperty(line, Name::publicName("textBlock"), self);
    m.setProperty(self, Name::publicName("firstLine"), line);
    m.setProperty(self, Name::publicName("lastLine"), line);
    return line;
}

void installContent(Machine& m) {
    Class* element = m.defineClass("flash.text.engine", "ContentElement", m.objectClass);
    addPublicSlot(element, "elementFormat", m.findClass("flash.text.engine::ElementFormat"),
                  Value::null());
    addPublicSlot(element, "text", m.stringClass, Value::null());
    addPublicSlot(element, "eventMirror", nullptr, Value::null());
    addPublicSlot(element, "textRotation", m.stringClass, Value::string("rotate0"));
    addPublicSlot(element, "userData", nullptr, Value());
    Class* text = m.defineClass(
        "flash.text.engine", "TextElement", element, [](Machine& mm, const Value& s, Args& a) {
            setArgs(mm, s, a, {"text", "elementFormat", "eventMirror", "textRotation"});
            return Value();
        });
    text->isFinal = true;

    Class* block = m.defineClass("flash.text.engine", "TextBlock", m.objectClass,
                                 [](Machine& mm, const Value& s, Args& a) {
                                     setArgs(mm, s, a,
                                             {"content", "tabStops", "textJustifier",
                                              "lineRotation", "baselineZero", "bidiLevel"});
                                     return Value();
                                 });
    block->isFinal = true;
    addPublicSlot(block, "content", element, Value::null());
    addPublicSlot(block, "tabStops", nullptr, Value::null());
    addPublicSlot(block, "textJustifier", m.findClass("flash.text.engine::TextJustifier"),
                  Value::null());
    addPublicSlot(block, "lineRotation", m.stringClass, Value::string("rotate0"));
    addPublicSlot(block, "baselineZero", m.stringClass, Value::string("roman"));
    addPublicSlot(block, "bidiLevel", m.intClass, Value::integer(0));
    addPublicSlot(block, "firstLine", nullptr, Value::null());
    addPublicSlot(block, "lastLine", nullptr, Value::null());
    addPublicSlot(block, "userData", nullptr, Value());
    m.defineMethod(block, "createTextLine", createTextLine);

    Class* container = m.findClass("flash.display::DisplayObjectContainer");
    Class* line = m.defineClass("flash.text.engine", "TextLine", container, container->init.native);
    line->isFinal = true;
    addPublicSlot(line, "textBlock", block, Value::null());
    addPublicSlot(line, "userData", nullptr, Value());
    m.defineSetter(line, "contextMenu", refusedSetter<kSetContextMenu>);
    m.defineSetter(line, "focusRect", refusedSetter<kSetFocusRect>);
    m.defineSetter(line, "tabChildren", refusedSetter<kSetTabChildren>);
    m.defineSetter(line, "tabEnabled", refusedSetter<kSetTabEnabled>);
    m.defineSetter(line, "tabIndex", refusedSetter<kSetTabIndex>);
}

} // namespace

void installTextEngine(Machine& m) {
    installFormats(m);
    installJustifiers(m);
    installContent(m);
}

} // namespace avm2
