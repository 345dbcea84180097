#pragma once

#include <QImage>

#include "ColorTransform.h"

namespace mc {

// The image (any format) with the colour transform applied to its unpremultiplied colour,
// as premultiplied ARGB32. A transform that only scales alpha keeps premultiplied colour
// exact by scaling every channel alike.
QImage colorTransformed(const QImage& image, const ColorTransform& cx);

} // namespace mc
