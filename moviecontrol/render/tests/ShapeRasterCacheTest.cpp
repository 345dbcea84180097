// The raster cache's rules on their own: where a picture is placed, when a shape is worth
// keeping, and what goes when the budget is reached.
#include <gtest/gtest.h>

#include <QImage>

#include "ShapeRasterCache.h"

namespace mc {
namespace {

ShapeLook lookOf(std::uint16_t id) {
    ShapeLook look;
    look.id = id;
    return look;
}

ShapeRasterCache::Raster rasterOf(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::red);
    return ShapeRasterCache::Raster{image, QPoint(-3, -3)};
}

constexpr qint64 bytesOf(int w, int h) {
    return static_cast<qint64>(w) * h * 4;
}

TEST(ShapeRasterPlacement, SplitsTranslationIntoPixelAndQuarterPhase) {
    struct Case {
        double t;
        int pixel;
        int phase;
    };
    for (const Case c :
         {Case{10.0, 10, 0}, Case{10.26, 10, 1}, Case{10.5, 10, 2}, Case{10.9, 11, 0},
          Case{10.8, 10, 3}, Case{-0.25, -1, 3}, Case{-2.6, -3, 2}, Case{-0.1, 0, 0}}) {
        const auto at = ShapeRasterCache::place(c.t, -c.t);
        ASSERT_TRUE(at.has_value()) << c.t;
        EXPECT_EQ(at->pixel.x(), c.pixel) << c.t;
        EXPECT_EQ(at->phaseX, c.phase) << c.t;
        // Pixel and phase put the picture within an eighth of a pixel of the translation.
        EXPECT_NEAR(at->pixel.x() + at->phaseOffsetX(), c.t, 0.125) << c.t;
        EXPECT_NEAR(at->pixel.y() + at->phaseOffsetY(), -c.t, 0.125) << c.t;
    }
    EXPECT_FALSE(ShapeRasterCache::place(1e12, 0.0).has_value());
    EXPECT_FALSE(ShapeRasterCache::place(0.0, std::nan("")).has_value());
}

TEST(ShapeRasterCacheRules, KeepsALookFromItsSecondShowingWhileItRecurs) {
    ShapeRasterCache cache;
    const ShapeLook a = lookOf(1);
    EXPECT_FALSE(cache.shouldKeep(a, 100)); // first showing: drawn directly
    EXPECT_TRUE(cache.shouldKeep(a, 100));  // shown again in the same frame
    const ShapeLook b = lookOf(2);
    EXPECT_FALSE(cache.shouldKeep(b, 100));
    cache.startFrame();
    EXPECT_TRUE(cache.shouldKeep(b, 100)); // shown again in the next frame
    const ShapeLook c = lookOf(3);
    EXPECT_FALSE(cache.shouldKeep(c, 100));
    cache.startFrame();
    cache.startFrame();
    // A look that skipped a frame is a new one: cycles of a changing shape are not kept.
    EXPECT_FALSE(cache.shouldKeep(c, 100));
}

TEST(ShapeRasterCacheRules, FindsByLookAndPhase) {
    // Scale, rotation, colour, quality and morph ratio are checked on real drawing; here
    // the parts of a look that only name the shape.
    ShapeRasterCache cache;
    const auto at = ShapeRasterCache::place(5.25, 7.0);
    ASSERT_TRUE(at);
    ShapeLook look = lookOf(9);
    look.drawing = 40;
    cache.store(look, *at, rasterOf(8, 8));
    // Another whole pixel, same phase: the same picture.
    EXPECT_NE(cache.find(look, *ShapeRasterCache::place(-30.75, 100.0)), nullptr);
    EXPECT_EQ(cache.find(look, *ShapeRasterCache::place(5.5, 7.0)), nullptr);
    ShapeLook other = look;
    other.drawing = 41; // the script drew on
    EXPECT_EQ(cache.find(other, *at), nullptr);
    other = look;
    other.library = 2; // the same id in a loaded movie
    EXPECT_EQ(cache.find(other, *at), nullptr);
    EXPECT_EQ(cache.hits(), 1);
    EXPECT_EQ(cache.misses(), 3);
}

TEST(ShapeRasterCacheRules, BudgetSparesTheFrameBeingDrawn) {
    // Room for four pictures of 10 x 10.
    ShapeRasterCache cache(bytesOf(10, 10) * 4);
    const auto at = *ShapeRasterCache::place(0.0, 0.0);
    for (std::uint16_t id = 1; id <= 4; ++id) {
        cache.store(lookOf(id), at, rasterOf(10, 10));
    }
    EXPECT_EQ(cache.entries(), 4u);
    // All four are this frame's: none may go, and the fifth is not kept.
    cache.store(lookOf(5), at, rasterOf(10, 10));
    EXPECT_EQ(cache.entries(), 4u);
    EXPECT_EQ(cache.find(lookOf(5), at), nullptr);
    EXPECT_FALSE(cache.shouldKeep(lookOf(5), bytesOf(10, 10)));
    cache.startFrame();
    ASSERT_NE(cache.find(lookOf(1), at), nullptr); // used again: now the most recent
    EXPECT_TRUE(cache.shouldKeep(lookOf(5), bytesOf(10, 10)));
    cache.store(lookOf(5), at, rasterOf(10, 10));
    EXPECT_NE(cache.find(lookOf(5), at), nullptr);
    EXPECT_NE(cache.find(lookOf(1), at), nullptr);
    EXPECT_EQ(cache.find(lookOf(2), at), nullptr); // the least recently used went
    EXPECT_EQ(cache.entries(), 4u);
    EXPECT_EQ(cache.bytesHeld(), bytesOf(10, 10) * 4);
    // Larger than a quarter of the budget: never worth it.
    cache.shouldKeep(lookOf(6), bytesOf(10, 11));
    EXPECT_FALSE(cache.shouldKeep(lookOf(6), bytesOf(10, 11)));
}

TEST(ShapeRasterCacheRules, IdlePicturesGo) {
    ShapeRasterCache cache;
    const auto at = *ShapeRasterCache::place(0.0, 0.0);
    cache.store(lookOf(1), at, rasterOf(10, 10));
    cache.store(lookOf(2), at, rasterOf(10, 10));
    for (std::uint64_t f = 0; f <= ShapeRasterCache::kIdleFrames; ++f) {
        cache.startFrame();
        ASSERT_NE(cache.find(lookOf(2), at), nullptr);
    }
    EXPECT_EQ(cache.entries(), 1u);
    EXPECT_EQ(cache.bytesHeld(), bytesOf(10, 10));
}

} // namespace
} // namespace mc
