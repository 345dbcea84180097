#include "FillBrush.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <vector>

#include "QtConversions.h"

namespace mc {

namespace {

constexpr double kGradientHalf = 16384.0;
constexpr double kMaxFocal = 0.98;

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

QColor mixRgb(const QColor& a, const QColor& b, double t) {
    QColor c;
    c.setRgbF(static_cast<float>(a.redF() * (1.0 - t) + b.redF() * t),
              static_cast<float>(a.greenF() * (1.0 - t) + b.greenF() * t),
              static_cast<float>(a.blueF() * (1.0 - t) + b.blueF() * t),
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
    const auto& records = gradient.records;
    QGradientStops stops;
    bool ordered = true;
    for (std::size_t i = 1; i < records.size(); ++i) {
        ordered = ordered && records[i].ratio > records[i - 1].ratio;
    }
    const bool linear = gradient.interpolation == swf::InterpolationMode::LinearRgb;
    if (ordered && !linear) {
        for (const swf::GradientRecord& r : records) {
            stops.append({r.ratio / 255.0, toQColor(r.color, cx)});
        }
        return stops;
    }
    if (records.empty()) {
        return stops;
    }
    // Players look up each position in record order: the first record whose ratio reaches
    // the position ends the segment, which starts at the record before it. A table of every
    // position reproduces that for ratios that repeat or go backwards, and carries the
    // linear-RGB curve. Where the segment changes the colour jumps: both colours get a stop
    // halfway between the two positions, so that the jump stays a hard edge.
    std::vector<QColor> colors;
    colors.reserve(records.size());
    for (const swf::GradientRecord& r : records) {
        colors.push_back(toQColor(r.color, cx));
    }
    std::size_t previousSegment = 0;
    QColor previous;
    for (int t = 0; t <= 255; ++t) {
        std::size_t i = 0;
        while (i < records.size() && records[i].ratio < t) {
            ++i;
        }
        QColor c;
        if (i == 0) {
            c = colors.front();
        } else if (i == records.size()) {
            c = colors.back();
        } else {
            const int r0 = records[i - 1].ratio;
            const int r1 = records[i].ratio;
            const double f =
                r1 > r0 ? std::clamp((t - r0) / static_cast<double>(r1 - r0), 0.0, 1.0) : 1.0;
            c = linear ? mixLinear(colors[i - 1], colors[i], f)
                       : mixRgb(colors[i - 1], colors[i], f);
        }
        if (t > 0 && i != previousSegment && c != previous) {
            const double edge = (t - 0.5) / 255.0;
            stops.append({edge, previous});
            stops.append({edge, c});
        }
        stops.append({t / 255.0, c});
        previousSegment = i;
        previous = c;
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
    // A matrix that flattens the gradient's square onto a line or a point has no inverse to
    // find a point's place along the gradient by: every point takes the gradient's start, as
    // a matrix of nothing but zeros already does.
    const swf::Matrix& m = style.matrix;
    if (stops.size() == 1 || m.a * m.d == m.b * m.c) {
        return QBrush(stops.front().second);
    }
    QBrush brush;
    if (style.type == swf::FillType::LinearGradient) {
        QLinearGradient g(-kGradientHalf, 0.0, kGradientHalf, 0.0);
        g.setInterpolationMode(QGradient::ComponentInterpolation);
        g.setStops(stops);
        g.setSpread(spreadOf(style.gradient.spread));
        brush = QBrush(g);
    } else {
        double focal = 0.0;
        if (style.type == swf::FillType::FocalGradient) {
            focal = std::clamp(style.gradient.focalPoint, -kMaxFocal, kMaxFocal);
        }
        QRadialGradient g(QPointF(0.0, 0.0), kGradientHalf, QPointF(focal * kGradientHalf, 0.0));
        g.setInterpolationMode(QGradient::ComponentInterpolation);
        g.setStops(stops);
        g.setSpread(spreadOf(style.gradient.spread));
        brush = QBrush(g);
    }
    brush.setTransform(toQTransform(style.matrix));
    return brush;
}

} // namespace mc
