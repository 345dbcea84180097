#include "FilterGrowth.h"

#include "BoxBlur.h"
#include "ShadowFilters.h"

#include <algorithm>
#include <cmath>

namespace mc {
namespace {

QMargins blurMargins(double blurX, double blurY, int passes, FilterScale scale) {
    const BlurSize size = deviceBlur(blurX, blurY, passes, scale);
    const int x = blurReach(size.x, size.passes);
    const int y = blurReach(size.y, size.passes);
    return {x, y, x, y};
}

// The blur moved by the offset: it grows on the side the shadow falls to.
QMargins shiftedMargins(QMargins blur, QPointF offset) {
    const int dx = static_cast<int>(std::ceil(std::abs(offset.x())));
    const int dy = static_cast<int>(std::ceil(std::abs(offset.y())));
    if (offset.x() < 0) {
        blur.setLeft(blur.left() + dx);
    } else {
        blur.setRight(blur.right() + dx);
    }
    if (offset.y() < 0) {
        blur.setTop(blur.top() + dy);
    } else {
        blur.setBottom(blur.bottom() + dy);
    }
    return blur;
}

// A bevel looks one distance both ways, so it grows on both sides.
QMargins bothWays(QMargins blur, QPointF offset) {
    return shiftedMargins(shiftedMargins(blur, offset), -offset);
}

struct MarginsOf {
    FilterScale scale;

    QMargins operator()(const swf::BlurFilter& f) const {
        return blurMargins(f.blurX, f.blurY, f.passes, scale);
    }
    QMargins operator()(const swf::DropShadowFilter& f) const {
        if (f.inner) {
            return {};
        }
        return shiftedMargins(blurMargins(f.blurX, f.blurY, f.passes, scale),
                              shadowOffset(f.angle, f.distance, scale));
    }
    QMargins operator()(const swf::GlowFilter& f) const {
        return f.inner ? QMargins() : blurMargins(f.blurX, f.blurY, f.passes, scale);
    }
    QMargins operator()(const swf::GradientGlowFilter& f) const {
        if (f.inner) {
            return {};
        }
        return shiftedMargins(blurMargins(f.blurX, f.blurY, f.passes, scale),
                              shadowOffset(f.angle, f.distance, scale));
    }
    QMargins operator()(const swf::BevelFilter& f) const {
        if (f.inner && !f.onTop) {
            return {};
        }
        return bothWays(blurMargins(f.blurX, f.blurY, f.passes, scale),
                        shadowOffset(f.angle, f.distance, scale));
    }
    QMargins operator()(const swf::GradientBevelFilter& f) const {
        if (f.inner && !f.onTop) {
            return {};
        }
        return bothWays(blurMargins(f.blurX, f.blurY, f.passes, scale),
                        shadowOffset(f.angle, f.distance, scale));
    }
    QMargins operator()(const swf::ConvolutionFilter&) const { return {}; }
    QMargins operator()(const swf::ColorMatrixFilter&) const { return {}; }
    // Displaced pixels come from within the picture: it never grows.
    QMargins operator()(const swf::DisplacementMapFilter&) const { return {}; }
    // A kernel paints as far as the script's extensions reach.
    QMargins operator()(const swf::ShaderFilter& f) const {
        const auto grown = [](int side, double s) {
            return static_cast<int>(std::ceil(std::clamp(side, 0, 4096) * s));
        };
        return {grown(f.left, scale.x), grown(f.top, scale.y), grown(f.right, scale.x),
                grown(f.bottom, scale.y)};
    }
};

} // namespace

QMargins filterMargins(const swf::Filter& filter, FilterScale scale) {
    return std::visit(MarginsOf{scale}, filter);
}

QMargins filterListMargins(const std::vector<swf::Filter>& filters, FilterScale scale) {
    QMargins total;
    for (const auto& filter : filters) {
        total += filterMargins(filter, scale);
    }
    return total;
}

} // namespace mc
