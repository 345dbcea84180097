#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include "ScaledBitmapCache.h"

namespace mc {

// Paints a bitmap fill over `path` (the painter's transform maps the path's units to the
// device). `bitmapToPath` places the bitmap's pixels. A repeating fill tiles the bitmap; a
// clipped one shows it once and carries its edge pixels on past its sides, as players do, so
// the shape is covered whatever part of it the bitmap misses.
// Every pixel of the fill is painted once, so a painter opacity fades it as a whole. With
// `scaled`, a clipped fill's bitmap may come from a copy shrunk ahead of time. Returns how
// many device pixels were put together on a layer to blend the edges' overlap once.
qint64 paintBitmapFill(QPainter& painter, const QPainterPath& path, const QImage& image,
                       const QTransform& bitmapToPath, bool clipped,
                       ScaledBitmapCache* scaled = nullptr);

// Draws the image with its top left at the origin of the painter's transform. A smooth
// painter shrinking a large image draws it from `scaled` where that has a copy.
void drawBitmap(QPainter& painter, const QImage& image, ScaledBitmapCache* scaled);

} // namespace mc
