#include "TextLayout.h"

#include "TextFieldState.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <utility>

#include "DeviceFonts.h"
#include "EmbeddedFonts.h"
#include "HtmlText.h"
#include "LineBreaking.h"
#include "ParagraphFrame.h"

namespace mc {

namespace {

constexpr double kDefaultHeight = 240.0;
constexpr std::size_t kMaxCharacters = 1 << 15;
// Selected text is white on black, whatever its colour.
constexpr swf::Rgba kSelectedText{255, 255, 255, 255};
constexpr swf::Rgba kSelectionBox{0, 0, 0, 255};

// The font of the movie that a styled run asks for: the same family in the run's weight and
// slant, or the font exported under that name, when the movie embeds it, else the field's own
// font.
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
    const EmbeddedFont found =
        embeddedFontNamed(movie, family, run.bold, run.italic, StyleMatch::Preferred);
    return found.font != nullptr ? std::pair{found.font, found.id} : std::pair{base, baseId};
}

// One line of a field laid out by some font: its outline and width, left at x = 0.
struct LineShape {
    QPainterPath path;
    double width = 0.0;
};

class FieldFont {
  public:
    // `face` names the system font drawn when the glyphs are not used.
    FieldFont(CharacterCache& characters, const swf::Font* font, std::uint16_t fontId,
              double height, bool useGlyphs, const QString& face, bool bold, bool italic)
        : characters_(characters), font_(font), fontId_(fontId), height_(height),
          useGlyphs_(useGlyphs && font != nullptr && !font->glyphs.empty()) {
        if (!useGlyphs_) {
            qfont_ = deviceFont(face, static_cast<int>(height), bold, italic);
        }
    }

    // A font the field must draw with embedded outlines that the movie does not embed: its
    // text is not drawn and takes no room.
    static FieldFont absent(CharacterCache& characters, double height) {
        FieldFont f(characters, nullptr, 0, height, false, QString(), false, false);
        f.absent_ = true;
        return f;
    }

    double ascent() const {
        if (absent_) {
            return height_ * 0.8;
        }
        if (useGlyphs_ && font_->hasLayout) {
            return font_->ascent * height_ / font_->emSquare();
        }
        if (useGlyphs_) {
            return height_ * 0.8;
        }
        return QFontMetricsF(qfont_).ascent();
    }

    double descent() const {
        if (absent_) {
            return height_ * 0.2;
        }
        if (useGlyphs_ && font_->hasLayout) {
            return font_->descent * height_ / font_->emSquare();
        }
        if (useGlyphs_) {
            return height_ * 0.2;
        }
        return QFontMetricsF(qfont_).descent();
    }

    // The character at `at` (a surrogate pair counts as one), left at x = 0; its width is
    // the pen advance to the next character. A character is shaped once per font.
    LineShape shapeCharacter(const QString& text, qsizetype at, bool kerning) {
        if (absent_) {
            return {};
        }
        const bool pair = text[at].isHighSurrogate() && at + 1 < text.size();
        const char32_t code = pair ? QChar::surrogateToUcs4(text[at], text[at + 1])
                                   : static_cast<char32_t>(text[at].unicode());
        auto it = shaped_.find(code);
        if (it == shaped_.end()) {
            it = shaped_.emplace(code, shapeOnce(text.mid(at, pair ? 2 : 1), code)).first;
        }
        LineShape out = it->second;
        if (!useGlyphs_) {
            return out;
        }
        if (kerning && at + 1 < text.size()) {
            out.width +=
                kerningOf(text[at].unicode(), text[at + 1].unicode()) * height_ / font_->emSquare();
        }
        // Players keep pen positions in whole twips, dropping each scaled advance's
        // fraction; over a line the difference reaches whole pixels.
        out.width = std::trunc(out.width);
        return out;
    }

  private:
    // The outline and the advance before kerning and rounding.
    LineShape shapeOnce(const QString& c, char32_t code) const {
        LineShape out;
        if (!useGlyphs_) {
            out.path.addText(0.0, 0.0, qfont_, c);
            out.width = QFontMetricsF(qfont_).horizontalAdvance(c);
            return out;
        }
        const double scale = height_ / font_->emSquare();
        for (std::uint32_t i = 0; i < font_->glyphs.size(); ++i) {
            if (font_->glyphs[i].code == code) {
                if (const QPainterPath* g = characters_.glyph(fontId_, i)) {
                    out.path = QTransform::fromScale(scale, scale).map(*g);
                }
                out.width = font_->hasLayout ? font_->glyphs[i].advance * scale : height_ * 0.6;
                return out;
            }
        }
        // A character the embedded font lacks is not drawn and takes no room.
        out.width = 0.0;
        return out;
    }

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
    bool absent_ = false;
    QFont qfont_;
    std::unordered_map<char32_t, LineShape> shaped_;
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

namespace {

QString nameOf(const swf::Font* font) {
    return font != nullptr ? QString::fromUtf8(font->name.c_str()) : QString();
}

// One character of a paragraph, shaped, with what its line needs of it.
struct PlacedCharacter {
    LineShape shape;
    swf::Rgba color;
    double ascent = 0.0;
    double descent = 0.0;
    bool underline = false;
    std::size_t index = 0; // in the document
};

struct ShapedParagraph {
    std::vector<PlacedCharacter> characters;
    std::vector<LineItem> items;
    double ascent = 0.0; // of an empty paragraph
    double descent = 0.0;
};

// What a field's text is drawn with: its own font and size unless a run says otherwise.
struct FieldBase {
    const swf::Font* font = nullptr;
    std::uint16_t id = 0;
    double height = 0.0;
    swf::Rgba color;
};

FieldFont fontOfRun(CharacterCache& characters, const swf::Movie& movie, const swf::EditText& field,
                    const FieldBase& base, const StyledRun& run) {
    const auto [font, fontId] = fontForRun(movie, base.font, base.id, run);
    // Sizes come from scripts too: between a pixel and 2,000 pixels.
    const double height = run.sizePx && std::isfinite(*run.sizePx)
                              ? std::clamp(*run.sizePx, 1.0, 2000.0) * 20.0
                              : base.height;
    // A field drawn with embedded outlines shows text in a font the movie does not embed not
    // at all, rather than in the field's own font or a system one.
    const bool namesOther = run.face && !run.face->isEmpty() &&
                            (base.font == nullptr || QString::compare(*run.face, nameOf(base.font),
                                                                      Qt::CaseInsensitive) != 0);
    if (field.useOutlines && namesOther && font == base.font) {
        return FieldFont::absent(characters, height);
    }
    const QString face = run.face && !run.face->isEmpty() ? *run.face : nameOf(font);
    const bool bold = run.bold || (font != nullptr && font->bold);
    const bool italic = run.italic || (font != nullptr && font->italic);
    return FieldFont(characters, font, fontId, height, field.useOutlines, face, bold, italic);
}

ShapedParagraph shapeParagraph(CharacterCache& characters, const swf::Movie& movie,
                               const swf::EditText& field, const StyledParagraph& paragraph,
                               const FieldBase& base, std::size_t budget) {
    ShapedParagraph out;
    for (const StyledRun& run : paragraph.runs) {
        if (out.items.size() >= budget) {
            break;
        }
        FieldFont shaper = fontOfRun(characters, movie, field, base, run);
        const double spacing = std::trunc(lengthTwips(run.letterSpacing));
        const double ascent = shaper.ascent();
        const double descent = shaper.descent();
        for (qsizetype at = 0; at < run.text.size() && out.items.size() < budget; ++at) {
            PlacedCharacter c{shaper.shapeCharacter(run.text, at, run.kerning),
                              run.color.value_or(base.color),
                              ascent,
                              descent,
                              run.underline,
                              run.begin + static_cast<std::size_t>(at)};
            c.shape.width += spacing;
            const bool space = run.text[at] == QChar(u' ');
            out.items.push_back({c.shape.width, space});
            out.characters.push_back(std::move(c));
            if (run.text[at].isHighSurrogate() && at + 1 < run.text.size() &&
                run.text[at + 1].isLowSurrogate()) {
                ++at;
            }
        }
    }
    if (paragraph.runs.empty()) {
        const FieldFont shaper(characters, base.font, base.id, base.height, field.useOutlines,
                               nameOf(base.font), false, false);
        out.ascent = shaper.ascent();
        out.descent = shaper.descent();
    }
    return out;
}

// The bullet of a list item, left at x = 0 on its first line's baseline, and the line
// height it needs.
PlacedCharacter shapeBullet(CharacterCache& characters, const swf::Movie& movie,
                            const swf::EditText& field, const FieldBase& base,
                            const StyledRun& mark) {
    FieldFont shaper = fontOfRun(characters, movie, field, base, mark);
    return PlacedCharacter{shaper.shapeCharacter(mark.text, 0, false),
                           mark.color.value_or(base.color),
                           shaper.ascent(),
                           shaper.descent(),
                           false,
                           0};
}

// Adds a character's outline (or its underline) to the run of its colour.
void addToRuns(TextOutlines& runs, std::size_t firstRun, const swf::Rgba& color,
               const QPainterPath& path) {
    if (runs.size() == firstRun || !(runs.back().color == color)) {
        runs.push_back({QPainterPath(), color});
        runs.back().path.setFillRule(Qt::WindingFill);
    }
    runs.back().path.addPath(path);
}

} // namespace

TextOutlines layoutEditText(CharacterCache& characters, const swf::Movie& movie,
                            const swf::EditText& field, const TextDocument& document,
                            const FieldScroll& scroll) {
    TextOutlines runs;
    const QRectF bounds(field.bounds.xMin, field.bounds.yMin, field.bounds.width(),
                        field.bounds.height());
    if (document.empty()) {
        return runs;
    }
    if (field.password) {
        // A password field draws a star for each character; its text stays as it was.
        swf::EditText plain = field;
        plain.password = false;
        return layoutEditText(characters, movie, plain, maskedDocument(document, u'*'), scroll);
    }
    FieldBase base;
    base.id = field.fontId.value_or(0);
    base.font = field.fontId ? movie.findAs<swf::Font>(base.id) : nullptr;
    base.height = field.fontHeight ? *field.fontHeight : kDefaultHeight;
    base.color = field.color.value_or(swf::Rgba{0, 0, 0, 255});
    const std::vector<StyledParagraph> paragraphs = paragraphsOf(document);

    double top = bounds.top() + kFieldGutter;
    // Lines above the first shown take no room; the rest move left by the horizontal scroll.
    std::size_t linesToSkip = scroll.firstLine > 1 ? scroll.firstLine - 1 : 0;
    const double shift = std::isfinite(scroll.hscroll) ? -std::max(0.0, scroll.hscroll) : 0.0;
    const std::size_t firstRun = runs.size();
    // The boxes behind the selected characters, drawn under all glyphs.
    QPainterPath highlight;
    const auto selected = [&scroll](std::size_t index) {
        return index >= scroll.selectBegin && index < scroll.selectEnd;
    };
    // Far more characters than any field shows; text past them is never laid out.
    std::size_t budget = kMaxCharacters;
    for (const StyledParagraph& paragraph : paragraphs) {
        const ShapedParagraph shaped =
            shapeParagraph(characters, movie, field, paragraph, base, budget);
        budget -= shaped.items.size();
        const ParagraphFrame frame =
            paragraphFrame(bounds.left() + kFieldGutter, bounds.right() - kFieldGutter,
                           {paragraph.leftMargin, paragraph.rightMargin, paragraph.indent,
                            paragraph.blockIndent, paragraph.bullet});
        std::optional<PlacedCharacter> bullet;
        if (paragraph.bullet) {
            bullet = shapeBullet(characters, movie, field, base, paragraph.mark);
        }
        const double right = frame.right;
        const std::vector<LineSpan> lines =
            breakLines(shaped.items, frame.firstWidth(), frame.width(), field.wordWrap);
        const swf::TextAlign align = paragraph.align.value_or(field.align);
        for (std::size_t l = 0; l < lines.size(); ++l) {
            if (linesToSkip > 0) {
                --linesToSkip;
                continue;
            }
            const LineSpan& line = lines[l];
            double ascent = line.begin == line.end ? shaped.ascent : 0.0;
            double descent = line.begin == line.end ? shaped.descent : 0.0;
            if (bullet && l == 0) {
                ascent = line.begin == line.end ? bullet->ascent : ascent;
                descent = line.begin == line.end ? bullet->descent : descent;
            }
            for (std::size_t i = line.begin; i < line.end; ++i) {
                ascent = std::max(ascent, shaped.characters[i].ascent);
                descent = std::max(descent, shaped.characters[i].descent);
            }
            const double lineLeft = frame.lineLeft(l) + shift;
            double x = lineLeft;
            double stretch = 0.0; // added after each inner space of a justified line
            if (align == swf::TextAlign::Right) {
                x = right + shift - line.width;
            } else if (align == swf::TextAlign::Center) {
                x = (lineLeft + right + shift - line.width) / 2.0;
            } else if (align == swf::TextAlign::Justify && l + 1 < lines.size() &&
                       line.innerSpaces > 0 && right - lineLeft > line.width) {
                stretch = (right - lineLeft - line.width) / static_cast<double>(line.innerSpaces);
            }
            const double baseline = top + ascent;
            if (bullet && l == 0 && !bullet->shape.path.isEmpty()) {
                addToRuns(runs, firstRun, bullet->color,
                          QTransform::fromTranslate(frame.bulletLeft() + shift, baseline)
                              .map(bullet->shape.path));
            }
            std::size_t spacesSeen = 0;
            for (std::size_t i = line.begin; i < line.end; ++i) {
                const PlacedCharacter& c = shaped.characters[i];
                const QTransform at = QTransform::fromTranslate(x, baseline);
                const bool inSelection = selected(c.index);
                const swf::Rgba color = inSelection ? kSelectedText : c.color;
                if (inSelection) {
                    // The box spans the whole line, whatever the character's own size.
                    highlight.addRect(QRectF(x, top, c.shape.width, ascent + descent));
                }
                if (!c.shape.path.isEmpty()) {
                    addToRuns(runs, firstRun, color, at.map(c.shape.path));
                }
                const bool hanging = shaped.items[i].space && spacesSeen >= line.innerSpaces;
                if (c.underline && !hanging) {
                    // A pixel-high rule two pixels under the baseline, as wide as the advance.
                    QPainterPath rule;
                    rule.addRect(QRectF(x, baseline + 40.0, c.shape.width, 20.0));
                    addToRuns(runs, firstRun, color, rule);
                }
                x += c.shape.width;
                if (shaped.items[i].space && spacesSeen < line.innerSpaces) {
                    ++spacesSeen;
                    x += stretch;
                }
            }
            top = baseline + descent + lengthTwips(paragraph.leading);
            if (top > bounds.bottom()) {
                break; // the lines below are clipped away
            }
        }
        if (top > bounds.bottom() || budget == 0) {
            break;
        }
    }
    if (!highlight.isEmpty()) {
        highlight.setFillRule(Qt::WindingFill);
        runs.insert(runs.begin() + static_cast<std::ptrdiff_t>(firstRun),
                    TextRun{highlight, kSelectionBox});
    }
    // Glyphs show only between the left and right gutters (a box narrower than both shows
    // none); above and below, the box's own edges cut the lines.
    const QRectF view(bounds.left() + kFieldGutter, bounds.top(),
                      std::max(0.0, bounds.width() - 2 * kFieldGutter), bounds.height());
    for (std::size_t i = firstRun; i < runs.size(); ++i) {
        if (view.isEmpty()) {
            runs[i].path = QPainterPath();
        } else if (!view.contains(runs[i].path.boundingRect())) {
            QPainterPath clip;
            clip.addRect(view);
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
            state.movieVersion = movie.header.version;
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
        it->second.outlines =
            layoutEditText(characters, movie, state.field, state.document,
                           {state.scroll, state.hscroll * 20.0, state.shownSelection.begin,
                            state.shownSelection.end});
        it->second.generation = state.generation;
    }
    return &it->second.outlines;
}

} // namespace mc
