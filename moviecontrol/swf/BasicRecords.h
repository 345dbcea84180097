#pragma once

#include "swf/BasicTypes.h"
#include "swf/ByteReader.h"

namespace swf {

Rgba readRgb(ByteReader& r);
Rgba readRgba(ByteReader& r);
Rect readRect(ByteReader& r);
Matrix readMatrix(ByteReader& r);
// CXFORM (withAlpha false) or CXFORMWITHALPHA.
ColorTransform readColorTransform(ByteReader& r, bool withAlpha);

} // namespace swf
