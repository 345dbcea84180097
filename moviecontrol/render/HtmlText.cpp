#include "HtmlText.h"

namespace mc {

namespace {

swf::TextAlign alignOf(const std::string& align) {
    return align == "right"     ? swf::TextAlign::Right
           : align == "center"  ? swf::TextAlign::Center
           : align == "justify" ? swf::TextAlign::Justify
                                : swf::TextAlign::Left;
}

swf::Rgba rgbaOf(std::uint32_t c) {
    return swf::Rgba{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                     static_cast<std::uint8_t>(c), 255};
}

StyledRun runOf(QString text, const TextFormat& f) {
    return StyledRun{std::move(text), f.bold,          f.italic,
                     f.size,          rgbaOf(f.color), QString::fromStdString(f.font),
                     f.kerning,       f.underline,     f.letterSpacing};
}

// Takes the paragraph attributes of `f`, the format of the paragraph's first character.
void describe(StyledParagraph& p, const TextFormat& f) {
    p.align = alignOf(f.align);
    p.leftMargin = f.leftMargin;
    p.rightMargin = f.rightMargin;
    p.indent = f.indent;
    p.blockIndent = f.blockIndent;
    p.leading = f.leading;
    p.bullet = f.bullet;
    if (f.bullet) {
        p.mark = runOf(QStringLiteral("\u2022"), f);
    }
}

} // namespace

std::vector<StyledParagraph> paragraphsOf(const TextDocument& document) {
    std::vector<StyledParagraph> paragraphs(1);
    const std::u16string& text = document.text();
    bool aligned = false;
    for (const TextDocument::Run& r : document.runs()) {
        std::size_t at = r.begin;
        while (at < r.end) {
            std::size_t stop = text.find(u'\r', at);
            if (stop == std::u16string::npos || stop > r.end) {
                stop = r.end;
            }
            const TextFormat& f = *r.format;
            if (!aligned) {
                describe(paragraphs.back(), f);
                aligned = true;
            }
            if (stop > at) {
                paragraphs.back().runs.push_back(runOf(
                    QString::fromUtf16(text.data() + at, static_cast<qsizetype>(stop - at)), f));
                paragraphs.back().runs.back().begin = at;
            }
            if (stop < r.end) {
                paragraphs.emplace_back();
                aligned = false;
                ++stop;
            }
            at = stop;
        }
    }
    // The line after the last paragraph end shows only when it holds a bullet; it takes the
    // format of that end.
    if (paragraphs.size() > 1 && paragraphs.back().runs.empty()) {
        const TextFormat* end = document.formatAt(document.size() - 1);
        if (end != nullptr && end->bullet) {
            describe(paragraphs.back(), *end);
        } else {
            paragraphs.pop_back();
        }
    }
    return paragraphs;
}

} // namespace mc
