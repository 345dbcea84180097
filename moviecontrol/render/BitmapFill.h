#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

namespace mc {

// Paints a bitmap fill over `path` (the painter's transform maps the path's units to the
// device). `bitmapToPath` places the bitmap's pixels. A repeating fill tiles the bitmap; a
// clipped one shows it once and carries its edge pixels on past its sides, as players do, so
// the shape is covered whatever part of it the bitmap misses.
void paintBitmapFill(QPainter& painter, const QPainterPath& path, const QImage& image,
                     const QTransform& bitmapToPath, bool clipped);

} // namespace mc
