// BitmapData.draw, applyFilter and generateFilterRect on small bitmaps whose every pixel
// can be worked out by hand.
#include <gtest/gtest.h>

#include "BitmapDataPainter.h"
#include "RenderTestApp.h"

#include <array>
#include <limits>

namespace mc {
namespace {

const std::uint32_t kBlue = 0xFF0000FFu, kRed = 0xFFFF0000u;

avm1::BitmapDrawing bitmapSource(const pixels::BitmapPixels& source) {
    avm1::BitmapDrawing d;
    d.bitmap = &source;
    return d;
}

TEST(BitmapDraw, ClipRectAndMatrixLimitWhatChanges) {
    renderTestApp();
    pixels::BitmapPixels dest(50, 50, false, kBlue), src(50, 50, false, kRed);
    avm1::BitmapDrawing d = bitmapSource(src);
    d.matrix = {1, 0, 0, 1, 5, 5};
    d.clipped = true;
    d.clipRect = {10, 10, 20, 20};
    drawIntoBitmap(dest, d, swf::BlendMode::Normal, {});
    EXPECT_EQ(dest.at(10, 10), kRed);
    EXPECT_EQ(dest.at(29, 29), kRed);
    EXPECT_EQ(dest.at(9, 9), kBlue);
    EXPECT_EQ(dest.at(30, 30), kBlue);
    // A source that lands outside the clip changes nothing.
    pixels::BitmapPixels far(50, 50, false, kBlue);
    d.matrix = {1, 0, 0, 1, 40, 40};
    d.clipRect = {0, 0, 10, 10};
    drawIntoBitmap(far, d, swf::BlendMode::Normal, {});
    EXPECT_EQ(far.at(0, 0), kBlue);
    EXPECT_EQ(far.at(45, 45), kBlue);
}

TEST(BitmapDraw, ScaleColourTransformAndBlendMode) {
    renderTestApp();
    pixels::BitmapPixels src(2, 2, true, 0);
    src.set(0, 0, 0xFFFFFFFFu);
    src.set(1, 1, 0xFF808080u);
    pixels::BitmapPixels dest(4, 4, false, 0xFF204060u);
    avm1::BitmapDrawing d = bitmapSource(src);
    d.matrix = {2, 0, 0, 2, 0, 0};
    d.colors.mult = {0.5, 1, 1, 1};
    drawIntoBitmap(dest, d, swf::BlendMode::Normal, {});
    // Each source pixel covers two by two; red halved (255 / 2 rounds down, as Flash's
    // transforms do); transparent pixels leave the dest.
    EXPECT_EQ(dest.at(1, 1), 0xFF7FFFFFu);
    EXPECT_EQ(dest.at(3, 0), 0xFF204060u);
    EXPECT_EQ(dest.at(2, 3), 0xFF408080u);

    pixels::BitmapPixels under(1, 1, false, 0xFF204060u), grey(1, 1, false, 0xFF808080u);
    drawIntoBitmap(under, bitmapSource(grey), swf::BlendMode::Multiply, {});
    const std::uint32_t p = under.at(0, 0);
    EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 0x10, 1);
    EXPECT_NEAR(static_cast<int>((p >> 8) & 0xFF), 0x20, 1);
    EXPECT_NEAR(static_cast<int>(p & 0xFF), 0x30, 1);
}

TEST(BitmapDraw, AlphaAndEraseLeaveTheTargetWhenTheSourceIsABitmap) {
    renderTestApp();
    const pixels::BitmapPixels opaqueRed(4, 4, false, kRed);
    const pixels::BitmapPixels halfRed(4, 4, true, 0x80FF0000u);
    for (const swf::BlendMode mode : {swf::BlendMode::Alpha, swf::BlendMode::Erase}) {
        for (const pixels::BitmapPixels* source : {&opaqueRed, &halfRed}) {
            for (const bool transparentTarget : {true, false}) {
                pixels::BitmapPixels dest(4, 4, transparentTarget, kBlue);
                drawIntoBitmap(dest, bitmapSource(*source), mode, {});
                EXPECT_EQ(dest.at(1, 2), kBlue) << static_cast<int>(mode);
            }
        }
    }
    // Under the other modes the same bitmap paints.
    pixels::BitmapPixels dest(4, 4, true, kBlue);
    drawIntoBitmap(dest, bitmapSource(opaqueRed), swf::BlendMode::Layer, {});
    EXPECT_EQ(dest.at(1, 2), kRed);
    // Display content drawn under Erase takes the target's alpha away where it paints.
    pixels::BitmapPixels erased(4, 4, true, kBlue);
    avm1::BitmapDrawing content;
    drawIntoBitmap(erased, content, swf::BlendMode::Erase, [](QPainter& p, const Transform&) {
        p.resetTransform();
        p.fillRect(QRect(0, 0, 2, 4), Qt::black);
    });
    EXPECT_EQ(erased.at(0, 1) >> 24, 0u);
    EXPECT_EQ(erased.at(3, 1), kBlue);
}

TEST(BitmapDraw, AnUnscaledBitmapLandsAtItsOffsetRoundedDown) {
    renderTestApp();
    // A 2 x 1 bitmap, red then green, at fractional offsets with and without smoothing.
    pixels::BitmapPixels source(2, 1, false, kRed);
    source.set(1, 0, 0xFF00FF00u);
    struct Case {
        double tx;
        int redAt; // the target column the red pixel lands on
    };
    for (const Case c : {Case{0.0, 0}, Case{0.4, 0}, Case{0.6, 0}, Case{0.99, 0}, Case{1.5, 1},
                         Case{-0.4, -1}, Case{2.7, 2}}) {
        for (const bool smoothing : {false, true}) {
            pixels::BitmapPixels dest(5, 1, false, kBlue);
            avm1::BitmapDrawing d = bitmapSource(source);
            d.matrix = {1, 0, 0, 1, c.tx, 0.3};
            d.smoothing = smoothing;
            drawIntoBitmap(dest, d, swf::BlendMode::Normal, {});
            for (int x = 0; x < 5; ++x) {
                const std::uint32_t expected = x == c.redAt       ? kRed
                                               : x == c.redAt + 1 ? 0xFF00FF00u
                                                                  : kBlue;
                EXPECT_EQ(dest.at(x, 0), expected)
                    << "tx " << c.tx << " smoothing " << smoothing << " column " << x;
            }
        }
    }
}

TEST(BitmapDraw, HostileMatricesPaintWithinTheTarget) {
    renderTestApp();
    pixels::BitmapPixels src(4, 4, false, kRed);
    for (const std::array<double, 6>& m : {std::array<double, 6>{1e300, 0, 0, 1e300, 0, 0},
                                           {0, 0, 0, 0, 5, 5},
                                           {1e-300, 1e300, -1e300, 1e-300, -1e300, 1e300},
                                           {1, 0, 0, 1, -1e15, 3}}) {
        pixels::BitmapPixels dest(8, 8, true, 0);
        avm1::BitmapDrawing d = bitmapSource(src);
        d.matrix = m;
        drawIntoBitmap(dest, d, swf::BlendMode::Normal, {});
        EXPECT_EQ(dest.width(), 8);
    }
    // An enormous scale still covers the target with the source's colour.
    pixels::BitmapPixels dest(8, 8, true, 0);
    avm1::BitmapDrawing d = bitmapSource(src);
    d.matrix = {1e6, 0, 0, 1e6, 0, 0};
    drawIntoBitmap(dest, d, swf::BlendMode::Normal, {});
    EXPECT_EQ(dest.at(7, 7), kRed);
}

TEST(BitmapDraw, DisplayContentGetsTheTwipsMatrix) {
    renderTestApp();
    pixels::BitmapPixels dest(10, 10, true, 0);
    avm1::BitmapDrawing d;
    d.matrix = {1, 0, 0, 1, 3, 4};
    Transform seen;
    drawIntoBitmap(dest, d, swf::BlendMode::Normal,
                   [&](QPainter&, const Transform& t) { seen = t; });
    EXPECT_DOUBLE_EQ(seen.a, 1.0 / 20.0);
    EXPECT_DOUBLE_EQ(seen.tx, 3.0);
    EXPECT_DOUBLE_EQ(seen.ty, 4.0);
}

TEST(BitmapDraw, FilterSpreadsIntoThePlacementOnly) {
    renderTestApp();
    pixels::BitmapPixels src(20, 20, true, 0);
    src.fill({8, 8, 4, 4}, 0xFFFFFFFFu);
    pixels::BitmapPixels dest(20, 20, true, 0xFF00FF00u);
    swf::BlurFilter blur;
    blur.blurX = blur.blurY = 6;
    ASSERT_TRUE(filterIntoBitmap(dest, src, {{0, 0, 20, 10}, 0, 10}, blur));
    // The lower half takes the upper half's blurred picture, which now reaches past the
    // square's edge; the upper half stays green.
    EXPECT_EQ(dest.at(0, 0), 0xFF00FF00u);
    const std::uint32_t spread = dest.at(10, 16);
    EXPECT_GT(spread >> 24, 0u);
    EXPECT_LT(spread >> 24, 255u);
    EXPECT_EQ(dest.at(0, 10) >> 24, 0u); // replaced, not blended over the green
    // Placements far outside either bitmap change nothing and do not fail.
    pixels::BitmapPixels before = dest;
    EXPECT_TRUE(filterIntoBitmap(dest, src, {{0, 0, 20, 20}, 1 << 30, -(1 << 30)}, blur));
    EXPECT_EQ(dest.at(10, 16), before.at(10, 16));
}

TEST(BitmapDraw, FilterRectGrowsByTheFilterReach) {
    swf::BlurFilter blur;
    blur.blurX = 8;
    blur.blurY = 0;
    const pixels::PixelRect r = filteredRect({10, 10, 20, 20}, blur);
    EXPECT_LT(r.x, 10);
    EXPECT_EQ(r.y, 10);
    EXPECT_EQ(r.width - 20, 2 * (10 - r.x));
    EXPECT_EQ(r.height, 20);
    swf::ColorMatrixFilter colours;
    const pixels::PixelRect same = filteredRect({1, 2, 3, 4}, colours);
    EXPECT_EQ(same.x, 1);
    EXPECT_EQ(same.width, 3);
    const pixels::PixelRect huge = filteredRect(
        {std::numeric_limits<int>::min(), 0, std::numeric_limits<int>::max(), 1}, blur);
    EXPECT_GE(huge.width, 0);
}

} // namespace
} // namespace mc
