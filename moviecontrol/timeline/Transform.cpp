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

Transform inverse(const Transform& m) {
    const double det = m.a * m.d - m.b * m.c;
    if (det == 0.0 || !std::isfinite(det)) {
        return Transform{0.0, 0.0, 0.0, 0.0, -m.tx, -m.ty};
    }
    Transform r;
    r.a = m.d / det;
    r.b = -m.b / det;
    r.c = -m.c / det;
    r.d = m.a / det;
    r.tx = -(r.a * m.tx + r.c * m.ty);
    r.ty = -(r.b * m.tx + r.d * m.ty);
    return r;
}

} // namespace mc
