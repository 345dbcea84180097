#include "FilterApply.h"

#include "BevelFilters.h"
#include "BoxBlur.h"
#include "ColorMatrix.h"
#include "Convolution.h"
#include "PixelMath.h"
#include "ShadowFilters.h"

#include <array>

namespace mc {

QImage applyBlur(const QImage& source, const swf::BlurFilter& filter, FilterScale scale) {
    QImage result = premultipliedCopy(source);
    const BlurSize size = deviceBlur(filter.blurX, filter.blurY, filter.passes, scale);
    if (result.isNull() || size.none()) {
        return result;
    }
    // Premultiplied channels blur independently without dark fringes.
    const int width = result.width();
    const int height = result.height();
    std::array<Plane, 4> channels{Plane(width, height), Plane(width, height), Plane(width, height),
                                  Plane(width, height)};
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(result.constScanLine(y));
        const std::size_t row = static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            const Premultiplied p = fromPixel(line[x]);
            channels[0].values[row + x] = p.r;
            channels[1].values[row + x] = p.g;
            channels[2].values[row + x] = p.b;
            channels[3].values[row + x] = p.a;
        }
    }
    for (Plane& channel : channels) {
        boxBlur(channel, size);
    }
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        const std::size_t row = static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            line[x] = toPixel({channels[0].values[row + x], channels[1].values[row + x],
                               channels[2].values[row + x], channels[3].values[row + x]});
        }
    }
    return result;
}

namespace {

struct ApplyTo {
    const QImage& source;
    FilterScale scale;

    QImage operator()(const swf::BlurFilter& f) const { return applyBlur(source, f, scale); }
    QImage operator()(const swf::DropShadowFilter& f) const {
        return applyDropShadow(source, f, scale);
    }
    QImage operator()(const swf::GlowFilter& f) const { return applyGlow(source, f, scale); }
    QImage operator()(const swf::GradientGlowFilter& f) const {
        return applyGradientGlow(source, f, scale);
    }
    QImage operator()(const swf::BevelFilter& f) const { return applyBevel(source, f, scale); }
    QImage operator()(const swf::GradientBevelFilter& f) const {
        return applyGradientBevel(source, f, scale);
    }
    QImage operator()(const swf::ConvolutionFilter& f) const { return applyConvolution(source, f); }
    QImage operator()(const swf::ColorMatrixFilter& f) const { return applyColorMatrix(source, f); }
};

} // namespace

QImage applyFilter(const QImage& source, const swf::Filter& filter, FilterScale scale) {
    return std::visit(ApplyTo{source, scale}, filter);
}

QImage applyFilters(const QImage& source, const std::vector<swf::Filter>& filters,
                    FilterScale scale) {
    QImage result = premultipliedCopy(source);
    for (const auto& filter : filters) {
        result = applyFilter(result, filter, scale);
    }
    return result;
}

} // namespace mc
