#include "SnapshotText.h"

#include <algorithm>
#include <cmath>

#include "SwfConversions.h"

namespace mc {

namespace {

std::uint32_t argbOf(const swf::Rgba& c) {
    return (std::uint32_t{c.a} << 24) | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) |
           c.b;
}

// The distance from (x, y) to the nearest point of the box, 0 inside it.
double distanceToBox(double x, double y, double xMin, double yMin, double xMax, double yMax) {
    const double dx = x < xMin ? xMin - x : (x > xMax ? x - xMax : 0.0);
    const double dy = y < yMin ? yMin - y : (y > yMax ? y - yMax : 0.0);
    return std::hypot(dx, dy);
}

} // namespace

std::vector<SnapshotCharacter> snapshotCharacters(const swf::Movie& movie,
                                                  const DisplayObject& clip, std::size_t limit) {
    std::vector<SnapshotCharacter> out;
    if (!clip.clip) {
        return out;
    }
    std::size_t line = 0;
    for (const auto& [depth, child] : clip.clip->displayList) {
        // Only the first movie's characters are found by its dictionary.
        if (!child || child->removed || child->kind != CharacterKind::StaticText ||
            child->library != 0) {
            continue;
        }
        const auto* text = movie.findAs<swf::StaticText>(child->characterId);
        if (text == nullptr) {
            continue;
        }
        const Transform matrix = child->matrix * toTransform(text->matrix);
        const swf::Font* font = nullptr;
        SnapshotCharacter pen;
        pen.matrix = matrix;
        std::optional<std::int16_t> lineY;
        bool breakLine = true; // each text starts a line
        for (const swf::TextRecord& r : text->records) {
            if (r.fontId) {
                font = movie.findAs<swf::Font>(*r.fontId);
                pen.font = font;
                pen.height = r.height.value_or(0);
                pen.ascent.reset();
                pen.descent.reset();
                if (font != nullptr && font->hasLayout && font->emSquare() > 0) {
                    pen.ascent = font->ascent * pen.height / font->emSquare();
                    pen.descent = font->descent * pen.height / font->emSquare();
                }
            }
            if (r.color) {
                pen.argb = argbOf(*r.color);
            }
            if (r.yOffset && lineY && *r.yOffset != *lineY) {
                breakLine = true;
            }
            if (r.yOffset) {
                lineY = r.yOffset;
                pen.y = *r.yOffset;
            }
            if (r.xOffset) {
                pen.x = *r.xOffset;
            }
            for (const swf::GlyphEntry& g : r.glyphs) {
                if (out.size() >= limit) {
                    return out;
                }
                if (breakLine && !out.empty()) {
                    ++line;
                }
                breakLine = false;
                SnapshotCharacter c = pen;
                c.line = line;
                c.code = font != nullptr && g.index < font->glyphs.size()
                             ? static_cast<char16_t>(font->glyphs[g.index].code)
                             : u'?';
                c.advance = g.advance;
                out.push_back(c);
                pen.x += g.advance;
            }
        }
    }
    return out;
}

std::optional<std::size_t> characterNear(const std::vector<SnapshotCharacter>& characters, double x,
                                         double y, double reach) {
    std::optional<std::size_t> best;
    double bestDistance = 0;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const SnapshotCharacter& c = characters[i];
        if (!c.ascent || !c.descent) {
            continue;
        }
        const double xMin = std::min(c.x, c.x + c.advance);
        const double xMax = std::max(c.x, c.x + c.advance);
        const double top = c.y - *c.ascent;
        const double bottom = c.y + *c.descent;
        // The point in the text's own space, where a character's box is upright; a text
        // squeezed flat has no inside.
        const Transform& m = c.matrix;
        if (m.a * m.d - m.b * m.c != 0) {
            const Transform back = inverse(m);
            if (distanceToBox(back.mapX(x, y), back.mapY(x, y), xMin, top, xMax, bottom) == 0) {
                return i;
            }
        }
        // Distances are measured from the character's centre, as far as the clip sees it.
        const double cx = (xMin + xMax) / 2;
        const double cy = (top + bottom) / 2;
        const double d = std::hypot(c.matrix.mapX(cx, cy) - x, c.matrix.mapY(cx, cy) - y);
        if (std::isfinite(d) && d <= reach && (!best || d < bestDistance)) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

} // namespace mc
