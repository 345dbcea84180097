#include "TextDocument.h"

#include <algorithm>

namespace mc {

namespace {

template <typename T> void keepIfSame(std::optional<T>& kept, const T& value) {
    if (kept && !(*kept == value)) {
        kept.reset();
    }
}

template <typename T> void applyIfGiven(const std::optional<T>& given, T& value) {
    if (given) {
        value = *given;
    }
}

} // namespace

PartialFormat PartialFormat::of(const TextFormat& f) {
    PartialFormat p;
    p.font = f.font;
    p.size = f.size;
    p.color = f.color;
    p.bold = f.bold;
    p.italic = f.italic;
    p.underline = f.underline;
    p.url = f.url;
    p.target = f.target;
    p.letterSpacing = f.letterSpacing;
    p.kerning = f.kerning;
    p.align = f.align;
    p.leftMargin = f.leftMargin;
    p.rightMargin = f.rightMargin;
    p.indent = f.indent;
    p.leading = f.leading;
    p.blockIndent = f.blockIndent;
    p.bullet = f.bullet;
    p.tabStops = f.tabStops;
    return p;
}

void PartialFormat::intersect(const TextFormat& f) {
    keepIfSame(font, f.font);
    keepIfSame(size, f.size);
    keepIfSame(color, f.color);
    keepIfSame(bold, f.bold);
    keepIfSame(italic, f.italic);
    keepIfSame(underline, f.underline);
    keepIfSame(url, f.url);
    keepIfSame(target, f.target);
    keepIfSame(letterSpacing, f.letterSpacing);
    keepIfSame(kerning, f.kerning);
    keepIfSame(align, f.align);
    keepIfSame(leftMargin, f.leftMargin);
    keepIfSame(rightMargin, f.rightMargin);
    keepIfSame(indent, f.indent);
    keepIfSame(leading, f.leading);
    keepIfSame(blockIndent, f.blockIndent);
    keepIfSame(bullet, f.bullet);
    keepIfSame(tabStops, f.tabStops);
}

void PartialFormat::applyTo(TextFormat& f) const {
    applyIfGiven(font, f.font);
    applyIfGiven(size, f.size);
    applyIfGiven(color, f.color);
    applyIfGiven(bold, f.bold);
    applyIfGiven(italic, f.italic);
    applyIfGiven(underline, f.underline);
    applyIfGiven(url, f.url);
    applyIfGiven(target, f.target);
    applyIfGiven(letterSpacing, f.letterSpacing);
    applyIfGiven(kerning, f.kerning);
    applyIfGiven(align, f.align);
    applyIfGiven(leftMargin, f.leftMargin);
    applyIfGiven(rightMargin, f.rightMargin);
    applyIfGiven(indent, f.indent);
    applyIfGiven(leading, f.leading);
    applyIfGiven(blockIndent, f.blockIndent);
    applyIfGiven(bullet, f.bullet);
    applyIfGiven(tabStops, f.tabStops);
}

bool PartialFormat::hasParagraphPart() const {
    return align || leftMargin || rightMargin || indent || leading || blockIndent || bullet ||
           tabStops;
}

std::size_t TextDocument::splitAt(std::size_t at) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < spans_.size(); ++i) {
        if (pos == at) {
            return i;
        }
        if (at < pos + spans_[i].length) {
            Span tail{pos + spans_[i].length - at, spans_[i].format};
            spans_[i].length = at - pos;
            spans_.insert(spans_.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
            return i + 1;
        }
        pos += spans_[i].length;
    }
    return spans_.size();
}

void TextDocument::merge() {
    std::vector<Span> merged;
    merged.reserve(spans_.size());
    for (Span& s : spans_) {
        if (s.length == 0) {
            continue;
        }
        if (!merged.empty() && merged.back().format == s.format) {
            merged.back().length += s.length;
        } else {
            merged.push_back(std::move(s));
        }
    }
    spans_ = std::move(merged);
}

void TextDocument::replace(std::size_t begin, std::size_t end, std::u16string_view text,
                           const TextFormat& format) {
    end = std::min(end, size());
    begin = std::min(begin, end);
    if (text.empty() && begin == end) {
        return;
    }
    if (begin == size()) {
        // Appending, the common case of readers, stays linear.
        if (!spans_.empty() && spans_.back().format == format) {
            spans_.back().length += text.size();
        } else {
            spans_.push_back(Span{text.size(), format});
        }
        text_ += text;
        return;
    }
    const std::size_t first = splitAt(begin);
    const std::size_t last = splitAt(end);
    spans_.erase(spans_.begin() + static_cast<std::ptrdiff_t>(first),
                 spans_.begin() + static_cast<std::ptrdiff_t>(last));
    spans_.insert(spans_.begin() + static_cast<std::ptrdiff_t>(first), Span{text.size(), format});
    text_.replace(begin, end - begin, text);
    merge();
}

std::size_t TextDocument::paragraphStart(std::size_t index) const {
    index = std::min(index, size());
    while (index > 0 && text_[index - 1] != u'\r') {
        --index;
    }
    return index;
}

std::size_t TextDocument::paragraphEnd(std::size_t index) const {
    while (index < size() && text_[index] != u'\r') {
        ++index;
    }
    return std::min(index + 1, size());
}

void TextDocument::apply(std::size_t begin, std::size_t end, const PartialFormat& format) {
    end = std::min(end, size());
    begin = std::min(begin, end);
    if (begin == end) {
        return;
    }
    PartialFormat characters = format;
    PartialFormat paragraph;
    if (format.hasParagraphPart()) {
        paragraph.align = format.align;
        paragraph.leftMargin = format.leftMargin;
        paragraph.rightMargin = format.rightMargin;
        paragraph.indent = format.indent;
        paragraph.leading = format.leading;
        paragraph.blockIndent = format.blockIndent;
        paragraph.bullet = format.bullet;
        paragraph.tabStops = format.tabStops;
        const std::size_t pBegin = paragraphStart(begin);
        const std::size_t pEnd = paragraphEnd(end - 1);
        const std::size_t first = splitAt(pBegin);
        const std::size_t last = splitAt(pEnd);
        for (std::size_t i = first; i < last; ++i) {
            paragraph.applyTo(spans_[i].format);
        }
    }
    const std::size_t first = splitAt(begin);
    const std::size_t last = splitAt(end);
    for (std::size_t i = first; i < last; ++i) {
        TextFormat& f = spans_[i].format;
        const TextFormat keep = f;
        characters.applyTo(f);
        // The paragraph part was settled above, for whole paragraphs.
        f.align = keep.align;
        f.leftMargin = keep.leftMargin;
        f.rightMargin = keep.rightMargin;
        f.indent = keep.indent;
        f.leading = keep.leading;
        f.blockIndent = keep.blockIndent;
        f.bullet = keep.bullet;
        f.tabStops = keep.tabStops;
    }
    merge();
}

std::optional<PartialFormat> TextDocument::formatOf(std::size_t begin, std::size_t end) const {
    end = std::min(end, size());
    if (begin >= end) {
        const TextFormat* f = formatAt(begin);
        return f != nullptr ? std::optional(PartialFormat::of(*f)) : std::nullopt;
    }
    std::optional<PartialFormat> shared;
    std::size_t pos = 0;
    for (const Span& s : spans_) {
        const std::size_t spanEnd = pos + s.length;
        if (spanEnd > begin && pos < end) {
            if (!shared) {
                shared = PartialFormat::of(s.format);
            } else {
                shared->intersect(s.format);
            }
        }
        pos = spanEnd;
    }
    return shared;
}

const TextFormat* TextDocument::formatAt(std::size_t index) const {
    std::size_t pos = 0;
    for (const Span& s : spans_) {
        if (index < pos + s.length) {
            return &s.format;
        }
        pos += s.length;
    }
    return nullptr;
}

std::vector<TextDocument::Run> TextDocument::runs() const {
    std::vector<Run> out;
    out.reserve(spans_.size());
    std::size_t pos = 0;
    for (const Span& s : spans_) {
        out.push_back(Run{pos, pos + s.length, &s.format});
        pos += s.length;
    }
    return out;
}

TextDocument maskedDocument(const TextDocument& document, char16_t mask) {
    TextDocument out;
    const std::u16string& text = document.text();
    for (const TextDocument::Run& r : document.runs()) {
        std::u16string shown;
        for (std::size_t i = r.begin; i < r.end && i < text.size(); ++i) {
            const char16_t c = text[i];
            const bool secondHalf = c >= 0xDC00 && c <= 0xDFFF && i > 0 && text[i - 1] >= 0xD800 &&
                                    text[i - 1] <= 0xDBFF;
            if (!secondHalf) {
                shown += c == u'\r' ? u'\r' : mask;
            }
        }
        out.append(shown, *r.format);
    }
    return out;
}

} // namespace mc
