// Reading and printing the html markup of edit fields, as players read and print it.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "StyleSheet.h"
#include "TextDocument.h"
#include "avm1/XmlParser.h"
#include "unicode/Utf16Text.h"

namespace mc {

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Text between tags made of nothing but white space, as written (before entities).
bool isBlank(std::string_view raw) {
    for (const char c : raw) {
        if (!isSpace(static_cast<char16_t>(c))) {
            return false;
        }
    }
    return true;
}

struct Attribute {
    std::string name; // lower case
    std::string value;
};

struct Tag {
    std::string name; // lower case, without the '/'
    bool closing = false;
    bool empty = false; // "<x/>": opens nothing
    std::vector<Attribute> attributes;

    const std::string* attribute(std::string_view wanted) const {
        for (const Attribute& a : attributes) {
            if (a.name == wanted) {
                return &a.value;
            }
        }
        return nullptr;
    }
};

// Decodes the entities players know; others stay as they are.
std::string decodeEntities(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == '&') {
            const std::size_t end = s.find(';', i);
            if (end != std::string_view::npos && end - i <= 10) {
                const std::string_view e = s.substr(i + 1, end - i - 1);
                std::string decoded;
                if (e == "lt") {
                    decoded = "<";
                } else if (e == "gt") {
                    decoded = ">";
                } else if (e == "amp") {
                    decoded = "&";
                } else if (e == "quot") {
                    decoded = "\"";
                } else if (e == "apos") {
                    decoded = "'";
                } else if (e == "nbsp") {
                    decoded = "\xc2\xa0";
                } else if (e.size() > 1 && e[0] == '#') {
                    const bool hex = e[1] == 'x' || e[1] == 'X';
                    const std::string_view digits = e.substr(hex ? 2 : 1);
                    std::uint32_t cp = 0;
                    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), cp,
                                                   hex ? 16 : 10);
                    if (r.ec == std::errc() && r.ptr == digits.data() + digits.size() &&
                        !digits.empty()) {
                        decoded = unicode::codePointToUtf8(cp);
                    }
                }
                if (!decoded.empty()) {
                    out += decoded;
                    i = end + 1;
                    continue;
                }
            }
        }
        out += s[i++];
    }
    return out;
}

Tag readTag(std::string_view inside) {
    Tag tag;
    std::size_t i = 0;
    const auto skipSpace = [&] {
        while (i < inside.size() && std::isspace(static_cast<unsigned char>(inside[i]))) {
            ++i;
        }
    };
    skipSpace();
    if (i < inside.size() && inside[i] == '/') {
        tag.closing = true;
        ++i;
    }
    tag.empty = !inside.empty() && inside.back() == '/';
    const std::size_t nameStart = i;
    while (i < inside.size() && !std::isspace(static_cast<unsigned char>(inside[i])) &&
           inside[i] != '/') {
        ++i;
    }
    tag.name = lower(inside.substr(nameStart, i - nameStart));
    while (i < inside.size()) {
        skipSpace();
        const std::size_t start = i;
        while (i < inside.size() && inside[i] != '=' &&
               !std::isspace(static_cast<unsigned char>(inside[i])) && inside[i] != '/') {
            ++i;
        }
        if (i == start) {
            ++i;
            continue;
        }
        Attribute a{lower(inside.substr(start, i - start)), {}};
        skipSpace();
        if (i < inside.size() && inside[i] == '=') {
            ++i;
            skipSpace();
            if (i < inside.size() && (inside[i] == '"' || inside[i] == '\'')) {
                const char quote = inside[i++];
                const std::size_t end = inside.find(quote, i);
                const std::size_t stop = end == std::string_view::npos ? inside.size() : end;
                a.value = decodeEntities(inside.substr(i, stop - i));
                i = stop + 1;
            } else {
                const std::size_t valueStart = i;
                while (i < inside.size() && !std::isspace(static_cast<unsigned char>(inside[i]))) {
                    ++i;
                }
                a.value = decodeEntities(inside.substr(valueStart, i - valueStart));
            }
        }
        tag.attributes.push_back(std::move(a));
    }
    return tag;
}

} // namespace

std::optional<double> leadingNumber(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) {
        return std::nullopt;
    }
    double v = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && v < 1e9) {
        v = v * 10 + (s[i++] - '0');
    }
    return negative ? -v : v;
}

namespace {

// A number that may have a fraction ("2.5"): letter spacing is kept in parts of a pixel.
std::optional<double> leadingDecimal(std::string_view s) {
    const std::optional<double> whole = leadingNumber(s);
    if (!whole) {
        return std::nullopt;
    }
    const std::size_t dot = s.find_first_not_of(" \t+-0123456789");
    if (dot == std::string_view::npos || s[dot] != '.') {
        return whole;
    }
    double fraction = 0;
    double scale = 1;
    for (std::size_t i = dot + 1;
         i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && scale > 1e-15; ++i) {
        scale /= 10;
        fraction += (s[i] - '0') * scale;
    }
    return std::signbit(*whole) ? *whole - fraction : *whole + fraction;
}

// Sets the paragraph attributes of `to` from `from`.
void copyParagraphPart(const TextFormat& from, TextFormat& to) {
    to.align = from.align;
    to.leftMargin = from.leftMargin;
    to.rightMargin = from.rightMargin;
    to.indent = from.indent;
    to.leading = from.leading;
    to.blockIndent = from.blockIndent;
    to.bullet = from.bullet;
    to.tabStops = from.tabStops;
}

class HtmlReader {
  public:
    HtmlReader(const TextFormat& base, const HtmlOptions& options)
        : options_(options), lastClosedFont_(base) {
        stack_.push_back({"", base, {}});
    }

    TextDocument read(std::string_view html) {
        for (std::size_t i = 0; i < html.size();) {
            if (html[i] == '<') {
                const std::size_t end = html.find('>', i);
                if (end == std::string_view::npos) {
                    break;
                }
                handleTag(readTag(html.substr(i + 1, end - i - 1)));
                i = end + 1;
                continue;
            }
            std::size_t next = html.find('<', i);
            if (next == std::string_view::npos) {
                next = html.size();
            }
            const std::string_view raw = html.substr(i, next - i);
            i = next;
            if (options_.version7 && isBlank(raw)) {
                continue;
            }
            addText(unicode::toUtf16(decodeEntities(raw)));
        }
        flush();
        return std::move(doc_);
    }

  private:
    struct Open {
        std::string name;
        TextFormat format;
        // A tag the style sheet names: how its text shows.
        std::string display;
    };
    // Tags nested deeper than this are read as text-less: their text keeps the outer format.
    static constexpr std::size_t kMaxDepth = 64;

    TextFormat& top() { return stack_.back().format; }

    bool inside(std::string_view name) const {
        for (const Open& o : stack_) {
            if (o.name == name) {
                return true;
            }
        }
        return false;
    }

    bool atParagraphStart() const { return pending_.empty(); }

    // The paragraph being read is kept apart until it ends, since a tag anywhere in it may
    // still change its paragraph attributes.
    // Its first character decides them.
    void flush() {
        if (pending_.empty()) {
            return;
        }
        // Markup gives a paragraph the settings of its first character. Text read through a
        // style sheet keeps each character's own: the style sheet's formats are what the
        // text runs report, and layout takes a paragraph's settings from its first character.
        const TextFormat paragraph = pending_.front().second;
        for (auto& [text, format] : pending_) {
            if (options_.styles == nullptr) {
                copyParagraphPart(paragraph, format);
            }
            doc_.append(text, format);
        }
        pending_.clear();
    }

    void write(std::u16string_view text) {
        if (!pending_.empty() && pending_.back().second == top()) {
            pending_.back().first += text;
        } else {
            pending_.emplace_back(std::u16string(text), top());
        }
    }

    void newParagraph() {
        write(u"\r");
        flush();
    }

    bool hidden() const {
        return std::any_of(stack_.begin(), stack_.end(),
                           [](const Open& o) { return o.display == "none"; });
    }

    void addText(const std::u16string& text) {
        if (hidden()) {
            return;
        }
        // Condensing white space, players of version 7 and before make one space of each run
        // within a piece of text between tags, one at a paragraph's start included; later
        // ones condense across tags and start paragraphs with no space.
        bool lastWasSpace = false;
        for (char16_t c : text) {
            if (options_.condenseWhite) {
                if (isSpace(c)) {
                    const bool afterSpace =
                        options_.version7
                            ? lastWasSpace
                            : pending_.empty() || (!pending_.back().first.empty() &&
                                                   pending_.back().first.back() == u' ');
                    if (!afterSpace) {
                        write(u" ");
                    }
                    lastWasSpace = true;
                    continue;
                }
                lastWasSpace = false;
                write(std::u16string_view(&c, 1));
            } else if (c == u'\n' || c == u'\r') {
                newParagraph();
            } else {
                write(std::u16string_view(&c, 1));
            }
        }
    }

    void applyStyle(const std::string& selector) {
        if (options_.styles == nullptr) {
            return;
        }
        // Selectors match whatever their case.
        if (const PartialFormat* f = options_.styles->find(lower(selector))) {
            f->applyTo(top());
        }
    }

    // A style sheet names paragraphs, list items and links by their tag and any tag by its
    // class; the tag's own attributes come after both and win over them. Only a class
    // attribute that is a single name matches: players compare it as it stands, spaces and
    // all, with the selector after its dot.
    void applyStyles(const Tag& tag) {
        if (tag.name == "p" || tag.name == "li" || tag.name == "a") {
            applyStyle(tag.name);
        }
        if (const std::string* cls = tag.attribute("class")) {
            applyStyle("." + *cls);
        }
    }

    void openParagraph(const Tag& tag, bool bullet) {
        // A list item starts a line of its own; a paragraph only ends one.
        if (bullet && options_.multiline && !atParagraphStart()) {
            const TextFormat item = top();
            stack_.back().format = stack_[stack_.size() - 2].format;
            newParagraph();
            stack_.back().format = item;
        }
        // A paragraph inside a list item stays part of the item.
        if (bullet) {
            top().bullet = true;
        }
        if (const std::string* align = tag.attribute("align")) {
            const std::string a = lower(*align);
            if (a == "left" || a == "right" || a == "center" || a == "justify") {
                top().align = a;
            }
        }
    }

    // A paragraph within a paragraph is the same paragraph, now with the attributes the inner
    // one has where it stands (inside a list item: a bullet), which its end will take.
    void reopenParagraph(const Tag& tag) {
        stack_.push_back({tag.name, top(), {}});
        applyStyles(tag);
        openParagraph(tag, false);
        const TextFormat inner = top();
        stack_.pop_back();
        for (std::size_t i = stack_.size(); i-- > 1;) {
            if (stack_[i].name == "p") {
                copyParagraphPart(inner, stack_[i].format);
                return;
            }
        }
    }

    void handleTag(const Tag& tag) {
        if (tag.name.empty()) {
            return;
        }
        if (tag.closing) {
            close(tag.name);
            return;
        }
        if (tag.name == "br" || tag.name == "sbr") {
            // A single-line field has no line to break.
            if (options_.multiline) {
                newParagraph();
            }
            return;
        }
        // An image has no end tag; were it left open, every end tag after it would be
        // dropped.
        if (tag.empty || tag.name == "img") {
            return;
        }
        if (stack_.size() >= kMaxDepth) {
            return;
        }
        if (tag.name == "p" && inside("p")) {
            reopenParagraph(tag);
            return;
        }
        stack_.push_back({tag.name, top(), {}});
        applyStyles(tag);
        TextFormat& f = top();
        if (tag.name == "p") {
            openParagraph(tag, false);
        } else if (tag.name == "li") {
            openParagraph(tag, true);
        } else if (tag.name == "b") {
            f.bold = true;
        } else if (tag.name == "i") {
            f.italic = true;
        } else if (tag.name == "u") {
            f.underline = true;
        } else if (tag.name == "a") {
            if (const std::string* href = tag.attribute("href")) {
                f.url = *href;
            }
            if (const std::string* target = tag.attribute("target")) {
                f.target = *target;
            }
        } else if (tag.name == "font") {
            readFont(tag, f, !options_.version7);
        } else if (tag.name == "textformat") {
            readTextFormat(tag, f);
        } else if (!isMarkupTag(tag.name)) {
            applyOwnTag(tag.name);
        }
    }

    static bool isMarkupTag(std::string_view name) {
        static constexpr std::string_view kKnown[] = {
            "p",    "li",  "b",  "i",   "u",   "a",    "font", "textformat",
            "span", "img", "br", "sbr", "tab", "body", "html", "ul"};
        return std::find(std::begin(kKnown), std::end(kKnown), name) != std::end(kKnown);
    }

    // A tag that is no markup of its own takes the style its name selects, and shows its
    // text as that style's display says; without such a style it stays a plain container.
    void applyOwnTag(const std::string& name) {
        if (options_.styles == nullptr) {
            return;
        }
        const std::string key = lower(name);
        if (const std::string* display = options_.styles->display(key)) {
            applyStyle(key);
            stack_.back().display = *display;
        }
    }

    static void readFont(const Tag& tag, TextFormat& f, bool kerningKnown) {
        if (const std::string* face = tag.attribute("face")) {
            f.font = *face;
        }
        if (const std::string* size = tag.attribute("size")) {
            if (const auto v = leadingNumber(*size)) {
                const char sign = size->empty() ? ' ' : size->front();
                // Markup sizes stay within what players know.
                f.size = std::clamp(sign == '+' || sign == '-' ? f.size + *v : *v, 1.0, 127.0);
            }
        }
        if (const std::string* color = tag.attribute("color")) {
            if (const auto c = parseHtmlColor(*color)) {
                f.color = *c;
            }
        }
        if (const std::string* spacing = tag.attribute("letterspacing")) {
            if (const auto v = leadingDecimal(*spacing)) {
                f.letterSpacing = *v;
            }
        }
        const std::string* kerning = kerningKnown ? tag.attribute("kerning") : nullptr;
        if (kerning != nullptr) {
            if (const auto v = leadingNumber(*kerning)) {
                f.kerning = *v != 0;
            }
        }
    }

    static void readTextFormat(const Tag& tag, TextFormat& f) {
        const auto number = [&](const char* name, double& out) {
            if (const std::string* v = tag.attribute(name)) {
                if (const auto n = leadingNumber(*v)) {
                    out = *n;
                }
            }
        };
        number("leftmargin", f.leftMargin);
        number("rightmargin", f.rightMargin);
        number("indent", f.indent);
        number("leading", f.leading);
        number("blockindent", f.blockIndent);
        if (const std::string* stops = tag.attribute("tabstops")) {
            f.tabStops.clear();
            std::size_t start = 0;
            while (start <= stops->size() && f.tabStops.size() < 1000) {
                std::size_t comma = stops->find(',', start);
                if (comma == std::string::npos) {
                    comma = stops->size();
                }
                if (const auto n =
                        leadingNumber(std::string_view(*stops).substr(start, comma - start))) {
                    f.tabStops.push_back(*n);
                }
                start = comma + 1;
            }
        }
    }

    // Only the innermost open tag closes: an end tag that matches an outer one is dropped,
    // so "<b>a<i>b</b>c</i>" keeps "c" bold and italic.
    void close(const std::string& name) {
        if (const std::size_t i = stack_.size() - 1; i > 0) {
            if (stack_[i].name == name) {
                // A list item ends in its own format; a paragraph in the format inside the
                // font tag closed last (the field's own before any), whatever is open now.
                TextFormat end = name == "li" ? stack_[i].format : lastClosedFont_;
                copyParagraphPart(stack_[i].format, end);
                if (name == "font") {
                    lastClosedFont_ = stack_[i].format;
                }
                // A tag the sheet shows as a block ends its paragraph as a paragraph tag does.
                const bool block = stack_[i].display == "block";
                if (block) {
                    end = stack_[i].format;
                }
                stack_.resize(i);
                if ((name == "p" || name == "li" || block) && options_.multiline && !hidden()) {
                    pending_.emplace_back(u"\r", end);
                    flush();
                }
                return;
            }
        }
    }

    const HtmlOptions& options_;
    TextFormat lastClosedFont_;
    // The text of the paragraph being read.
    std::vector<std::pair<std::u16string, TextFormat>> pending_;
    std::vector<Open> stack_;
    TextDocument doc_;
};

std::string number(double v) {
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15) {
        return std::to_string(static_cast<long long>(v));
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

std::string colorText(std::uint32_t c) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "#%06X", c & 0xFFFFFFu);
    return buffer;
}

std::string escapeText(std::u16string_view text) {
    return avm1::xml::escape(unicode::fromUtf16(text));
}

std::string fontAttributes(const TextFormat& f, const TextFormat* outer) {
    std::string out;
    if (outer == nullptr || f.font != outer->font) {
        out += " FACE=\"" + escapeText(unicode::toUtf16(f.font)) + "\"";
    }
    if (outer == nullptr || f.size != outer->size) {
        out += " SIZE=\"" + number(f.size) + "\"";
    }
    if (outer == nullptr || f.color != outer->color) {
        out += " COLOR=\"" + colorText(f.color) + "\"";
    }
    if (outer == nullptr || f.letterSpacing != outer->letterSpacing) {
        out += " LETTERSPACING=\"" + number(f.letterSpacing) + "\"";
    }
    if (outer == nullptr || f.kerning != outer->kerning) {
        out += std::string(" KERNING=\"") + (f.kerning ? "1" : "0") + "\"";
    }
    return out;
}

std::string textFormatAttributes(const TextFormat& f) {
    std::string out;
    if (f.leftMargin != 0) {
        out += " LEFTMARGIN=\"" + number(f.leftMargin) + "\"";
    }
    if (f.rightMargin != 0) {
        out += " RIGHTMARGIN=\"" + number(f.rightMargin) + "\"";
    }
    if (f.indent != 0) {
        out += " INDENT=\"" + number(f.indent) + "\"";
    }
    if (f.leading != 0) {
        out += " LEADING=\"" + number(f.leading) + "\"";
    }
    if (f.blockIndent != 0) {
        out += " BLOCKINDENT=\"" + number(f.blockIndent) + "\"";
    }
    if (!f.tabStops.empty()) {
        std::string stops;
        for (double s : f.tabStops) {
            stops += (stops.empty() ? "" : ",") + number(s);
        }
        out += " TABSTOPS=\"" + stops + "\"";
    }
    return out;
}

bool sameFont(const TextFormat& a, const TextFormat& b) {
    return a.font == b.font && a.size == b.size && a.color == b.color &&
           a.letterSpacing == b.letterSpacing && a.kerning == b.kerning;
}

// Prints one paragraph's runs. FONT tags nest: a run whose font matches an open one goes
// back to it; any other font opens inside the innermost, naming what differs from it.
class ParagraphPrinter {
  public:
    ParagraphPrinter(std::string& out, const TextFormat& first) : out_(out) {
        fonts_.push_back(first);
        out_ += "<FONT" + fontAttributes(first, nullptr) + ">";
    }

    ~ParagraphPrinter() {
        for (std::size_t i = 0; i < fonts_.size(); ++i) {
            out_ += "</FONT>";
        }
    }
    ParagraphPrinter(const ParagraphPrinter&) = delete;
    ParagraphPrinter& operator=(const ParagraphPrinter&) = delete;

    void run(std::u16string_view text, const TextFormat& f) {
        std::size_t open = fonts_.size();
        for (std::size_t i = fonts_.size(); i-- > 0;) {
            if (sameFont(fonts_[i], f)) {
                open = i + 1;
                break;
            }
        }
        if (open < fonts_.size()) {
            for (std::size_t i = open; i < fonts_.size(); ++i) {
                out_ += "</FONT>";
            }
            fonts_.resize(open);
        } else if (!sameFont(fonts_.back(), f)) {
            out_ += "<FONT" + fontAttributes(f, &fonts_.back()) + ">";
            fonts_.push_back(f);
        }
        if (!f.url.empty()) {
            out_ += "<A HREF=\"" + escapeText(unicode::toUtf16(f.url)) + "\" TARGET=\"" +
                    escapeText(unicode::toUtf16(f.target)) + "\">";
        }
        out_ += f.bold ? "<B>" : "";
        out_ += f.italic ? "<I>" : "";
        out_ += f.underline ? "<U>" : "";
        out_ += escapeText(text);
        out_ += f.underline ? "</U>" : "";
        out_ += f.italic ? "</I>" : "";
        out_ += f.bold ? "</B>" : "";
        out_ += f.url.empty() ? "" : "</A>";
    }

  private:
    std::string& out_;
    std::vector<TextFormat> fonts_;
};

} // namespace

std::optional<std::uint32_t> parseHtmlColor(std::string_view text) {
    if (text.empty() || text.front() != '#') {
        return std::nullopt;
    }
    std::size_t i = 1;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    std::uint32_t value = 0;
    bool any = false;
    for (; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        value = ((value << 4) | static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10)) &
                0xFFFFFFu;
        any = true;
    }
    return any ? std::optional(value) : std::nullopt;
}

TextDocument parseHtml(std::string_view html, const TextFormat& base, const HtmlOptions& options) {
    return HtmlReader(base, options).read(html);
}

std::string printHtml(const TextDocument& doc) {
    std::string out;
    const std::u16string& text = doc.text();
    const auto runs = doc.runs();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(u'\r', start);
        const bool closed = end != std::u16string::npos;
        if (!closed) {
            end = text.size();
        }
        const TextFormat& first = *doc.formatAt(start);
        const std::string block = textFormatAttributes(first);
        if (!block.empty()) {
            out += "<TEXTFORMAT" + block + ">";
        }
        out += first.bullet ? "<LI>" : "<P ALIGN=\"" + upper(first.align) + "\">";
        {
            ParagraphPrinter printer(out, first);
            // The paragraph's end is printed as a run of no text when it looks different.
            const std::size_t stop = closed ? end + 1 : end;
            for (const TextDocument::Run& r : runs) {
                const std::size_t b = std::max(r.begin, start);
                const std::size_t e = std::min(r.end, stop);
                if (b < e) {
                    printer.run(
                        std::u16string_view(text).substr(b, std::min(e, end) - std::min(b, end)),
                        *r.format);
                }
            }
        }
        out += first.bullet ? "</LI>" : "</P>";
        if (!block.empty()) {
            out += "</TEXTFORMAT>";
        }
        start = closed ? end + 1 : end;
    }
    return out;
}

} // namespace mc
