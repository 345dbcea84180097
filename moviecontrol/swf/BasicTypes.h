#pragma once
// The small value records every other record is built from. Coordinates are twips (1/20 px).

#include <cstdint>

namespace swf {

// Colour with straight (not premultiplied) alpha; RGB records read as alpha 255.
struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// Rectangle in twips; the minimum corner need not be zero.
struct Rect {
    std::int32_t xMin = 0;
    std::int32_t xMax = 0;
    std::int32_t yMin = 0;
    std::int32_t yMax = 0;
    std::int32_t width() const { return xMax - xMin; }
    std::int32_t height() const { return yMax - yMin; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Affine transform: x' = a*x + c*y + tx, y' = b*x + d*y + ty (tx, ty in twips).
// a/d are the scale fields, b is RotateSkew0 and c is RotateSkew1 of the record.
struct Matrix {
    double a = 1.0;
    double b = 0.0;
    double c = 0.0;
    double d = 1.0;
    double tx = 0.0;
    double ty = 0.0;
    friend bool operator==(const Matrix&, const Matrix&) = default;
};

// Per channel: result = clamp(c * mult / 256 + add). Multipliers are 8.8 fixed point as
// stored; a record without alpha leaves alpha at identity.
struct ColorTransform {
    std::int16_t multR = 256;
    std::int16_t multG = 256;
    std::int16_t multB = 256;
    std::int16_t multA = 256;
    std::int16_t addR = 0;
    std::int16_t addG = 0;
    std::int16_t addB = 0;
    std::int16_t addA = 0;
    friend bool operator==(const ColorTransform&, const ColorTransform&) = default;
};

} // namespace swf
