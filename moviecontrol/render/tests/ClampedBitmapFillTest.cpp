// Clipped bitmap fills whose shape reaches past the bitmap: the stretched edge pixels and the
// bitmap must meet without a gap and without painting any pixel twice, so that translucent
// border pixels and faded fills look the same in the band where they meet as elsewhere.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "BitmapFill.h"
#include "RenderTestApp.h"
#include "ScaledBitmapCache.h"

namespace mc {
namespace {

constexpr int kCanvas = 120;
// Path units are twips, as in a movie.
constexpr double kTwips = 20.0;

QImage solid(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// A 4x4 bitmap: half-transparent blue round an opaque red middle.
QImage translucentBorder() {
    QImage image = solid(4, 4, QColor(0, 0, 255, 128));
    for (int y = 1; y < 3; ++y) {
        for (int x = 1; x < 3; ++x) {
            image.setPixelColor(x, y, QColor(255, 0, 0));
        }
    }
    return image;
}

struct Fill {
    QImage image;
    QTransform bitmapToDevice;
    QRectF shape; // device pixels
    bool smooth = false;
    double opacity = 1.0;
};

struct Painted {
    QImage picture;
    // Device pixels put together on a layer.
    qint64 layered = 0;
};

Painted paint(const Fill& fill, ScaledBitmapCache* cache = nullptr) {
    QImage canvas = solid(kCanvas, kCanvas, Qt::white);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform, fill.smooth);
    p.setOpacity(fill.opacity);
    const QTransform toDevice = QTransform::fromScale(1.0 / kTwips, 1.0 / kTwips);
    p.setTransform(toDevice);
    QPainterPath path;
    path.addRect(toDevice.inverted().mapRect(fill.shape));
    const qint64 layered = paintBitmapFill(p, path, fill.image,
                                           fill.bitmapToDevice * toDevice.inverted(), true, cache);
    p.end();
    return {canvas, layered};
}

bool near(QColor c, QColor want, int tolerance) {
    return std::abs(c.red() - want.red()) <= tolerance &&
           std::abs(c.green() - want.green()) <= tolerance &&
           std::abs(c.blue() - want.blue()) <= tolerance;
}

// Calls `check(x, y, bitmapPoint)` for every pixel well inside the shape.
template <typename Check> void forInside(const Fill& fill, Check check) {
    const QTransform toBitmap = fill.bitmapToDevice.inverted();
    const QRectF inside = fill.shape.adjusted(1.5, 1.5, -1.5, -1.5);
    for (int y = 0; y < kCanvas; ++y) {
        for (int x = 0; x < kCanvas; ++x) {
            const QPointF centre(x + 0.5, y + 0.5);
            if (inside.contains(centre)) {
                check(x, y, toBitmap.map(centre));
            }
        }
    }
}

const QTransform kPlacements[] = {
    QTransform::fromScale(10.37, 10.37) * QTransform::fromTranslate(30.3, 40.6),
    QTransform::fromScale(7.5, 12.25) * QTransform::fromTranslate(25.5, 33.2),
    QTransform().rotate(17.0).scale(9.3, 9.3) * QTransform::fromTranslate(48.7, 21.4),
};

TEST(ClampedBitmapFillTest, TranslucentBorderPixelsCarryOnBlendedOnce) {
    renderTestApp();
    const QColor halfBlue(127, 127, 255);
    for (const QTransform& place : kPlacements) {
        const Fill fill{translucentBorder(), place, QRectF(10.4, 12.7, 95.2, 96.9)};
        const Painted painted = paint(fill);
        const QImage& picture = painted.picture;
        const qint64 layered = painted.layered;
        const double margin = 1.5 / 7.5;
        int blueSeen = 0;
        forInside(fill, [&](int x, int y, QPointF b) {
            const QRectF middle(1.0, 1.0, 2.0, 2.0);
            const QColor c = picture.pixelColor(x, y);
            if (middle.adjusted(margin, margin, -margin, -margin).contains(b)) {
                ASSERT_TRUE(near(c, Qt::red, 3)) << x << "," << y << " " << c.name().toStdString();
            } else if (!middle.adjusted(-margin, -margin, margin, margin).contains(b)) {
                ++blueSeen;
                ASSERT_TRUE(near(c, halfBlue, 4)) << x << "," << y << " " << c.name().toStdString();
            }
        });
        EXPECT_GT(blueSeen, 5000);
        EXPECT_EQ(picture.pixelColor(5, 5), QColor(Qt::white));
        // Only the bands along the bitmap's sides are composed, turned or not.
        const qint64 area = 96 * 98;
        EXPECT_GT(layered, 0);
        EXPECT_LT(layered, place.isRotating() ? area * 2 / 3 : area / 3);
    }
}

TEST(ClampedBitmapFillTest, OpaqueBordersAtFullStrengthNeedNoLayer) {
    renderTestApp();
    for (const QTransform& place : kPlacements) {
        QImage image = translucentBorder();
        image.fill(QColor(200, 30, 90));
        image.setPixelColor(2, 2, QColor(0, 0, 255, 100));
        const Fill fill{image, place, QRectF(10.4, 12.7, 95.2, 96.9)};
        const Painted painted = paint(fill);
        const QImage& picture = painted.picture;
        const qint64 layered = painted.layered;
        EXPECT_EQ(layered, 0);
        forInside(fill, [&](int x, int y, QPointF b) {
            if (!QRectF(1.5, 1.5, 2.0, 2.0).contains(b)) {
                ASSERT_TRUE(near(picture.pixelColor(x, y), QColor(200, 30, 90), 3))
                    << x << "," << y;
            }
        });
    }
}

TEST(ClampedBitmapFillTest, AFadedFillPastItsBitmapIsEvenAllOver) {
    renderTestApp();
    for (const QTransform& place : kPlacements) {
        for (bool smooth : {false, true}) {
            const Fill fill{solid(5, 3, QColor(0, 160, 0)), place, QRectF(6.6, 8.1, 104.2, 99.5),
                            smooth, 0.5};
            const Painted painted = paint(fill);
            const QImage& picture = painted.picture;
            const qint64 layered = painted.layered;
            EXPECT_GT(layered, 0);
            forInside(fill, [&](int x, int y, QPointF) {
                const QColor c = picture.pixelColor(x, y);
                ASSERT_TRUE(near(c, QColor(127, 207, 127), 3))
                    << x << "," << y << " " << c.name().toStdString() << " smooth " << smooth;
            });
        }
    }
}

TEST(ClampedBitmapFillTest, AShrunkCopyMeetsItsEdgePiecesExactly) {
    renderTestApp();
    // 400 pixels shown at about 60: later frames draw from a shrunk copy placed at a
    // whole pixel, and the edge pieces must follow it rather than the bitmap's own place.
    const Fill fill{solid(400, 300, QColor(0, 0, 200, 100)),
                    QTransform::fromScale(0.1537, 0.1537) * QTransform::fromTranslate(30.6, 40.4),
                    QRectF(8.2, 9.9, 100.3, 97.6), true, 0.75};
    ScaledBitmapCache cache;
    for (int frame = 0; frame < 3; ++frame) {
        cache.startFrame();
        const QImage picture = paint(fill, &cache).picture;
        // 100/255 of blue at three quarters over white.
        const double a = 0.75 * 100.0 / 255.0;
        const int rg = static_cast<int>(std::lround(255.0 * (1.0 - a)));
        const int b = static_cast<int>(std::lround(255.0 * (1.0 - a) + 200.0 * a));
        forInside(fill, [&](int x, int y, QPointF) {
            const QColor c = picture.pixelColor(x, y);
            ASSERT_TRUE(near(c, QColor(rg, rg, b), 3))
                << x << "," << y << " " << c.name().toStdString() << " frame " << frame;
        });
    }
    EXPECT_GT(cache.hits(), 0);
}

TEST(ClampedBitmapFillTest, NearlyFlatMatricesStayWithinTheShape) {
    renderTestApp();
    // Edge pieces reaching billions of pixels, squeezed into a line or turned on edge.
    const QTransform flat[] = {QTransform::fromScale(30.0, 1e-9) *
                                   QTransform::fromTranslate(40, 60),
                               QTransform(1e-9, 30.0, -30.0, 1e-9, 60.0, 40.0),
                               QTransform(3.0, 1e-7, 3.0, 2e-7, 50.0, 50.0)};
    for (const QTransform& place : flat) {
        const Fill fill{translucentBorder(), place, QRectF(20.5, 20.5, 60.0, 60.0), true, 0.5};
        const QImage picture = paint(fill).picture;
        EXPECT_EQ(picture.pixelColor(10, 10), QColor(Qt::white));
        EXPECT_EQ(picture.pixelColor(100, 100), QColor(Qt::white));
        EXPECT_NE(picture.pixelColor(30, 30), QColor(Qt::white));
        EXPECT_NE(picture.pixelColor(70, 70), QColor(Qt::white));
    }
}

} // namespace
} // namespace mc
