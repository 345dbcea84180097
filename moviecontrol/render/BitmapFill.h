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
// Whether paintBitmapFill paints every pixel of the fill once: then a painter opacity fades
// the fill as a whole. A clipped fill whose shape reaches past the bitmap paints the edge
// strips under the bitmap's border, and those pixels twice.
bool bitmapFillCoversOnce(const QPainterPath& path, QSize imageSize, const QTransform& bitmapToPath,
                          bool clipped);

// With `scaled`, a clipped fill's bitmap may come from a copy shrunk ahead of time.
void paintBitmapFill(QPainter& painter, const QPainterPath& path, const QImage& image,
                     const QTransform& bitmapToPath, bool clipped,
                     ScaledBitmapCache* scaled = nullptr);

// Draws the image with its top left at the origin of the painter's transform. A smooth
// painter shrinking a large image draws it from `scaled` where that has a copy.
void drawBitmap(QPainter& painter, const QImage& image, ScaledBitmapCache* scaled);

} // namespace mc
