#pragma once

#include <QImage>
#include <QMargins>
#include <QPainter>
#include <QPoint>
#include <QPointF>
#include <QRect>

#include "DrawCommand.h"

namespace mc {

// Device pixels per stage pixel, for filter sizes: filters scale with the view of the stage,
// never with the matrices between the stage and the object (as the reference players do).
struct GroupScale {
    double x = 1.0;
    double y = 1.0;
};

// A cached bitmap (a group with filters or the cache request) is drawn with its content's
// top-left corner moved to the nearest whole device pixel, halves away from zero, as players
// place such bitmaps; this is the move in device pixels. Other groups draw where they are.
QPointF cachedBitmapSnap(const GroupStyle& style, const Transform& stageToDevice);

// How far the group's filters reach beyond its content, in device pixels.
QMargins groupMargins(const GroupStyle& style, GroupScale scale);

// The part of a finished layer that can show once its filters are applied: the bounds of its
// covered pixels grown by the filters' reach, within the layer. Empty when nothing shows.
QRect visibleGroupArea(const QImage& layer, const GroupStyle& style, GroupScale scale);

// Work units of the group's filters over `area` (see FrameBudget); 0 without filters.
double groupFilterWork(const GroupStyle& style, QRect area);

// Puts the area of a finished group layer (premultiplied) onto the painter's device at
// `layerOrigin` (device position of the layer's top-left pixel), after its filters, with its
// blend mode. The painter's clip still applies, so a group inside a mask stays masked.
// `filterReduction` > 1 applies the filters to a picture that many times smaller in each
// direction (a frame short of time); 0 leaves them out. `coverage`, a layer of the same size
// and origin, holds the pixels an Alpha group draws (see AlphaCoverage.h); null blends the
// whole area.
void composeGroup(QPainter& painter, const QImage& layer, QPoint layerOrigin, QRect area,
                  const GroupStyle& style, GroupScale scale, int filterReduction = 1,
                  const QImage* coverage = nullptr);

} // namespace mc
