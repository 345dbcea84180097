#pragma once
// Float colour for the filter loops: premultiplied channels in 0..1.

#include "swf/BasicTypes.h"

#include <QImage>
#include <vector>

namespace mc {

struct Premultiplied {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

inline Premultiplied operator*(const Premultiplied& c, float k) {
    return {c.r * k, c.g * k, c.b * k, c.a * k};
}
inline Premultiplied operator+(const Premultiplied& p, const Premultiplied& q) {
    return {p.r + q.r, p.g + q.g, p.b + q.b, p.a + q.a};
}

Premultiplied premultiplied(const swf::Rgba& colour);
Premultiplied fromPixel(QRgb pixel);
// Rounds to 8 bits, clamping alpha to 0..1 and colour to 0..alpha.
QRgb toPixel(const Premultiplied& colour);

// One float per pixel, row by row; reads outside the plane give 0 (transparent).
struct Plane {
    int width = 0;
    int height = 0;
    std::vector<float> values;

    Plane() = default;
    Plane(int w, int h) : width(w), height(h), values(static_cast<std::size_t>(w) * h, 0.0f) {}
    float at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 0.0f;
        }
        return values[static_cast<std::size_t>(y) * width + x];
    }
    // Bilinear read at a fractional position (pixel centres at integers).
    float sample(double x, double y) const;
};

// The alpha channel of a premultiplied image, in 0..1.
Plane alphaPlane(const QImage& image);

// A premultiplied ARGB32 copy of `image` (the filters' working and result format).
QImage premultipliedCopy(const QImage& image);

} // namespace mc
