#pragma once

#include "ColorTransform.h"
#include "Transform.h"
#include "swf/BasicTypes.h"

namespace mc {

inline Transform toTransform(const swf::Matrix& m) {
    return Transform{m.a, m.b, m.c, m.d, m.tx, m.ty};
}

inline ColorTransform toColorTransform(const swf::ColorTransform& c) {
    ColorTransform cx;
    cx.mult[0] = c.multR;
    cx.mult[1] = c.multG;
    cx.mult[2] = c.multB;
    cx.mult[3] = c.multA;
    cx.add[0] = c.addR;
    cx.add[1] = c.addG;
    cx.add[2] = c.addB;
    cx.add[3] = c.addA;
    return cx;
}

inline Rgba toRgba(const swf::Rgba& c) {
    return Rgba{c.r, c.g, c.b, c.a};
}

} // namespace mc
