#include "CachedBitmapSize.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mc {
namespace {

// A box `width` by `height` pixels from (x, y), in twips.
Bounds pixels(double x, double y, double width, double height) {
    return Bounds{x * 20, y * 20, (x + width) * 20, (y + height) * 20, true};
}

TEST(CachedBitmapSize, TheBitmapHoldsEveryPixelTouchedAndStaysBelowThePlayersLargest) {
    struct Case {
        Bounds box;
        int version;
        bool fits;
    };
    const Case table[] = {
        {pixels(0, 0, 2879, 500), 9, true},
        {pixels(0.5, 0, 2879, 500), 9, false}, // half a pixel along: 2880 pixels touched
        {pixels(-1289.5, -150, 2879, 500), 9, false},
        {pixels(0, 0, 500, 2880), 9, false},
        {pixels(0, 0, 2880, 10), 8, false},
        {pixels(0, 0, 2879, 10), 6, true},
        {pixels(0.5, 0, 2879, 500), 10, true}, // the larger bitmaps of later players
        {pixels(0, 0, 8190, 10), 10, true},
        {pixels(0, 0, 8191, 10), 10, false},
        {pixels(0, 0, 10, 8191), 11, false},
        {pixels(0, 0, 4096, 4096), 10, false}, // 2^24 pixels in all
        {pixels(0, 0, 4096, 4095), 10, true},
        {pixels(0, 0, 8191, 10), 0, false}, // an unknown version reads as the newest
        {pixels(0, 0, 2880, 10), 0, true},
        {Bounds{}, 9, true},
        {Bounds{0, 0, INFINITY, 20, true}, 10, false},
        {Bounds{NAN, 0, 20, 20, true}, 10, false},
    };
    for (const Case& c : table) {
        EXPECT_EQ(cachedBitmapFits(c.box, c.version), c.fits)
            << c.box.xMin / 20 << "," << c.box.yMin / 20 << " " << (c.box.xMax - c.box.xMin) / 20
            << "x" << (c.box.yMax - c.box.yMin) / 20 << " v" << c.version;
    }
}

} // namespace
} // namespace mc
