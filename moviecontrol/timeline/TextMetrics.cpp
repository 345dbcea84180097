#include "TextMetrics.h"

#include <algorithm>
#include <cmath>

#include "TextFieldState.h"

namespace mc {

namespace {

// Two pixels between a field's box and its text on every side.
constexpr double kGutter = 40.0;

// One font at one size, in twips.
class Measure {
  public:
    Measure(const CharacterCatalog& catalog, const TextFormat& f, bool embedded)
        : size_(f.size * 20.0), spacing_(f.letterSpacing * 20.0), kerning_(f.kerning) {
        if (embedded) {
            font_ = catalog.fontNamed(f.font, f.bold, f.italic);
        }
        if (font_ != nullptr && font_->hasLayout) {
            const double em = font_->emSquare();
            ascent_ = font_->ascent * size_ / em;
            descent_ = font_->descent * size_ / em;
        } else {
            // Device fonts: the proportions of the common serif and sans faces.
            font_ = font_ != nullptr && font_->hasLayout ? font_ : nullptr;
            ascent_ = size_ * 0.9;
            descent_ = size_ * 0.22;
        }
    }

    double ascent() const { return ascent_; }
    double descent() const { return descent_; }

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
                        }
                    }
                }
                return a + spacing_;
            }
        }
        return spacing_;
    }

  private:
    double deviceAdvance(char16_t c) const {
        if (c == u' ') {
            return size_ * 0.25;
        }
        if (c == u'i' || c == u'l' || c == u'j' || c == u'I' || c == u'.' || c == u',') {
            return size_ * 0.28;
        }
        if (c == u'm' || c == u'w' || c == u'M' || c == u'W') {
            return size_ * 0.8;
        }
        return size_ * (c >= u'A' && c <= u'Z' ? 0.65 : 0.5);
    }

    const swf::Font* font_ = nullptr;
    double size_;
    double spacing_;
    bool kerning_;
    double ascent_ = 0;
    double descent_ = 0;
};

struct Line {
    double width = 0;
    double ascent = 0;
    double descent = 0;
    double leading = 0;
    bool empty = true;
};

} // namespace

TextExtent measureText(const CharacterCatalog& catalog, const TextDocument& document, bool embedded,
                       double wrapWidth) {
    std::vector<Line> lines(1);
    const std::u16string& text = document.text();
    const auto runs = document.runs();
    // Where the current line could break (after its last space) and its width there.
    double widthAtBreak = -1;
    for (const TextDocument::Run& r : runs) {
        const Measure measure(catalog, *r.format, embedded);
        for (std::size_t i = r.begin; i < r.end; ++i) {
            Line& line = lines.back();
            line.ascent = std::max(line.ascent, measure.ascent());
            line.descent = std::max(line.descent, measure.descent());
            line.leading = std::max(line.leading, r.format->leading * 20.0);
            const char16_t c = text[i];
            if (c == u'\r') {
                lines.emplace_back();
                widthAtBreak = -1;
                continue;
            }
            const char16_t next = i + 1 < r.end ? text[i + 1] : 0;
            // Pen positions are whole twips.
            const double a = std::trunc(measure.advance(c, next));
            if (wrapWidth > 0 && c != u' ' && line.width + a > wrapWidth && !line.empty) {
                Line fresh;
                fresh.ascent = measure.ascent();
                fresh.descent = measure.descent();
                fresh.leading = line.leading;
                if (widthAtBreak >= 0) {
                    fresh.width = line.width - widthAtBreak;
                    line.width = widthAtBreak;
                }
                lines.push_back(fresh);
                widthAtBreak = -1;
            }
            Line& current = lines.back();
            if (c == u' ') {
                widthAtBreak = current.width;
            }
            current.width += a;
            current.empty = false;
        }
    }
    TextExtent e;
    if (document.empty()) {
        return e;
    }
    // A last line of nothing after a paragraph end takes no room.
    if (lines.size() > 1 && lines.back().empty && text.back() == u'\r') {
        lines.pop_back();
    }
    e.ascent = lines.front().ascent;
    e.descent = lines.front().descent;
    for (const Line& l : lines) {
        e.width = std::max(e.width, l.width);
        e.height += l.ascent + l.descent + l.leading;
    }
    return e;
}

TextExtent measureField(const CharacterCatalog& catalog, const TextFieldState& field) {
    const double wrap = field.field.wordWrap
                            ? std::max(0.0, field.bounds.xMax - field.bounds.xMin - 2 * kGutter)
                            : 0.0;
    return measureText(catalog, field.document, field.field.useOutlines,
                       field.field.wordWrap ? std::max(wrap, 1.0) : 0.0);
}

void fitToText(const CharacterCatalog& catalog, TextFieldState& field) {
    if (field.autoSize == "none") {
        return;
    }
    const TextExtent e = measureField(catalog, field);
    Bounds& b = field.bounds;
    const double height = std::round(e.height) + 2 * kGutter;
    b.yMax = b.yMin + height;
    if (!field.field.wordWrap) {
        const double width = std::round(e.width) + 2 * kGutter;
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

} // namespace mc
