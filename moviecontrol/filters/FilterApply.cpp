#include "FilterApply.h"

#include "BevelFilters.h"
#include "BoxBlur.h"
#include "ColorMatrix.h"
#include "Convolution.h"
#include "Displacement.h"
#include "ImageBoxBlur.h"
#include "PixelMath.h"
#include "ShaderKernel.h"
#include "ShadowFilters.h"

#include <type_traits>

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
    QImage operator()(const swf::DisplacementMapFilter& f) const {
        return applyDisplacement(source, f, scale);
    }
    QImage operator()(const swf::ShaderFilter& f) const { return applyShaderKernel(source, f); }
};

} // namespace

QImage applyFilter(const QImage& source, const swf::Filter& filter, FilterScale scale) {
    return std::visit(ApplyTo{source, scale}, filter);
}

double filterWork(const std::vector<swf::Filter>& filters) {
    double work = 0.0;
    for (const auto& filter : filters) {
        work += std::visit(
            [](const auto& f) -> double {
                using F = std::decay_t<decltype(f)>;
                if constexpr (std::is_same_v<F, swf::ConvolutionFilter>) {
                    return 1.0 + f.columns * f.rows;
                } else if constexpr (std::is_same_v<F, swf::ColorMatrixFilter>) {
                    return 1.0;
                } else if constexpr (std::is_same_v<F, swf::DisplacementMapFilter>) {
                    return 4.0; // a map read and up to four pixels mixed
                } else if constexpr (std::is_same_v<F, swf::ShaderFilter>) {
                    return 16.0; // a kernel's instructions for every pixel
                } else {
                    // The blur passes, and the pass that composes the effect.
                    return 2.0 + 2.0 * f.passes;
                }
            },
            filter);
    }
    return work;
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
