// Fills of one shape composed pixel by pixel: where two fills meet, nothing behind them shows
// through the seam; where they overlap, the later lies over the earlier as drawing them in
// turn would have it; hostile geometry ends without drawing outside the image.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <limits>
#include <vector>

#include "CompositionTestShapes.h"
#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "ScanlineFill.h"
#include "ShapeComposer.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

constexpr QRgb kBlueBackground = 0xff0000ff;
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);

QImage blueImage(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(kBlueBackground);
    return image;
}

// The most blue, out of 255, any pixel strictly inside the square shows.
int mostBackgroundInside(const QImage& image, int x, int y, int size) {
    int most = 0;
    for (int row = y + 1; row < y + size - 1; ++row) {
        for (int col = x + 1; col < x + size - 1; ++col) {
            most = std::max(most, qBlue(image.pixel(col, row)));
        }
    }
    return most;
}

// The fills drawn together, or one after the other by the scanline filler.
QImage drawn(bool together, const std::vector<QPainterPath>& paths,
             const std::vector<QColor>& colours, const QImage& start, double opacity) {
    QImage image = start;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(opacity);
    std::vector<SolidFill> fills;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        fills.push_back(SolidFill{&paths[i], colours[i]});
        if (!together) {
            EXPECT_TRUE(scanlineFillPath(p, paths[i], QBrush(colours[i])));
        }
    }
    if (together) {
        EXPECT_TRUE(composeSolidFills(p, fills));
    }
    return image;
}

QImage composed(const std::vector<QPainterPath>& paths, const std::vector<QColor>& colours,
                const QImage& start, double opacity = 1.0) {
    return drawn(true, paths, colours, start, opacity);
}

QImage oneByOne(const std::vector<QPainterPath>& paths, const std::vector<QColor>& colours,
                const QImage& start, double opacity = 1.0) {
    return drawn(false, paths, colours, start, opacity);
}

TEST(ShapeComposerTest, TouchingFillsLeaveNoSeam) {
    for (const bool curved : {false, true}) {
        SCOPED_TRACE(curved ? "curved edge" : "diagonal edge");
        const std::vector<QPainterPath> paths = cutSquare(10.3, 7.6, 50.0, curved);
        const std::vector<QColor> colours{kRed, kGreen};
        const QImage start = blueImage(80, 70);
        // Drawn one after the other, the seam lets the background through.
        EXPECT_GT(mostBackgroundInside(oneByOne(paths, colours, start), 11, 8, 50), 40);
        const QImage image = composed(paths, colours, start);
        EXPECT_LE(mostBackgroundInside(image, 11, 8, 50), 2);
        // The seam is a blend of the two colours, and both show along it.
        int blended = 0;
        for (int y = 9; y < 57; ++y) {
            for (int x = 12; x < 59; ++x) {
                const QRgb c = image.pixel(x, y);
                EXPECT_NEAR(qRed(c) + qGreen(c), 255, 2) << x << ", " << y;
                blended += qRed(c) > 20 && qGreen(c) > 20 ? 1 : 0;
            }
        }
        EXPECT_GT(blended, 40);
        // Outside the square, the background is as it was.
        EXPECT_EQ(image.pixel(5, 3), kBlueBackground);
        EXPECT_EQ(image.pixel(70, 65), kBlueBackground);
    }
}

TEST(ShapeComposerTest, OverlappingFillsLieInTheirOrder) {
    // A translucent square inside and across a larger one, and two translucent fills
    // covering the same square: each pixel as drawing them in turn gives it. Where the edges
    // of two overlapping fills fall on or cross each other within a pixel, coverage cannot
    // tell them from touching fills, and they are taken to touch: such pixels are left out.
    QPainterPath large;
    large.addRect(QRectF(8.25, 6.5, 50.0, 40.0));
    QPainterPath inner;
    inner.addEllipse(QRectF(20.4, 12.7, 22.0, 25.0));
    QPainterPath across;
    across.addRect(QRectF(30.0, 20.0, 40.0, 40.0));
    QPainterPath same = large;
    const QImage start = blueImage(80, 70);
    struct Case {
        std::vector<QPainterPath> paths;
        std::vector<QColor> colours;
        QRect compared;
    };
    const QRect insideRim(9, 7, 49, 39);
    const std::vector<Case> cases{
        {{large, inner}, {kRed, QColor(0, 255, 0, 128)}, {}},
        {{large, inner}, {QColor(255, 0, 0, 100), QColor(0, 255, 0, 128)}, {}},
        {{large, same}, {QColor(255, 0, 0, 160), QColor(0, 255, 0, 90)}, insideRim},
        {{large, same}, {QColor(0, 255, 0, 90), QColor(255, 0, 0, 160)}, insideRim},
        {{large, across}, {QColor(255, 0, 0, 160), QColor(0, 255, 0, 90)}, {}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        for (const double opacity : {1.0, 0.5}) {
            const QImage ours = composed(cases[i].paths, cases[i].colours, start, opacity);
            EXPECT_LE(largestDifference(ours,
                                        oneByOne(cases[i].paths, cases[i].colours, start, opacity),
                                        cases[i].compared),
                      3);
        }
    }
    // The order shows: the same two colours swapped give another picture.
    EXPECT_GT(largestDifference(composed(cases[2].paths, cases[2].colours, start),
                                composed(cases[3].paths, cases[3].colours, start)),
              40);
}

TEST(ShapeComposerTest, HostileGeometryStaysInBounds) {
    constexpr double kHuge = 1e300;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QPainterPath far;
    far.moveTo(-kHuge, -kHuge);
    far.lineTo(kHuge, 3.0);
    far.lineTo(5.0, kHuge);
    QPainterPath broken;
    broken.moveTo(1.0, 1.0);
    broken.lineTo(nan, 4.0);
    broken.lineTo(9.0, 9.0);
    // Many fills crossing the whole picture, each a thin sliver: work follows the edges.
    std::vector<QPainterPath> slivers;
    for (int i = 0; i < 3000; ++i) {
        QPainterPath s;
        s.moveTo(-5.0, i * 0.01);
        s.lineTo(45.0, 40.0 - i * 0.01);
        s.lineTo(45.0, 40.5 - i * 0.01);
        slivers.push_back(s);
    }
    slivers.push_back(far);
    slivers.push_back(broken);
    std::vector<QColor> colours(slivers.size(), QColor(0, 255, 0, 200));
    colours.back() = kRed;
    QImage start(40, 40, QImage::Format_ARGB32_Premultiplied);
    start.fill(kBlueBackground);
    const QImage image = composed(slivers, colours, start);
    // The huge triangle covers part of the picture; every pixel stays a valid premultiplied one.
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            EXPECT_EQ(qAlpha(c), 255);
        }
    }
    EXPECT_NE(image, start);
    // Under a transform that throws every point out of range, nothing is drawn.
    QImage untouched = start;
    {
        QPainter p(&untouched);
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(QTransform::fromScale(1e308, 1e308));
        const std::vector<SolidFill> fills{{&slivers[0], kRed}, {&slivers[1], kGreen}};
        EXPECT_TRUE(composeSolidFills(p, fills));
    }
    EXPECT_EQ(untouched, start);
}

// A movie shape whose fills share their inner edge, fill0 on one side and fill1 on the other,
// as drawing tools save cut-up areas.
TEST(ShapeComposerTest, MovieShapesShowNoSeamBetweenFills) {
    for (const bool curved : {false, true}) {
        SCOPED_TRACE(curved ? "curved edge" : "diagonal edge");
        moviemaker::SwfWriter movie = whiteStage(80, 70);
        movie.setBackgroundColor({0, 0, 255});
        movie.place(movie.defineShape(cutSquareShape(curved)), 1);
        const QImage image = firstFrame(movie, QSize(80, 70), RenderQuality::High);
        ASSERT_FALSE(image.isNull());
        EXPECT_LE(mostBackgroundInside(image, 11, 8, 50), 3);
        EXPECT_GT(qRed(image.pixel(50, 15)), 250);
        EXPECT_GT(qGreen(image.pixel(15, 50)), 250);
    }
}

} // namespace
} // namespace mc
