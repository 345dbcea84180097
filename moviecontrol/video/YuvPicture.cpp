#include "YuvPicture.h"

#include <algorithm>
#include <cmath>

namespace video {

void YuvPicture::allocate(int w, int h) {
    width = w;
    height = h;
    const int mbw = macroblocksWide();
    const int mbh = macroblocksHigh();
    y.resize(mbw * 16, mbh * 16);
    cb.resize(mbw * 8, mbh * 8);
    cr.resize(mbw * 8, mbh * 8);
}

namespace {

std::uint8_t clampByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

// Chroma at luma position (x, y): chroma sample centres sit between two luma samples.
double chromaAt(const Plane& p, int x, int y) {
    const double fx = (x + 0.5) / 2.0 - 0.5;
    const double fy = (y + 0.5) / 2.0 - 0.5;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const double ax = fx - x0;
    const double ay = fy - y0;
    const double top = p.clamped(x0, y0) * (1 - ax) + p.clamped(x0 + 1, y0) * ax;
    const double bottom = p.clamped(x0, y0 + 1) * (1 - ax) + p.clamped(x0 + 1, y0 + 1) * ax;
    return top * (1 - ay) + bottom * ay;
}

} // namespace

std::vector<std::uint8_t> toRgba(const YuvPicture& picture) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(picture.width) * picture.height * 4);
    std::size_t at = 0;
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* luma = picture.y.row(y);
        for (int x = 0; x < picture.width; ++x) {
            const double l = 1.164 * (luma[x] - 16);
            const double u = chromaAt(picture.cb, x, y) - 128.0;
            const double v = chromaAt(picture.cr, x, y) - 128.0;
            out[at++] = clampByte(l + 1.596 * v);
            out[at++] = clampByte(l - 0.391 * u - 0.813 * v);
            out[at++] = clampByte(l + 2.018 * u);
            out[at++] = 255;
        }
    }
    return out;
}

} // namespace video
