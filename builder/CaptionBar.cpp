#include "CaptionBar.h"

#include "Artwork.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace builder {

CaptionBar::CaptionBar(const QString& caption, bool toolWindow, QWidget* parent)
    : QWidget(parent), caption_(caption), toolWindow_(toolWindow) {
    setMouseTracking(true);
}

QRect CaptionBar::closeBoxRect() const {
    const int side = height() - 6;
    return {width() - side - 4, 3, side, side};
}

void CaptionBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool active = window()->isActiveWindow();
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0.0, active ? QColor(58, 120, 190) : QColor(112, 136, 164));
    fill.setColorAt(1.0, active ? QColor(22, 66, 120) : QColor(82, 100, 124));
    p.fillRect(rect(), fill);
    p.setPen(QColor(255, 255, 255, 50));
    p.drawLine(0, 0, width(), 0);

    p.setPen(Qt::white);
    p.setFont(builderFont(toolWindow_ ? 12 : 13, !toolWindow_));
    // The caption's leading blanks are part of it: they set the text off from the edge.
    p.drawText(QRect(8, 0, closeBoxRect().left() - 12, height()),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, caption_);

    const QRectF box = QRectF(closeBoxRect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.setBrush(closePressed_   ? QColor(150, 30, 30)
               : closeHovered_ ? QColor(220, 70, 60)
                               : QColor(190, 80, 70));
    p.drawRoundedRect(box, 3, 3);
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    const QRectF cross = box.adjusted(box.width() * 0.3, box.height() * 0.3, -box.width() * 0.3,
                                      -box.height() * 0.3);
    p.drawLine(cross.topLeft(), cross.bottomRight());
    p.drawLine(cross.topRight(), cross.bottomLeft());
}

void CaptionBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (closeBoxRect().contains(event->position().toPoint())) {
        closePressed_ = true;
        update();
        return;
    }
    dragging_ = true;
    dragStartCursor_ = event->globalPosition().toPoint();
    dragStartWindow_ = window()->pos();
}

void CaptionBar::mouseMoveEvent(QMouseEvent* event) {
    const bool hovered = closeBoxRect().contains(event->position().toPoint());
    if (hovered != closeHovered_) {
        closeHovered_ = hovered;
        update();
    }
    if (dragging_) {
        window()->move(dragStartWindow_ + event->globalPosition().toPoint() - dragStartCursor_);
    }
}

void CaptionBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    dragging_ = false;
    if (closePressed_) {
        closePressed_ = false;
        update();
        if (closeBoxRect().contains(event->position().toPoint())) {
            emit closeClicked();
        }
    }
}

void CaptionBar::leaveEvent(QEvent*) {
    closeHovered_ = false;
    update();
}

} // namespace builder
