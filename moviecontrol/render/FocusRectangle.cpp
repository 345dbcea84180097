#include "FocusRectangle.h"

#include <algorithm>

#include <QPainterPath>

namespace mc {

void drawFocusRectangle(QPainter& painter, const Transform& stageToDevice, const Bounds& box) {
    constexpr double kWidthTwips = 60.0;
    const double inset =
        std::min({kWidthTwips, (box.xMax - box.xMin) / 2.0, (box.yMax - box.yMin) / 2.0});
    const auto corner = [&stageToDevice](double x, double y) {
        return QPointF(stageToDevice.mapX(x, y), stageToDevice.mapY(x, y));
    };
    QPainterPath frame;
    frame.setFillRule(Qt::OddEvenFill);
    frame.addPolygon(QPolygonF({corner(box.xMin, box.yMin), corner(box.xMax, box.yMin),
                                corner(box.xMax, box.yMax), corner(box.xMin, box.yMax)}));
    frame.closeSubpath();
    frame.addPolygon(QPolygonF(
        {corner(box.xMin + inset, box.yMin + inset), corner(box.xMax - inset, box.yMin + inset),
         corner(box.xMax - inset, box.yMax - inset), corner(box.xMin + inset, box.yMax - inset)}));
    frame.closeSubpath();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillPath(frame, QColor(255, 255, 0));
    painter.restore();
}

} // namespace mc
