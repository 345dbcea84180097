#include "ShaderKernel.h"

#include "PixelMath.h"

#include <cstring>

namespace mc {

QImage applyShaderKernel(const QImage& source, const swf::ShaderFilter& filter) {
    QImage layer = premultipliedCopy(source);
    const int width = layer.width(), height = layer.height();
    if (filter.kernel == nullptr || width <= 0 || height <= 0) {
        return layer;
    }
    const auto w = static_cast<std::size_t>(width);
    std::vector<std::uint32_t> pixels(w * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::memcpy(pixels.data() + w * static_cast<std::size_t>(y), layer.constScanLine(y),
                    w * sizeof(std::uint32_t));
    }
    const std::vector<std::uint32_t> out = filter.kernel->run(pixels, width, height);
    if (out.size() != pixels.size()) {
        return layer;
    }
    for (int y = 0; y < height; ++y) {
        std::memcpy(layer.scanLine(y), out.data() + w * static_cast<std::size_t>(y),
                    w * sizeof(std::uint32_t));
    }
    return layer;
}

} // namespace mc
