#pragma once

#include <QPainterPath>
#include <QPen>
#include <vector>

#include "swf/Geometry.h"

namespace mc {

// A shape's drawing as Qt paths, built once per character and kept for every frame.
struct ConvertedFill {
    QPainterPath path;
    swf::FillStyle style;
};

struct ConvertedStroke {
    QPainterPath path;
    swf::LineStyle style;
    // The stroke's area in the shape's own twips, made once: a scaled stroke is the local
    // outline under the placement matrix, so it never needs stroking again.
    QPainterPath outline;
};

// The QPainter pen (width in the path's units) that strokes a line style.
QPen strokePen(const swf::LineStyle& style, double width, const QBrush& brush);
QPainterPath strokeOutline(const QPainterPath& path, const swf::LineStyle& style);

struct ConvertedLayer {
    std::vector<ConvertedFill> fills;
    std::vector<ConvertedStroke> strokes;
};

struct ConvertedShape {
    std::vector<ConvertedLayer> layers;
    QRectF bounds; // of the fill and stroke paths, twips
    bool empty() const { return layers.empty(); }
};

QPainterPath toPainterPath(const swf::Path& path, Qt::FillRule rule);
ConvertedShape convertDrawing(const swf::ShapeDrawing& drawing);

} // namespace mc
