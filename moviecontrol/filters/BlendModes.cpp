#include "BlendModes.h"

#include "PixelMath.h"

#include <QPainter>
#include <algorithm>
#include <optional>

namespace mc {

// Modes whose QPainter composition uses the same formula as Flash: source over, the
// separable W3C modes (colour blended where both are present, each kept where only one is,
// alpha as source over) and the two alpha modes.
std::optional<QPainter::CompositionMode> painterCompositionMode(swf::BlendMode mode) {
    switch (mode) {
    case swf::BlendMode::Normal:
    case swf::BlendMode::Layer:
        return QPainter::CompositionMode_SourceOver;
    case swf::BlendMode::Multiply:
        return QPainter::CompositionMode_Multiply;
    case swf::BlendMode::Screen:
        return QPainter::CompositionMode_Screen;
    case swf::BlendMode::Lighten:
        return QPainter::CompositionMode_Lighten;
    case swf::BlendMode::Darken:
        return QPainter::CompositionMode_Darken;
    case swf::BlendMode::Difference:
        return QPainter::CompositionMode_Difference;
    case swf::BlendMode::Overlay:
        return QPainter::CompositionMode_Overlay;
    case swf::BlendMode::HardLight:
        return QPainter::CompositionMode_HardLight;
    case swf::BlendMode::Alpha:
        return QPainter::CompositionMode_DestinationIn;
    case swf::BlendMode::Erase:
        return QPainter::CompositionMode_DestinationOut;
    case swf::BlendMode::Add:
    case swf::BlendMode::Subtract:
    case swf::BlendMode::Invert:
        break;
    }
    return std::nullopt;
}

namespace {

// Colour from the per-channel rule, alpha as source over.
Premultiplied blendPixel(swf::BlendMode mode, const Premultiplied& s, const Premultiplied& d) {
    const float alpha = s.a + d.a * (1.0f - s.a);
    const auto each = [&](auto rule) {
        return Premultiplied{rule(s.r, d.r), rule(s.g, d.g), rule(s.b, d.b), alpha};
    };
    switch (mode) {
    case swf::BlendMode::Add:
        return each([](float sc, float dc) { return sc + dc; });
    case swf::BlendMode::Subtract:
        return each([](float sc, float dc) { return std::max(0.0f, dc - sc); });
    case swf::BlendMode::Invert:
        // The destination's colour inverted under the layer, the layer itself where the
        // destination is empty.
        return each([&](float sc, float dc) {
            return sc * (1.0f - d.a) + dc * (1.0f - s.a) + s.a * (d.a - dc);
        });
    default:
        return d;
    }
}

} // namespace

void blendLayer(QImage& destination, const QImage& layer, QPoint at, swf::BlendMode mode) {
    if (destination.isNull() || layer.isNull()) {
        return;
    }
    if (const auto composition = painterCompositionMode(mode)) {
        QPainter painter(&destination);
        painter.setCompositionMode(*composition);
        painter.drawImage(at, layer);
        return;
    }
    const QImage source = layer.format() == QImage::Format_ARGB32_Premultiplied
                              ? layer
                              : layer.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (destination.format() != QImage::Format_ARGB32_Premultiplied) {
        destination = destination.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    const QRect area = QRect(at, source.size()).intersected(destination.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(destination.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y - at.y()));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb s = in[x - at.x()];
            if (qAlpha(s) == 0) {
                continue;
            }
            out[x] = toPixel(blendPixel(mode, fromPixel(s), fromPixel(out[x])));
        }
    }
}

} // namespace mc
