#include "FilterApply.h"

#include "BevelFilters.h"
#include "BoxBlur.h"
#include "ColorMatrix.h"
#include "Convolution.h"
#include "ImageBoxBlur.h"
#include "PixelMath.h"
#include "ShadowFilters.h"

namespace mc {

QImage applyBlur(const QImage& source, const swf::BlurFilter& filter, FilterScale scale) {
    QImage result = premultipliedCopy(source);
    // Premultiplied channels blur independently without dark fringes.
    boxBlurImage(result, deviceBlur(filter.blurX, filter.blurY, filter.passes, scale));
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
