#include "ShapePaths.h"

#include <QPainterPathStroker>
#include <algorithm>

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

QPainterPath toPainterPath(const swf::Path& path, Qt::FillRule rule) {
    QPainterPath p;
    p.setFillRule(rule);
    for (const swf::PathElement& e : path.elements) {
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
            ConvertedStroke cs{
                toPainterPath(s.path, Qt::OddEvenFill), layer.styles.lines[s.style], {}};
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
