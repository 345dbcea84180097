#include "TextLayout.h"

#include "TextFieldState.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <utility>

#include "HtmlText.h"

namespace mc {

namespace {

// Flash keeps two pixels between an edit field's bounds and its text.
constexpr double kGutter = 40.0;
constexpr double kDefaultHeight = 240.0;

// The font of the movie that a styled run asks for: the same family in the run's weight and
// slant when the movie embeds it, else the field's own font.
std::pair<const swf::Font*, std::uint16_t> fontForRun(const swf::Movie& movie,
                                                      const swf::Font* base, std::uint16_t baseId,
                                                      const StyledRun& run) {
    // A field made by a script has no font of its own: the face its text asks for names one.
    if (base == nullptr && !run.face) {
        return {base, baseId};
    }
    const std::string family = run.face ? run.face->toStdString() : base->name;
    if (base != nullptr && base->bold == run.bold && base->italic == run.italic &&
        family == base->name) {
        return {base, baseId};
    }
    for (const auto& [id, def] : movie.dictionary) {
        if (const auto* f = std::get_if<swf::Font>(&def)) {
            if (f->name == family && f->bold == run.bold && f->italic == run.italic &&
                !f->glyphs.empty()) {
                return {f, id};
            }
        }
    }
    return {base, baseId};
}

// One line of a field laid out by some font: its outline and width, left at x = 0.
struct LineShape {
    QPainterPath path;
    double width = 0.0;
};

class FieldFont {
  public:
    FieldFont(CharacterCache& characters, const swf::Font* font, std::uint16_t fontId,
              double height, bool useGlyphs)
        : characters_(characters), font_(font), fontId_(fontId), height_(height),
          useGlyphs_(useGlyphs && font != nullptr && !font->glyphs.empty()) {
        if (!useGlyphs_) {
            qfont_.setFamily(font != nullptr && !font->name.empty()
                                 ? QString::fromUtf8(font->name.c_str())
                                 : QStringLiteral("Sans Serif"));
            qfont_.setPixelSize(std::max(1, static_cast<int>(height)));
            if (font != nullptr) {
                qfont_.setBold(font->bold);
                qfont_.setItalic(font->italic);
            }
        }
    }

    double ascent() const {
        if (useGlyphs_ && font_->hasLayout) {
            return font_->ascent * height_ / font_->emSquare();
        }
        if (useGlyphs_) {
            return height_ * 0.8;
        }
        return QFontMetricsF(qfont_).ascent();
    }

    double descent() const {
        if (useGlyphs_ && font_->hasLayout) {
            return font_->descent * height_ / font_->emSquare();
        }
        if (useGlyphs_) {
            return height_ * 0.2;
        }
        return QFontMetricsF(qfont_).descent();
    }

    LineShape shapeLine(const QString& line, bool kerning) const {
        LineShape out;
        if (!useGlyphs_) {
            out.path.addText(0.0, 0.0, qfont_, line);
            out.width = QFontMetricsF(qfont_).horizontalAdvance(line);
            return out;
        }
        const double scale = height_ / font_->emSquare();
        double x = 0.0;
        for (qsizetype at = 0; at < line.size(); ++at) {
            const qsizetype next = at + 1;
            const std::uint16_t code = line[at].unicode();
            std::uint32_t index = 0;
            bool found = false;
            for (std::uint32_t i = 0; i < font_->glyphs.size(); ++i) {
                if (font_->glyphs[i].code == code) {
                    index = i;
                    found = true;
                    break;
                }
            }
            if (!found) {
                x += height_ * 0.5;
                continue;
            }
            if (const QPainterPath* g = characters_.glyph(fontId_, index)) {
                QTransform t;
                t.translate(x, 0.0);
                t.scale(scale, scale);
                out.path.addPath(t.map(*g));
            }
            double advance =
                font_->hasLayout ? font_->glyphs[index].advance * scale : height_ * 0.6;
            if (kerning && next < line.size()) {
                advance += kerningOf(code, line[next].unicode()) * scale;
            }
            // Players keep pen positions in whole twips, dropping each scaled advance's
            // fraction; over a line the difference reaches whole pixels.
            x += std::trunc(advance);
        }
        out.width = x;
        return out;
    }

  private:
    double kerningOf(std::uint16_t left, std::uint16_t right) const {
        for (const swf::KerningRecord& k : font_->kerning) {
            if (k.leftCode == left && k.rightCode == right) {
                return k.adjustment;
            }
        }
        return 0.0;
    }

    CharacterCache& characters_;
    const swf::Font* font_;
    std::uint16_t fontId_;
    double height_;
    bool useGlyphs_;
    QFont qfont_;
};

} // namespace

TextOutlines layoutStaticText(CharacterCache& characters, const swf::Movie& movie,
                              const swf::StaticText& text) {
    TextOutlines runs;
    const QTransform textMatrix(text.matrix.a, text.matrix.b, text.matrix.c, text.matrix.d,
                                text.matrix.tx, text.matrix.ty);
    std::uint16_t fontId = 0;
    const swf::Font* font = nullptr;
    double height = 0.0;
    swf::Rgba color;
    double x = 0.0;
    double y = 0.0;
    for (const swf::TextRecord& r : text.records) {
        if (r.fontId) {
            fontId = *r.fontId;
            font = movie.findAs<swf::Font>(fontId);
        }
        if (r.height) {
            height = *r.height;
        }
        if (r.color) {
            color = *r.color;
        }
        if (r.xOffset) {
            x = *r.xOffset;
        }
        if (r.yOffset) {
            y = *r.yOffset;
        }
        if (runs.empty() || !(runs.back().color == color)) {
            runs.push_back({QPainterPath(), color});
            runs.back().path.setFillRule(Qt::WindingFill);
        }
        for (const swf::GlyphEntry& g : r.glyphs) {
            if (font != nullptr) {
                if (const QPainterPath* outline = characters.glyph(fontId, g.index)) {
                    const double scale = height / font->emSquare();
                    QTransform t;
                    t.translate(x, y);
                    t.scale(scale, scale);
                    runs.back().path.addPath((t * textMatrix).map(*outline));
                }
            }
            x += g.advance;
        }
    }
    return runs;
}

TextOutlines layoutEditText(CharacterCache& characters, const swf::Movie& movie,
                            const swf::EditText& field, const TextDocument& document) {
    TextOutlines runs;
    const QRectF bounds(field.bounds.xMin, field.bounds.yMin, field.bounds.width(),
                        field.bounds.height());
    if (document.empty()) {
        return runs;
    }
    const std::uint16_t baseId = field.fontId.value_or(0);
    const swf::Font* baseFont = field.fontId ? movie.findAs<swf::Font>(baseId) : nullptr;
    const double baseHeight = field.fontHeight ? *field.fontHeight : kDefaultHeight;
    const swf::Rgba baseColor = field.color.value_or(swf::Rgba{0, 0, 0, 255});
    std::vector<StyledParagraph> paragraphs = paragraphsOf(document);
    if (!field.multiline && paragraphs.size() > 1) {
        StyledParagraph joined;
        joined.align = paragraphs.front().align;
        for (StyledParagraph& p : paragraphs) {
            for (StyledRun& r : p.runs) {
                joined.runs.push_back(std::move(r));
            }
        }
        paragraphs = {std::move(joined)};
    }

    const double left = bounds.left() + kGutter + field.leftMargin;
    const double right = bounds.right() - kGutter - field.rightMargin;
    double top = bounds.top() + kGutter;
    bool firstLine = true;
    std::size_t firstRun = runs.size();
    for (const StyledParagraph& paragraph : paragraphs) {
        struct Placed {
            LineShape shape;
            swf::Rgba color;
            double x = 0.0;
        };
        std::vector<Placed> placed;
        double x = 0.0;
        double ascent = 0.0;
        double descent = 0.0;
        for (const StyledRun& run : paragraph.runs) {
            const auto [font, fontId] = fontForRun(movie, baseFont, baseId, run);
            const double height = run.sizePx ? *run.sizePx * 20.0 : baseHeight;
            const FieldFont shaper(characters, font, fontId, height, field.useOutlines);
            ascent = std::max(ascent, shaper.ascent());
            descent = std::max(descent, shaper.descent());
            Placed p{shaper.shapeLine(run.text, run.kerning), run.color.value_or(baseColor), x};
            x += p.shape.width;
            placed.push_back(std::move(p));
        }
        if (paragraph.runs.empty()) {
            const FieldFont shaper(characters, baseFont, baseId, baseHeight, field.useOutlines);
            ascent = shaper.ascent();
            descent = shaper.descent();
        }
        const double width = x;
        double start = left + (firstLine ? field.indent : 0);
        const swf::TextAlign align = paragraph.align.value_or(field.align);
        if (align == swf::TextAlign::Right) {
            start = right - width;
        } else if (align == swf::TextAlign::Center) {
            start = (left + right - width) / 2.0;
        }
        const double baseline = top + ascent;
        for (Placed& p : placed) {
            QTransform t;
            t.translate(start + p.x, baseline);
            if (runs.size() == firstRun || !(runs.back().color == p.color)) {
                runs.push_back({QPainterPath(), p.color});
                runs.back().path.setFillRule(Qt::WindingFill);
            }
            runs.back().path.addPath(t.map(p.shape.path));
        }
        top = baseline + descent + field.leading;
        firstLine = false;
        if (top > bounds.bottom() + 20.0 * 1000) {
            break;
        }
    }
    for (std::size_t i = firstRun; i < runs.size(); ++i) {
        if (!bounds.contains(runs[i].path.boundingRect())) {
            QPainterPath clip;
            clip.addRect(bounds);
            runs[i].path = runs[i].path.intersected(clip);
        }
    }
    return runs;
}

const TextOutlines* TextLibrary::outlines(CharacterCache& characters, const swf::Movie& movie,
                                          std::uint16_t id) {
    auto it = texts_.find(id);
    if (it == texts_.end()) {
        TextOutlines runs;
        if (const auto* text = movie.findAs<swf::StaticText>(id)) {
            runs = layoutStaticText(characters, movie, *text);
        } else if (const auto* field = movie.findAs<swf::EditText>(id)) {
            const swf::Font* font =
                field->fontId ? movie.findAs<swf::Font>(*field->fontId) : nullptr;
            TextFieldState state;
            state.define(*field,
                         font != nullptr ? std::string_view(font->name) : std::string_view());
            runs = layoutEditText(characters, movie, *field, state.document);
        } else {
            return nullptr;
        }
        it = texts_.emplace(id, std::move(runs)).first;
    }
    return &it->second;
}

const TextOutlines* TextLibrary::fieldOutlines(CharacterCache& characters, const swf::Movie& movie,
                                               const TextFieldState& state) {
    auto it = fields_.find(&state);
    if (it == fields_.end()) {
        if (fields_.size() >= kMaxFields) {
            fields_.clear();
        }
        it = fields_.emplace(&state, LaidOutField{}).first;
        it->second.generation = state.generation + 1;
    }
    if (it->second.generation != state.generation) {
        it->second.outlines = layoutEditText(characters, movie, state.field, state.document);
        it->second.generation = state.generation;
    }
    return &it->second.outlines;
}

} // namespace mc
