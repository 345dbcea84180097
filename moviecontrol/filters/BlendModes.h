#pragma once
// Blend modes of PlaceObject3: how a display object's finished layer is combined with what
// is already drawn beneath it.

#include "swf/Filters.h"

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <optional>

namespace mc {

// Composites `layer` (premultiplied ARGB32) onto `destination` (premultiplied ARGB32) with
// its top-left corner at `at`; only the covered area changes. Alpha and Erase change the
// destination's alpha by the layer's: they are meant for a parent drawn with Layer.
void blendLayer(QImage& destination, const QImage& layer, QPoint at, swf::BlendMode mode);

// The QPainter composition that computes `mode` exactly, if there is one; the others need
// blendLayer. Lets a caller keep its painter's clip for the common modes.
std::optional<QPainter::CompositionMode> painterCompositionMode(swf::BlendMode mode);

} // namespace mc
