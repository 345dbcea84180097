#pragma once

// Shapes and comparisons shared by the tests of fills composed pixel by pixel.

#include <QImage>
#include <QPainterPath>
#include <QRect>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "moviemaker/SwfWriter.h"

namespace mc {

// A square of `size` pixels at (x, y) cut in two along its diagonal, or along a curve
// bulging across it.
inline std::vector<QPainterPath> cutSquare(double x, double y, double size, bool curved = false) {
    QPainterPath upper;
    upper.moveTo(x, y);
    upper.lineTo(x + size, y);
    upper.lineTo(x + size, y + size);
    QPainterPath lower;
    lower.moveTo(x, y);
    lower.lineTo(x, y + size);
    lower.lineTo(x + size, y + size);
    if (curved) {
        upper.quadTo(x + 0.1 * size, y + 0.9 * size, x, y);
        lower.quadTo(x + 0.1 * size, y + 0.9 * size, x, y);
    } else {
        upper.closeSubpath();
        lower.closeSubpath();
    }
    upper.setFillRule(Qt::OddEvenFill);
    lower.setFillRule(Qt::WindingFill);
    return {upper, lower};
}

// Over `region`, the whole picture when null.
inline int largestDifference(const QImage& a, const QImage& b, QRect region = QRect()) {
    region = region.isNull() ? a.rect() : region;
    int most = 0;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return most;
}

// cutSquare(10.3, 7.6, 50.0, curved) as a movie shape whose fills share their inner edge,
// fill0 on one side and fill1 on the other, as drawing tools save cut-up areas: red above
// the cut, green below.
inline moviemaker::Shape cutSquareShape(bool curved = false) {
    using moviemaker::FillStyle;
    moviemaker::Shape s;
    const std::uint32_t red = s.addFill(FillStyle::solid({255, 0, 0}));
    const std::uint32_t green = s.addFill(FillStyle::solid({0, 255, 0}));
    const int x = 206; // twips
    const int y = 152;
    const int w = 1000;
    s.fill0(0).fill1(red).moveTo(x, y).lineTo(x + w, y).lineTo(x + w, y + w);
    s.fill0(green).fill1(red);
    if (curved) {
        s.curveTo(x + w / 10, y + 9 * w / 10, x, y);
    } else {
        s.lineTo(x, y);
    }
    s.fill0(green).fill1(0).lineTo(x, y + w).lineTo(x + w, y + w);
    return s;
}

} // namespace mc
