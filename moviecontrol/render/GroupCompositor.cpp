#include "GroupCompositor.h"

#include <algorithm>
#include <optional>

namespace mc {

namespace {

std::optional<QPainter::CompositionMode> painterMode(swf::BlendMode mode) {
    switch (mode) {
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
    case swf::BlendMode::Add:
        return QPainter::CompositionMode_Plus;
    case swf::BlendMode::Overlay:
        return QPainter::CompositionMode_Overlay;
    case swf::BlendMode::HardLight:
        return QPainter::CompositionMode_HardLight;
    case swf::BlendMode::Alpha:
        return QPainter::CompositionMode_DestinationIn;
    case swf::BlendMode::Erase:
        return QPainter::CompositionMode_DestinationOut;
    default:
        return std::nullopt;
    }
}

// Invert and subtract have no painter mode: they are computed against a copy of what lies
// under the layer, then drawn back in place of it.
void blendByHand(QImage& layer, const QImage& under, swf::BlendMode mode) {
    for (int y = 0; y < layer.height(); ++y) {
        auto* src = reinterpret_cast<QRgb*>(layer.scanLine(y));
        const auto* dst = reinterpret_cast<const QRgb*>(under.constScanLine(y));
        for (int x = 0; x < layer.width(); ++x) {
            const int sa = qAlpha(src[x]);
            const QRgb d = dst[x];
            if (sa == 0) {
                src[x] = d;
                continue;
            }
            int r = 0;
            int g = 0;
            int b = 0;
            if (mode == swf::BlendMode::Invert) {
                r = qAlpha(d) - qRed(d);
                g = qAlpha(d) - qGreen(d);
                b = qAlpha(d) - qBlue(d);
            } else { // subtract
                r = std::max(0, qRed(d) - qRed(src[x]));
                g = std::max(0, qGreen(d) - qGreen(src[x]));
                b = std::max(0, qBlue(d) - qBlue(src[x]));
            }
            // Mix by the layer's coverage so anti-aliased edges blend smoothly.
            auto mix = [sa](int blended, int orig) {
                return (blended * sa + orig * (255 - sa)) / 255;
            };
            src[x] = qRgba(mix(r, qRed(d)), mix(g, qGreen(d)), mix(b, qBlue(d)), qAlpha(d));
        }
    }
}

} // namespace

void composeGroup(QPainter& painter, QImage& layer, const GroupStyle& style, double filterScale) {
    (void)filterScale;
    painter.save();
    painter.setTransform(QTransform());
    if (const auto mode = painterMode(style.blendMode)) {
        painter.setCompositionMode(*mode);
        painter.drawImage(QPointF(0.0, 0.0), layer);
    } else if (style.blendMode == swf::BlendMode::Invert ||
               style.blendMode == swf::BlendMode::Subtract) {
        auto* target = dynamic_cast<QImage*>(painter.device());
        if (target != nullptr) {
            QImage under = target->convertToFormat(QImage::Format_ARGB32_Premultiplied);
            blendByHand(layer, under, style.blendMode);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
        }
        painter.drawImage(QPointF(0.0, 0.0), layer);
    } else {
        painter.drawImage(QPointF(0.0, 0.0), layer);
    }
    painter.restore();
}

} // namespace mc
