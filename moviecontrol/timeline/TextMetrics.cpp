#include "TextMetrics.h"

#include <algorithm>
#include <cmath>

#include "DeviceAdvances.h"
#include "LineBreaking.h"
#include "ParagraphFrame.h"
#include "TextFieldState.h"

namespace mc {

namespace {

// One font at one size, in twips.
class Measure {
  public:
    Measure(const CharacterCatalog& catalog, const TextFormat& f, bool embedded)
        : size_(f.size * 20.0), spacing_(std::trunc(lengthTwips(f.letterSpacing))),
          kerning_(f.kerning), bold_(f.bold) {
        if (embedded) {
            font_ = catalog.fontNamed(f.font, f.bold, f.italic);
        }
        if (font_ != nullptr && font_->hasLayout) {
            // Players keep a font's ascent and descent in whole twips, cut.
            const double em = font_->emSquare();
            ascent_ = std::trunc(font_->ascent * size_ / em);
            descent_ = std::trunc(font_->descent * size_ / em);
        } else {
            // Device fonts: the system sans-serif face's ascent and descent, kept in whole
            // twips, cut, as an embedded font's are.
            font_ = nullptr;
            ascent_ = std::trunc(kDeviceFontAscent * size_ / kDeviceFontEm);
            descent_ = std::trunc(kDeviceFontDescent * size_ / kDeviceFontEm);
        }
    }

    double ascent() const { return ascent_; }
    double descent() const { return descent_; }

    // The pen advance from `c` to the next character, as the painter steps it: the glyph's
    // advance with its kerning, cut to whole twips, then the letter spacing.
    double advance(char16_t c, char16_t next) const {
        if (font_ == nullptr) {
            return deviceAdvance(c) + spacing_;
        }
        const double em = font_->emSquare();
        for (const swf::Glyph& g : font_->glyphs) {
            if (g.code == c) {
                double a = g.advance * size_ / em;
                if (kerning_ && next != 0) {
                    for (const swf::KerningRecord& k : font_->kerning) {
                        if (k.leftCode == c && k.rightCode == next) {
                            a += k.adjustment * size_ / em;
                            break;
                        }
                    }
                }
                return std::trunc(a) + spacing_;
            }
        }
        // A character the embedded font lacks is not drawn and takes no room.
        return spacing_;
    }

  private:
    // A device glyph's advance is measured in whole twips, cut, and the pen steps whole
    // pixels, rounded up.
    double deviceAdvance(char16_t c) const {
        const double twips = std::trunc(deviceFontAdvance(c, bold_) * size_ / kDeviceFontEm);
        return std::ceil(twips / 20.0) * 20.0;
    }

    const swf::Font* font_ = nullptr;
    double size_;
    double spacing_;
    bool kerning_;
    bool bold_;
    double ascent_ = 0;
    double descent_ = 0;
};

// Characters [begin, end) of the text (paragraph ends left out) in the paragraph format of
// `format`.
struct Paragraph {
    std::size_t begin = 0;
    std::size_t end = 0;
    const TextFormat* format = nullptr;
};

// The paragraphs as the painter takes them: one per '\r'-ended stretch, the empty one after
// a last paragraph end only when it is a list item. A single-line field breaks its lines at
// paragraph ends too: multiline only decides what markup and typing can make of them.
std::vector<Paragraph> paragraphsOf(const TextDocument& document) {
    const std::u16string& text = document.text();
    std::vector<Paragraph> out;
    std::size_t begin = 0;
    while (true) {
        const std::size_t stop = std::min(text.find(u'\r', begin), text.size());
        out.push_back({begin, stop, document.formatAt(std::min(begin, text.size() - 1))});
        if (stop == text.size()) {
            break;
        }
        begin = stop + 1;
    }
    if (out.size() > 1 && out.back().begin == text.size() &&
        (out.back().format == nullptr || !out.back().format->bullet)) {
        out.pop_back();
    }
    return out;
}

struct ShapedText {
    std::vector<LineItem> items;
    // The document's index of each item's character.
    std::vector<std::size_t> characters;
    std::vector<double> ascents;
    std::vector<double> descents;
};

ShapedText shape(const CharacterCatalog& catalog, const TextDocument& document, bool embedded,
                 const Paragraph& p) {
    ShapedText out;
    const std::u16string& text = document.text();
    for (const TextDocument::Run& r : document.runs()) {
        const std::size_t from = std::max(r.begin, p.begin);
        const std::size_t to = std::min(r.end, p.end);
        if (from >= to) {
            continue;
        }
        const Measure measure(catalog, *r.format, embedded);
        for (std::size_t i = from; i < to; ++i) {
            const char16_t c = text[i];
            if (c == u'\r') {
                continue;
            }
            const char16_t next = i + 1 < to ? text[i + 1] : 0;
            out.items.push_back({measure.advance(c, next), c == u' '});
            out.characters.push_back(i);
            out.ascents.push_back(measure.ascent());
            out.descents.push_back(measure.descent());
        }
    }
    return out;
}

} // namespace

TextExtent measureText(const CharacterCatalog& catalog, const TextDocument& document, bool embedded,
                       double wrapWidth, double room) {
    TextExtent e;
    if (document.empty()) {
        return e;
    }
    bool first = true;
    for (const Paragraph& p : paragraphsOf(document)) {
        const TextFormat& format = p.format != nullptr ? *p.format : TextFormat{};
        const ParagraphFrame frame =
            paragraphFrame(0.0, wrapWidth,
                           {format.leftMargin, format.rightMargin, format.indent,
                            format.blockIndent, format.bullet});
        const ShapedText shaped = shape(catalog, document, embedded, p);
        const Measure own(catalog, format, embedded);
        const std::vector<LineSpan> lines =
            breakLines(shaped.items, frame.firstWidth(), frame.width(), wrapWidth > 0);
        for (std::size_t l = 0; l < lines.size(); ++l) {
            const LineSpan& line = lines[l];
            double ascent = line.begin == line.end ? own.ascent() : 0.0;
            double descent = line.begin == line.end ? own.descent() : 0.0;
            for (std::size_t i = line.begin; i < line.end; ++i) {
                ascent = std::max(ascent, shaped.ascents[i]);
                descent = std::max(descent, shaped.descents[i]);
            }
            // The room the line takes from the field's left gutter: margins and indents
            // included, as drawn. A line that wrapped counts the spaces it broke at, which
            // the painter leaves hanging past its end.
            double width = line.width;
            if (l + 1 < lines.size()) {
                width = 0;
                for (std::size_t i = line.begin; i < line.end; ++i) {
                    width += shaped.items[i].width;
                }
            }
            const double reach = frame.lineLeft(l) + width + lengthTwips(format.rightMargin);
            e.width = std::max(e.width, reach);
            // What the line leaves free goes before it in centred and right-aligned
            // paragraphs.
            const double free = std::max(0.0, room - reach);
            LineBox box{e.height, e.height + ascent + descent, reach};
            box.begin = line.begin < line.end ? shaped.characters[line.begin] : p.begin;
            box.end = l + 1 < lines.size() && lines[l + 1].begin < shaped.characters.size()
                          ? shaped.characters[lines[l + 1].begin]
                          : std::min(p.end + 1, document.size());
            box.ascent = ascent;
            box.descent = descent;
            box.leading = lengthTwips(format.leading);
            box.advance = line.width;
            box.x = frame.lineLeft(l) + (format.align == "center"  ? std::floor(free / 2)
                                         : format.align == "right" ? free
                                                                   : 0.0);
            e.lines.push_back(box);
            e.height += ascent + descent + lengthTwips(format.leading);
            if (first) {
                e.ascent = ascent;
                e.descent = descent;
                first = false;
            }
        }
    }
    return e;
}

TextExtent measureField(const CharacterCatalog& catalog, const TextFieldState& field) {
    const double wrap =
        field.field.wordWrap
            ? std::max(0.0, field.bounds.xMax - field.bounds.xMin - 2 * kFieldGutter)
            : 0.0;
    return measureText(catalog, field.document, field.field.useOutlines,
                       field.field.wordWrap ? std::max(wrap, 1.0) : 0.0);
}

namespace {

// A line as drawn: its band [top, bottom) and where each of its characters starts and how far
// it advances, twips of the field's own space (no scrolling); `paragraph` is where the line's
// paragraph starts.
struct PlacedCharacter {
    std::size_t index = 0;
    double x = 0;
    double width = 0;
};
struct PlacedLine {
    double top = 0;
    double bottom = 0;
    double pen = 0;
    std::size_t paragraph = 0;
    std::vector<PlacedCharacter> characters;
};

std::vector<PlacedLine> placeLines(const CharacterCatalog& catalog, const TextFieldState& field) {
    std::vector<PlacedLine> out;
    const TextDocument& document = field.document;
    const bool embedded = field.field.useOutlines;
    const double textLeft = field.bounds.xMin + kFieldGutter;
    const double room = std::max(0.0, field.bounds.xMax - field.bounds.xMin - 2 * kFieldGutter);
    const double wrap = field.field.wordWrap ? std::max(room, 1.0) : 0.0;
    double top = field.bounds.yMin + kFieldGutter;
    for (const Paragraph& p : paragraphsOf(document)) {
        const TextFormat& format = p.format != nullptr ? *p.format : TextFormat{};
        const ParagraphFrame frame =
            paragraphFrame(0.0, wrap,
                           {format.leftMargin, format.rightMargin, format.indent,
                            format.blockIndent, format.bullet});
        const ShapedText shaped = shape(catalog, document, embedded, p);
        const Measure own(catalog, format, embedded);
        const std::vector<LineSpan> lines =
            breakLines(shaped.items, frame.firstWidth(), frame.width(), wrap > 0);
        for (std::size_t l = 0; l < lines.size(); ++l) {
            const LineSpan& line = lines[l];
            double ascent = line.begin == line.end ? own.ascent() : 0.0;
            double descent = line.begin == line.end ? own.descent() : 0.0;
            for (std::size_t i = line.begin; i < line.end; ++i) {
                ascent = std::max(ascent, shaped.ascents[i]);
                descent = std::max(descent, shaped.descents[i]);
            }
            PlacedLine placed;
            placed.top = top;
            placed.bottom = top + ascent + descent + lengthTwips(format.leading);
            placed.paragraph = p.begin;
            // What the line leaves free goes before it in centred and right-aligned
            // paragraphs.
            const double free = std::max(0.0, room - frame.lineLeft(l) - line.width -
                                                  lengthTwips(format.rightMargin));
            placed.pen = textLeft + frame.lineLeft(l) +
                         (format.align == "center"  ? free / 2
                          : format.align == "right" ? free
                                                    : 0.0);
            double pen = placed.pen;
            for (std::size_t i = line.begin; i < line.end; ++i) {
                placed.characters.push_back({shaped.characters[i], pen, shaped.items[i].width});
                pen += shaped.items[i].width;
            }
            top = placed.bottom;
            out.push_back(std::move(placed));
        }
    }
    return out;
}

// The character at (x, y), or with `caret` the place between characters nearest it: the
// lines above and below the text stretch to meet the point, and a point in a character's
// right half goes after it.
std::optional<std::size_t> locate(const CharacterCatalog& catalog, const TextFieldState& field,
                                  double x, double y, bool caret) {
    const TextDocument& document = field.document;
    if (document.empty()) {
        return caret ? std::optional<std::size_t>(0) : std::nullopt;
    }
    const std::vector<PlacedLine> lines = placeLines(catalog, field);
    for (std::size_t l = 0; l < lines.size(); ++l) {
        const PlacedLine& line = lines[l];
        if (!((y >= line.top || (caret && l == 0)) && y < line.bottom)) {
            continue;
        }
        if (x < line.pen && !caret) {
            return std::nullopt;
        }
        for (const PlacedCharacter& c : line.characters) {
            if (caret ? x < c.x + c.width / 2 : x < c.x + c.width) {
                return c.index;
            }
        }
        if (!caret) {
            return std::nullopt;
        }
        return line.characters.empty() ? line.paragraph : line.characters.back().index + 1;
    }
    return caret ? std::optional<std::size_t>(document.size()) : std::nullopt;
}

} // namespace

std::optional<std::size_t> characterAt(const CharacterCatalog& catalog, const TextFieldState& field,
                                       double x, double y) {
    return locate(catalog, field, x, y, false);
}

std::size_t caretAt(const CharacterCatalog& catalog, const TextFieldState& field, double x,
                    double y) {
    return locate(catalog, field, x, y, true).value_or(0);
}

std::optional<CharacterBox> characterBox(const CharacterCatalog& catalog,
                                         const TextFieldState& field, std::size_t index) {
    for (const PlacedLine& line : placeLines(catalog, field)) {
        for (const PlacedCharacter& c : line.characters) {
            if (c.index == index) {
                return CharacterBox{c.x, line.top, c.width, line.bottom - line.top};
            }
        }
    }
    return std::nullopt;
}

std::vector<LineBox> fieldLines(const CharacterCatalog& catalog, const TextFieldState& field) {
    const double room = std::max(0.0, field.bounds.xMax - field.bounds.xMin - 2 * kFieldGutter);
    const double wrap = field.field.wordWrap ? std::max(room, 1.0) : 0.0;
    const TextDocument& document = field.document;
    TextExtent e = measureText(catalog, document, field.field.useOutlines, wrap, room);
    const std::u16string& text = document.text();
    const bool endsParagraph = !text.empty() && text.back() == u'\r';
    if (e.lines.empty() || (endsParagraph && e.lines.back().begin < text.size())) {
        // The empty line after the last paragraph end, or the only line of an empty field.
        const TextFormat* f =
            document.empty() ? &field.newFormat : document.formatAt(text.size() - 1);
        const Measure measure(catalog, f != nullptr ? *f : TextFormat{}, field.field.useOutlines);
        LineBox box{e.height, e.height + measure.ascent() + measure.descent(), 0};
        box.begin = text.size();
        box.end = text.size();
        box.ascent = measure.ascent();
        box.descent = measure.descent();
        box.leading = f != nullptr ? lengthTwips(f->leading) : 0.0;
        e.lines.push_back(box);
    }
    return std::move(e.lines);
}

void fitToText(const CharacterCatalog& catalog, TextFieldState& field) {
    if (field.autoSize == "none") {
        return;
    }
    const TextExtent e = measureField(catalog, field);
    Bounds& b = field.bounds;
    // The box ends below the last line's descent: the leading under it is not kept, unless
    // the text is a single line, whose leading the box keeps.
    const double textHeight = e.lines.size() < 2 ? e.height : e.lines.back().bottom;
    const double height = std::round(textHeight) + 2 * kFieldGutter;
    b.yMax = b.yMin + height;
    if (!field.field.wordWrap) {
        const double width = std::round(e.width) + 2 * kFieldGutter;
        if (field.autoSize == "right") {
            b.xMin = b.xMax - width;
        } else if (field.autoSize == "center") {
            const double middle = (b.xMin + b.xMax) / 2;
            b.xMin = middle - width / 2;
            b.xMax = middle + width / 2;
        } else {
            b.xMax = b.xMin + width;
        }
    }
    field.field.bounds =
        swf::Rect{static_cast<std::int32_t>(b.xMin), static_cast<std::int32_t>(b.xMax),
                  static_cast<std::int32_t>(b.yMin), static_cast<std::int32_t>(b.yMax)};
    field.changed();
}

ScrollLimits scrollLimits(const CharacterCatalog& catalog, const TextFieldState& field) {
    ScrollLimits limits;
    TextExtent e = measureField(catalog, field);
    limits.viewHeight = std::max(0.0, field.bounds.yMax - field.bounds.yMin - 2 * kFieldGutter);
    const double viewWidth =
        std::max(0.0, field.bounds.xMax - field.bounds.xMin - 2 * kFieldGutter);
    limits.lines = std::move(e.lines);
    limits.lineCount = std::max<std::size_t>(1, limits.lines.size());
    const bool fitted = field.autoSize != "none";
    if (fitted && !limits.lines.empty()) {
        // An autoSize box grows with its text whatever its height was set to: nothing scrolls.
        limits.viewHeight = std::max(limits.viewHeight, limits.lines.back().bottom);
    }
    if (!limits.lines.empty()) {
        // The first line from which every line down to the last fits the view; when even
        // the last alone does not fit, the last.
        const double last = limits.lines.back().bottom;
        std::size_t first = limits.lines.size() - 1;
        while (first > 0 && last - limits.lines[first - 1].top <= limits.viewHeight) {
            --first;
        }
        limits.maxScroll = first + 1;
    }
    if (!field.field.wordWrap && !fitted) {
        limits.maxHScroll = std::max(0.0, std::floor((e.width - viewWidth) / 20.0));
    }
    return limits;
}

std::size_t bottomScroll(const ScrollLimits& limits, std::size_t scroll) {
    const std::size_t first = std::clamp<std::size_t>(scroll, 1, limits.lineCount);
    if (limits.lines.empty()) {
        return first;
    }
    const double floor = limits.lines[first - 1].top + limits.viewHeight;
    std::size_t bottom = first;
    while (bottom < limits.lines.size() && limits.lines[bottom].bottom <= floor) {
        ++bottom;
    }
    return bottom;
}

void clampScroll(const CharacterCatalog& catalog, TextFieldState& field) {
    if (field.scroll <= 1 && field.hscroll <= 0) {
        return; // nothing to bring back: the common case needs no layout
    }
    const ScrollLimits limits = scrollLimits(catalog, field);
    const std::size_t scroll = std::clamp<std::size_t>(field.scroll, 1, limits.maxScroll);
    const double hscroll = std::clamp(field.hscroll, 0.0, limits.maxHScroll);
    if (scroll != field.scroll || hscroll != field.hscroll) {
        field.scroll = scroll;
        field.hscroll = hscroll;
        field.changed();
    }
}

void relayOut(const CharacterCatalog& catalog, TextFieldState& field) {
    fitToText(catalog, field);
    clampScroll(catalog, field);
    field.changed();
}

} // namespace mc
