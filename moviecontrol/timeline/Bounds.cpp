#include "Bounds.h"

#include <algorithm>

namespace mc {

void Bounds::add(const Bounds& other) {
    if (other.empty()) {
        return;
    }
    if (empty()) {
        *this = other;
        return;
    }
    xMin = std::min(xMin, other.xMin);
    yMin = std::min(yMin, other.yMin);
    xMax = std::max(xMax, other.xMax);
    yMax = std::max(yMax, other.yMax);
}

Bounds Bounds::of(const swf::Rect& rect) {
    // A rectangle stored back to front still covers the span between its edges.
    return {static_cast<double>(std::min(rect.xMin, rect.xMax)),
            static_cast<double>(std::min(rect.yMin, rect.yMax)),
            static_cast<double>(std::max(rect.xMin, rect.xMax)),
            static_cast<double>(std::max(rect.yMin, rect.yMax)), true};
}

Bounds mapBounds(const Transform& m, const Bounds& box) {
    if (box.empty()) {
        return {};
    }
    const double xs[2] = {box.xMin, box.xMax};
    const double ys[2] = {box.yMin, box.yMax};
    Bounds out;
    for (const double x : xs) {
        for (const double y : ys) {
            const double px = m.mapX(x, y);
            const double py = m.mapY(x, y);
            out.add(Bounds{px, py, px, py, true});
        }
    }
    return out;
}

} // namespace mc
