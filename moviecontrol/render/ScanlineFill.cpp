#include "ScanlineFill.h"

#include <QImage>
#include <QPaintEngine>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "GradientSpans.h"
#include "ScanlineCoverage.h"
#include "SpanBlend.h"

namespace mc {

namespace {

// The device pixels the painter lets a fill reach: the bounds of its clip, which the caller
// guarantees is made of rectangles alone.
QRect drawableArea(QPainter& p, const QImage& image) {
    const QRect all = image.rect();
    if (!p.hasClipping()) {
        return all;
    }
    // The bounds come back in the painter's coordinates; without a transform, they are
    // the device rectangle itself rather than the box around it turned.
    const QTransform world = p.transform();
    p.setTransform(QTransform());
    const QRectF box = p.clipBoundingRect();
    p.setTransform(world);
    if (!box.isValid()) {
        return QRect();
    }
    // Qt rounds a rectangular clip's sides to the nearest pixel edge.
    const QRect rounded(QPoint(qRound(box.left()), qRound(box.top())),
                        QPoint(qRound(box.right()) - 1, qRound(box.bottom()) - 1));
    return all & rounded;
}

// Coverage scaled by the painter's opacity; `scaled` holds a row's worth.
struct Coverage {
    const std::uint8_t* values;
    std::uint32_t level;
};
inline Coverage withOpacity(const std::uint8_t* coverage, std::uint32_t level, int count,
                            std::uint32_t opacity, std::vector<std::uint8_t>& scaled) {
    if (opacity == 255) {
        return {coverage, level};
    }
    if (coverage == nullptr) {
        return {nullptr, (level * opacity + 127) / 255};
    }
    for (int i = 0; i < count; ++i) {
        scaled[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>((coverage[i] * opacity + 127) / 255);
    }
    return {scaled.data(), 0};
}

} // namespace

std::optional<ScanlineTarget> scanlineTarget(QPainter& p) {
    QPaintDevice* device = p.device();
    if (!p.isActive() || device == nullptr || device->devType() != QInternal::Image ||
        p.paintEngine() == nullptr || p.paintEngine()->type() != QPaintEngine::Raster ||
        !p.testRenderHint(QPainter::Antialiasing) ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver || !p.brushOrigin().isNull()) {
        return std::nullopt;
    }
    auto* image = static_cast<QImage*>(device);
    if (image->format() != QImage::Format_ARGB32_Premultiplied ||
        image->devicePixelRatio() != 1.0) {
        return std::nullopt;
    }
    ScanlineTarget t;
    // The pixels Qt's engine paints into, taken when the painter began: bits() would copy
    // an image shared since then, and our fill would land where Qt's do not.
    t.bits = reinterpret_cast<std::uint32_t*>(const_cast<uchar*>(image->constBits()));
    t.stride = static_cast<std::size_t>(image->bytesPerLine() / 4);
    t.drawable = drawableArea(p, *image);
    t.toDevice = p.deviceTransform();
    t.opacity = static_cast<std::uint32_t>(std::lround(std::clamp(p.opacity(), 0.0, 1.0) * 255.0));
    return t;
}

QRect ScanlineTarget::areaOf(const QPainterPath& path) const {
    const QRectF reach = toDevice.mapRect(path.controlPointRect());
    if (!std::isfinite(reach.left()) || !std::isfinite(reach.right()) ||
        !std::isfinite(reach.top()) || !std::isfinite(reach.bottom())) {
        return QRect();
    }
    // Cut down in doubles first: a hostile shape's box does not fit integer pixels.
    const QRectF near = reach.intersected(QRectF(drawable).adjusted(-2.0, -2.0, 2.0, 2.0));
    return near.isEmpty() ? QRect() : drawable & near.toAlignedRect();
}

std::uint32_t premultipliedColour(const QColor& colour) {
    const QRgb rgb = colour.rgba();
    return spanblend::premultiplied(
        static_cast<std::uint32_t>(qAlpha(rgb)), static_cast<std::uint32_t>(qRed(rgb)),
        static_cast<std::uint32_t>(qGreen(rgb)), static_cast<std::uint32_t>(qBlue(rgb)));
}

namespace {

// Asks for the pixels of the row below while this one is blended: rows lie too far apart in
// memory for the processor to see the next one coming, and a busy frame's fills wait on memory
// more than on arithmetic.
inline void prefetchRow(const std::uint32_t* pixels, int count) {
#if defined(__GNUC__)
    constexpr int kLine = 16; // pixels in a cache line
    for (int i = 0; i < count; i += kLine) {
        __builtin_prefetch(pixels + i, 1);
    }
#else
    (void)pixels;
    (void)count;
#endif
}

// Sweeps the coverage of `path` on the target, handing each span, its coverage scaled by the
// painter's opacity, to `blendSpan(dst, y, x, count, coverage, level)`.
template <typename Blend>
void fillCoverage(const ScanlineTarget& target, const QPainterPath& path, Blend&& blendSpan) {
    const QRect area = target.areaOf(path);
    const std::uint32_t opacity = target.opacity;
    if (area.isEmpty() || opacity == 0) {
        return;
    }
    ScanlineCoverage coverage(area);
    if (!coverage.addPath(path, target.toDevice)) {
        return;
    }
    std::vector<std::uint8_t> scaled(static_cast<std::size_t>(area.width()));
    coverage.sweep(path.fillRule(),
                   [&](int y, int x, int count, const std::uint8_t* cov, std::uint8_t level) {
                       const Coverage c = withOpacity(cov, level, count, opacity, scaled);
                       if (y < area.bottom()) {
                           prefetchRow(target.row(y + 1) + x, count);
                       }
                       blendSpan(target.row(y) + x, y, x, count, c.values, c.level);
                   });
}

} // namespace

bool scanlineFillPath(QPainter& p, const QPainterPath& path, const QBrush& brush) {
    const std::optional<ScanlineTarget> target = scanlineTarget(p);
    const Qt::BrushStyle style = brush.style();
    if (!target || (style != Qt::SolidPattern && style != Qt::LinearGradientPattern &&
                    style != Qt::RadialGradientPattern)) {
        return false;
    }
    if (!target->toDevice.isInvertible()) {
        return true; // the fill has no area
    }
    if (style == Qt::SolidPattern) {
        const std::uint32_t colour = premultipliedColour(brush.color());
        if ((colour >> 24) != 0) {
            fillCoverage(*target, path,
                         [colour](std::uint32_t* d, int, int, int count,
                                  const std::uint8_t* coverage, std::uint32_t level) {
                             spanblend::blendSolid(d, colour, count, coverage, level);
                         });
        }
        return true;
    }
    const std::optional<GradientSpans> gradient = GradientSpans::forBrush(brush, target->toDevice);
    if (!gradient) {
        return false;
    }
    std::vector<std::uint32_t> colours;
    fillCoverage(*target, path,
                 [&](std::uint32_t* d, int y, int x, int count, const std::uint8_t* coverage,
                     std::uint32_t level) {
                     colours.resize(std::max(colours.size(), static_cast<std::size_t>(count)));
                     gradient->fetch(y, x, count, colours.data());
                     spanblend::blendSpan(d, colours.data(), count, coverage, level);
                 });
    return true;
}

} // namespace mc
