#include "ColorMatrix.h"

#include "PixelMath.h"

#include <algorithm>
#include <cmath>

namespace mc {

QImage applyColorMatrix(const QImage& source, const swf::ColorMatrixFilter& filter) {
    QImage result = premultipliedCopy(source);
    std::array<float, 20> m{};
    for (std::size_t i = 0; i < m.size(); ++i) {
        m[i] = std::isfinite(filter.matrix[i]) ? filter.matrix[i] : 0.0f;
    }
    const auto clamp255 = [](float value) { return std::clamp(value, 0.0f, 255.0f); };
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb pixel = line[x];
            const float a = static_cast<float>(qAlpha(pixel));
            // Unpremultiply; a transparent pixel has no colour to recover.
            const float unscale = a > 0.0f ? 255.0f / a : 0.0f;
            const float in[4] = {qRed(pixel) * unscale, qGreen(pixel) * unscale,
                                 qBlue(pixel) * unscale, a};
            float out[4];
            for (int row = 0; row < 4; ++row) {
                const float* k = &m[static_cast<std::size_t>(row) * 5];
                out[row] =
                    clamp255(k[0] * in[0] + k[1] * in[1] + k[2] * in[2] + k[3] * in[3] + k[4]);
            }
            const float alpha = out[3] / 255.0f;
            line[x] = toPixel(
                {out[0] / 255.0f * alpha, out[1] / 255.0f * alpha, out[2] / 255.0f * alpha, alpha});
        }
    }
    return result;
}

} // namespace mc
