#include "ShapePaths.h"

#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>

namespace mc {

namespace {

Qt::PenCapStyle capOf(swf::CapStyle cap) {
    switch (cap) {
    case swf::CapStyle::None:
        return Qt::FlatCap;
    case swf::CapStyle::Square:
        return Qt::SquareCap;
    default:
        return Qt::RoundCap;
    }
}

Qt::PenJoinStyle joinOf(swf::JoinStyle join) {
    switch (join) {
    case swf::JoinStyle::Bevel:
        return Qt::BevelJoin;
    case swf::JoinStyle::Miter:
        return Qt::MiterJoin;
    default:
        return Qt::RoundJoin;
    }
}

} // namespace

QPen strokePen(const swf::LineStyle& style, double width, const QBrush& brush) {
    QPen pen(brush, width, Qt::SolidLine, capOf(style.startCap), joinOf(style.join));
    if (style.join == swf::JoinStyle::Miter) {
        pen.setMiterLimit(std::max(1.0, style.miterLimit));
    }
    return pen;
}

QPainterPath strokeOutline(const QPainterPath& path, const swf::LineStyle& style) {
    QPainterPathStroker stroker(strokePen(style, style.width, QBrush()));
    QPainterPath outline = stroker.createStroke(path);
    outline.setFillRule(Qt::WindingFill);
    return outline;
}

namespace {

// The largest and smallest stretch of the transform's linear part (its singular values).
std::pair<double, double> stretchRange(const QTransform& t) {
    const double e = t.m11() * t.m11() + t.m12() * t.m12() + t.m21() * t.m21() + t.m22() * t.m22();
    const double det = t.m11() * t.m22() - t.m12() * t.m21();
    const double root = std::sqrt(std::max(0.0, e * e - 4.0 * det * det));
    return {std::sqrt((e + root) / 2.0), std::sqrt(std::max(0.0, (e - root) / 2.0))};
}

} // namespace

StrokePlan planStroke(const swf::LineStyle& style, const QTransform& toDevice) {
    StrokePlan plan;
    const auto [most, least] = stretchRange(toDevice);
    const double widest = style.width * most;
    if (!(widest >= 1.0) || !std::isfinite(widest)) {
        // Hairlines and strokes thinner than a pixel every way.
        plan.devicePen = true;
        plan.snapToPixels = style.pixelHinting;
        return plan;
    }
    if (style.pixelHinting) {
        plan.devicePen = true;
        plan.snapToPixels = true;
        plan.deviceWidth = std::max(1.0, std::round(style.width * std::sqrt(most * least)));
        return plan;
    }
    plan.outline = true;
    plan.devicePen = style.width * least < 1.0;
    return plan;
}

QPainterPath snappedToPixels(const QPainterPath& devicePath, double width) {
    const bool odd = std::fmod(std::round(width), 2.0) != 0.0;
    const auto snap = [odd](double v) { return odd ? std::floor(v) + 0.5 : std::round(v); };
    QPainterPath out = devicePath;
    for (int i = 0; i < out.elementCount(); ++i) {
        const QPainterPath::Element e = out.elementAt(i);
        out.setElementPositionAt(i, snap(e.x), snap(e.y));
    }
    return out;
}

namespace {

void append(QPainterPath& p, const swf::PathElement& e) {
    switch (e.verb) {
    case swf::PathVerb::MoveTo:
        p.moveTo(e.to.x, e.to.y);
        break;
    case swf::PathVerb::LineTo:
        p.lineTo(e.to.x, e.to.y);
        break;
    case swf::PathVerb::QuadTo:
        p.quadTo(e.control.x, e.control.y, e.to.x, e.to.y);
        break;
    case swf::PathVerb::Close:
        p.closeSubpath();
        break;
    }
}

// Whether the part from `first` (a move) up to `end` draws edges and every one stays on the
// move's point.
bool goesNowhere(const std::vector<swf::PathElement>& elements, std::size_t first,
                 std::size_t end) {
    const swf::Point at = elements[first].to;
    bool drawn = false;
    for (std::size_t k = first + 1; k < end; ++k) {
        const swf::PathElement& e = elements[k];
        if (e.verb == swf::PathVerb::LineTo || e.verb == swf::PathVerb::QuadTo) {
            if (!(e.to == at) || (e.verb == swf::PathVerb::QuadTo && !(e.control == at))) {
                return false;
            }
            drawn = true;
        }
    }
    return drawn;
}

} // namespace

QPainterPath toPainterPath(const swf::Path& path, Qt::FillRule rule) {
    QPainterPath p;
    p.setFillRule(rule);
    for (const swf::PathElement& e : path.elements) {
        append(p, e);
    }
    return p;
}

QPainterPath toStrokePath(const swf::Path& path) {
    // A stroke that goes nowhere still shows its caps: a dot under round caps, a square under
    // square ones, nothing without caps. Qt drops edges of no length, so such a part is
    // stroked as a hair-short edge along x, which adds nothing beyond the caps.
    constexpr double kDotLength = 1.0 / 64.0;
    QPainterPath p;
    p.setFillRule(Qt::OddEvenFill);
    const auto& elements = path.elements;
    std::size_t i = 0;
    while (i < elements.size()) {
        std::size_t end = i + 1;
        while (end < elements.size() && elements[end].verb != swf::PathVerb::MoveTo) {
            ++end;
        }
        if (elements[i].verb == swf::PathVerb::MoveTo && goesNowhere(elements, i, end)) {
            const swf::Point at = elements[i].to;
            p.moveTo(at.x, at.y);
            p.lineTo(at.x + kDotLength, at.y);
        } else {
            for (std::size_t k = i; k < end; ++k) {
                append(p, elements[k]);
            }
        }
        i = end;
    }
    return p;
}

ConvertedShape convertDrawing(const swf::ShapeDrawing& drawing) {
    const Qt::FillRule rule =
        drawing.fillRule == swf::FillRule::NonZero ? Qt::WindingFill : Qt::OddEvenFill;
    ConvertedShape out;
    out.layers.reserve(drawing.layers.size());
    for (const swf::Layer& layer : drawing.layers) {
        ConvertedLayer converted;
        for (const swf::FillPath& f : layer.fills) {
            if (f.style >= layer.styles.fills.size() || f.path.empty()) {
                continue;
            }
            ConvertedFill cf{toPainterPath(f.path, rule), layer.styles.fills[f.style]};
            out.bounds |= cf.path.boundingRect();
            converted.fills.push_back(std::move(cf));
        }
        for (const swf::StrokePath& s : layer.strokes) {
            if (s.style >= layer.styles.lines.size() || s.path.empty()) {
                continue;
            }
            ConvertedStroke cs{toStrokePath(s.path), layer.styles.lines[s.style], {}};
            if (cs.style.width > 0) {
                cs.outline = strokeOutline(cs.path, cs.style);
            }
            const double half = cs.style.width / 2.0 + 20.0;
            out.bounds |= cs.path.boundingRect().adjusted(-half, -half, half, half);
            converted.strokes.push_back(std::move(cs));
        }
        if (!converted.fills.empty() || !converted.strokes.empty()) {
            out.layers.push_back(std::move(converted));
        }
    }
    return out;
}

} // namespace mc
