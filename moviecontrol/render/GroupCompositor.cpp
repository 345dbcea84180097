#include "GroupCompositor.h"

#include <algorithm>
#include <cmath>

#include "AlphaCoverage.h"
#include "CoveredBounds.h"
#include "ImageColorTransform.h"

#ifdef MC_RENDER_HAS_FILTERS
#include "BlendModes.h"
#include "FilterApply.h"
#include "FilterGrowth.h"
#endif

namespace mc {

namespace {

#ifdef MC_RENDER_HAS_FILTERS
FilterScale filterScale(GroupScale scale) {
    return FilterScale{scale.x, scale.y};
}

// Modes QPainter has no composition for are blended into a copy of what lies beneath, which
// is then put back through the painter so that its clip still holds.
void blendThroughCopy(QPainter& painter, const QImage& part, QPoint at, swf::BlendMode mode) {
    auto* target = dynamic_cast<QImage*>(painter.device());
    if (target == nullptr) {
        painter.drawImage(at, part);
        return;
    }
    const QRect region = QRect(at, part.size()).intersected(target->rect());
    if (region.isEmpty()) {
        return;
    }
    QImage under = target->copy(region).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    blendLayer(under, part, at - region.topLeft(), mode);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(region.topLeft(), under);
}
// The filters applied to a copy `reduction` times smaller in each direction, at the scale
// that copy is seen at, and the result brought back to the part's size.
QImage reducedFilters(const QImage& part, const std::vector<swf::Filter>& filters, GroupScale scale,
                      int reduction) {
    const QSize small((part.width() + reduction - 1) / reduction,
                      (part.height() + reduction - 1) / reduction);
    const QImage reduced = part.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage filtered =
        applyFilters(reduced, filters, FilterScale{scale.x / reduction, scale.y / reduction});
    return filtered.scaled(part.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
#endif

} // namespace

QPointF cachedBitmapSnap(const GroupStyle& style, const Transform& stageToDevice) {
    if (style.filters.empty() && !style.cacheAsBitmap) {
        return {};
    }
    const Bounds device = mapBounds(stageToDevice, style.bounds);
    // Far off or broken boxes are left alone rather than rounded through huge values.
    constexpr double kLimit = 1e9;
    if (device.empty() || !(std::abs(device.xMin) < kLimit) || !(std::abs(device.yMin) < kLimit)) {
        return {};
    }
    return {std::round(device.xMin) - device.xMin, std::round(device.yMin) - device.yMin};
}

QMargins groupMargins(const GroupStyle& style, GroupScale scale) {
#ifdef MC_RENDER_HAS_FILTERS
    if (!style.filters.empty()) {
        return filterListMargins(style.filters, filterScale(scale));
    }
#else
    (void)style;
    (void)scale;
#endif
    return {};
}

QRect visibleGroupArea(const QImage& layer, const GroupStyle& style, GroupScale scale) {
    const QRect covered = coveredBounds(layer);
    if (covered.isEmpty()) {
        return {};
    }
    return covered.marginsAdded(groupMargins(style, scale)).intersected(layer.rect());
}

double groupFilterWork(const GroupStyle& style, QRect area) {
#ifdef MC_RENDER_HAS_FILTERS
    if (!style.filters.empty() && !area.isEmpty()) {
        return static_cast<double>(area.width()) * area.height() * filterWork(style.filters);
    }
#else
    (void)style;
    (void)area;
#endif
    return 0.0;
}

void composeGroup(QPainter& painter, const QImage& layer, QPoint layerOrigin, QRect area,
                  const GroupStyle& style, GroupScale scale, int filterReduction,
                  const QImage* coverage) {
    if (area.isEmpty()) {
        return;
    }
    painter.save();
    painter.setTransform(QTransform());
    const QPoint at = layerOrigin + area.topLeft();
#ifdef MC_RENDER_HAS_FILTERS
    QImage part = layer.copy(area);
    if (!style.filters.empty() && filterReduction == 1) {
        part = applyFilters(part, style.filters, filterScale(scale));
    } else if (!style.filters.empty() && filterReduction > 1) {
        part = reducedFilters(part, style.filters, scale, filterReduction);
    }
    if (!style.colorTransform.isIdentity()) {
        part = colorTransformed(part, style.colorTransform);
    }
    if (coverage != nullptr && style.blendMode == swf::BlendMode::Alpha) {
        part = alphaThroughCoverage(part, coverage->copy(area));
    }
    if (const auto mode = painterCompositionMode(style.blendMode)) {
        painter.setCompositionMode(*mode);
        painter.drawImage(at, part);
    } else {
        blendThroughCopy(painter, part, at, style.blendMode);
    }
#else
    (void)scale;
    painter.drawImage(at, colorTransformed(layer.copy(area), style.colorTransform));
#endif
    painter.restore();
}

} // namespace mc
