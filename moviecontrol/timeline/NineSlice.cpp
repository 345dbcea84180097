#include "NineSlice.h"

#include <algorithm>
#include <cmath>

namespace mc {

namespace {

// The grid's edges inside the content; the corners keep their width up to the scaled size,
// then shrink together as the middle has none left.
std::optional<SliceAxis> sliceAxis(double gridLow, double gridHigh, double contentLow,
                                   double contentHigh, double scale) {
    const double low = std::clamp(gridLow, contentLow, contentHigh);
    const double high = std::clamp(gridHigh, contentLow, contentHigh);
    if (!(high > low) || !std::isfinite(scale)) {
        return std::nullopt;
    }
    const double before = low - contentLow;
    const double after = contentHigh - high;
    const double scaledLow = contentLow * scale;
    const double scaledHigh = contentHigh * scale;
    const double scaledWidth = scaledHigh - scaledLow;
    SliceAxis axis;
    axis.low = low;
    axis.high = high;
    axis.edgeScale =
        before + after > scaledWidth ? std::max(0.0, scaledWidth) / (before + after) : 1.0;
    axis.lowTo = scaledLow + before * axis.edgeScale;
    axis.highTo = scaledHigh - after * axis.edgeScale;
    axis.middleScale = std::max(0.0, axis.highTo - axis.lowTo) / (high - low);
    return axis;
}

} // namespace

double SliceAxis::map(double v) const {
    if (v <= low) {
        return lowTo + (v - low) * edgeScale;
    }
    if (v >= high) {
        return highTo + (v - high) * edgeScale;
    }
    return lowTo + (v - low) * middleScale;
}

std::optional<NineSlice> sliceClip(const Bounds& grid, const Bounds& content,
                                   const Transform& own) {
    if (grid.empty() || content.empty() || own.b != 0.0 || own.c != 0.0 || own.a == 0.0 ||
        own.d == 0.0) {
        return std::nullopt;
    }
    const auto x = sliceAxis(grid.xMin, grid.xMax, content.xMin, content.xMax, std::abs(own.a));
    const auto y = sliceAxis(grid.yMin, grid.yMax, content.yMin, content.yMax, std::abs(own.d));
    if (!x || !y) {
        return std::nullopt;
    }
    return NineSlice{Transform{}, *x, *y};
}

Transform unscaledPlacement(const Transform& placed, const Transform& own) {
    return placed * Transform::scaling(1.0 / std::abs(own.a), 1.0 / std::abs(own.d));
}

} // namespace mc
