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

// Rounds half away from zero as lround does (only halves above zero survive the clamp), without
// the library call: this runs for every channel of every pixel of every video frame shown.
std::uint8_t clampByte(double v) {
    if (v <= 0.0) {
        return 0;
    }
    if (v >= 255.0) {
        return 255;
    }
    // The fraction is exact where v + 0.5 would round up the largest values below a half.
    const int whole = static_cast<int>(v);
    return static_cast<std::uint8_t>(whole + (v - whole >= 0.5 ? 1 : 0));
}

} // namespace

std::vector<std::uint8_t> toRgba(const YuvPicture& picture) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(picture.width) * picture.height * 4);
    std::size_t at = 0;
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* luma = picture.y.row(y);
        const std::uint8_t* cb = picture.cb.row(y / 2);
        const std::uint8_t* cr = picture.cr.row(y / 2);
        const std::uint8_t* alpha = picture.alpha.samples.empty() ? nullptr : picture.alpha.row(y);
        for (int x = 0; x < picture.width; ++x) {
            const double l = 1.164 * (luma[x] - 16);
            const int half = x / 2; // the chroma planes are half as wide
            const double u = cb[half] - 128.0;
            const double v = cr[half] - 128.0;
            const std::uint8_t a = alpha != nullptr ? alpha[x] : 255;
            out[at++] = std::min(clampByte(l + 1.596 * v), a);
            out[at++] = std::min(clampByte(l - 0.391 * u - 0.813 * v), a);
            out[at++] = std::min(clampByte(l + 2.018 * u), a);
            out[at++] = a;
        }
    }
    return out;
}

} // namespace video
