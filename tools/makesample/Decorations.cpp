#include "Decorations.h"

#include "OutlineConverter.h"

#include <cmath>
#include <numbers>

namespace makesample {

namespace {

using moviemaker::FillStyle;
using moviemaker::Gradient;
using moviemaker::LineStyle;
using moviemaker::Rgba;
using moviemaker::Shape;
using moviemaker::twips;

constexpr Rgba kGold{255, 204, 64, 255};
constexpr Rgba kDeepRed{122, 8, 20, 255};

Gradient stops(std::initializer_list<moviemaker::GradientStop> list) {
    Gradient g;
    g.stops = list;
    return g;
}

// A gradient fill over the box (pixels) around the origin.
moviemaker::Matrix box(double x, double y, double w, double h, double radians = 0) {
    return moviemaker::gradientBox(twips(x), twips(y), twips(w), twips(h), radians);
}

} // namespace

Shape backgroundShape(double width, double height) {
    Shape s;
    const uint32_t sky = s.addFill(FillStyle::linear(
        box(0, 0, width, height, std::numbers::pi / 2),
        stops({{0, kDeepRed}, {120, {196, 30, 46, 255}}, {255, {243, 150, 52, 255}}})));
    s.fill1(sky).rectangle(0, 0, twips(width), twips(height));
    return s;
}

Shape glowShape(double radiusX, double radiusY) {
    Shape s;
    const uint32_t glow =
        s.addFill(FillStyle::radial(box(-radiusX, -radiusY, 2 * radiusX, 2 * radiusY),
                                    stops({{0, {255, 230, 140, 170}}, {255, {255, 200, 80, 0}}})));
    s.fill1(glow).ellipse(0, 0, twips(radiusX), twips(radiusY));
    return s;
}

Shape starShape(double radius) {
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 == 0 ? radius : radius * 0.42;
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const QPointF p(r * std::cos(angle), r * std::sin(angle));
        i == 0 ? path.moveTo(p) : path.lineTo(p);
    }
    path.closeSubpath();
    Shape s;
    const uint32_t fill = s.addFill(FillStyle::radial(
        box(-radius, -radius, 2 * radius, 2 * radius),
        stops(
            {{0, {255, 255, 235, 255}}, {110, {255, 222, 90, 255}}, {255, {250, 160, 30, 255}}})));
    appendOutline(s, path, {}, fill);
    return s;
}

Shape heartShape(double size) {
    const double k = size / 2;
    QPainterPath path;
    path.moveTo(0, k);
    path.cubicTo(-0.2 * k, 0.75 * k, -k, 0.45 * k, -k, -0.08 * k);
    path.cubicTo(-k, -0.62 * k, -0.28 * k, -0.8 * k, 0, -0.32 * k);
    path.cubicTo(0.28 * k, -0.8 * k, k, -0.62 * k, k, -0.08 * k);
    path.cubicTo(k, 0.45 * k, 0.2 * k, 0.75 * k, 0, k);
    path.closeSubpath();
    Shape s;
    const uint32_t fill = s.addFill(FillStyle::focal(
        box(-k, -k, 2 * k, 2 * k),
        stops({{0, {255, 190, 200, 255}}, {140, {240, 60, 90, 255}}, {255, {190, 20, 50, 255}}}),
        -0.5));
    appendOutline(s, path, {}, fill);
    return s;
}

Shape petalShape(double length) {
    const double h = length / 2;
    QPainterPath path;
    path.moveTo(0, -h);
    path.cubicTo(0.75 * h, -0.55 * h, 0.6 * h, 0.55 * h, 0, h);
    path.cubicTo(-0.6 * h, 0.55 * h, -0.75 * h, -0.55 * h, 0, -h);
    path.closeSubpath();
    Shape s;
    const uint32_t fill = s.addFill(
        FillStyle::radial(box(-h, -h, 2 * h, 2 * h),
                          stops({{0, {255, 236, 240, 240}}, {255, {255, 120, 160, 230}}})));
    appendOutline(s, path, {}, fill);
    return s;
}

Shape lanternShape() {
    Shape s;
    LineStyle cord;
    cord.width = static_cast<uint16_t>(twips(2));
    cord.color = kGold;
    const uint32_t cordLine = s.addLine(cord);
    LineStyle rib;
    rib.width = static_cast<uint16_t>(twips(1.5));
    rib.color = {140, 10, 24, 200};
    const uint32_t ribLine = s.addLine(rib);
    const uint32_t body = s.addFill(FillStyle::radial(
        box(-60, kLanternBodyCentre - 62, 100, 100),
        stops({{0, {255, 110, 70, 255}}, {150, {214, 20, 30, 255}}, {255, {138, 0, 16, 255}}})));

    const double top = kLanternBodyCentre - 40;
    const double bottom = kLanternBodyCentre + 40;
    // String, body and ribs on the first layer.
    s.line(cordLine).moveTo(0, 0).lineTo(0, twips(top));
    s.line(ribLine).fill1(body).fill0(0);
    s.ellipse(0, twips(kLanternBodyCentre), twips(40), twips(40));
    s.fill1(0).line(ribLine);
    for (const double rx : {13.0, 27.0}) {
        s.ellipse(0, twips(kLanternBodyCentre), twips(rx), twips(40));
    }
    // The caps overlap the body, so they go on a layer of their own.
    s.newStyles();
    const uint32_t gold = s.addFill(FillStyle::solid(kGold));
    const uint32_t tassel = s.addLine(cord);
    s.fill1(gold);
    s.rectangle(twips(-18), twips(top - 7), twips(36), twips(9));
    s.rectangle(twips(-15), twips(bottom - 2), twips(30), twips(8));
    s.fill1(0).line(tassel);
    for (const double dx : {-6.0, -2.0, 2.0, 6.0}) {
        s.moveTo(twips(dx * 0.5), twips(bottom + 6)).lineTo(twips(dx), twips(bottom + 40));
    }
    return s;
}

Shape ornamentShape(double halfWidth) {
    Shape s;
    LineStyle rule;
    rule.width = static_cast<uint16_t>(twips(2));
    rule.color = {255, 222, 120, 255};
    const uint32_t line = s.addLine(rule);
    const uint32_t gold = s.addFill(FillStyle::solid(kGold));
    s.line(line).moveTo(twips(-halfWidth), 0).lineTo(twips(-14), 0);
    s.moveTo(twips(14), 0).lineTo(twips(halfWidth), 0);
    s.line(0).fill1(gold).moveTo(0, twips(-8)).lineTo(twips(9), 0).lineTo(0, twips(8));
    s.lineTo(twips(-9), 0).close();
    return s;
}

Shape goldOutline(const QPainterPath& outline) {
    const QRectF b = outline.boundingRect();
    Shape s;
    const uint32_t fill = s.addFill(FillStyle::linear(
        box(b.x(), b.y(), b.width(), b.height(), std::numbers::pi / 2),
        stops(
            {{0, {255, 248, 200, 255}}, {120, {255, 214, 74, 255}}, {255, {232, 150, 16, 255}}})));
    appendOutline(s, outline, {}, fill);
    return s;
}

} // namespace makesample
