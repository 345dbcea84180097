#include "composer/GlyphOutlines.h"

#include <QFont>
#include <QPainterPath>

#include <cmath>

namespace composer {

namespace {

constexpr double kUnits = 20480; // third-version font units to the em
constexpr const char* kDefaultFamily = "Noto Sans CJK SC";

QRawFont rawFor(const std::string& family) {
    QFont font(QString::fromStdString(family));
    font.setPixelSize(static_cast<int>(kUnits / 20));
    font.setStyleStrategy(QFont::NoFontMerging);
    return QRawFont::fromFont(font);
}

bool hasAll(const QRawFont& raw, const std::u32string& text) {
    if (!raw.isValid()) {
        return false;
    }
    for (const char32_t c : text) {
        if (c != U'\n' && c != U' ' && !raw.supportsCharacter(static_cast<uint>(c))) {
            return false;
        }
    }
    return true;
}

int32_t unit(double pixels, double scale) {
    return static_cast<int32_t>(std::lround(pixels * scale));
}

// Qt's outlines hold cubic curves; the font records hold quadratic ones. Each cubic is cut in
// two and each half drawn as the quadratic through its mid-tangent point.
void appendPath(moviemaker::Shape& shape, const QPainterPath& path, double scale) {
    QPointF pen;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            shape.close();
            shape.moveTo(unit(e.x, scale), unit(e.y, scale));
            pen = e;
        } else if (e.isLineTo()) {
            shape.lineTo(unit(e.x, scale), unit(e.y, scale));
            pen = e;
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPointF p0 = pen;
            const QPointF p1 = path.elementAt(i);
            const QPointF p2 = path.elementAt(i + 1);
            const QPointF p3 = path.elementAt(i + 2);
            const QPointF m01 = (p0 + p1) / 2;
            const QPointF m12 = (p1 + p2) / 2;
            const QPointF m23 = (p2 + p3) / 2;
            const QPointF a = (m01 + m12) / 2;
            const QPointF b = (m12 + m23) / 2;
            const QPointF mid = (a + b) / 2;
            const QPointF c1 = (3 * (m01 + a) - p0 - mid) / 4;
            const QPointF c2 = (3 * (b + m23) - mid - p3) / 4;
            shape.curveTo(unit(c1.x(), scale), unit(c1.y(), scale), unit(mid.x(), scale),
                          unit(mid.y(), scale));
            shape.curveTo(unit(c2.x(), scale), unit(c2.y(), scale), unit(p3.x(), scale),
                          unit(p3.y(), scale));
            pen = p3;
            i += 2;
        }
    }
    shape.close();
}

} // namespace

ChosenFont chooseFont(const std::string& family, const std::u32string& text) {
    ChosenFont chosen;
    const std::string asked = family.empty() ? kDefaultFamily : family;
    chosen.raw = rawFor(asked);
    chosen.family = asked;
    const bool askedIsThere =
        chosen.raw.isValid() &&
        chosen.raw.familyName().compare(QString::fromStdString(asked), Qt::CaseInsensitive) == 0;
    if (!askedIsThere || !hasAll(chosen.raw, text)) {
        if (asked != kDefaultFamily) {
            chosen.notices.push_back("字体“" + asked + "”" +
                                     (askedIsThere ? "缺少文字里的一些字" : "不在系统里") +
                                     "，改用 " + kDefaultFamily + "。");
        }
        chosen.raw = rawFor(kDefaultFamily);
        chosen.family = kDefaultFamily;
    }
    if (!chosen.raw.isValid()) {
        chosen.notices.push_back(std::string("系统里没有 ") + kDefaultFamily +
                                 "，文字无法绘制。请安装 fonts-noto-cjk。");
        return chosen;
    }
    if (!hasAll(chosen.raw, text)) {
        chosen.notices.push_back("有些字符没有任何字体能显示，已略去。");
    }
    return chosen;
}

EmbeddedFont embedGlyphs(const QRawFont& raw, const std::u32string& text) {
    EmbeddedFont out;
    out.font.name = raw.familyName().toStdString();
    const double pixelSize = raw.pixelSize();
    const double scale = kUnits / pixelSize;
    out.ascent = raw.ascent() / pixelSize;
    out.descent = raw.descent() / pixelSize;
    out.font.ascent = static_cast<uint16_t>(std::lround(out.ascent * kUnits));
    out.font.descent = static_cast<uint16_t>(std::lround(out.descent * kUnits));
    out.font.leading = static_cast<int16_t>(std::lround(raw.leading() * scale));
    for (const char32_t c : text) {
        if (c == U'\n' || c > 0xFFFF || out.index.contains(c)) {
            continue;
        }
        if (!raw.supportsCharacter(static_cast<uint>(c))) {
            continue;
        }
        const QString s = QString::fromUcs4(&c, 1);
        const QList<quint32> glyphs = raw.glyphIndexesForString(s);
        if (glyphs.size() != 1) {
            continue;
        }
        const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
        moviemaker::Glyph glyph;
        glyph.code = static_cast<uint16_t>(c);
        const double em = advances.isEmpty() ? 0.0 : advances.front().x() / pixelSize;
        glyph.advance = static_cast<int16_t>(std::lround(std::min(em, 1.5) * kUnits));
        appendPath(glyph.outline, raw.pathForGlyph(glyphs.front()), scale);
        out.index[c] = static_cast<uint16_t>(out.font.glyphs.size());
        out.advance[c] = em;
        out.font.glyphs.push_back(std::move(glyph));
    }
    return out;
}

} // namespace composer
