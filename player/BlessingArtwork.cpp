#include "BlessingArtwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cstdint>

namespace player {
namespace {

const QColor Gold(214, 176, 92);

// A five-petal blossom, the card's only ornament.
void drawBlossom(QPainter& painter, QPointF centre, double radius, int alpha) {
    painter.save();
    painter.translate(centre);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(246, 170, 180, alpha));
    for (int petal = 0; petal < 5; ++petal) {
        painter.drawEllipse(QPointF(0, -radius * 0.55), radius * 0.42, radius * 0.5);
        painter.rotate(72);
    }
    painter.setBrush(QColor(255, 226, 140, alpha));
    painter.drawEllipse(QPointF(0, 0), radius * 0.18, radius * 0.18);
    painter.restore();
}

} // namespace

QImage blessingBackground(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();

    QLinearGradient ground(0, 0, 0, h);
    ground.setColorAt(0, QColor(120, 16, 24));
    ground.setColorAt(1, QColor(52, 6, 10));
    painter.fillRect(image.rect(), ground);

    QRadialGradient glow(QPointF(w * 0.5, h * 0.55), w * 0.6);
    glow.setColorAt(0, QColor(255, 190, 120, 40));
    glow.setColorAt(1, QColor(255, 190, 120, 0));
    painter.fillRect(image.rect(), glow);

    // A double gold frame, the inner one leaving room for the close mark above it.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Gold, 2));
    painter.drawRect(QRectF(5, 14, w - 10, h - 19));
    painter.setPen(QPen(Gold.darker(130), 1));
    painter.drawRect(QRectF(9.5, 18.5, w - 19, h - 28));

    // Twigs in the corners, each carrying three blossoms.
    painter.setPen(QPen(QColor(70, 30, 24, 200), 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(w - 12, 20), QPointF(w - 130, 46));
    painter.drawLine(QPointF(12, h - 12), QPointF(120, h - 36));
    const QPointF blossoms[] = {{w - 40, 30}, {w - 78, 42}, {w - 118, 44},
                                {40, h - 24}, {82, h - 34}, {112, h - 34}};
    for (std::size_t i = 0; i < std::size(blossoms); ++i) {
        drawBlossom(painter, blossoms[i], 9 + static_cast<double>(i % 3) * 2, 220);
    }
    // Falling petals across the text area, faint enough to read over; a fixed sequence
    // scatters them the same way every time.
    std::uint32_t seed = 20240210u;
    const auto next = [&seed](double range) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % 10000 / 10000.0 * range;
    };
    for (int i = 0; i < 16; ++i) {
        const double x = 24 + next(w - 48);
        const double y = 56 + next(h - 100);
        drawBlossom(painter, QPointF(x, y), 3 + next(3), 36);
    }
    return image;
}

QImage closeMark() {
    QImage image(11, 11, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QLineF strokes[] = {{2, 2, 9, 9}, {9, 2, 2, 9}};
    painter.setPen(QPen(QColor(60, 0, 0), 3.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLines(strokes, 2);
    painter.setPen(QPen(QColor(235, 20, 20), 1.8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLines(strokes, 2);
    return image;
}

} // namespace player
