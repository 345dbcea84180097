#pragma once

#include "moviemaker/Shape.h"

#include <QPainterPath>
#include <QTransform>

namespace makesample {

// Writes a Qt path (pixels, y down) into a shape as twip-exact records. Cubic curves become
// quadratic ones within `toleranceTwips`. Every contour gets the fill on its interior side:
// the side is taken from the largest contour, which suits outlines drawn with the non-zero
// rule whose holes run the other way, as font outlines are.
void appendOutline(moviemaker::Shape& shape, const QPainterPath& path, const QTransform& toPixels,
                   uint32_t fillIndex, double toleranceTwips = 1.5);

// The same path as an open or closed stroke with the given line style, without fill.
void appendStroke(moviemaker::Shape& shape, const QPainterPath& path, const QTransform& toPixels,
                  uint32_t lineIndex, double toleranceTwips = 1.5);

} // namespace makesample
