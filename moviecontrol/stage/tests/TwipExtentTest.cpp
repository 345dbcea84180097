// Script sizes in whole twips: each edge rounds alone, and what overflows the 32-bit count
// wraps as the player's does.
#include "TwipExtent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace mc {
namespace {

TEST(TwipExtent, EdgesRoundToWholeTwipsAndOverflowWraps) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double minTwips, maxTwips, pixels;
    } table[] = {
        {0, 200, 10},
        {-0.5166, 199.9998, 10.05}, // a slight turn: the far edges round outwards
        {-0.1815, 200.0, 10},
        {0, 66.6667, 3.35},
        {0, 5.2, 0.25},
        {0, 24691.2, 1234.55},
        {0, 2e12, -107374182.4},  // past the count: its most negative value
        {-2e12, 0, -107374182.4}, // and the difference wraps
        {0, inf, -107374182.4},
        {0, std::nan(""), -107374182.4},
        {-100, -40, 3},
    };
    for (const auto& row : table) {
        EXPECT_DOUBLE_EQ(extentPixels(row.minTwips, row.maxTwips), row.pixels)
            << row.minTwips << " " << row.maxTwips;
    }
}

} // namespace
} // namespace mc
