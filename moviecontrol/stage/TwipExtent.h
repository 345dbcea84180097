// Sizes as the player measures them: the edges of a box in whole twips of 32 bits.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace mc {

// An edge rounded to the nearest whole twip; past the 32-bit range (infinities and NaN too)
// the one value the processor gives for every number it cannot convert, the most negative.
inline std::int32_t edgeTwips(double twips) {
    if (!(std::fabs(twips) < 2147483647.0)) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(std::lround(twips));
}

// A width or height in pixels from a box's edges in twips: the difference of the rounded
// edges, wrapping as the 32-bit count does.
inline double extentPixels(double minTwips, double maxTwips) {
    const std::uint32_t span = static_cast<std::uint32_t>(edgeTwips(maxTwips)) -
                               static_cast<std::uint32_t>(edgeTwips(minTwips));
    return static_cast<std::int32_t>(span) / 20.0;
}

} // namespace mc
