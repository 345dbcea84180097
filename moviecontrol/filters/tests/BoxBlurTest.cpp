#include "BoxBlur.h"
#include "FilterApply.h"
#include "FilterTestImages.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numeric>

namespace mc {
namespace {

Plane singlePixel(int size) {
    Plane plane(size, size);
    plane.values[static_cast<std::size_t>(size / 2 * size + size / 2)] = 1.0f;
    return plane;
}

double total(const Plane& plane) {
    return std::accumulate(plane.values.begin(), plane.values.end(), 0.0);
}

float level(int n) {
    return static_cast<float>(n) / 255.0f;
}

TEST(BoxBlur, IntegerBoxSpreadsEvenly) {
    Plane plane = singlePixel(15);
    boxBlur(plane, BlurSize{5.0, 1.0, 1});
    for (int dx = -2; dx <= 2; ++dx) {
        EXPECT_FLOAT_EQ(plane.at(7 + dx, 7), level(51)) << dx;
    }
    EXPECT_EQ(plane.at(4, 7), 0.0f);
    EXPECT_EQ(plane.at(7, 6), 0.0f) << "no vertical blur asked for";
}

TEST(BoxBlur, FractionalBoxWeighsItsEndsAndStaysCentred) {
    Plane plane = singlePixel(15);
    boxBlur(plane, BlurSize{4.0, 1.0, 1});      // 1.5 pixels each side: ends at half weight
    EXPECT_FLOAT_EQ(plane.at(7, 7), level(63)); // 63.75 levels, truncated
    EXPECT_FLOAT_EQ(plane.at(6, 7), level(63));
    EXPECT_FLOAT_EQ(plane.at(5, 7), level(31));
    EXPECT_FLOAT_EQ(plane.at(9, 7), level(31));
    EXPECT_EQ(plane.at(4, 7), 0.0f);
}

// Every pass keeps whole 8-bit levels, truncated: a faint tail dies out instead of
// spreading to the full reach, which is what bounds a strong glow (see ShadowFilters).
TEST(BoxBlur, EachPassTruncatesToWholeLevels) {
    Plane plane = singlePixel(31);
    boxBlur(plane, BlurSize{7.0, 1.0, 2});
    // First pass: 255 / 7 = 36.4 -> 36 over seven pixels; second: 36 * 7 / 7 in the middle
    // and 36 / 7 = 5.1 -> 5 at six pixels out. Exact arithmetic would give 36.4 and 5.2.
    EXPECT_FLOAT_EQ(plane.at(15, 15), level(36));
    EXPECT_FLOAT_EQ(plane.at(21, 15), level(5));
    EXPECT_FLOAT_EQ(plane.at(9, 15), level(5));
    Plane solid(40, 40);
    std::fill(solid.values.begin(), solid.values.end(), 1.0f);
    boxBlur(solid, BlurSize{9.3, 9.3, 3});
    EXPECT_EQ(solid.at(20, 20), 1.0f) << "full coverage stays full";
}

TEST(BoxBlur, SpreadsSymmetricallyWithinItsReach) {
    for (int passes = 1; passes <= 3; ++passes) {
        Plane plane = singlePixel(41);
        const BlurSize size{7.0, 3.5, passes};
        boxBlur(plane, size);
        // Truncation only loses weight, at most a level per pixel and pass.
        EXPECT_LE(total(plane), 1.0 + 1e-4) << passes;
        EXPECT_GT(total(plane), 0.25) << passes;
        for (int d = 1; d <= 12; ++d) {
            EXPECT_NEAR(plane.at(20 - d, 20), plane.at(20 + d, 20), 1e-6f) << d;
            EXPECT_NEAR(plane.at(20, 20 - d), plane.at(20, 20 + d), 1e-6f) << d;
        }
        const int reachX = blurReach(size.x, passes);
        const int reachY = blurReach(size.y, passes);
        EXPECT_EQ(plane.at(20 + reachX + 1, 20), 0.0f);
        EXPECT_EQ(plane.at(20, 20 + reachY + 1), 0.0f);
    }
}

TEST(BoxBlur, NothingToDoForTinySizesOrNoPasses) {
    for (const BlurSize size : {BlurSize{1.0, 1.0, 3}, BlurSize{9.0, 9.0, 0}}) {
        Plane plane = singlePixel(9);
        boxBlur(plane, size);
        EXPECT_EQ(plane.at(4, 4), 1.0f);
    }
}

TEST(BoxBlur, DeviceSizesAreScaledAndCapped) {
    const BlurSize scaled = deviceBlur(10.0, 4.0, 2, FilterScale{2.0, 0.5});
    EXPECT_DOUBLE_EQ(scaled.x, 20.0);
    EXPECT_DOUBLE_EQ(scaled.y, 2.0);
    EXPECT_EQ(scaled.passes, 2);
    const BlurSize capped = deviceBlur(1000.0, -5.0, 31, FilterScale{});
    EXPECT_DOUBLE_EQ(capped.x, 255.0);
    EXPECT_DOUBLE_EQ(capped.y, 0.0);
    EXPECT_EQ(capped.passes, 15);
    const BlurSize broken = deviceBlur(std::numeric_limits<double>::quiet_NaN(), 4.0, 1,
                                       FilterScale{std::numeric_limits<double>::infinity(), 1});
    EXPECT_DOUBLE_EQ(broken.x, 0.0);
    EXPECT_EQ(blurReach(7.0, 3), 9);
    EXPECT_EQ(blurReach(4.0, 1), 2);
    EXPECT_EQ(blurReach(1.0, 5), 0);
}

TEST(BlurFilter, BlursEveryChannelOfTheLayer) {
    const QImage layer = test::layerWithSquare({21, 21}, {8, 8, 5, 5}, qRgb(255, 128, 0));
    const swf::BlurFilter filter{6.0, 6.0, 2};
    const QImage blurred = applyBlur(layer, filter, FilterScale{});
    EXPECT_NEAR(test::alphaSum(blurred), 25 * 255.0, 25 * 255.0 * 0.05);
    EXPECT_EQ(qAlpha(blurred.pixel(10 - 3, 10)), qAlpha(blurred.pixel(10 + 3, 10)));
    for (int x = 0; x < 21; ++x) {
        const QRgb p = blurred.pixel(x, 10);
        EXPECT_LE(qRed(p), qAlpha(p));
        // Premultiplied blur keeps the hue: red stays about twice green where visible.
        if (qAlpha(p) > 20) {
            EXPECT_NEAR(qGreen(p) * 2.0, qRed(p), 3.0) << x;
            EXPECT_EQ(qBlue(p), 0);
        }
    }
}

} // namespace
} // namespace mc
