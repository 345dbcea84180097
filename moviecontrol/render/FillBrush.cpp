#include "FillBrush.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "QtConversions.h"

namespace mc {

namespace {

constexpr double kGradientHalf = 16384.0;
constexpr double kMaxFocal = 0.98;
constexpr int kLinearRgbSteps = 8;

double toLinear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double toSrgb(double c) {
    return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

QColor mixLinear(const QColor& a, const QColor& b, double t) {
    auto ch = [t](double x, double y) {
        const double l = toLinear(x) * (1.0 - t) + toLinear(y) * t;
        return std::clamp(toSrgb(l), 0.0, 1.0);
    };
    QColor c;
    c.setRgbF(static_cast<float>(ch(a.redF(), b.redF())),
              static_cast<float>(ch(a.greenF(), b.greenF())),
              static_cast<float>(ch(a.blueF(), b.blueF())),
              static_cast<float>(a.alphaF() * (1.0 - t) + b.alphaF() * t));
    return c;
}

QGradient::Spread spreadOf(swf::SpreadMode mode) {
    switch (mode) {
    case swf::SpreadMode::Reflect:
        return QGradient::ReflectSpread;
    case swf::SpreadMode::Repeat:
        return QGradient::RepeatSpread;
    default:
        return QGradient::PadSpread;
    }
}

} // namespace

QGradientStops gradientStops(const swf::Gradient& gradient, const ColorTransform& cx) {
    QGradientStops stops;
    double last = 0.0;
    for (const swf::GradientRecord& r : gradient.records) {
        double pos = std::max(r.ratio / 255.0, last);
        // Qt needs strictly increasing positions for a hard edge to survive sorting.
        if (!stops.isEmpty() && pos <= stops.back().first) {
            pos = std::min(1.0, stops.back().first + 1e-6);
        }
        last = pos;
        stops.append({pos, toQColor(r.color, cx)});
    }
    if (gradient.interpolation == swf::InterpolationMode::LinearRgb && stops.size() > 1) {
        QGradientStops dense;
        for (qsizetype i = 0; i + 1 < stops.size(); ++i) {
            const auto& [p0, c0] = stops[i];
            const auto& [p1, c1] = stops[i + 1];
            for (int s = 0; s < kLinearRgbSteps; ++s) {
                const double t = static_cast<double>(s) / kLinearRgbSteps;
                dense.append({p0 + (p1 - p0) * t, mixLinear(c0, c1, t)});
            }
        }
        dense.append(stops.back());
        stops = dense;
    }
    return stops;
}

QBrush fillBrush(const swf::FillStyle& style, const ColorTransform& cx) {
    if (!style.isGradient()) {
        return QBrush(toQColor(style.color, cx));
    }
    const QGradientStops stops = gradientStops(style.gradient, cx);
    if (stops.isEmpty()) {
        return QBrush(toQColor(swf::Rgba{0, 0, 0, 255}, cx));
    }
    if (stops.size() == 1) {
        return QBrush(stops.front().second);
    }
    QBrush brush;
    if (style.type == swf::FillType::LinearGradient) {
        QLinearGradient g(-kGradientHalf, 0.0, kGradientHalf, 0.0);
        g.setStops(stops);
        g.setSpread(spreadOf(style.gradient.spread));
        brush = QBrush(g);
    } else {
        double focal = 0.0;
        if (style.type == swf::FillType::FocalGradient) {
            focal = std::clamp(style.gradient.focalPoint, -kMaxFocal, kMaxFocal);
        }
        QRadialGradient g(QPointF(0.0, 0.0), kGradientHalf, QPointF(focal * kGradientHalf, 0.0));
        g.setStops(stops);
        g.setSpread(spreadOf(style.gradient.spread));
        brush = QBrush(g);
    }
    brush.setTransform(toQTransform(style.matrix));
    return brush;
}

} // namespace mc
