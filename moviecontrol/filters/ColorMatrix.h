#pragma once
// The colour matrix filter: a 4x5 matrix applied to unpremultiplied colour.

#include "swf/Filters.h"

#include <QImage>

namespace mc {

// R' = m0*R + m1*G + m2*B + m3*A + m4 and so on for G, B, A, with channels and offsets in
// 0..255; results are clamped and premultiplied again. Non-finite entries count as 0.
QImage applyColorMatrix(const QImage& source, const swf::ColorMatrixFilter& filter);

} // namespace mc
