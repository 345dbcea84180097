// copyPixels' choice between laying pixels over the destination and replacing them, and the
// alpha an alpha bitmap gives them.
#include <gtest/gtest.h>

#include "pixels/PixelCopy.h"

namespace pixels {
namespace {

constexpr std::uint32_t kHalfRed = 0x80FF0000u;
constexpr std::uint32_t kBlue = 0xFF0000FFu;

// A 4 x 4 copy from the top-left corner to the top-left corner.
constexpr Placement kWhole{{0, 0, 4, 4}, 0, 0};

TEST(PixelCopy, TransparentPixelsReplaceUnlessMergedOrOverOpaque) {
    const BitmapPixels halfRed(4, 4, true, kHalfRed);

    BitmapPixels replaced(4, 4, true, kBlue);
    copyPixels(replaced, halfRed, kWhole, std::nullopt, false);
    EXPECT_EQ(replaced.at(1, 1), kHalfRed);

    BitmapPixels merged(4, 4, true, kBlue);
    copyPixels(merged, halfRed, kWhole, std::nullopt, true);
    const std::uint32_t m = merged.at(1, 1);
    EXPECT_EQ(m >> 24, 255u);
    EXPECT_NEAR(static_cast<int>((m >> 16) & 0xFF), 128, 1);
    EXPECT_NEAR(static_cast<int>(m & 0xFF), 127, 1);

    // An opaque destination never takes a translucent pixel as it is.
    BitmapPixels opaque(4, 4, false, kBlue);
    copyPixels(opaque, halfRed, kWhole, std::nullopt, false);
    EXPECT_EQ(opaque.at(1, 1), m);
}

TEST(PixelCopy, AlphaBitmapScalesAlphaWhereItReaches) {
    const BitmapPixels halfRed(4, 4, true, kHalfRed);
    // Alpha 0xC0 in a 2 x 4 bitmap, read from its column 1: it reaches the copy's first column.
    const BitmapPixels mask(2, 4, true, 0xC0000000u);
    const AlphaSource alpha{&mask, 1, 0};

    BitmapPixels dest(4, 4, true, kBlue);
    copyPixels(dest, halfRed, kWhole, alpha, false);
    // 0xC0 * 0x80 >> 8: the source's alpha scaled by the mask's, replacing the blue.
    EXPECT_EQ(dest.at(0, 2) >> 24, 0x60u);
    EXPECT_EQ(dest.at(0, 2) & 0x00FFFFFFu, 0xFF0000u);
    // Past the alpha bitmap the destination is left alone.
    EXPECT_EQ(dest.at(1, 2), kBlue);

    // Merged, the scaled pixel is laid over the blue.
    BitmapPixels merged(4, 4, true, kBlue);
    copyPixels(merged, halfRed, kWhole, alpha, true);
    EXPECT_EQ(merged.at(0, 2) >> 24, 255u);
    EXPECT_GT(merged.at(0, 2) & 0xFF, 0x90u);

    // An opaque source takes the mask's alpha alone.
    const BitmapPixels red(4, 4, false, 0xFFFF0000u);
    BitmapPixels fromOpaque(4, 4, true, 0);
    copyPixels(fromOpaque, red, kWhole, alpha, false);
    EXPECT_EQ(fromOpaque.at(0, 0) >> 24, 0xC0u);

    // An opaque alpha bitmap changes nothing.
    const BitmapPixels opaqueMask(4, 4, false, 0xFF000000u);
    BitmapPixels plain(4, 4, true, kBlue);
    copyPixels(plain, halfRed, kWhole, AlphaSource{&opaqueMask, 0, 0}, false);
    EXPECT_EQ(plain.at(3, 3), kHalfRed);
}

TEST(PixelCopy, OpaqueAlphaPixelsKeepTheSourcesAlpha) {
    // The alpha bitmap's alpha against the source's: an opaque alpha pixel leaves the source
    // as it is, any other multiplies with a shift by eight.
    struct Case {
        std::uint32_t maskAlpha;
        std::uint32_t sourceAlpha;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {255, 255, 255}, {255, 128, 128}, {255, 1, 1},    {254, 254, 252},
        {254, 255, 253}, {128, 255, 127}, {128, 128, 64}, {0, 255, 0},
    };
    for (const Case& c : cases) {
        const BitmapPixels source(1, 1, true, (c.sourceAlpha << 24) | 0xFFFFFFu);
        const BitmapPixels mask(1, 1, true, c.maskAlpha << 24);
        BitmapPixels dest(1, 1, true, 0);
        copyPixels(dest, source, {{0, 0, 1, 1}, 0, 0}, AlphaSource{&mask, 0, 0}, false);
        EXPECT_EQ(dest.premultipliedAt(0, 0) >> 24, c.expected)
            << c.maskAlpha << " x " << c.sourceAlpha;
    }
    // Opaque alpha pixels leave a translucent colour untouched, with no round trip through
    // unmultiplied colour.
    const BitmapPixels source(1, 1, true, 0x40336699u);
    const BitmapPixels mask(1, 1, true, 0xFF000000u);
    BitmapPixels dest(1, 1, true, 0);
    copyPixels(dest, source, {{0, 0, 1, 1}, 0, 0}, AlphaSource{&mask, 0, 0}, false);
    EXPECT_EQ(dest.premultipliedAt(0, 0), source.premultipliedAt(0, 0));
}

TEST(PixelCopy, ASourceAsItsOwnAlphaAtTheSameCornerCopiesAsWithoutOne) {
    // A 4 x 1 fade of alphas 0x3F, 0x7F, 0xBF, 0xFF, copied from columns 1..2 to columns 1..2.
    BitmapPixels fade(4, 1, true, 0);
    for (int x = 0; x < 4; ++x) {
        fade.set(x, 0, (static_cast<std::uint32_t>(0x40 * (x + 1) - 1) << 24) | 0x00FF00u);
    }
    const Placement middle{{1, 0, 2, 1}, 1, 0};
    struct Case {
        bool destTransparent;
        bool mergeAlpha;
    };
    for (const Case c :
         {Case{true, false}, Case{true, true}, Case{false, false}, Case{false, true}}) {
        BitmapPixels withItself(4, 1, c.destTransparent, kBlue);
        copyPixels(withItself, fade, middle, AlphaSource{&fade, 1, 0}, c.mergeAlpha);
        BitmapPixels without(4, 1, c.destTransparent, kBlue);
        copyPixels(without, fade, middle, std::nullopt, c.mergeAlpha);
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(withItself.at(x, 0), without.at(x, 0))
                << "column " << x << " transparent " << c.destTransparent << " merged "
                << c.mergeAlpha;
        }
    }
    // Read one pixel to the right, the same bitmap is an alpha bitmap like any other.
    BitmapPixels shifted(4, 1, true, 0);
    copyPixels(shifted, fade, middle, AlphaSource{&fade, 2, 0}, false);
    EXPECT_EQ(shifted.premultipliedAt(1, 0) >> 24, (0xBFu * 0x7Fu) >> 8);
    EXPECT_EQ(shifted.premultipliedAt(2, 0) >> 24, 0xBFu);
}

TEST(PixelCopy, MergingWithinOneBitmapReadsBeforeItWrites) {
    // Each pixel moves one to the right over a left-to-right fade: every result comes from
    // the pixel as it was, not from one already written.
    BitmapPixels row(4, 1, true, 0);
    for (int x = 0; x < 4; ++x) {
        row.set(x, 0, (static_cast<std::uint32_t>(0x40 * (x + 1) - 1) << 24) | 0xFF0000u);
    }
    const BitmapPixels before = row;
    copyPixels(row, row, {{0, 0, 3, 1}, 1, 0}, std::nullopt, true);
    for (int x = 1; x < 4; ++x) {
        const std::uint32_t top = before.at(x - 1, 0) >> 24;
        const std::uint32_t bottom = before.at(x, 0) >> 24;
        EXPECT_NEAR(static_cast<int>(row.at(x, 0) >> 24),
                    static_cast<int>(top + bottom * (255 - top) / 255), 1);
    }
}

} // namespace
} // namespace pixels
