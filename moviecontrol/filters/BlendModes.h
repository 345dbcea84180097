#pragma once
// Blend modes of PlaceObject3: how a display object's finished layer is combined with what
// is already drawn beneath it.

#include "swf/Filters.h"

#include <QImage>
#include <QPoint>

namespace mc {

/// Composites `layer` (premultiplied ARGB32) onto `destination` (premultiplied ARGB32) with
/// its top-left corner at `at`; only the covered area changes. Alpha and Erase change the
/// destination's alpha by the layer's: they are meant for a parent drawn with Layer.
void blendLayer(QImage& destination, const QImage& layer, QPoint at, swf::BlendMode mode);

} // namespace mc
