// Script-made bitmap pixels: clipping, alpha as Flash stores it, copies, fills and bounds,
// and the per-channel effects.

#include "pixels/BitmapPixels.h"
#include "pixels/BitmapEffects.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace pixels {
namespace {

TEST(BitmapPixels, FillAndCopyClipToTheBitmap) {
    BitmapPixels p(4, 3, true, 0);
    p.fill({-5, 1, 100, 1}, 0xFF112233u);
    EXPECT_EQ(p.at(0, 1), 0xFF112233u);
    EXPECT_EQ(p.at(3, 1), 0xFF112233u);
    EXPECT_EQ(p.at(0, 0), 0u);
    EXPECT_EQ(p.at(-1, 1), 0u); // outside reads as nothing
    p.set(0, 0, 0x80ABCDEFu);
    // a copy that hangs over every edge moves only what lies inside both
    BitmapPixels q(2, 2, true, 0xFFFFFFFFu);
    q.copy(p, {-1, -1, 3, 3}, -1, -1);
    EXPECT_EQ(q.at(0, 0), 0x80ABCDEFu);
    EXPECT_EQ(q.at(0, 1), 0xFF112233u);
    EXPECT_EQ(q.at(1, 1), 0xFF112233u);
}

TEST(BitmapPixels, OpaqueBitmapsKeepFullAlpha) {
    BitmapPixels p(2, 1, false, 0x00123456u);
    EXPECT_EQ(p.at(0, 0), 0xFF123456u);
    p.set(1, 0, 0x10FFFFFFu);
    EXPECT_EQ(p.at(1, 0), 0xFFFFFFFFu);
}

TEST(BitmapPixels, ScrollOverlapsItselfAndFloodFillStopsAtOtherColours) {
    constexpr std::uint32_t Opaque = 0xFF000000u;
    BitmapPixels p(3, 1, true, 0);
    p.set(0, 0, Opaque | 1);
    p.set(1, 0, Opaque | 2);
    p.set(2, 0, Opaque | 3);
    p.scroll(1, 0);
    EXPECT_EQ(p.at(0, 0), Opaque | 1); // uncovered pixels keep what they had
    EXPECT_EQ(p.at(1, 0), Opaque | 1);
    EXPECT_EQ(p.at(2, 0), Opaque | 2);

    BitmapPixels f(3, 3, true, 0xFF000000u);
    f.set(1, 0, 0xFFFFFFFFu);
    f.set(1, 1, 0xFFFFFFFFu);
    f.set(1, 2, 0xFFFFFFFFu);
    f.floodFill(0, 0, 0xFFFF0000u);
    EXPECT_EQ(f.at(0, 2), 0xFFFF0000u);
    EXPECT_EQ(f.at(2, 0), 0xFF000000u); // beyond the white wall
    PixelRect red = f.colorBounds(0xFFFFFFFFu, 0xFFFF0000u, true);
    EXPECT_EQ(red.width, 1);
    EXPECT_EQ(red.height, 3);
    // As Flash printed: a lone differing pixel at the origin is not found, elsewhere it is.
    BitmapPixels g(3, 3, true, 0xFFFFFFFFu);
    g.set(0, 0, 0xFF00FF00u);
    EXPECT_EQ(g.colorBounds(0xFFFFFFFFu, 0xFFFFFFFFu, false).width, 0);
    g.set(1, 1, 0xFF00FF00u);
    EXPECT_EQ(g.colorBounds(0xFFFFFFFFu, 0xFFFFFFFFu, false).width, 2);
    g.set(0, 0, 0xFFFFFFFFu);
    PixelRect lone = g.colorBounds(0xFFFFFFFFu, 0xFFFFFFFFu, false);
    EXPECT_EQ(lone.x, 1);
    EXPECT_EQ(lone.width, 1);
}

TEST(BitmapPixels, PartialAlphaKeepsTheColourFlashCanStore) {
    BitmapPixels p(2, 1, true, 0);
    p.set(0, 0, 0x80BBBBBBu);
    EXPECT_EQ(p.at(0, 0), 0x80BBBBBBu); // stored as 0x805E5E5E, read back rounded
    p.set(1, 0, 0x20202020u);
    EXPECT_EQ(p.premultipliedAt(1, 0), 0x20040404u);
    EXPECT_EQ(p.at(1, 0), 0x20202020u);
    p.set(1, 0, 0x00FFFFFFu);
    EXPECT_EQ(p.at(1, 0), 0u); // nothing is left of a colour without alpha
    // read back through the player's 8-bit reciprocal of the alpha: 117 * 255 / 167 is
    // 178.65, which reads as 178; 46 * 255 / 103 is 113.88, which reads as 114
    p.set(0, 0, 0xA7B3B3B3u);
    EXPECT_EQ(p.premultipliedAt(0, 0), 0xA7757575u);
    EXPECT_EQ(p.at(0, 0), 0xA7B2B2B2u);
    p.set(0, 0, 0x67737373u);
    EXPECT_EQ(p.at(0, 0), 0x67727272u);
    // a flood fill ends even where the new colour reads back as the old one
    BitmapPixels f(3, 1, true, 0x01FFFFFFu);
    f.floodFill(0, 0, 0x01FEFEFEu);
    EXPECT_EQ(f.premultipliedAt(2, 0), BitmapPixels::premultiply(0x01FEFEFEu));
}

TEST(BitmapEffects, ColorTransformClampsEachChannel) {
    BitmapPixels p(2, 1, false, 0xFFFFFFFFu);
    ChannelTransform half;
    half.mult = {0.5, 0.5, 0.5, 0.5};
    colorTransform(p, {0, 0, 1, 1}, half);
    EXPECT_EQ(p.at(0, 0), 0xFF7F7F7Fu); // an opaque bitmap keeps its alpha
    EXPECT_EQ(p.at(1, 0), 0xFFFFFFFFu); // outside the rectangle

    BitmapPixels t(1, 1, true, 0xFFFFFFFFu);
    colorTransform(t, {0, 0, 1, 1}, half);
    EXPECT_EQ(t.at(0, 0), 0x7F7E7E7Eu);
    ChannelTransform over;
    over.add = {300, -300, 0, 0};
    colorTransform(t, {0, 0, 1, 1}, over);
    EXPECT_EQ(t.at(0, 0), 0x7FFF007Eu);
}

TEST(BitmapEffects, ColorTransformLeavesClearPixelsAlone) {
    // Offsets reach every pixel with something left of it, in either kind of bitmap; a pixel
    // with no alpha keeps its nothing.
    struct Case {
        bool transparent;
        std::uint32_t start;
        std::uint32_t expected;
    };
    ChannelTransform lift;
    lift.add = {40, 0, -30, 120};
    const Case cases[] = {
        {true, 0x00336699u, 0x00000000u},  {true, 0x01FFFFFFu, 0x79FFFFE1u},
        {true, 0x80204060u, 0xF8484042u},  {false, 0x00336699u, 0xFF5B667Bu},
        {false, 0xFF000000u, 0xFF280000u},
    };
    for (const Case& c : cases) {
        BitmapPixels p(1, 1, c.transparent, c.start);
        colorTransform(p, {0, 0, 1, 1}, lift);
        EXPECT_EQ(p.at(0, 0), c.expected) << std::hex << c.start << " " << c.transparent;
    }
}

TEST(BitmapEffects, ColorTransformThatOnlyRaisesAlphaChangesNothing) {
    struct Case {
        std::array<double, 4> mult;
        std::array<double, 4> add;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {{1, 1, 1, 2}, {0, 0, 0, 0}, 0x20FFFFFFu},     // alpha up alone: no change
        {{1, 1, 1, 1}, {0, 0, 0, 0}, 0x20FFFFFFu},     // nothing at all
        {{1.001, 1, 1, 2}, {0, 0, 0, 0}, 0x20FFFFFFu}, // within a 256th of 1 is 1
        {{1.01, 1, 1, 2}, {0, 0, 0, 0}, 0x40FFFFFFu},  // a colour multiplier frees alpha
        {{1, 1, 1, 2}, {0, 0, 0, 1}, 0x41FFFFFFu},     // so does an offset
        {{1, 1, 1, 0.5}, {0, 0, 0, 0}, 0x10FFFFFFu},   // alpha down always works
    };
    for (const Case& c : cases) {
        BitmapPixels p(1, 1, true, 0x20FFFFFFu);
        ChannelTransform t;
        t.mult = c.mult;
        t.add = c.add;
        colorTransform(p, {0, 0, 1, 1}, t);
        EXPECT_EQ(p.at(0, 0), c.expected) << c.mult[0] << " " << c.add[3];
    }
}

TEST(BitmapEffects, ThresholdOnItselfReadsWhatItHasWritten) {
    // One red pixel at the left of a white row, tested one pixel to the right of where it is
    // read: each pixel is read after the pixel before it became red, so the red runs the
    // whole row. Read from the right (offset left), each pixel is read before it is written:
    // the red only moves one step left.
    struct Case {
        int fromX, toX;
        std::uint32_t expected[4];
        int count;
    };
    constexpr std::uint32_t R = 0xFFFF0000u, W = 0xFFFFFFFFu;
    const Case cases[] = {
        {0, 1, {R, R, R, R}, 3},
        {1, 0, {W, W, R, R}, 1},
    };
    for (const Case& c : cases) {
        BitmapPixels row(4, 1, true, W);
        row.set(c.fromX == 0 ? 0 : 3, 0, R);
        const int n =
            threshold(row, row, {{c.fromX, 0, 3, 1}, c.toX, 0}, "==", R, R, 0xFFFFFFFFu, true);
        EXPECT_EQ(n, c.count) << c.fromX;
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(row.at(x, 0), c.expected[x]) << c.fromX << " " << x;
        }
    }
}

TEST(BitmapEffects, ChannelCopiesMergesAndThresholds) {
    BitmapPixels src(2, 2, true, 0xFF102030u);
    src.set(1, 1, 0x80FF0000u);
    BitmapPixels dst(2, 2, true, 0xFF000000u);
    copyChannel(dst, src, {{0, 0, 2, 2}, 1, 0}, 4, 1); // blue into red, moved right
    EXPECT_EQ(dst.at(0, 0), 0xFF000000u);
    EXPECT_EQ(dst.at(1, 0), 0xFF300000u);

    BitmapPixels a(1, 1, true, 0xFF000000u);
    BitmapPixels b(1, 1, true, 0xFFFF8040u);
    merge(a, b, {{0, 0, 1, 1}, 0, 0}, {128, 256, 0, 256});
    EXPECT_EQ(a.at(0, 0), 0xFF7F8000u);

    BitmapPixels out(2, 2, true, 0);
    int n = threshold(out, src, {{0, 0, 2, 2}, 0, 0}, ">=", 0xFF000000u, 0xFF00FF00u, 0xFF000000u,
                      true);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(out.at(0, 0), 0xFF00FF00u);
    EXPECT_EQ(out.at(1, 1), 0x80FF0000u); // failed the test: the source is copied
    EXPECT_EQ(threshold(out, src, {{0, 0, 2, 2}, 0, 0}, "<>", 0, 0, 0, false), -1);

    std::array<std::array<std::uint32_t, 256>, 4> tables{};
    tables[0][0x10] = 0x00000011u; // red 0x10 becomes blue 0x11
    BitmapPixels mapped(1, 1, true, 0);
    paletteMap(mapped, src, {{0, 0, 1, 1}, 0, 0}, tables, {true, false, false, false});
    EXPECT_EQ(mapped.at(0, 0), 0xFF002041u); // green kept, blue 0x30 + 0x11
}

TEST(BitmapPixels, CopiesWithinOneBitmapReadBeforeTheyWrite) {
    BitmapPixels p(1, 4, true, 0);
    auto row = [](int y) { return 0xFF000000u | static_cast<std::uint32_t>(y + 1); };
    for (int y = 0; y < 4; ++y) {
        p.set(0, y, row(y));
    }
    p.copy(p, {0, 0, 1, 3}, 0, 1); // down by one: 1 2 3 -> rows 1..3
    EXPECT_EQ(p.at(0, 0), row(0));
    EXPECT_EQ(p.at(0, 1), row(0));
    EXPECT_EQ(p.at(0, 2), row(1));
    EXPECT_EQ(p.at(0, 3), row(2));
    p.copy(p, {0, 1, 1, 3}, 0, 0); // and back up
    EXPECT_EQ(p.at(0, 0), row(0));
    EXPECT_EQ(p.at(0, 1), row(1));
    EXPECT_EQ(p.at(0, 2), row(2));
}

TEST(BitmapPixels, FloodFillReachesAroundCorners) {
    // A U-shaped wall: the fill must go down, across and up again.
    BitmapPixels f(5, 4, true, 0xFF000000u);
    for (int y = 0; y < 3; ++y) {
        f.set(1, y, 0xFFFFFFFFu);
        f.set(3, y, 0xFFFFFFFFu);
    }
    f.floodFill(0, 0, 0xFF00FF00u);
    EXPECT_EQ(f.at(2, 0), 0xFF00FF00u); // inside the U, reached from below
    EXPECT_EQ(f.at(4, 0), 0xFF00FF00u);
    EXPECT_EQ(f.at(1, 0), 0xFFFFFFFFu);
}

TEST(BitmapPixels, DifferencesAsCompareReportsThem) {
    EXPECT_EQ(BitmapPixels::difference(0xFFAABBCCu, 0xFFAABBCCu), 0u);
    EXPECT_EQ(BitmapPixels::difference(0x00AAAAAAu, 0x00BBBBBBu), 0u); // both invisible
    EXPECT_EQ(BitmapPixels::difference(0xFFAABBCCu, 0xFFDDEEFFu), 0xFFCDCDCDu);
    EXPECT_EQ(BitmapPixels::difference(0xFEAABBCCu, 0xFFAABBCCu), 0xFFFFFFFFu);
    EXPECT_EQ(BitmapPixels::difference(0xFFAABBCCu, 0xFEAABBCCu), 0x01FFFFFFu);
}

} // namespace
} // namespace pixels
