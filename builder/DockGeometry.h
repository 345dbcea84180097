#pragma once

#include <cstdint>

namespace builder {

// A window rectangle in screen pixels; right and bottom lie one past the last pixel, so a
// window that stands exactly beside another has its left equal to the other's right.
struct DockRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    void offset(std::int32_t dx, std::int32_t dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    friend bool operator==(const DockRect&, const DockRect&) = default;
};

struct DockPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const DockPoint&, const DockPoint&) = default;
};

// Identifies one window for as long as it lives; a window created again gets a new one.
using WindowHandle = std::uint32_t;

} // namespace builder
