#pragma once

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <QTransform>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace mc {

// Fills `path` with `brush` as QPainter::fillPath would, but with our own anti-aliased
// scanline filler, which costs far less for shapes that change every frame. Covers solid
// colours and the linear and radial gradients GradientSpans writes, drawn anti-aliased,
// source-over, on a premultiplied ARGB32 image. Returns false, having
// drawn nothing, for anything else; the caller then lets Qt fill the path. The painter's clip, if
// any, must be made of rectangles in device space: the fill is kept within its bounds.
bool scanlineFillPath(QPainter& painter, const QPainterPath& path, const QBrush& brush);

// The image a painter draws into, as the scanline filler sees it.
struct ScanlineTarget {
    std::uint32_t* bits = nullptr;
    std::size_t stride = 0; // pixels
    QRect drawable;         // the device pixels the painter's clip lets a fill reach
    QTransform toDevice;
    std::uint32_t opacity = 255;

    std::uint32_t* row(int y) const { return bits + static_cast<std::size_t>(y) * stride; }
    // The pixels a fill of `path` may touch; empty when none, or when a point of the path is
    // off any scale.
    QRect areaOf(const QPainterPath& path) const;
};
// None when the painter draws in a way the filler does not follow (see scanlineFillPath).
std::optional<ScanlineTarget> scanlineTarget(QPainter& painter);

// A solid colour as a premultiplied pixel.
std::uint32_t premultipliedColour(const QColor& colour);

} // namespace mc
