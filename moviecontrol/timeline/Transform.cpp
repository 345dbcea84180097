#include "Transform.h"

#include <cmath>

namespace mc {

double Transform::averageScale() const {
    return (std::hypot(a, b) + std::hypot(c, d)) / 2.0;
}

Transform operator*(const Transform& p, const Transform& ch) {
    Transform r;
    r.a = p.a * ch.a + p.c * ch.b;
    r.b = p.b * ch.a + p.d * ch.b;
    r.c = p.a * ch.c + p.c * ch.d;
    r.d = p.b * ch.c + p.d * ch.d;
    r.tx = p.a * ch.tx + p.c * ch.ty + p.tx;
    r.ty = p.b * ch.tx + p.d * ch.ty + p.ty;
    return r;
}

} // namespace mc
