#pragma once

#include <QBrush>
#include <QPainter>
#include <QPainterPath>

namespace mc {

// Fills `path` with `brush` as QPainter::fillPath would, but with our own anti-aliased
// scanline filler, which costs far less for shapes that change every frame. Covers solid
// colours drawn anti-aliased, source-over, on a premultiplied ARGB32 image. Returns false, having
// drawn nothing, for anything else; the caller then lets Qt fill the path. The painter's clip, if
// any, must be made of rectangles in device space: the fill is kept within its bounds.
bool scanlineFillPath(QPainter& painter, const QPainterPath& path, const QBrush& brush);

} // namespace mc
