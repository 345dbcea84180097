#include "Convolution.h"

#include "PixelMath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace mc {
namespace {

using Straight = std::array<float, 4>; // r, g, b, a in 0..255

std::vector<Straight> straightPixels(const QImage& image) {
    std::vector<Straight> pixels;
    pixels.reserve(static_cast<std::size_t>(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const float a = static_cast<float>(qAlpha(p));
            const float unscale = a > 0.0f ? 255.0f / a : 0.0f;
            pixels.push_back({qRed(p) * unscale, qGreen(p) * unscale, qBlue(p) * unscale, a});
        }
    }
    return pixels;
}

float finiteOr(float value, float fallback) {
    return std::isfinite(value) ? value : fallback;
}

} // namespace

QImage applyConvolution(const QImage& source, const swf::ConvolutionFilter& filter) {
    QImage result = premultipliedCopy(source);
    const int columns = filter.columns;
    const int rows = filter.rows;
    const std::int64_t work =
        std::int64_t{result.width()} * result.height() * std::max(1, columns * rows);
    if (result.isNull() || columns == 0 || rows == 0 || work > kMaxConvolutionWork) {
        return result;
    }
    std::vector<float> weights(static_cast<std::size_t>(columns * rows), 0.0f);
    for (std::size_t i = 0; i < weights.size() && i < filter.matrix.size(); ++i) {
        weights[i] = finiteOr(filter.matrix[i], 0.0f);
    }
    float divisor = finiteOr(filter.divisor, 1.0f);
    if (divisor == 0.0f) {
        divisor = 1.0f;
    }
    const float bias = finiteOr(filter.bias, 0.0f);
    const Straight outside{float(filter.defaultColor.r), float(filter.defaultColor.g),
                           float(filter.defaultColor.b), float(filter.defaultColor.a)};
    const std::vector<Straight> pixels = straightPixels(result);
    const int width = result.width();
    const int height = result.height();
    const int centreX = columns / 2;
    const int centreY = rows / 2;
    const auto neighbour = [&](int x, int y) -> const Straight& {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            if (!filter.clamp) {
                return outside;
            }
            x = std::clamp(x, 0, width - 1);
            y = std::clamp(y, 0, height - 1);
        }
        return pixels[static_cast<std::size_t>(y) * width + x];
    };
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < width; ++x) {
            Straight sum{};
            for (int ky = 0; ky < rows; ++ky) {
                for (int kx = 0; kx < columns; ++kx) {
                    const float w = weights[static_cast<std::size_t>(ky * columns + kx)];
                    const Straight& n = neighbour(x + kx - centreX, y + ky - centreY);
                    for (std::size_t c = 0; c < 4; ++c) {
                        sum[c] += w * n[c];
                    }
                }
            }
            Straight out;
            for (std::size_t c = 0; c < 4; ++c) {
                out[c] = std::clamp(sum[c] / divisor + bias, 0.0f, 255.0f);
            }
            if (filter.preserveAlpha) {
                out[3] = pixels[static_cast<std::size_t>(y) * width + x][3];
            }
            const float alpha = out[3] / 255.0f;
            line[x] = toPixel(
                {out[0] / 255.0f * alpha, out[1] / 255.0f * alpha, out[2] / 255.0f * alpha, alpha});
        }
    }
    return result;
}

} // namespace mc
