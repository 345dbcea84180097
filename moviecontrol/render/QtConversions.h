#pragma once

#include <QColor>
#include <QRectF>
#include <QTransform>

#include "Bounds.h"
#include "ColorTransform.h"
#include "Transform.h"
#include "swf/BasicTypes.h"

namespace mc {

inline QTransform toQTransform(const Transform& t) {
    return QTransform(t.a, t.b, t.c, t.d, t.tx, t.ty);
}

inline QTransform toQTransform(const swf::Matrix& m) {
    return QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty);
}

inline QRectF toQRectF(const swf::Rect& r) {
    // In doubles: hostile corners would overflow a 32-bit width.
    return QRectF(QPointF(r.xMin, r.yMin), QPointF(r.xMax, r.yMax));
}

inline QRectF toQRectF(const Bounds& b) {
    return QRectF(QPointF(b.xMin, b.yMin), QPointF(b.xMax, b.yMax));
}

inline QColor toQColor(const Rgba& c, const ColorTransform& cx) {
    const Rgba t = cx.apply(c);
    return QColor(t.r, t.g, t.b, t.a);
}

inline QColor toQColor(const swf::Rgba& c, const ColorTransform& cx) {
    const Rgba t = cx.apply(Rgba{c.r, c.g, c.b, c.a});
    return QColor(t.r, t.g, t.b, t.a);
}

inline QColor toQColor(const Rgba& c) {
    return QColor(c.r, c.g, c.b, c.a);
}

} // namespace mc
