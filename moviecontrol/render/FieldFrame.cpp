#include "FieldFrame.h"

#include "TextFieldState.h"

#include <QPainterPathStroker>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace mc {

namespace {

// Far beyond any device; keeps hostile bounds from reaching precision trouble.
constexpr double kMaxDevice = 1 << 24;

double snapToPixel(double v) {
    return std::ceil(std::clamp(v, -kMaxDevice, kMaxDevice) - 0.5);
}

// How far the matrix's skew terms move the box's corners off an axis-aligned box, in device
// pixels.
double skewReach(const QRectF& box, const QTransform& m) {
    const double across = std::max(std::abs(box.left()), std::abs(box.right()));
    const double down = std::max(std::abs(box.top()), std::abs(box.bottom()));
    return std::max(std::abs(m.m12()) * across, std::abs(m.m21()) * down);
}

} // namespace

FieldFrameStyle frameStyleOf(const swf::EditText& definition) {
    FieldFrameStyle style;
    style.background = definition.border;
    style.border = definition.border;
    return style;
}

FieldFrameStyle frameStyleOf(const TextFieldState& state) {
    FieldFrameStyle style;
    style.background = state.background;
    style.border = state.field.border;
    style.backgroundColor = state.backgroundColor;
    style.borderColor = state.borderColor;
    return style;
}

FieldFrame fieldFrame(const QRectF& boundsTwips, const QTransform& toDevice) {
    FieldFrame frame;
    frame.border.setFillRule(Qt::WindingFill);
    const bool skewed = toDevice.m12() != 0.0 || toDevice.m21() != 0.0;
    if (skewed && !(skewReach(boundsTwips, toDevice) < 0.5)) {
        QPolygonF outline = toDevice.map(QPolygonF(boundsTwips));
        outline.append(outline.first());
        frame.background.addPolygon(outline);
        QPainterPathStroker stroker;
        stroker.setWidth(1.0);
        stroker.setJoinStyle(Qt::MiterJoin);
        QPainterPath line;
        line.addPolygon(outline);
        line.closeSubpath();
        frame.border = stroker.createStroke(line);
        return frame;
    }
    const QTransform straight(toDevice.m11(), 0.0, 0.0, toDevice.m22(), toDevice.dx(),
                              toDevice.dy());
    const QRectF r = straight.mapRect(boundsTwips);
    const double x0 = snapToPixel(r.left());
    const double x1 = snapToPixel(r.right());
    const double y0 = snapToPixel(r.top());
    const double y1 = snapToPixel(r.bottom());
    frame.background.addRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)));
    frame.border.addRect(QRectF(x0, y0, x1 - x0 + 1.0, 1.0));
    frame.border.addRect(QRectF(x0, y0, 1.0, y1 - y0 + 1.0));
    frame.border.addRect(QRectF(x0, y1, x1 - x0, 1.0));
    frame.border.addRect(QRectF(x1, y0, 1.0, y1 - y0));
    return frame;
}

} // namespace mc
