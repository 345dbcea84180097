// The TextField members that work on the field's text model: paragraphs, replacing a range,
// text and html assignments, and the settings of how glyphs are drawn.
#include "TextDocument.h"
#include "avm2/DisplayHost.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/StyleSheets.h"
#include "avm2/TextFormats.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace avm2 {

namespace {

NodeId nodeOf(const Value& self) {
    return self.isObject() ? self.asObject()->displayNode : 0;
}

mc::TextDocument* documentOf(Machine& m, const Value& self) {
    DisplayHost* host = m.host().display();
    return host != nullptr ? host->textDocument(nodeOf(self)) : nullptr;
}

// A character index as scripts give it; -1 for what is no index.
double indexArg(Machine& m, const Args& a, std::size_t i) {
    const double n = m.toNumber(arg(a, i));
    return std::isfinite(n) ? std::trunc(n) : -1;
}

// The paragraph holding `index`. An index just past the text is in the last paragraph (or
// a new empty one after a '\r'), which then counts one more character, as if the text
// ended in a paragraph end.
struct Paragraph {
    std::size_t start = 0;
    std::size_t length = 0;
};

std::optional<Paragraph> paragraphAt(const mc::TextDocument& doc, double index) {
    if (!(index >= 0) || index > static_cast<double>(doc.size())) {
        return std::nullopt;
    }
    const std::u16string& text = doc.text();
    const auto at = static_cast<std::size_t>(index);
    std::size_t start = at;
    while (start > 0 && text[start - 1] != u'\r') {
        --start;
    }
    const std::size_t end = text.find(u'\r', at);
    const std::size_t stop = end != std::u16string::npos ? end + 1
                             : at == text.size()         ? text.size() + 1
                                                         : text.size();
    return Paragraph{start, stop - start};
}

template <bool Length> Value paragraphMethod(Machine& m, const Value& self, Args& a) {
    const double index = indexArg(m, a, 0);
    const mc::TextDocument* doc = documentOf(m, self);
    if (doc == nullptr) {
        return Value::integer(-1);
    }
    const auto p = paragraphAt(*doc, index);
    if (!p) {
        return Value::integer(-1);
    }
    return Value::integer(static_cast<std::int32_t>(Length ? p->length : p->start));
}

// Line ends of every kind become the field's paragraph ends.
std::u16string fieldText(const std::string& utf8) {
    const std::u16string text = unicode::toUtf16(utf8);
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            continue;
        }
        out += text[i] == u'\n' ? u'\r' : text[i];
    }
    return out;
}

// The format new text at `at` takes: the character's there (or before it at the end), else
// the field's format for new text.
mc::TextFormat formatAt(DisplayHost& host, NodeId node, const mc::TextDocument& doc,
                        std::size_t at) {
    if (const mc::TextFormat* f = doc.formatAt(at < doc.size() ? at : at - 1);
        f != nullptr && !doc.empty()) {
        return *f;
    }
    const mc::TextFormat* f = host.textNewFormat(node);
    return f != nullptr ? *f : mc::TextFormat{};
}

// The methods that change a range's text or formats are not for fields with a style sheet.
void refuseStyled(Machine& m, const Value& self) {
    if (fieldStyleSheet(self).isObject()) {
        m.throwError("Error", 2009,
                     "This method cannot be used on a text field with a style sheet.");
    }
}

// replaceText(begin, end, text): the new text takes the format of the first character it
// replaces.
Value replaceText(Machine& m, const Value& self, Args& a) {
    refuseStyled(m, self);
    const double begin = indexArg(m, a, 0);
    const double end = indexArg(m, a, 1);
    const Value given = arg(a, 2);
    if (given.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter newText must be non-null.");
    }
    const std::u16string text = fieldText(m.toString(given));
    DisplayHost* host = m.host().display();
    const NodeId node = nodeOf(self);
    mc::TextDocument* doc = host != nullptr ? host->textDocument(node) : nullptr;
    if (doc == nullptr) {
        return Value();
    }
    const auto size = static_cast<double>(doc->size());
    if (!(begin >= 0) || begin > end || end > size) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    const auto b = static_cast<std::size_t>(begin);
    const auto e = static_cast<std::size_t>(end);
    doc->replace(b, e, text, formatAt(*host, node, *doc, b));
    host->textEdited(node);
    return Value();
}

// appendText(text): the text goes on at the end in the format the last character has, as a
// replaceText at the end would put it; the text before keeps its formats.
Value appendText(Machine& m, const Value& self, Args& a) {
    const std::string added = m.toString(arg(a, 0));
    DisplayHost* host = m.host().display();
    const NodeId node = nodeOf(self);
    mc::TextDocument* doc = host != nullptr ? host->textDocument(node) : nullptr;
    if (doc == nullptr || fieldStyleSheet(self).isObject()) {
        // A styled field keeps its text as markup: the whole of it is read again.
        if (host != nullptr && node != 0) {
            host->setText(node, host->text(node, false) + added, false);
        }
        return Value();
    }
    const std::size_t end = doc->size();
    doc->replace(end, end, fieldText(added), formatAt(*host, node, *doc, end));
    host->textEdited(node);
    return Value();
}

// text: the whole text replaced, the new text in the field's format for new text
// (defaultTextFormat): the formats setTextFormat gave the old text go with it. The same text
// again changes nothing.
Value textSet(Machine& m, const Value& self, Args& a) {
    const Value v = arg(a, 0);
    if (v.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter text must be non-null.");
    }
    const std::string utf8 = m.toString(v);
    // With a style sheet any text is read as markup.
    if (fieldStyleSheet(self).isObject()) {
        assignStyledText(m, self, utf8);
        return Value();
    }
    DisplayHost* host = m.host().display();
    const NodeId node = nodeOf(self);
    mc::TextDocument* doc = host != nullptr ? host->textDocument(node) : nullptr;
    if (doc == nullptr) {
        if (host != nullptr && node != 0) {
            host->setText(node, utf8, false);
        }
        return Value();
    }
    const std::u16string text = fieldText(utf8);
    // The text it already has changes nothing, formats included.
    if (text == doc->text()) {
        return Value();
    }
    const mc::TextFormat* fresh = host->textNewFormat(node);
    doc->replace(0, doc->size(), text, fresh != nullptr ? *fresh : mc::TextFormat{});
    host->textEdited(node);
    return Value();
}

std::string settingOf(Machine& m, const Value& self, const char* name);
void changeSetting(Machine& m, const Value& self, const char* name, const std::string& value);

// htmlText reads back the markup given while the field has a style sheet, else the markup
// of the formatted text.
std::string htmlTextOf(Machine& m, const Value& self) {
    if (auto markup = fieldStyledMarkup(self)) {
        return *markup;
    }
    DisplayHost* host = m.host().display();
    return host != nullptr && nodeOf(self) != 0 ? host->text(nodeOf(self), true) : std::string();
}

Value htmlTextGet(Machine& m, const Value& self, Args&) {
    return Value::string(htmlTextOf(m, self));
}

// htmlText: markup equal to what the field gives back already changes nothing.
Value htmlTextSet(Machine& m, const Value& self, Args& a) {
    const Value v = arg(a, 0);
    if (v.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter text must be non-null.");
    }
    const std::string html = m.toString(v);
    DisplayHost* host = m.host().display();
    const NodeId node = nodeOf(self);
    if (host == nullptr || node == 0 || htmlTextOf(m, self) == html) {
        return Value();
    }
    if (fieldStyleSheet(self).isObject()) {
        assignStyledText(m, self, html);
        return Value();
    }
    host->setText(node, html, true);
    return Value();
}

// getTextRuns(): the spans of characters that share one format, each as an object with
// beginIndex, endIndex and textFormat.
Value getTextRuns(Machine& m, const Value& self, Args&) {
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    std::vector<mc::TextFormat> formats;
    if (const mc::TextDocument* doc = documentOf(m, self)) {
        for (const mc::TextDocument::Run& run : doc->runs()) {
            spans.emplace_back(run.begin, run.end);
            formats.push_back(*run.format);
        }
    }
    // The document is not held past here: making the objects runs the formats' scripts.
    std::vector<Value> runs;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        Object* run = m.newObject();
        run->setProp("beginIndex", Value::integer(static_cast<std::int32_t>(spans[i].first)));
        run->setProp("endIndex", Value::integer(static_cast<std::int32_t>(spans[i].second)));
        run->setProp("textFormat", textFormatObject(m, mc::PartialFormat::of(formats[i])));
        runs.push_back(Value::object(run));
    }
    return Value::object(m.newArray(std::move(runs)));
}

// borderColor and backgroundColor: 0xRRGGBB.
constexpr char kBorderColor[] = "borderColor";
constexpr char kBackgroundColor[] = "backgroundColor";

template <const char* Name> Value colorGet(Machine& m, const Value& self, Args&) {
    const std::string v = settingOf(m, self, Name);
    return Value::unsignedInt(
        v.empty() ? 0u : static_cast<std::uint32_t>(std::strtoul(v.c_str(), nullptr, 10)));
}

template <const char* Name> Value colorSet(Machine& m, const Value& self, Args& a) {
    const std::uint32_t rgb = toUint32(m.toNumber(arg(a, 0))) & 0xFFFFFFu;
    changeSetting(m, self, Name, std::to_string(rgb));
    return Value();
}

std::string settingOf(Machine& m, const Value& self, const char* name) {
    DisplayHost* host = m.host().display();
    return host != nullptr && nodeOf(self) != 0 ? host->textSetting(nodeOf(self), name)
                                                : std::string();
}

void changeSetting(Machine& m, const Value& self, const char* name, const std::string& value) {
    if (DisplayHost* host = m.host().display(); host != nullptr && nodeOf(self) != 0) {
        host->setTextSetting(nodeOf(self), name, value);
    }
}

Value antiAliasGet(Machine& m, const Value& self, Args&) {
    const std::string v = settingOf(m, self, "antiAliasType");
    return Value::string(v.empty() ? "normal" : v);
}

// A missing word is the missing-parameter error, as for the player's other named settings.
void requireWord(Machine& m, const Args& a, const char* name) {
    if (arg(a, 0).isNullish()) {
        m.throwError("TypeError", 2007, std::string("Parameter ") + name + " must be non-null.");
    }
}

// Words other than "normal" and "advanced" are ignored.
Value antiAliasSet(Machine& m, const Value& self, Args& a) {
    requireWord(m, a, "antiAliasType");
    const std::string v = m.toString(arg(a, 0));
    if (v == "normal" || v == "advanced") {
        changeSetting(m, self, "antiAliasType", v);
    }
    return Value();
}

Value gridFitGet(Machine& m, const Value& self, Args&) {
    const std::string v = settingOf(m, self, "gridFitType");
    return Value::string(v.empty() ? "pixel" : v);
}

// Any word but "pixel" and "subpixel" turns grid fitting off.
Value gridFitSet(Machine& m, const Value& self, Args& a) {
    requireWord(m, a, "gridFitType");
    const std::string v = m.toString(arg(a, 0));
    changeSetting(m, self, "gridFitType", v == "pixel" || v == "subpixel" ? v : "none");
    return Value();
}

// sharpness and thickness: numbers held within their ranges (NaN is kept as it is).
constexpr char kSharpness[] = "sharpness";
constexpr char kThickness[] = "thickness";

template <const char* Name> Value renderNumberGet(Machine& m, const Value& self, Args&) {
    const std::string v = settingOf(m, self, Name);
    return Value::number(v.empty() ? 0.0 : m.toNumber(Value::string(v)));
}

template <const char* Name, int Limit>
Value renderNumberSet(Machine& m, const Value& self, Args& a) {
    double n = m.toNumber(arg(a, 0));
    if (!std::isnan(n)) {
        n = std::clamp(n, -static_cast<double>(Limit), static_cast<double>(Limit));
    }
    changeSetting(m, self, Name, m.toString(Value::number(n)));
    return Value();
}

// textWidth and textHeight: what the text takes, in pixels.
constexpr char kTextWidth[] = "textWidth";
constexpr char kTextHeight[] = "textHeight";

template <const char* Name> Value measureGet(Machine& m, const Value& self, Args&) {
    const std::string v = settingOf(m, self, Name);
    const double n = v.empty() ? 0.0 : m.toNumber(Value::string(v));
    return Value::number(std::isfinite(n) ? n : 0.0);
}

// The scroll positions (scrollV in lines from 1, scrollH in pixels), held by the field to
// what its text allows, and the limits and line count it reads from its layout.
constexpr char kScrollV[] = "scrollV";
constexpr char kScrollH[] = "scrollH";
constexpr char kMaxScrollV[] = "maxScrollV";
constexpr char kMaxScrollH[] = "maxScrollH";
constexpr char kBottomScrollV[] = "bottomScrollV";
constexpr char kNumLines[] = "numLines";

template <const char* Name> Value layoutIntGet(Machine& m, const Value& self, Args&) {
    const std::string v = settingOf(m, self, Name);
    const double n = v.empty() ? 0.0 : m.toNumber(Value::string(v));
    return Value::integer(std::isfinite(n) ? toInt32(n) : 0);
}

template <const char* Name> Value scrollSet(Machine& m, const Value& self, Args& a) {
    const double n = m.toNumber(arg(a, 0));
    if (std::isfinite(n)) {
        changeSetting(m, self, Name, m.toString(Value::integer(toInt32(n))));
    }
    return Value();
}

// maxChars and restrict bound what a user types, never what a script sets: they read back as
// given (maxChars as an int, 0 for no limit; restrict null for any character and "" for
// none), and the field is told what limits its input.
constexpr char kMaxChars[] = "maxChars";
constexpr char kRestrict[] = "restrict";

Value maxCharsGet(Machine&, const Value& self, Args&) {
    return hiddenField(self, kMaxChars, Value::integer(0));
}

Value maxCharsSet(Machine& m, const Value& self, Args& a) {
    const std::int32_t n = toInt32(m.toNumber(arg(a, 0)));
    setHiddenField(self, kMaxChars, Value::integer(n));
    changeSetting(m, self, kMaxChars, std::to_string(n));
    return Value();
}

Value restrictGet(Machine&, const Value& self, Args&) {
    return hiddenField(self, kRestrict, Value::null());
}

Value restrictSet(Machine& m, const Value& self, Args& a) {
    const Value v = arg(a, 0);
    const Value kept = v.isNullish() ? Value::null() : Value::string(m.toString(v));
    setHiddenField(self, kRestrict, kept);
    // The host takes the characters with a leading mark: a setting of "" means no restriction.
    changeSetting(m, self, kRestrict, kept.isNull() ? std::string() : "=" + m.toString(kept));
    return Value();
}

} // namespace

void installTextFieldMethods(Machine& m) {
    Class* field = m.findClass("flash.text::TextField");
    if (field == nullptr) {
        return;
    }
    m.defineMethod(field, "getFirstCharInParagraph", paragraphMethod<false>);
    m.defineMethod(field, "getParagraphLength", paragraphMethod<true>);
    m.defineMethod(field, "replaceText", replaceText);
    m.defineMethod(field, "appendText", appendText);
    m.defineSetter(field, "text", textSet);
    m.defineGetter(field, "htmlText", htmlTextGet);
    m.defineSetter(field, "htmlText", htmlTextSet);
    m.defineMethod(field, "getTextRuns", getTextRuns);
    m.defineGetter(field, kBorderColor, colorGet<kBorderColor>);
    m.defineSetter(field, kBorderColor, colorSet<kBorderColor>);
    m.defineGetter(field, kBackgroundColor, colorGet<kBackgroundColor>);
    m.defineSetter(field, kBackgroundColor, colorSet<kBackgroundColor>);
    m.defineGetter(field, "antiAliasType", antiAliasGet);
    m.defineSetter(field, "antiAliasType", antiAliasSet);
    m.defineGetter(field, "gridFitType", gridFitGet);
    m.defineSetter(field, "gridFitType", gridFitSet);
    m.defineGetter(field, kSharpness, renderNumberGet<kSharpness>);
    m.defineSetter(field, kSharpness, renderNumberSet<kSharpness, 400>);
    m.defineGetter(field, kThickness, renderNumberGet<kThickness>);
    m.defineGetter(field, kTextWidth, measureGet<kTextWidth>);
    m.defineGetter(field, kTextHeight, measureGet<kTextHeight>);
    m.defineSetter(field, kThickness, renderNumberSet<kThickness, 200>);
    m.defineGetter(field, kScrollV, layoutIntGet<kScrollV>);
    m.defineSetter(field, kScrollV, scrollSet<kScrollV>);
    m.defineGetter(field, kScrollH, layoutIntGet<kScrollH>);
    m.defineSetter(field, kScrollH, scrollSet<kScrollH>);
    m.defineGetter(field, kMaxScrollV, layoutIntGet<kMaxScrollV>);
    m.defineGetter(field, kMaxScrollH, layoutIntGet<kMaxScrollH>);
    m.defineGetter(field, kBottomScrollV, layoutIntGet<kBottomScrollV>);
    m.defineGetter(field, kNumLines, layoutIntGet<kNumLines>);
    m.defineGetter(field, kMaxChars, maxCharsGet);
    m.defineSetter(field, kMaxChars, maxCharsSet);
    m.defineGetter(field, kRestrict, restrictGet);
    m.defineSetter(field, kRestrict, restrictSet);
}

} // namespace avm2
