#include "SlicedShape.h"

#include <algorithm>
#include <cmath>

#include "QtConversions.h"

namespace mc {

namespace {

QPainterPath mapped(const QPainterPath& path, const NineSlice& slices) {
    QPainterPath out = path;
    for (int i = 0; i < out.elementCount(); ++i) {
        const QPainterPath::Element e = out.elementAt(i);
        out.setElementPositionAt(i, slices.mapX(e.x, e.y), slices.mapY(e.x, e.y));
    }
    return out;
}

// The transform taking a fill from its path's box before slicing to the box after: a fill
// stretches with its shape, whichever slices that shape lies in.
QTransform stretched(const QRectF& before, const QRectF& after) {
    const double sx = before.width() > 0.0 ? after.width() / before.width() : 1.0;
    const double sy = before.height() > 0.0 ? after.height() / before.height() : 1.0;
    return QTransform(sx, 0.0, 0.0, sy, after.left() - before.left() * sx,
                      after.top() - before.top() * sy);
}

swf::Matrix toMatrix(const QTransform& t) {
    return swf::Matrix{t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
}

void restretch(swf::FillStyle& style, const QTransform& inner, const QTransform& stretch) {
    if (style.isGradient() || style.isBitmap()) {
        style.matrix = toMatrix(toQTransform(style.matrix) * inner * stretch);
    }
}

} // namespace

ConvertedShape slicedShape(const ConvertedShape& shape, const NineSlice& slices) {
    const QTransform inner = toQTransform(slices.inner);
    const double widthScale = slices.inner.averageScale();
    ConvertedShape out;
    out.layers.reserve(shape.layers.size());
    for (const ConvertedLayer& layer : shape.layers) {
        ConvertedLayer converted;
        for (const ConvertedFill& fill : layer.fills) {
            ConvertedFill cf{mapped(fill.path, slices), fill.style};
            restretch(cf.style, inner,
                      stretched(inner.map(fill.path).boundingRect(), cf.path.boundingRect()));
            out.bounds |= cf.path.boundingRect();
            converted.fills.push_back(std::move(cf));
        }
        for (const ConvertedStroke& stroke : layer.strokes) {
            ConvertedStroke cs{mapped(stroke.path, slices), stroke.style, {}};
            const double width = std::clamp(stroke.style.width * widthScale, 0.0, 65535.0);
            cs.style.width = static_cast<std::uint16_t>(std::lround(width));
            if (cs.style.fill) {
                restretch(*cs.style.fill, inner,
                          stretched(inner.map(stroke.path).boundingRect(), cs.path.boundingRect()));
            }
            if (cs.style.width > 0) {
                cs.outline = strokeOutline(cs.path, cs.style);
            }
            const double half = cs.style.width / 2.0 + 20.0;
            out.bounds |= cs.path.boundingRect().adjusted(-half, -half, half, half);
            converted.strokes.push_back(std::move(cs));
        }
        out.layers.push_back(std::move(converted));
    }
    return out;
}

} // namespace mc
