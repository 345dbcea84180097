#pragma once

#include <QImage>
#include <QPainter>

#include "DrawCommand.h"

namespace mc {

// Puts a finished group layer (premultiplied, the size of the target) onto the target
// through `painter`, after its filters, with its blend mode. The painter's clip still
// applies, so a group inside a mask stays masked. filterScale converts filter sizes given in
// stage pixels to device pixels.
void composeGroup(QPainter& painter, QImage& layer, const GroupStyle& style, double filterScale);

} // namespace mc
