#include "BevelFilters.h"

#include "BoxBlur.h"
#include "GradientLookup.h"
#include "PixelMath.h"
#include "ShadowFilters.h"

#include <algorithm>
#include <cmath>

namespace mc {
namespace {

struct BevelShape {
    BlurSize blur;
    QPointF offset;
    float strength = 1.0f;
    BevelPlacement placement = BevelPlacement::Inner;
    bool knockout = false;
};

// `paint` turns the signed light balance (-1 full shadow .. +1 full highlight) into the
// premultiplied effect colour.
template <typename Paint>
QImage compositeBevel(const QImage& source, const BevelShape& shape, Paint paint) {
    QImage result = premultipliedCopy(source);
    if (result.isNull()) {
        return result;
    }
    Plane blurred = alphaPlane(result);
    boxBlur(blurred, shape.blur);
    const double dx = shape.offset.x();
    const double dy = shape.offset.y();
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const Premultiplied src = fromPixel(line[x]);
            const float towardsLight = blurred.sample(x + dx, y + dy);
            const float awayFromLight = blurred.sample(x - dx, y - dy);
            const float balance =
                std::clamp((towardsLight - awayFromLight) * shape.strength, -1.0f, 1.0f);
            const Premultiplied bevel = paint(balance);
            Premultiplied out;
            switch (shape.placement) {
            case BevelPlacement::Full:
                out = shape.knockout ? bevel : bevel + src * (1.0f - bevel.a);
                break;
            case BevelPlacement::Inner:
                out = bevel * src.a;
                if (!shape.knockout) {
                    out = out + src * (1.0f - bevel.a);
                }
                break;
            case BevelPlacement::Outer:
                out = bevel * (1.0f - src.a);
                if (!shape.knockout) {
                    out = out + src;
                }
                break;
            }
            line[x] = toPixel(out);
        }
    }
    return result;
}

template <typename Record> BevelShape shapeOf(const Record& filter, FilterScale scale) {
    BevelShape shape;
    shape.blur = deviceBlur(filter.blurX, filter.blurY, filter.passes, scale);
    // The highlight side is found by looking towards the light, one distance each way.
    shape.offset = shadowOffset(filter.angle, filter.distance, scale);
    shape.strength = std::isfinite(filter.strength)
                         ? static_cast<float>(std::clamp(filter.strength, 0.0, 256.0))
                         : 0.0f;
    shape.placement = bevelPlacement(filter.inner, filter.onTop);
    shape.knockout = filter.knockout;
    return shape;
}

} // namespace

BevelPlacement bevelPlacement(bool inner, bool onTop) {
    if (onTop) {
        return BevelPlacement::Full;
    }
    return inner ? BevelPlacement::Inner : BevelPlacement::Outer;
}

QImage applyBevel(const QImage& source, const swf::BevelFilter& filter, FilterScale scale) {
    const Premultiplied highlight = premultiplied(filter.highlightColor);
    const Premultiplied shadow = premultiplied(filter.shadowColor);
    return compositeBevel(source, shapeOf(filter, scale), [&](float balance) {
        return balance >= 0.0f ? highlight * balance : shadow * -balance;
    });
}

QImage applyGradientBevel(const QImage& source, const swf::GradientBevelFilter& filter,
                          FilterScale scale) {
    const GradientRamp ramp = gradientRamp(filter.stops);
    // Ratio 0 is the full highlight, 255 the full shadow, the middle no bevel at all.
    return compositeBevel(source, shapeOf(filter, scale), [&ramp](float balance) {
        const long entry = std::lround(127.5f - 127.5f * balance);
        return ramp[static_cast<std::size_t>(std::clamp(entry, 0L, 255L))];
    });
}

} // namespace mc
