// Generated bitmap pixels against what Flash printed for the same seeds, and the dissolve
// order's promise to visit each pixel once.
#include <gtest/gtest.h>

#include "pixels/BitmapNoise.h"

#include <set>

namespace pixels {
namespace {

TEST(BitmapNoise, GeneratorRepeatsFlashsSequence) {
    // The low bytes Flash's noise(1) printed, then the first of noise(2) and noise(3).
    ParkMiller one(1);
    EXPECT_EQ(one.next() & 0xFF, 0xA7u);
    EXPECT_EQ(one.next() & 0xFF, 0xF1u);
    EXPECT_EQ(one.next() & 0xFF, 0xD9u);
    EXPECT_EQ(ParkMiller(2).next() & 0xFF, 0x4Eu);
    EXPECT_EQ(ParkMiller(3).next() & 0xFF, 0xF5u);
    // 0 and -1 play as 1 and 2; the most negative seed does not overflow.
    EXPECT_EQ(ParkMiller(0).next(), ParkMiller(1).next());
    EXPECT_EQ(ParkMiller(-1).next(), ParkMiller(2).next());
    std::uint32_t v = ParkMiller(INT64_MIN / 2).next();
    EXPECT_GT(v, 0u);
    EXPECT_LT(v, 2147483647u);
}

TEST(BitmapNoise, PixelsMatchFlashByChannelAndRange) {
    BitmapPixels colour(2, 2, false, 0);
    fillNoise(colour, 1, 0, 255, RedBit | GreenBit | BlueBit, false);
    EXPECT_EQ(colour.at(0, 0), 0xFFA7F1D9u);
    EXPECT_EQ(colour.at(1, 0), 0xFF2A82C8u);
    EXPECT_EQ(colour.at(0, 1), 0xFFD8FE43u);
    EXPECT_EQ(colour.at(1, 1), 0xFF4D9855u);

    BitmapPixels redGreen(2, 2, false, 0);
    fillNoise(redGreen, 1, 0, 255, RedBit | GreenBit, false);
    EXPECT_EQ(redGreen.at(1, 0), 0xFFD92A00u);

    BitmapPixels gray(2, 2, true, 0);
    fillNoise(gray, 1, 0, 255, RedBit, true);
    EXPECT_EQ(gray.at(1, 0), 0xFFF1F1F1u);

    BitmapPixels range(2, 2, false, 0);
    fillNoise(range, 1, 10, 11, 7, false);
    EXPECT_EQ(range.at(0, 0), 0xFF0B0B0Bu);
    EXPECT_EQ(range.at(1, 0), 0xFF0A0A0Au);
    fillNoise(range, 1, 10, 2, 7, false); // high below low: low everywhere
    EXPECT_EQ(range.at(1, 1), 0xFF0A0A0Au);
}

TEST(BitmapNoise, AlphaOnlyWhereAskedAndKept) {
    BitmapPixels transparent(8, 8, true, 0);
    fillNoise(transparent, 5, 0, 255, AlphaBit, false);
    std::set<std::uint32_t> alphas;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(transparent.at(x, y) & 0xFFFFFF, 0u);
            alphas.insert(transparent.at(x, y) >> 24);
        }
    }
    EXPECT_GT(alphas.size(), 10u);
    BitmapPixels opaque(4, 4, false, 0);
    fillNoise(opaque, 5, 0, 255, AlphaBit | RedBit, false);
    EXPECT_EQ(opaque.at(3, 3) >> 24, 0xFFu);
}

TEST(BitmapNoise, DissolveVisitsEveryPositionOnceACycle) {
    for (std::int64_t count : {1, 2, 3, 7, 63, 64, 65, 100, 300, 4097}) {
        std::set<std::int64_t> seen;
        std::int64_t p = 0;
        for (std::int64_t i = 0; i < count; ++i) {
            EXPECT_TRUE(seen.insert(p).second) << count;
            p = nextDissolvePosition(p, count);
            ASSERT_GE(p, 0);
            ASSERT_LT(p, count);
        }
        EXPECT_EQ(p, 0) << "the cycle closes after " << count;
    }
}

int countColour(const BitmapPixels& b, std::uint32_t colour) {
    int n = 0;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            n += b.at(x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

TEST(BitmapNoise, DissolveCountsMatchFlash) {
    const std::uint32_t red = 0xFFFF0000u;
    BitmapPixels b(10, 10, false, 0xFFCCCCCC);
    std::int64_t seed = 0;
    for (int round = 1; round <= 100; ++round) {
        seed = pixelDissolve(b, b, {{0, 0, 10, 10}, 0, 0}, seed, 1, red);
        ASSERT_EQ(countColour(b, red), std::min(round + 1, 100)) << round;
    }
    // Only the part inside both bitmaps: 3 x 7 placed at 5, 4 keeps 3 x 6.
    BitmapPixels placed(10, 10, false, 0xFFCCCCCC);
    seed = 0;
    for (int round = 0; round < 30; ++round) {
        seed = pixelDissolve(placed, placed, {{0, 0, 3, 7}, 5, 4}, seed, 1, red);
    }
    EXPECT_EQ(countColour(placed, red), 18);
    EXPECT_EQ(placed.at(4, 4), 0xFFCCCCCCu);
    // An enormous count is one full round, not a long wait; numPixels 0 writes one pixel.
    BitmapPixels all(10, 10, false, 0xFFCCCCCC);
    pixelDissolve(all, all, {{0, 0, 10, 10}, 0, 0}, -7, std::int64_t{1} << 50, red);
    EXPECT_EQ(countColour(all, red), 100);
    BitmapPixels one(10, 10, false, 0xFFCCCCCC);
    EXPECT_EQ(pixelDissolve(one, one, {{0, 0, 10, 10}, 0, 0}, 42, 0, red), 42);
    EXPECT_EQ(countColour(one, red), 1);
}

TEST(BitmapNoise, DissolveFromAnotherBitmapCopiesIt) {
    BitmapPixels dest(4, 4, true, 0);
    BitmapPixels source(4, 4, true, 0x80123456);
    pixelDissolve(dest, source, {{0, 0, 4, 4}, 0, 0}, 0, 15, 0xFFFF0000u);
    EXPECT_EQ(countColour(dest, source.at(0, 0)), 16);
}

TEST(BitmapNoise, PerlinOnLatticePointsIsFlatAndSeedsDiffer) {
    // Gradient noise is zero on the lattice: with one cell per pixel every pixel lands on it.
    PerlinOptions o;
    o.baseX = o.baseY = 1;
    o.octaves = 1;
    BitmapPixels b(6, 6, false, 0);
    fillPerlinNoise(b, o);
    EXPECT_EQ(countColour(b, 0xFF000000u), 36);
    // A fractal sum's 0 lands on 127: Flash adds the rounding half before it halves.
    o.fractal = true;
    fillPerlinNoise(b, o);
    EXPECT_EQ(countColour(b, 0xFF7F7F7Fu), 36);

    PerlinOptions a;
    a.baseX = a.baseY = 7.3;
    a.octaves = 3;
    a.seed = 11;
    BitmapPixels first(16, 16, false, 0), again(16, 16, false, 0), other(16, 16, false, 0);
    fillPerlinNoise(first, a);
    fillPerlinNoise(again, a);
    a.seed = 12;
    fillPerlinNoise(other, a);
    int same = 0, differ = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            same += first.at(x, y) == again.at(x, y) ? 1 : 0;
            differ += first.at(x, y) != other.at(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(same, 256);
    EXPECT_GT(differ, 128);
}

TEST(BitmapNoise, PerlinGivesFlashsPixelsForTheSameArguments) {
    // The expected pixels are those a Flash-compatible player paints for the same calls on
    // a 200 x 200 opaque bitmap.
    struct Case {
        PerlinOptions options;
        std::uint32_t at5x17, at123x150;
    };
    PerlinOptions colour; // perlinNoise(64, 64, 3, 42, false, true, 7, false)
    colour.baseX = colour.baseY = 64;
    colour.octaves = 3;
    colour.seed = 42;
    colour.fractal = true;
    PerlinOptions grey; // perlinNoise(100, 50, 2, 7, true, false, 1, true)
    grey.baseX = 100;
    grey.baseY = 50;
    grey.octaves = 2;
    grey.seed = 7;
    grey.stitch = true;
    grey.channels = RedBit;
    grey.gray = true;
    for (const Case& c :
         {Case{colour, 0xFFBE6090u, 0xFF5BA758u}, Case{grey, 0xFF232323u, 0xFF272727u}}) {
        BitmapPixels b(200, 200, false, 0);
        fillPerlinNoise(b, c.options);
        EXPECT_EQ(b.at(5, 17), c.at5x17);
        EXPECT_EQ(b.at(123, 150), c.at123x150);
    }
}

TEST(BitmapNoise, PerlinStitchContinuesAcrossTheEdges) {
    // Stitched, the noise one width to the right of the first column is that column again,
    // in every octave; unstitched it is other noise.
    auto picture = [](bool stitch, double shift) {
        PerlinOptions o;
        o.baseX = o.baseY = 6;
        o.octaves = 2;
        o.stitch = stitch;
        o.fractal = true;
        o.seed = 3;
        o.offsets = {{shift, 0}, {shift, 0}};
        BitmapPixels b(16, 16, false, 0);
        fillPerlinNoise(b, o);
        return b;
    };
    auto sameInFirstColumn = [](const BitmapPixels& a, const BitmapPixels& b) {
        int n = 0;
        for (int y = 0; y < 16; ++y) {
            n += a.at(0, y) == b.at(0, y) ? 1 : 0;
        }
        return n;
    };
    EXPECT_EQ(sameInFirstColumn(picture(true, 0), picture(true, 16)), 16);
    EXPECT_LT(sameInFirstColumn(picture(false, 0), picture(false, 16)), 8);
}

TEST(BitmapNoise, PerlinStitchFitsWholeCyclesWithTheVerticalLowerChoiceFromTheHorizontal) {
    // Stitching moves each frequency to whole cycles across the tile, the nearer of the count
    // below and above; the count below for the vertical frequency comes from the horizontal
    // one. Each size paints as a size that fits its chosen count exactly.
    struct Case {
        int width, height;
        double baseX, baseY, fittedBaseY;
    };
    const Case cases[] = {
        {96, 64, 40, 21.25, 16}, // 2 cycles across give 1 below; 4 above is nearer
        {64, 96, 21.25, 40, 24}, // 3 across give 4 below, nearer than 3 above
    };
    auto picture = [](const Case& c, double baseY) {
        PerlinOptions o;
        o.baseX = c.baseX;
        o.baseY = baseY;
        o.octaves = 2;
        o.seed = 8;
        o.stitch = true;
        o.fractal = true;
        BitmapPixels b(c.width, c.height, false, 0);
        fillPerlinNoise(b, o);
        return b;
    };
    for (const Case& c : cases) {
        const BitmapPixels given = picture(c, c.baseY);
        const BitmapPixels fitted = picture(c, c.fittedBaseY);
        int differ = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                differ += given.at(x, y) != fitted.at(x, y) ? 1 : 0;
            }
        }
        EXPECT_EQ(differ, 0) << c.width << "x" << c.height << " baseY " << c.baseY;
    }
}

} // namespace
} // namespace pixels
