#include "LayerArea.h"

#include <algorithm>
#include <cmath>

#include "GroupCache.h"

namespace mc {

QRect groupLayerArea(QRect visible, QMargins reach, const std::optional<Bounds>& extent,
                     const Transform& stageToDevice) {
    if (visible.isEmpty()) {
        return {};
    }
    // A filter moving its content (a drop shadow) reaches one way; what it brings into view
    // comes from the other.
    const int across = std::max(reach.left(), reach.right());
    const int down = std::max(reach.top(), reach.bottom());
    const QRect area = visible.marginsAdded(QMargins(across, down, across, down));
    if (!extent) {
        return area;
    }
    if (extent->empty()) {
        return {};
    }
    const Bounds box = mapBounds(stageToDevice, *extent);
    if (!std::isfinite(box.xMin) || !std::isfinite(box.yMin) || !std::isfinite(box.xMax) ||
        !std::isfinite(box.yMax)) {
        return area;
    }
    // Clamped to just past the area before turning into pixels, so that boxes near the
    // format's limits, or far off, cannot overflow.
    constexpr double kSlack = GroupCache::kSlack;
    const auto clamp = [](double v, int from, int to) {
        return static_cast<int>(std::clamp(v, from - 1.0, to + 1.0));
    };
    const int left = clamp(std::floor(box.xMin) - kSlack - reach.left(), area.left(), area.right());
    const int top = clamp(std::floor(box.yMin) - kSlack - reach.top(), area.top(), area.bottom());
    const int right =
        clamp(std::ceil(box.xMax) + kSlack + reach.right(), area.left(), area.right());
    const int bottom =
        clamp(std::ceil(box.yMax) + kSlack + reach.bottom(), area.top(), area.bottom());
    return area.intersected(QRect(QPoint(left, top), QPoint(right, bottom)));
}

std::optional<Bounds> groupExtent(const GroupStyle& style) {
    if (GroupCache::caches(style) || style.bounds.empty()) {
        return std::nullopt;
    }
    return style.bounds;
}

} // namespace mc
