#pragma once

#include <QPainterPath>
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
};

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
