#include "GreetingText.h"

#include <QFont>
#include <QList>
#include <QPointF>
#include <QStringList>
#include <QTransform>

namespace makesample {

namespace {

// Outlines are taken at this size and scaled, so hinting plays no part in their shape.
constexpr double kDesignPixels = 1000.0;

bool covers(const QRawFont& font, const QString& text) {
    if (!font.isValid()) {
        return false;
    }
    for (const QChar c : text) {
        if (!font.supportsCharacter(c)) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<QRawFont> findGreetingFont(const QString& text, const QString& fontFile) {
    if (!fontFile.isEmpty()) {
        QRawFont font(fontFile, kDesignPixels, QFont::PreferNoHinting);
        return covers(font, text) ? std::optional(font) : std::nullopt;
    }
    const QStringList families{"Noto Serif CJK SC", "Noto Sans CJK SC", "Noto Serif CJK TC",
                               "Noto Sans CJK TC"};
    for (const QString& family : families) {
        QFont request(family);
        request.setPixelSize(static_cast<int>(kDesignPixels));
        request.setWeight(QFont::Bold);
        request.setHintingPreference(QFont::PreferNoHinting);
        QRawFont font = QRawFont::fromFont(request);
        if (font.familyName() == family && covers(font, text)) {
            return font;
        }
    }
    return std::nullopt;
}

QPainterPath greetingPath(const QRawFont& font, const QString& text, double pixelSize,
                          double spacing) {
    const QList<quint32> glyphs = font.glyphIndexesForString(text);
    const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
    const double scale = pixelSize / font.pixelSize();
    QPainterPath line;
    double x = 0;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        QPainterPath glyph = font.pathForGlyph(glyphs[i]);
        line.addPath(QTransform(scale, 0, 0, scale, x, 0).map(glyph));
        x += advances.value(i).x() * scale + spacing;
    }
    const QRectF box = line.boundingRect();
    return QTransform::fromTranslate(-box.center().x(), -box.center().y()).map(line);
}

} // namespace makesample
