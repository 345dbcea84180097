#include "PixelMath.h"

#include <algorithm>
#include <cmath>

namespace mc {

Premultiplied premultiplied(const swf::Rgba& colour) {
    const float a = colour.a / 255.0f;
    return {colour.r / 255.0f * a, colour.g / 255.0f * a, colour.b / 255.0f * a, a};
}

Premultiplied fromPixel(QRgb pixel) {
    return {qRed(pixel) / 255.0f, qGreen(pixel) / 255.0f, qBlue(pixel) / 255.0f,
            qAlpha(pixel) / 255.0f};
}

QRgb toPixel(const Premultiplied& colour) {
    // Extreme filter parameters can overflow to infinity or NaN; those read as nothing.
    const auto finite = [](float value) { return std::isfinite(value) ? value : 0.0f; };
    const float a = std::clamp(finite(colour.a), 0.0f, 1.0f);
    const auto channel = [a, finite](float value) {
        return static_cast<int>(std::clamp(finite(value), 0.0f, a) * 255.0f + 0.5f);
    };
    return qRgba(channel(colour.r), channel(colour.g), channel(colour.b),
                 static_cast<int>(a * 255.0f + 0.5f));
}

float Plane::sample(double x, double y) const {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    // Positions far outside read as transparent without overflowing the int conversion.
    if (fx < -2.0 || fy < -2.0 || fx > width + 1.0 || fy > height + 1.0) {
        return 0.0f;
    }
    const int x0 = static_cast<int>(fx);
    const int y0 = static_cast<int>(fy);
    const auto tx = static_cast<float>(x - fx);
    const auto ty = static_cast<float>(y - fy);
    const float top = at(x0, y0) * (1 - tx) + at(x0 + 1, y0) * tx;
    const float bottom = at(x0, y0 + 1) * (1 - tx) + at(x0 + 1, y0 + 1) * tx;
    return top * (1 - ty) + bottom * ty;
}

Plane alphaPlane(const QImage& image) {
    Plane plane(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        float* out = plane.values.data() + static_cast<std::size_t>(y) * plane.width;
        for (int x = 0; x < image.width(); ++x) {
            out[x] = qAlpha(line[x]) / 255.0f;
        }
    }
    return plane;
}

QImage premultipliedCopy(const QImage& image) {
    if (image.format() == QImage::Format_ARGB32_Premultiplied) {
        QImage copy = image;
        copy.detach();
        return copy;
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace mc
