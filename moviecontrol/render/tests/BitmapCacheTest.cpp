// Kept copies of bitmaps: tinted ones per colour transform, shrunk ones per device size. Each
// must be found again while its inputs stay and made anew when they change, stay within its
// budget, and draw the picture the direct path draws.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>

#include "BitmapFill.h"
#include "CompositionTestShapes.h"
#include "ImageColorTransform.h"
#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "ScaledBitmapCache.h"
#include "TintedBitmapCache.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::FillStyle;
using moviemaker::Matrix;
using moviemaker::PlaceObject;
using moviemaker::Shape;
using moviemaker::SwfWriter;

// Colour and alpha that change slowly across the picture, premultiplied.
QImage gradient(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int a = 128 + 127 * y / std::max(1, h - 1);
            const int r = 255 * x / std::max(1, w - 1);
            const int g = 255 - r;
            line[x] = qPremultiply(qRgba(r, g, 90, a));
        }
    }
    return image;
}

// A canvas with something opaque beneath, so that blending differences show.
QImage canvas(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(30, 200, 240));
    return image;
}

ColorTransform tint(int redMult, int blueAdd) {
    ColorTransform cx;
    cx.mult[0] = redMult;
    cx.add[2] = blueAdd;
    return cx;
}

TEST(TintedBitmapCacheTest, TheSameTintIsMadeOnceAndAnyChangeMakesItAnew) {
    TintedBitmapCache cache;
    const QImage source = gradient(40, 30);
    const ColorTransform cx = tint(128, 40);

    const QImage first = cache.tinted(1, source, cx);
    EXPECT_EQ(largestDifference(first, colorTransformed(source, cx), first.rect()), 0);
    EXPECT_EQ(cache.misses(), 1);
    const QImage again = cache.tinted(1, source, cx);
    EXPECT_EQ(cache.hits(), 1);
    EXPECT_EQ(again.cacheKey(), first.cacheKey());

    cache.tinted(1, source, tint(128, 41));
    cache.tinted(2, source, cx);
    QImage replaced = source.copy();
    replaced.setPixel(0, 0, qRgba(0, 0, 0, 255));
    const QImage fromReplaced = cache.tinted(1, replaced, cx);
    EXPECT_EQ(cache.misses(), 4);
    EXPECT_EQ(cache.hits(), 1);
    EXPECT_EQ(cache.entries(), 4u);
    EXPECT_EQ(largestDifference(fromReplaced, colorTransformed(replaced, cx), replaced.rect()), 0);
}

TEST(TintedBitmapCacheTest, TintsGoWhenIdleOrWhenTheBudgetIsFull) {
    const QImage source = gradient(40, 30);
    {
        TintedBitmapCache cache;
        cache.tinted(1, source, tint(100, 0));
        for (std::uint64_t i = 0; i < TintedBitmapCache::kIdleFrames; ++i) {
            cache.startFrame();
            cache.tinted(2, source, tint(100, 0));
        }
        EXPECT_EQ(cache.entries(), 2u);
        cache.startFrame();
        EXPECT_EQ(cache.entries(), 1u) << "the unused tint stays past its idle frames";
        cache.tinted(2, source, tint(100, 0));
        EXPECT_EQ(cache.misses(), 2);
    }
    {
        const qint64 one = source.sizeInBytes();
        TintedBitmapCache cache(one * 5 / 2);
        for (int step = 0; step < 3; ++step) {
            cache.startFrame();
            cache.tinted(1, source, tint(100 + step, 0));
        }
        EXPECT_EQ(cache.entries(), 2u);
        EXPECT_LE(cache.bytesHeld(), one * 5 / 2);
        cache.tinted(1, source, tint(102, 0));
        EXPECT_EQ(cache.hits(), 1);
        cache.tinted(1, source, tint(100, 0));
        EXPECT_EQ(cache.misses(), 4) << "the oldest tint is the one that made room";

        TintedBitmapCache small(one / 2);
        const QImage big = small.tinted(1, source, tint(100, 0));
        EXPECT_FALSE(big.isNull());
        EXPECT_EQ(small.entries(), 0u);
        EXPECT_EQ(small.bytesHeld(), 0);
    }
}

TEST(ScaledBitmapCacheTest, ACopyIsMadeForASizeAskedForAgainAndFollowsMoves) {
    ScaledBitmapCache cache;
    const QImage source = gradient(400, 300);
    const QTransform shrink(0.25, 0.0, 0.0, 0.5, 10.4, 20.6);

    EXPECT_FALSE(cache.scaledFor(source, shrink));
    EXPECT_EQ(cache.bytesHeld(), 0);
    const auto made = cache.scaledFor(source, shrink);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->image.size(), QSize(100, 150));
    EXPECT_EQ(made->at, QPoint(10, 21));
    EXPECT_EQ(cache.misses(), 2);
    EXPECT_GT(cache.bytesHeld(), 0);

    const auto moved = cache.scaledFor(source, QTransform(0.25, 0.0, 0.0, 0.5, -7.6, 3.0));
    ASSERT_TRUE(moved);
    EXPECT_EQ(cache.hits(), 1);
    EXPECT_EQ(moved->image.cacheKey(), made->image.cacheKey());
    EXPECT_EQ(moved->at, QPoint(-8, 3));

    // Another size, or another picture of the same size, is a copy of its own.
    EXPECT_FALSE(cache.scaledFor(source, QTransform(0.3, 0.0, 0.0, 0.5, 0.0, 0.0)));
    EXPECT_FALSE(cache.scaledFor(source.copy(), shrink));
    EXPECT_EQ(cache.entries(), 3u);
}

TEST(ScaledBitmapCacheTest, OnlyAShrinkAlongTheAxesIsDrawnFromACopy) {
    const QImage source = gradient(400, 300);
    const QTransform others[] = {QTransform().rotate(30).scale(0.25, 0.25),
                                 QTransform::fromScale(2.0, 2.0),
                                 QTransform::fromScale(0.9, 0.9),
                                 QTransform::fromScale(-0.25, 0.25),
                                 QTransform(0.25, 0.1, 0.0, 0.25, 0.0, 0.0),
                                 QTransform::fromTranslate(1e9, 0).scale(0.2, 0.2)};
    for (const QTransform& t : others) {
        ScaledBitmapCache cache;
        EXPECT_FALSE(cache.scaledFor(source, t));
        EXPECT_FALSE(cache.scaledFor(source, t));
        EXPECT_EQ(cache.entries(), 0u);
    }
    ScaledBitmapCache cache;
    const QTransform oneAxis = QTransform::fromScale(1.0, 0.5);
    cache.scaledFor(source, oneAxis);
    const auto squeezed = cache.scaledFor(source, oneAxis);
    ASSERT_TRUE(squeezed);
    EXPECT_EQ(squeezed->image.size(), QSize(400, 150));
    EXPECT_FALSE(cache.scaledFor(QImage(), oneAxis));
}

TEST(ScaledBitmapCacheTest, CopiesGoWhenIdleOrWhenTheBudgetIsFull) {
    const QImage a = gradient(400, 300);
    const QImage b = gradient(300, 400);
    const QTransform shrink = QTransform::fromScale(0.5, 0.5);
    {
        ScaledBitmapCache cache;
        cache.scaledFor(a, shrink);
        cache.scaledFor(a, shrink);
        for (std::uint64_t i = 0; i < ScaledBitmapCache::kIdleFrames; ++i) {
            cache.startFrame();
        }
        EXPECT_EQ(cache.entries(), 1u);
        cache.startFrame();
        EXPECT_EQ(cache.entries(), 0u);
        EXPECT_EQ(cache.bytesHeld(), 0);
    }
    {
        // Room for one copy of 200 x 150 pixels.
        ScaledBitmapCache cache(200 * 150 * 4 + 100);
        cache.scaledFor(a, shrink);
        ASSERT_TRUE(cache.scaledFor(a, shrink));
        cache.startFrame();
        cache.scaledFor(b, shrink);
        ASSERT_TRUE(cache.scaledFor(b, shrink));
        EXPECT_EQ(cache.bytesHeld(), 200 * 150 * 4);
        EXPECT_FALSE(cache.scaledFor(a, shrink)) << "the older copy made room";
        // A copy larger than the whole budget is never made.
        ScaledBitmapCache tiny(64);
        tiny.scaledFor(a, shrink);
        EXPECT_FALSE(tiny.scaledFor(a, shrink));
        EXPECT_EQ(tiny.bytesHeld(), 0);
    }
}

TEST(BitmapDrawingTest, AShrunkCopyDrawsTheSmoothlyScaledBitmap) {
    const QImage source = gradient(800, 600);
    const QTransform place =
        QTransform::fromScale(0.25, 0.25) * QTransform::fromTranslate(20.3, 10.7);
    QImage direct = canvas(260, 190);
    QImage cached = canvas(260, 190);
    {
        QPainter p(&direct);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setTransform(place);
        p.drawImage(QPointF(0, 0), source);
    }
    ScaledBitmapCache cache;
    for (int frame = 0; frame < 2; ++frame) {
        cached = canvas(260, 190);
        QPainter p(&cached);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setTransform(place);
        drawBitmap(p, source, &cache);
        EXPECT_EQ(p.transform(), place);
    }
    ASSERT_EQ(cache.bytesHeld(), 200 * 150 * 4) << "the second frame drew from a copy";
    // Inside the bitmap the two agree; its border moves by under half a pixel.
    EXPECT_LE(largestDifference(direct, cached, QRect(23, 13, 195, 145)), 3);
    EXPECT_EQ(cached.pixel(5, 5), canvas(1, 1).pixel(0, 0));
    EXPECT_EQ(cached.pixel(240, 175), canvas(1, 1).pixel(0, 0));
}

TEST(BitmapDrawingTest, AnAlphaFadeByThePainterMatchesTheTransformedBitmap) {
    const QImage source = gradient(60, 40);
    for (int alphaMult : {0, 37, 128, 253}) {
        ColorTransform cx;
        cx.mult[3] = alphaMult;
        ASSERT_TRUE(cx.onlyScalesAlpha());
        QImage transformed = canvas(60, 40);
        QImage faded = canvas(60, 40);
        {
            QPainter p(&transformed);
            p.drawImage(0, 0, colorTransformed(source, cx));
        }
        {
            QPainter p(&faded);
            p.setOpacity(cx.mult[3] / 256.0);
            p.drawImage(0, 0, source);
        }
        EXPECT_LE(largestDifference(transformed, faded, faded.rect()), 2) << alphaMult;
    }
}

// A red bitmap half faded on a white stage is pink all over its shape, whether the shape
// is the bitmap's own square or reaches past it on every side, where the edge pixels carry
// on: the band where they meet the bitmap is blended once like the rest.
TEST(BitmapFillTest, AFadedBitmapFillIsBlendedOnce) {
    renderTestApp();
    // The bitmap covers (20.3, 20.3) to (60.3, 60.3) px, ten pixels a bitmap pixel.
    const QRect exact(406, 406, 800, 800);
    const QRect wider(110, 130, 1420, 1390);
    for (const QRect& twips : {exact, wider}) {
        SwfWriter movie = whiteStage(80, 80);
        moviemaker::RawImage raw;
        raw.width = 4;
        raw.height = 4;
        raw.pixels.assign(16, {255, 0, 0, 255});
        const std::uint16_t bitmap = movie.defineBitsLossless(raw);
        Shape box;
        box.fill1(box.addFill(FillStyle::bitmap(bitmap, Matrix::scale(200.0, 200.0, 406, 406),
                                                false, true)))
            .rectangle(twips.x(), twips.y(), twips.width(), twips.height());
        PlaceObject place;
        place.characterId = movie.defineShape(box);
        place.depth = 1;
        moviemaker::ColorTransform half;
        half.alphaMult = 128;
        place.colorTransform = half;
        movie.placeObject(place, 2);
        movie.showFrame();
        auto renderer = MovieView::fromBytes(movie.finish());
        ASSERT_TRUE(renderer);
        const QRect inside(twips.x() / 20 + 2, twips.y() / 20 + 2, twips.width() / 20 - 3,
                           twips.height() / 20 - 3);
        for (int frame = 0; frame < 2; ++frame) {
            const QImage image = renderer->renderFrame(QSize(80, 80), RenderQuality::High);
            for (int y = inside.top(); y <= inside.bottom(); ++y) {
                for (int x = inside.left(); x <= inside.right(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    ASSERT_LE(std::abs(c.green() - 127), 3) << x << "," << y;
                    ASSERT_EQ(c.red(), 255);
                }
            }
            EXPECT_EQ(image.pixelColor(3, 3), QColor(Qt::white));
        }
    }
}

} // namespace
} // namespace mc
