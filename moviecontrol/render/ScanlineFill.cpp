#include "ScanlineFill.h"

#include <QImage>
#include <QPaintEngine>
#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <optional>
#include <vector>

#include "GradientRamp.h"
#include "SpanBlend.h"
#include "ScanlineCoverage.h"

namespace mc {

namespace {

using spanblend::byteMul;

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

// Gradient positions of device pixel centres: gx = ax * x + bx * y + cx, and so on.
struct GradientPlane {
    double ax, bx, cx, ay, by, cy;
    GradientPlane(const QTransform& deviceToGradient, double scale) {
        const QTransform& m = deviceToGradient;
        ax = m.m11() * scale;
        ay = m.m12() * scale;
        bx = m.m21() * scale;
        by = m.m22() * scale;
        cx = (m.dx() + 0.5 * (m.m11() + m.m21())) * scale;
        cy = (m.dy() + 0.5 * (m.m12() + m.m22())) * scale;
    }
};

// The ramp entry for position `t`, as GradientRamp::at but inlined for one spread mode.
template <QGradient::Spread S> inline int rampIndex(float t) {
    constexpr float kLimit = 1 << 24;
    const float scaled = std::fmin(std::fmax(t * (GradientRamp::kSize - 1) + 0.5f, -kLimit), kLimit);
    const int i = static_cast<int>(scaled);
    if constexpr (S == QGradient::RepeatSpread) {
        return i & (GradientRamp::kSize - 1);
    } else if constexpr (S == QGradient::ReflectSpread) {
        const int r = i & (2 * GradientRamp::kSize - 1);
        return r >= GradientRamp::kSize ? 2 * GradientRamp::kSize - 1 - r : r;
    } else {
        return std::clamp(i, 0, GradientRamp::kSize - 1);
    }
}

struct GradientShader {
    const std::uint32_t* ramp;
    GradientPlane plane;
    QGradient::Spread spread;
    bool radial;
    // Linear: t = (g - start) . along, with `along` divided by its squared length.
    double startX = 0.0, startY = 0.0, alongX = 0.0, alongY = 0.0;
    // Radial, in units of the radius, from a focal point inside the circle: the largest t
    // whose circle, centred between the focal point (t = 0) and the centre (t = 1) with
    // radius t, passes through the pixel.
    double focalX = 0.0, focalY = 0.0, toCentreX = 0.0, toCentreY = 0.0;

    bool opaque = false;
    std::vector<std::uint32_t>* colours = nullptr; // one row's worth
    std::vector<float>* positions = nullptr;
    std::vector<std::uint8_t>* scaled = nullptr;

    void operator()(std::uint32_t* row, int y, int x, int count, const std::uint8_t* coverage,
                    std::uint32_t level, std::uint32_t opacity) const {
        float* t = positions->data();
        positionsOf(y, x, count, t);
        std::uint32_t* c = colours->data();
        switch (spread) {
        case QGradient::RepeatSpread:
            lookUp<QGradient::RepeatSpread>(t, count, c);
            break;
        case QGradient::ReflectSpread:
            lookUp<QGradient::ReflectSpread>(t, count, c);
            break;
        default:
            lookUp<QGradient::PadSpread>(t, count, c);
            break;
        }
        const Coverage cov = withOpacity(coverage, level, count, opacity, *scaled);
        spanblend::blendSpan(row + x, c, 1, count, cov.values, cov.level, opaque);
    }

    template <QGradient::Spread S> void lookUp(const float* t, int count, std::uint32_t* c) const {
        for (int i = 0; i < count; ++i) {
            c[i] = ramp[rampIndex<S>(t[i])];
        }
    }

    void positionsOf(int y, int x, int count, float* out) const {
        const double gx = plane.ax * x + plane.bx * y + plane.cx;
        const double gy = plane.ay * x + plane.by * y + plane.cy;
        if (!radial) {
            const auto t0 = static_cast<float>((gx - startX) * alongX + (gy - startY) * alongY);
            const auto dt = static_cast<float>(plane.ax * alongX + plane.ay * alongY);
            for (int i = 0; i < count; ++i) {
                out[i] = t0 + dt * static_cast<float>(i);
            }
            return;
        }
        const auto a = static_cast<float>(toCentreX * toCentreX + toCentreY * toCentreY - 1.0);
        const float inverseA = 1.0f / a;
        const auto cx = static_cast<float>(toCentreX);
        const auto cy = static_cast<float>(toCentreY);
        const auto px = static_cast<float>(gx - focalX);
        const auto py = static_cast<float>(gy - focalY);
        const auto dx = static_cast<float>(plane.ax);
        const auto dy = static_cast<float>(plane.ay);
        for (int i = 0; i < count; ++i) {
            const float qx = px + dx * static_cast<float>(i);
            const float qy = py + dy * static_cast<float>(i);
            const float b = qx * cx + qy * cy;
            const float disc = b * b - a * (qx * qx + qy * qy);
            out[i] = (b - std::sqrt(std::fmax(disc, 0.0f))) * inverseA;
        }
    }
};

bool gradientsEnabled() { return std::getenv("RF_GRADIENTS") != nullptr; }

} // namespace

bool scanlineFillPath(QPainter& p, const QPainterPath& path, const QBrush& brush) {
    QPaintDevice* device = p.device();
    if (!p.isActive() || device == nullptr || device->devType() != QInternal::Image ||
        p.paintEngine() == nullptr || p.paintEngine()->type() != QPaintEngine::Raster ||
        !p.testRenderHint(QPainter::Antialiasing) ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver ||
        !p.brushOrigin().isNull()) {
        return false;
    }
    auto* image = static_cast<QImage*>(device);
    if (image->format() != QImage::Format_ARGB32_Premultiplied ||
        image->devicePixelRatio() != 1.0) {
        return false;
    }
    const Qt::BrushStyle style = brush.style();
    const QGradient* gradient = brush.gradient();
    const bool linear = style == Qt::LinearGradientPattern;
    const bool radial = style == Qt::RadialGradientPattern;
    if (style != Qt::SolidPattern && (!gradientsEnabled() || (!linear && !radial))) {
        return false;
    }
    if (gradient != nullptr &&
        (gradient->coordinateMode() != QGradient::LogicalMode ||
         gradient->interpolationMode() != QGradient::ComponentInterpolation)) {
        return false;
    }
    if (radial) {
        const auto* r = static_cast<const QRadialGradient*>(gradient);
        const QPointF offset = r->focalPoint() - r->center();
        if (r->focalRadius() != 0.0 || !(r->centerRadius() > 0.0) ||
            !(std::hypot(offset.x(), offset.y()) < r->centerRadius())) {
            return false;
        }
    }
    const QTransform toDevice = p.deviceTransform();
    if (!toDevice.isInvertible()) {
        return true; // the fill has no area
    }
    const QRect drawable = drawableArea(p, *image);
    const QRectF reach = toDevice.mapRect(path.controlPointRect());
    if (!std::isfinite(reach.left()) || !std::isfinite(reach.right()) ||
        !std::isfinite(reach.top()) || !std::isfinite(reach.bottom())) {
        return true; // a point off any scale: nothing sensible to draw
    }
    const QRect area = drawable & reach.toAlignedRect().adjusted(-1, -1, 1, 1);
    const auto opacity = static_cast<std::uint32_t>(std::lround(std::clamp(p.opacity(), 0.0, 1.0) * 255.0));
    if (area.isEmpty() || opacity == 0) {
        return true;
    }
    ScanlineCoverage coverage(area);
    if (!coverage.addPath(path, toDevice)) {
        return true;
    }
    auto* bits = reinterpret_cast<std::uint32_t*>(image->bits());
    const auto stride = static_cast<std::size_t>(image->bytesPerLine() / 4);
    auto rowAt = [bits, stride](int y) { return bits + static_cast<std::size_t>(y) * stride; };
    if (style == Qt::SolidPattern) {
        const QColor color = brush.color();
        const QRgb rgb = color.rgba();
        const std::uint32_t a = qAlpha(rgb);
        if (a == 0) {
            return true;
        }
        const std::uint32_t premultiplied = spanblend::premultiplied(
            a, static_cast<std::uint32_t>(qRed(rgb)), static_cast<std::uint32_t>(qGreen(rgb)),
            static_cast<std::uint32_t>(qBlue(rgb)));
        std::vector<std::uint8_t> scaled(static_cast<std::size_t>(area.width()));
        coverage.sweep(path.fillRule(), [&](int y, int x, int count, const std::uint8_t* cov,
                                            std::uint8_t level) {
            const Coverage c = withOpacity(cov, level, count, opacity, scaled);
            spanblend::blendSpan(rowAt(y) + x, &premultiplied, 0, count, c.values, c.level,
                                 a == 255);
        });
        return true;
    }
    const QTransform gradientToDevice = brush.transform() * toDevice;
    if (!gradientToDevice.isInvertible()) {
        return false;
    }
    const GradientRamp& ramp = GradientRamp::cached(gradient->stops(), gradient->spread());
    const QTransform toGradient = gradientToDevice.inverted();
    std::optional<GradientShader> shader;
    if (linear) {
        const auto* l = static_cast<const QLinearGradient*>(gradient);
        const QPointF along = l->finalStop() - l->start();
        const double length2 = QPointF::dotProduct(along, along);
        if (length2 == 0.0) {
            return false;
        }
        shader.emplace(GradientShader{ramp.table().data(), GradientPlane(toGradient, 1.0),
                                      gradient->spread(), false});
        shader->startX = l->start().x();
        shader->startY = l->start().y();
        shader->alongX = along.x() / length2;
        shader->alongY = along.y() / length2;
    } else {
        const auto* r = static_cast<const QRadialGradient*>(gradient);
        const double unit = 1.0 / r->centerRadius();
        shader.emplace(GradientShader{ramp.table().data(), GradientPlane(toGradient, unit),
                                      gradient->spread(), true});
        shader->focalX = r->focalPoint().x() * unit;
        shader->focalY = r->focalPoint().y() * unit;
        shader->toCentreX = (r->center().x() - r->focalPoint().x()) * unit;
        shader->toCentreY = (r->center().y() - r->focalPoint().y()) * unit;
    }
    std::vector<std::uint32_t> colours(static_cast<std::size_t>(area.width()));
    std::vector<float> positions(static_cast<std::size_t>(area.width()));
    shader->opaque = ramp.opaque();
    shader->colours = &colours;
    shader->positions = &positions;
    std::vector<std::uint8_t> scaled(static_cast<std::size_t>(area.width()));
    shader->scaled = &scaled;
    coverage.sweep(path.fillRule(), [&](int y, int x, int count, const std::uint8_t* cov,
                                        std::uint8_t level) {
        (*shader)(rowAt(y), y, x, count, cov, level, opacity);
    });
    return true;
}

} // namespace mc
