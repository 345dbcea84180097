#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <span>

namespace mc {

class MaskCoverage;

// One solid fill of a shape, in the painter's coordinates.
struct SolidFill {
    const QPainterPath* path = nullptr;
    QColor colour;
};

// Draws the solid fills of one shape as one picture, pixel by pixel: where fills meet along an
// edge, their coverages add up to the whole pixel and nothing behind shows through the seam,
// which drawing them one after the other, each anti-aliased on its own, would leave. Later
// fills lie over earlier ones where they overlap. Takes the painters the scanline filler
// takes (see scanlineFillPath) and returns false, having drawn nothing, for any other. A
// `mask` cuts the composed picture, not each fill, so that no seam opens under it either.
bool composeSolidFills(QPainter& painter, std::span<const SolidFill> fills,
                       const MaskCoverage* mask = nullptr);

} // namespace mc
