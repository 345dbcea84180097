#include "ShadowFilters.h"

#include "BoxBlur.h"
#include "GradientLookup.h"
#include "PixelMath.h"

#include <algorithm>
#include <cmath>

namespace mc {
namespace {

struct GlowShape {
    BlurSize blur;
    QPointF offset;
    float strength = 1.0f;
    bool inner = false;
    bool knockout = false;
    bool hideObject = false;
};

// `paint` turns coverage (0..1, strength applied) into the premultiplied effect colour.
template <typename Paint>
QImage compositeGlow(const QImage& source, const GlowShape& shape, Paint paint) {
    QImage result = premultipliedCopy(source);
    if (result.isNull()) {
        return result;
    }
    Plane blurred = alphaPlane(result);
    boxBlur(blurred, shape.blur);
    const double dx = shape.offset.x();
    const double dy = shape.offset.y();
    const bool integerOffset = dx == std::floor(dx) && dy == std::floor(dy);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const Premultiplied src = fromPixel(line[x]);
            // The effect at p is the blurred shape taken from p - offset.
            const float covered =
                integerOffset ? blurred.at(x - static_cast<int>(dx), y - static_cast<int>(dy))
                              : blurred.sample(x - dx, y - dy);
            Premultiplied out;
            if (shape.inner) {
                const Premultiplied glow =
                    paint(std::clamp((1.0f - covered) * shape.strength, 0.0f, 1.0f));
                out = glow * src.a;
                if (!shape.knockout && !shape.hideObject) {
                    out = out + src * (1.0f - glow.a);
                }
            } else {
                const Premultiplied glow = paint(std::clamp(covered * shape.strength, 0.0f, 1.0f));
                if (shape.hideObject && !shape.knockout) {
                    out = glow;
                } else {
                    out = glow * (1.0f - src.a);
                    if (!shape.knockout) {
                        out = out + src;
                    }
                }
            }
            line[x] = toPixel(out);
        }
    }
    return result;
}

float finiteStrength(double strength) {
    return std::isfinite(strength) ? static_cast<float>(std::clamp(strength, 0.0, 256.0)) : 0.0f;
}

auto constantPaint(const swf::Rgba& colour) {
    const Premultiplied premultipliedColour = premultiplied(colour);
    return [premultipliedColour](float coverage) { return premultipliedColour * coverage; };
}

} // namespace

QPointF shadowOffset(double angle, double distance, FilterScale scale) {
    if (!std::isfinite(angle) || !std::isfinite(distance)) {
        return {};
    }
    // A shadow further than this is off any layer anyway; keeps the arithmetic finite.
    const double limited = std::clamp(distance, -32768.0, 32768.0);
    return {std::cos(angle) * limited * scale.x, std::sin(angle) * limited * scale.y};
}

QImage applyDropShadow(const QImage& source, const swf::DropShadowFilter& filter,
                       FilterScale scale) {
    GlowShape shape;
    shape.blur = deviceBlur(filter.blurX, filter.blurY, filter.passes, scale);
    shape.offset = shadowOffset(filter.angle, filter.distance, scale);
    shape.strength = finiteStrength(filter.strength);
    shape.inner = filter.inner;
    shape.knockout = filter.knockout;
    shape.hideObject = !filter.compositeSource;
    return compositeGlow(source, shape, constantPaint(filter.color));
}

QImage applyGlow(const QImage& source, const swf::GlowFilter& filter, FilterScale scale) {
    GlowShape shape;
    shape.blur = deviceBlur(filter.blurX, filter.blurY, filter.passes, scale);
    shape.strength = finiteStrength(filter.strength);
    shape.inner = filter.inner;
    shape.knockout = filter.knockout;
    shape.hideObject = !filter.compositeSource;
    return compositeGlow(source, shape, constantPaint(filter.color));
}

QImage applyGradientGlow(const QImage& source, const swf::GradientGlowFilter& filter,
                         FilterScale scale) {
    GlowShape shape;
    shape.blur = deviceBlur(filter.blurX, filter.blurY, filter.passes, scale);
    shape.offset = shadowOffset(filter.angle, filter.distance, scale);
    shape.strength = finiteStrength(filter.strength);
    shape.inner = filter.inner;
    shape.knockout = filter.knockout;
    shape.hideObject = !filter.compositeSource;
    const GradientRamp ramp = gradientRamp(filter.stops);
    // The ramp's own alpha is the effect's coverage: ratio 0 at the fringe, 255 at the core.
    return compositeGlow(source, shape, [&ramp](float coverage) {
        return ramp[static_cast<std::size_t>(std::lround(coverage * 255.0f))];
    });
}

} // namespace mc
