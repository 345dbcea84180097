#pragma once

#include <QImage>
#include <QPainter>
#include <QPoint>

namespace mc {

class MaskCoverage;

// Puts a premultiplied picture down unscaled at device pixel `at`, cut by `mask` as our fills
// under it are, so that a shape drawn from its kept picture has the same edge as when it was
// drawn directly. Takes the painters the scanline filler takes and returns false, having drawn
// nothing, for any other.
bool drawImageUnderMask(QPainter& painter, QPoint at, const QImage& image,
                        const MaskCoverage& mask);

} // namespace mc
