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

// How a stroke shows under the transform from the shape's twips to device pixels. A stroke
// keeps its shape-space outline (it stretches with its shape); where the transform leaves it
// thinner than a pixel in some direction, a one-pixel line drawn on the device keeps it from
// fading away there. Pixel-hinted strokes are drawn on the device with whole-pixel widths.
struct StrokePlan {
    bool outline = false;     // fill the shape-space outline
    bool devicePen = false;   // stroke the device path with `deviceWidth`
    double deviceWidth = 1.0; // pixels
    bool snapToPixels = false;
};
StrokePlan planStroke(const swf::LineStyle& style, const QTransform& toDevice);

// The device path of a pixel-hinted stroke: points moved onto pixel centres for odd widths
// and onto pixel corners for even ones, so that the line covers whole pixels.
QPainterPath snappedToPixels(const QPainterPath& devicePath, double width);

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
// A line style's path: parts of no length keep their caps.
QPainterPath toStrokePath(const swf::Path& path);
ConvertedShape convertDrawing(const swf::ShapeDrawing& drawing);

} // namespace mc
