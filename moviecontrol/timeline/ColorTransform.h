#pragma once

#include <cstdint>

namespace mc {

// A colour in unpremultiplied 8-bit channels.
struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// Per channel c * mult + add, with mult in 8.8 fixed point (256 = 1.0) and add in colour
// units, applied to unpremultiplied colour and clamped to 0..255. Composed transforms keep
// the same form, so a whole chain of parents costs one multiply-add per channel.
struct ColorTransform {
    // Order r, g, b, a.
    std::int32_t mult[4] = {256, 256, 256, 256};
    std::int32_t add[4] = {0, 0, 0, 0};

    bool isIdentity() const;
    // True when only the alpha channel changes, the case a painter opacity can express.
    bool onlyScalesAlpha() const;
    Rgba apply(Rgba c) const;

    friend bool operator==(const ColorTransform&, const ColorTransform&) = default;
};

// parent applied after child: mult = pm * cm, add = padd + pm * cadd.
ColorTransform compose(const ColorTransform& parent, const ColorTransform& child);

} // namespace mc
