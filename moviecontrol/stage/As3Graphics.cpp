// flash.display.Graphics in ActionScript 3 movies: each call becomes an edge or a style of
// the node's drawing, the same records the ActionScript 1/2 drawing methods make.
#include "As3DisplayTree.h"
#include "As3GraphicsStyles.h"
#include "Drawing.h"
#include "ScriptPixels.h"

#include <algorithm>
#include <cmath>

namespace mc {

namespace {

double finite(double v) {
    return std::isfinite(v) ? v : 0.0;
}

} // namespace

swf::Rgba graphicsColor(std::uint32_t rgb, double alpha) {
    const double a = std::isfinite(alpha) ? std::clamp(alpha, 0.0, 1.0) : 0.0;
    return swf::Rgba{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                     static_cast<std::uint8_t>(rgb),
                     static_cast<std::uint8_t>(std::lround(a * 255))};
}

swf::FillStyle graphicsGradient(const avm2::GraphicsGradient& g) {
    swf::FillStyle fill;
    fill.type = g.radial ? swf::FillType::RadialGradient : swf::FillType::LinearGradient;
    const std::size_t count = std::min({g.colors.size(), g.alphas.size(), g.ratios.size()});
    for (std::size_t i = 0; i < count; ++i) {
        swf::GradientRecord r;
        r.color = graphicsColor(g.colors[i], g.alphas[i]);
        const double ratio = std::isfinite(g.ratios[i]) ? std::clamp(g.ratios[i], 0.0, 255.0) : 0;
        r.ratio = static_cast<std::uint8_t>(ratio);
        fill.gradient.records.push_back(r);
    }
    // The matrix maps the gradient square's twips; its translation is given in pixels.
    fill.matrix.a = finite(g.matrix[0]);
    fill.matrix.b = finite(g.matrix[1]);
    fill.matrix.c = finite(g.matrix[2]);
    fill.matrix.d = finite(g.matrix[3]);
    fill.matrix.tx = finite(g.matrix[4]) * 20.0;
    fill.matrix.ty = finite(g.matrix[5]) * 20.0;
    fill.gradient.spread = g.spread == "reflect"  ? swf::SpreadMode::Reflect
                           : g.spread == "repeat" ? swf::SpreadMode::Repeat
                                                  : swf::SpreadMode::Pad;
    if (g.interpolation == "linearRGB") {
        fill.gradient.interpolation = swf::InterpolationMode::LinearRgb;
    }
    const double focal = finite(g.focalPoint);
    if (g.radial && focal != 0.0) {
        fill.type = swf::FillType::FocalGradient;
        fill.gradient.focalPoint = std::clamp(focal, -1.0, 1.0);
    }
    return fill;
}

swf::FillStyle graphicsBitmapFill(const avm2::GraphicsOp& op) {
    swf::FillStyle fill;
    using T = swf::FillType;
    fill.type = op.repeat ? (op.smooth ? T::RepeatingBitmap : T::NonSmoothedRepeatingBitmap)
                          : (op.smooth ? T::ClippedBitmap : T::NonSmoothedClippedBitmap);
    // From the bitmap's pixels to the shape's twips.
    fill.matrix.a = finite(op.bitmapMatrix[0]) * 20.0;
    fill.matrix.b = finite(op.bitmapMatrix[1]) * 20.0;
    fill.matrix.c = finite(op.bitmapMatrix[2]) * 20.0;
    fill.matrix.d = finite(op.bitmapMatrix[3]) * 20.0;
    fill.matrix.tx = finite(op.bitmapMatrix[4]) * 20.0;
    fill.matrix.ty = finite(op.bitmapMatrix[5]) * 20.0;
    return fill;
}

swf::LineStyle graphicsLine(const avm2::GraphicsOp& op) {
    swf::LineStyle line;
    line.width = static_cast<std::uint16_t>(std::clamp(finite(op.a), 0.0, 255.0) * 20.0);
    line.color = graphicsColor(op.color, op.alpha);
    line.pixelHinting = op.pixelHinting;
    // Which scalings of the object leave the thickness alone: "none" both, "vertical" a
    // vertical one, "horizontal" a horizontal one; "normal" (or anything else) scales it.
    line.noHScale = op.scaleMode == "none" || op.scaleMode == "horizontal";
    line.noVScale = op.scaleMode == "none" || op.scaleMode == "vertical";
    const swf::CapStyle cap = op.caps == "none"     ? swf::CapStyle::None
                              : op.caps == "square" ? swf::CapStyle::Square
                                                    : swf::CapStyle::Round;
    line.startCap = cap;
    line.endCap = cap;
    line.join = op.joints == "miter"   ? swf::JoinStyle::Miter
                : op.joints == "bevel" ? swf::JoinStyle::Bevel
                                       : swf::JoinStyle::Round;
    line.miterLimit = std::isfinite(op.miterLimit) ? std::clamp(op.miterLimit, 1.0, 255.0) : 3.0;
    return line;
}

void As3DisplayTree::graphics(avm2::NodeId node, const avm2::GraphicsOp& op) {
    using K = avm2::GraphicsOp::Kind;
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return;
    }
    if (!o->drawing) {
        o->drawing = std::make_shared<Drawing>();
    }
    Drawing& d = *o->drawing;
    switch (op.kind) {
    case K::BeginFill: {
        swf::FillStyle fill;
        fill.color = graphicsColor(op.color, op.alpha);
        d.beginFill(fill);
        break;
    }
    case K::GradientFill:
        d.beginFill(graphicsGradient(op.gradient));
        break;
    case K::BitmapFill:
        d.beginBitmapFill(std::make_shared<ScriptPixels>(op.bitmap), graphicsBitmapFill(op));
        break;
    case K::LineBitmap:
        d.lineBitmapFill(std::make_shared<ScriptPixels>(op.bitmap), graphicsBitmapFill(op));
        break;
    case K::LineStyle:
        d.lineStyle(graphicsLine(op));
        break;
    case K::LineGradient:
        d.lineFill(graphicsGradient(op.gradient));
        break;
    case K::NoLine:
        d.lineStyle(std::nullopt);
        break;
    case K::MoveTo:
        d.moveTo(finite(op.a), finite(op.b));
        break;
    case K::LineTo:
        d.lineTo(finite(op.a), finite(op.b));
        break;
    case K::CurveTo:
        d.curveTo(finite(op.a), finite(op.b), finite(op.c), finite(op.d));
        break;
    case K::CubicTo:
        d.cubicTo(finite(op.a), finite(op.b), finite(op.c), finite(op.d), finite(op.e),
                  finite(op.f));
        break;
    case K::Triangle:
        d.triangle(
            {finite(op.a), finite(op.b), finite(op.c), finite(op.d), finite(op.e), finite(op.f)},
            op.mapped ? &op.uv : nullptr);
        break;
    case K::EndFill:
        d.endFill();
        break;
    case K::NonZeroWinding:
        d.useNonZeroWinding();
        break;
    case K::Clear:
        d.clear();
        break;
    }
}

void As3DisplayTree::copyGraphics(avm2::NodeId from, avm2::NodeId to) {
    const DisplayObject* source = find(from);
    DisplayObject* target = find(to);
    if (source == nullptr || target == nullptr || source == target) {
        return;
    }
    target->drawing = source->drawing ? std::make_shared<Drawing>(*source->drawing) : nullptr;
}

} // namespace mc
