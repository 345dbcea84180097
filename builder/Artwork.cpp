#include "Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>

namespace builder {

namespace {

// Stars at fixed places: the picture must look the same on every start.
constexpr std::array<std::array<int, 3>, 18> Stars{{
    {24, 34, 2},
    {61, 44, 1},
    {92, 27, 1},
    {140, 40, 2},
    {226, 22, 1},
    {252, 41, 1},
    {291, 30, 2},
    {322, 46, 1},
    {347, 22, 1},
    {380, 38, 2},
    {412, 29, 1},
    {8, 48, 1},
    {118, 50, 1},
    {205, 47, 1},
    {270, 52, 1},
    {400, 50, 1},
    {160, 24, 1},
    {50, 22, 1},
}};

void drawSpruce(QPainter& p, qreal x, qreal baseY, qreal height, const QColor& colour) {
    const qreal half = height * 0.28;
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    for (int tier = 0; tier < 4; ++tier) {
        const qreal top = baseY - height + tier * height * 0.2;
        const qreal bottom = top + height * 0.38;
        const qreal w = half * (0.45 + 0.2 * tier);
        QPainterPath tri;
        tri.moveTo(x, top);
        tri.lineTo(x + w, bottom);
        tri.lineTo(x - w, bottom);
        tri.closeSubpath();
        p.drawPath(tri);
    }
    p.fillRect(QRectF(x - height * 0.03, baseY - height * 0.08, height * 0.06, height * 0.08),
               colour.darker(130));
    // Snow on the tips.
    p.setBrush(QColor(235, 244, 255, 200));
    QPainterPath cap;
    cap.moveTo(x, baseY - height);
    cap.lineTo(x + half * 0.22, baseY - height + height * 0.12);
    cap.lineTo(x - half * 0.22, baseY - height + height * 0.12);
    cap.closeSubpath();
    p.drawPath(cap);
}

QPixmap blankIcon() {
    QPixmap icon(ToolbarIconSize, ToolbarIconSize);
    icon.fill(Qt::transparent);
    return icon;
}

} // namespace

QFont builderFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({"Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Micro Hei",
                      "Microsoft YaHei", "SimSun", "Sans Serif"});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QPixmap mainBackground() {
    QPixmap picture(MainClientWidth, MainClientHeight);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, MainClientHeight);
    sky.setColorAt(0.0, QColor(12, 34, 66));
    sky.setColorAt(0.55, QColor(28, 78, 122));
    sky.setColorAt(1.0, QColor(18, 52, 84));
    p.fillRect(picture.rect(), sky);

    QRadialGradient moon(360, 30, 60);
    moon.setColorAt(0.0, QColor(255, 250, 220, 140));
    moon.setColorAt(1.0, QColor(255, 250, 220, 0));
    p.fillRect(QRect(290, 0, 143, 100), moon);
    p.setBrush(QColor(255, 251, 228));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(360, 30), 9, 9);

    for (const auto& star : Stars) {
        p.setBrush(QColor(255, 255, 255, star[2] == 2 ? 230 : 150));
        p.drawEllipse(QPointF(star[0], star[1]), star[2] * 0.8, star[2] * 0.8);
    }

    // Far hills, then a snowy ground with a winding path.
    QPainterPath hills;
    hills.moveTo(0, 250);
    hills.cubicTo(80, 226, 150, 240, 220, 232);
    hills.cubicTo(300, 222, 360, 244, 433, 230);
    hills.lineTo(433, 325);
    hills.lineTo(0, 325);
    hills.closeSubpath();
    p.setBrush(QColor(40, 92, 138));
    p.drawPath(hills);

    for (int i = 0; i < 9; ++i) {
        const qreal x = 8 + i * 52 + (i % 2) * 9;
        drawSpruce(p, x, 262 + (i % 3) * 3, 34 + (i * 7) % 16, QColor(20, 66, 70));
    }

    QLinearGradient snow(0, 258, 0, 325);
    snow.setColorAt(0.0, QColor(206, 224, 242));
    snow.setColorAt(1.0, QColor(150, 182, 214));
    QPainterPath ground;
    ground.moveTo(0, 262);
    ground.cubicTo(120, 254, 300, 266, 433, 258);
    ground.lineTo(433, 325);
    ground.lineTo(0, 325);
    ground.closeSubpath();
    p.setBrush(snow);
    p.drawPath(ground);

    // The toolbar band: dark enough for white captions.
    QLinearGradient band(0, 288, 0, 325);
    band.setColorAt(0.0, QColor(16, 48, 82, 215));
    band.setColorAt(1.0, QColor(8, 28, 52, 235));
    p.fillRect(QRect(0, 288, MainClientWidth, 37), band);
    p.setPen(QPen(QColor(120, 170, 220, 160), 1));
    p.drawLine(0, 288, MainClientWidth, 288);

    // Darken behind the "save path" row so its label reads on the snow.
    p.fillRect(QRect(0, 260, MainClientWidth, 28), QColor(14, 42, 72, 190));

    // A frame around the blessing.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(180, 210, 240, 180), 1));
    p.drawRoundedRect(QRectF(12.5, 52.5, 408, 208), 4, 4);
    p.setPen(QPen(QColor(255, 215, 120, 200), 1));
    p.drawLine(QPointF(16, 46), QPointF(160, 46));
    p.drawLine(QPointF(216, 46), QPointF(417, 46));

    p.end();
    return picture;
}

QPixmap toolbarIcon(ToolbarAction action) {
    QPixmap icon = blankIcon();
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    switch (action) {
    case ToolbarAction::MakeCard: {
        // A card with a red ribbon.
        p.setPen(QPen(QColor(120, 60, 20), 1));
        p.setBrush(QColor(250, 220, 120));
        p.drawRect(QRectF(1.5, 4.5, 13, 10));
        p.fillRect(QRectF(7, 5, 2, 9), QColor(210, 40, 40));
        p.fillRect(QRectF(2, 8, 12, 2), QColor(210, 40, 40));
        p.setPen(QPen(QColor(210, 40, 40), 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(4, 1, 4, 4));
        p.drawEllipse(QRectF(8, 1, 4, 4));
        break;
    }
    case ToolbarAction::ShowPreview: {
        // A screen with a play mark.
        p.setPen(QPen(QColor(30, 40, 60), 1));
        p.setBrush(QColor(60, 140, 220));
        p.drawRoundedRect(QRectF(0.5, 1.5, 15, 11), 2, 2);
        p.fillRect(QRectF(5, 13, 6, 2), QColor(30, 40, 60));
        QPainterPath play;
        play.moveTo(6, 4);
        play.lineTo(11, 7);
        play.lineTo(6, 10);
        play.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(play);
        break;
    }
    case ToolbarAction::ShowBlessingEditor: {
        // A heart with a pen stroke.
        QPainterPath heart;
        heart.moveTo(8, 14);
        heart.cubicTo(1, 9, 0, 5, 3, 3);
        heart.cubicTo(5, 1.5, 7, 2.5, 8, 4.5);
        heart.cubicTo(9, 2.5, 11, 1.5, 13, 3);
        heart.cubicTo(16, 5, 15, 9, 8, 14);
        p.setPen(QPen(QColor(140, 10, 40), 1));
        p.setBrush(QColor(235, 60, 90));
        p.drawPath(heart);
        p.setPen(QPen(QColor(255, 230, 240), 1.2));
        p.drawLine(QPointF(5, 6), QPointF(6.5, 5));
        break;
    }
    case ToolbarAction::ShowLargePreview: {
        // The preview's screen, larger, with the corner marks of a window that resizes.
        p.setPen(QPen(QColor(30, 40, 60), 1));
        p.setBrush(QColor(60, 140, 220));
        p.drawRect(QRectF(0.5, 0.5, 15, 15));
        QPainterPath play;
        play.moveTo(5, 4);
        play.lineTo(11, 8);
        play.lineTo(5, 12);
        play.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(play);
        p.setPen(QPen(Qt::white, 1.2));
        p.drawLine(QPointF(10, 14), QPointF(14, 14));
        p.drawLine(QPointF(14, 10), QPointF(14, 14));
        break;
    }
    case ToolbarAction::OpenHelp: {
        p.setPen(QPen(QColor(20, 70, 30), 1));
        p.setBrush(QColor(70, 180, 90));
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        p.setPen(Qt::white);
        p.setFont(builderFont(12, true));
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case ToolbarAction::Exit: {
        p.setPen(QPen(QColor(110, 20, 20), 1));
        p.setBrush(QColor(220, 60, 50));
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(11, 11));
        p.drawLine(QPointF(11, 5), QPointF(5, 11));
        break;
    }
    case ToolbarAction::ComposeFromPhotos: {
        // A photo with a mountain and a sun, and a note beside it.
        p.setPen(QPen(QColor(40, 50, 70), 1));
        p.setBrush(QColor(150, 210, 250));
        p.drawRect(QRectF(0.5, 2.5, 11, 9));
        QPainterPath hill;
        hill.moveTo(1, 11);
        hill.lineTo(5, 6);
        hill.lineTo(8, 9);
        hill.lineTo(11, 7);
        hill.lineTo(11, 11);
        hill.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 150, 70));
        p.drawPath(hill);
        p.setBrush(QColor(250, 200, 40));
        p.drawEllipse(QRectF(7.5, 3.5, 2.5, 2.5));
        p.setPen(QPen(QColor(200, 30, 60), 1.3));
        p.drawLine(QPointF(14.5, 7), QPointF(14.5, 14));
        p.setBrush(QColor(200, 30, 60));
        p.drawEllipse(QRectF(11.5, 12.5, 3, 2.5));
        break;
    }
    }
    p.end();
    return icon;
}

} // namespace builder
