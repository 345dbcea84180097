// Shapes at the edges of what players draw: gradient jumps and focal points at the rim,
// strokes under stretching and pixel hinting, clipped bitmap fills past the bitmap, and
// coordinates far beyond the stage.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "ShapePaths.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::FillStyle;
using moviemaker::Matrix;
using moviemaker::Shape;
using moviemaker::SwfWriter;

bool isColour(QColor c, int r, int g, int b, int tolerance = 6) {
    return std::abs(c.red() - r) <= tolerance && std::abs(c.green() - g) <= tolerance &&
           std::abs(c.blue() - b) <= tolerance;
}

struct Probe {
    int x = 0;
    int y = 0;
    QColor colour;
};

// Every probe's pixel within `tolerance` of its colour.
void expectPixels(const QImage& image, std::initializer_list<Probe> probes, int tolerance) {
    for (const Probe& p : probes) {
        const QColor c = image.pixelColor(p.x, p.y);
        EXPECT_TRUE(isColour(c, p.colour.red(), p.colour.green(), p.colour.blue(), tolerance))
            << "at (" << p.x << ", " << p.y << "): " << c.name().toStdString() << ", not "
            << p.colour.name().toStdString();
    }
}

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);
const QColor kWhite(255, 255, 255);

TEST(ShapeDetailTest, RepeatedRatioIsAHardEdge) {
    // Red up to ratio 128, blue after it; the gradient is stretched so that one ratio step
    // spans ten pixels, and the window shows the jump.
    for (moviemaker::InterpolationMode mode :
         {moviemaker::InterpolationMode::Normal, moviemaker::InterpolationMode::LinearRgb}) {
        SwfWriter movie = whiteStage(100, 10);
        moviemaker::Gradient g;
        g.interpolation = mode;
        g.stops = {{0, {255, 0, 0, 255}},
                   {128, {255, 0, 0, 255}},
                   {128, {0, 0, 255, 255}},
                   {255, {0, 0, 255, 255}}};
        // Ratio 128 lands on x = 50 px.
        const int width = 2550 * 20;
        const int left = 50 * 20 - width * 128 / 255 - 10;
        Shape box;
        box.fill1(box.addFill(FillStyle::linear(moviemaker::gradientBox(left, 0, width, 200), g)))
            .rectangle(0, 0, 2000, 200);
        movie.place(movie.defineShape(box), 1);
        const QImage image = firstFrame(movie, QSize(100, 10), RenderQuality::Low);
        ASSERT_FALSE(image.isNull());
        int mixed = 0;
        for (int x = 0; x < 100; ++x) {
            const QColor c = image.pixelColor(x, 5);
            mixed += !isColour(c, 255, 0, 0) && !isColour(c, 0, 0, 255) ? 1 : 0;
        }
        // Qt's gradient table has 1024 entries, 2.5 px apiece here: a jump blurs over two of
        // them, where a stop per ratio would blend across the whole ten-pixel step.
        EXPECT_LE(mixed, 6);
        EXPECT_TRUE(isColour(image.pixelColor(40, 5), 255, 0, 0));
        EXPECT_TRUE(isColour(image.pixelColor(60, 5), 0, 0, 255));
    }
}

TEST(ShapeDetailTest, FocalPointOnTheRimStartsThere) {
    // Red at the focal point, blue at the rim: with the focus on the left or right rim of a
    // 80 px circle the red end is at that side and the far side is blue.
    for (double focal : {-1.0, 1.0}) {
        SwfWriter movie = whiteStage(100, 100);
        moviemaker::Gradient g;
        g.stops = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}};
        Shape box;
        box.fill1(box.addFill(
                      FillStyle::focal(moviemaker::gradientBox(200, 200, 1600, 1600), g, focal)))
            .rectangle(0, 0, 2000, 2000);
        movie.place(movie.defineShape(box), 1);
        const QImage image = firstFrame(movie, QSize(100, 100), RenderQuality::High);
        ASSERT_FALSE(image.isNull());
        const int nearX = focal < 0 ? 12 : 87;
        const int farX = focal < 0 ? 87 : 12;
        EXPECT_GT(image.pixelColor(nearX, 50).red(), 200) << focal;
        EXPECT_GT(image.pixelColor(farX, 50).blue(), 200) << focal;
        // Outside the circle the last colour pads.
        EXPECT_TRUE(isColour(image.pixelColor(50, 2), 0, 0, 255)) << focal;
    }
}

// A square outline of `widthTwips` around a 20 px box, placed with the given matrix.
QImage outlined(std::uint16_t widthTwips, const Matrix& placement, bool pixelHinting,
                RenderQuality quality) {
    SwfWriter movie = whiteStage(100, 100);
    moviemaker::LineStyle style;
    style.width = widthTwips;
    style.color = {0, 0, 0, 255};
    style.pixelHinting = pixelHinting;
    Shape shape;
    shape.line(shape.addLine(style)).rectangle(0, 0, 400, 400);
    movie.place(movie.defineShape(shape, 4), 1, placement);
    return firstFrame(movie, QSize(100, 100), quality);
}

int darkestInRow(const QImage& image, int y, int x0, int x1) {
    int darkest = 255;
    for (int x = x0; x <= x1; ++x) {
        darkest = std::min(darkest, image.pixelColor(x, y).red());
    }
    return darkest;
}

int darkestInColumn(const QImage& image, int x, int y0, int y1) {
    int darkest = 255;
    for (int y = y0; y <= y1; ++y) {
        darkest = std::min(darkest, image.pixelColor(x, y).red());
    }
    return darkest;
}

TEST(ShapeDetailTest, StrokesSquashedBelowAPixelStayVisible) {
    // 1.5 px lines on a box squashed to a fifth of its width and stretched four times in
    // height: the vertical sides would be 0.3 px wide, the horizontal ones 6 px.
    for (RenderQuality q : {RenderQuality::Low, RenderQuality::High}) {
        const QImage image = outlined(30, Matrix::scale(0.2, 4.0, 1000, 200), false, q);
        ASSERT_FALSE(image.isNull());
        // The left side at x = 50 px, running from y = 10 to 90 px: at least a one-pixel
        // line (smoothed, it lies across two half-covered pixels).
        EXPECT_LT(darkestInRow(image, 50, 48, 52), 140);
        // The top side keeps its stretched width: 6 px, rows 7..12.
        EXPECT_LT(darkestInColumn(image, 51, 8, 8), 40);
        EXPECT_LT(darkestInColumn(image, 51, 12, 12), 40);
        EXPECT_EQ(image.pixelColor(51, 20).red(), 255);
    }
}

TEST(ShapeDetailTest, PixelHintedLinesCoverWholePixels) {
    // A one-pixel outline whose sides lie on pixel boundaries: smoothed, it would spread over
    // two half-covered rows; hinted, it fills one row.
    const QImage image = outlined(20, Matrix::translate(400, 400), true, RenderQuality::High);
    ASSERT_FALSE(image.isNull());
    const int above = image.pixelColor(30, 19).red();
    const int below = image.pixelColor(30, 20).red();
    EXPECT_LT(std::min(above, below), 30);
    EXPECT_GT(std::max(above, below), 225);

    const QImage smooth = outlined(20, Matrix::translate(400, 400), false, RenderQuality::High);
    EXPECT_GT(smooth.pixelColor(30, 19).red(), 60);
    EXPECT_GT(smooth.pixelColor(30, 20).red(), 60);
}

TEST(ShapeDetailTest, SnappingPicksCentresForOddWidthsAndCornersForEven) {
    QPainterPath path;
    path.moveTo(10.2, 3.9);
    path.lineTo(20.7, 3.9);
    const QPainterPath odd = snappedToPixels(path, 1.0);
    EXPECT_EQ(odd.elementAt(0).x, 10.5);
    EXPECT_EQ(odd.elementAt(0).y, 3.5);
    EXPECT_EQ(odd.elementAt(1).x, 20.5);
    const QPainterPath even = snappedToPixels(path, 2.0);
    EXPECT_EQ(even.elementAt(0).x, 10.0);
    EXPECT_EQ(even.elementAt(0).y, 4.0);
    EXPECT_EQ(even.elementAt(1).x, 21.0);
}

TEST(ShapeDetailTest, StrokesOfNoLengthKeepTheirCapsOnly) {
    // Edges that stay on (1000, 500), stroked 200 twips wide: round and square caps leave a
    // 200-twip dot, no caps nothing.
    struct Case {
        bool line;
        swf::CapStyle cap;
        QRectF box;
    };
    const swf::Point at{1000, 500};
    const QRectF dot(900, 400, 200, 200);
    // Without caps a sliver of no width is left, which covers nothing.
    const QRectF sliver(1000, 400, 0, 200);
    const Case cases[] = {
        {true, swf::CapStyle::Round, dot},   {false, swf::CapStyle::Round, dot},
        {true, swf::CapStyle::Square, dot},  {false, swf::CapStyle::Square, dot},
        {true, swf::CapStyle::None, sliver}, {false, swf::CapStyle::None, sliver},
    };
    for (const Case& c : cases) {
        swf::Path path;
        path.moveTo(at);
        if (c.line) {
            path.lineTo(at);
        } else {
            path.quadTo(at, at);
        }
        swf::LineStyle style;
        style.width = 200;
        style.startCap = style.endCap = c.cap;
        const QRectF box = strokeOutline(toStrokePath(path), style).boundingRect();
        SCOPED_TRACE(static_cast<int>(c.cap));
        EXPECT_NEAR(box.left(), c.box.left(), 1.0);
        EXPECT_NEAR(box.top(), c.box.top(), 1.0);
        EXPECT_NEAR(box.width(), c.box.width(), 1.0);
        EXPECT_NEAR(box.height(), c.box.height(), 1.0);
    }
}

// A 2x2 bitmap (by default red, blue / green, white) shown at ten times its size at
// (20, 20) px inside a 60 px square at (10, 10).
QImage
bitmapSquare(bool repeating, bool smoothed, RenderQuality quality,
             std::vector<moviemaker::Rgba> pixels = {
                 {255, 0, 0, 255}, {0, 0, 255, 255}, {0, 255, 0, 255}, {255, 255, 255, 255}}) {
    SwfWriter movie = whiteStage(80, 80);
    moviemaker::RawImage raw;
    raw.width = 2;
    raw.height = 2;
    raw.pixels = std::move(pixels);
    const std::uint16_t bitmap = movie.defineBitsLossless(raw);
    Shape box;
    box.fill1(box.addFill(FillStyle::bitmap(bitmap, Matrix::scale(200.0, 200.0, 400, 400),
                                            repeating, smoothed)))
        .rectangle(200, 200, 1200, 1200);
    movie.place(movie.defineShape(box), 1);
    return firstFrame(movie, QSize(80, 80), quality);
}

TEST(ShapeDetailTest, ClippedBitmapsCarryTheirEdgesOn) {
    for (RenderQuality q : {RenderQuality::Low, RenderQuality::High}) {
        const QImage image = bitmapSquare(false, true, q);
        ASSERT_FALSE(image.isNull());
        // Inside the bitmap; past its right edge the right column goes on, above it the top
        // row, and the corners take the corner pixels; outside the shape nothing is drawn.
        expectPixels(image,
                     {{22, 22, kRed},
                      {37, 37, kWhite},
                      {60, 22, kBlue},
                      {60, 60, kWhite},
                      {22, 60, kGreen},
                      {12, 12, kRed},
                      {37, 12, kBlue},
                      {5, 40, kWhite},
                      {40, 75, kWhite}},
                     6);
    }
}

TEST(ShapeDetailTest, TranslucentBitmapEdgesCarryOnWithoutDoubling) {
    // The bitmap's right column is half-transparent blue: inside the bitmap and past its
    // edge it shows the same, once over the white stage.
    for (RenderQuality q : {RenderQuality::Low, RenderQuality::High}) {
        const QImage image =
            bitmapSquare(false, false, q,
                         {{255, 0, 0, 255}, {0, 0, 255, 128}, {0, 255, 0, 255}, {0, 0, 255, 128}});
        ASSERT_FALSE(image.isNull());
        const QColor halfBlue(127, 127, 255);
        expectPixels(image,
                     {{22, 22, kRed},
                      {35, 22, halfBlue},
                      {39, 35, halfBlue},
                      {60, 22, halfBlue},
                      {60, 60, halfBlue},
                      {25, 60, kGreen},
                      {5, 40, kWhite}},
                     6);
    }
}

TEST(ShapeDetailTest, OpaqueBordersOfATranslucentBitmapCarryOnAsTheyAre) {
    // A 3x3 bitmap, opaque red at its border and half-transparent blue in its middle, shown
    // at ten times its size at (20, 20) px inside a 60 px square at (10, 10): the border
    // carries on past the bitmap and the middle blends once with the stage.
    for (RenderQuality q : {RenderQuality::Low, RenderQuality::High}) {
        SwfWriter movie = whiteStage(80, 80);
        moviemaker::RawImage raw;
        raw.width = 3;
        raw.height = 3;
        raw.pixels.assign(9, {255, 0, 0, 255});
        raw.pixels[4] = {0, 0, 255, 128};
        const std::uint16_t bitmap = movie.defineBitsLossless(raw);
        Shape box;
        box.fill1(box.addFill(FillStyle::bitmap(bitmap, Matrix::scale(200.0, 200.0, 400, 400),
                                                false, false)))
            .rectangle(200, 200, 1200, 1200);
        movie.place(movie.defineShape(box), 1);
        const QImage image = firstFrame(movie, QSize(80, 80), q);
        ASSERT_FALSE(image.isNull());
        expectPixels(image,
                     {{35, 35, QColor(127, 127, 255)},
                      {22, 22, kRed},
                      {65, 35, kRed},
                      {12, 12, kRed},
                      {35, 65, kRed},
                      {5, 40, kWhite}},
                     6);
    }
}

TEST(ShapeDetailTest, RepeatingBitmapsTileWithoutGaps) {
    const QImage image = bitmapSquare(true, false, RenderQuality::Low);
    ASSERT_FALSE(image.isNull());
    // The tile before the bitmap's origin and the one after it repeat it exactly.
    expectPixels(image,
                 {{12, 12, kWhite},
                  {22, 22, kRed},
                  {42, 22, kRed},
                  {52, 52, kWhite},
                  {39, 20, kBlue},
                  {40, 20, kRed}},
                 0);
}

TEST(ShapeDetailTest, FarCoordinatesStillDraw) {
    // A band reaching 2^26 twips either side of the stage, and a tiny square blown up to
    // cover it: both draw on exactly their pixels.
    for (RenderQuality q : {RenderQuality::Low, RenderQuality::High}) {
        constexpr std::int32_t far = 1 << 26;
        SwfWriter movie = whiteStage(100, 100);
        Shape band;
        band.fill1(band.addFill(FillStyle::solid({0, 0, 255, 255})))
            .rectangle(-far, 400, 2 * far, 400);
        movie.place(movie.defineShape(band), 1);
        Shape dot;
        dot.fill1(dot.addFill(FillStyle::solid({0, 160, 0, 255}))).rectangle(0, 0, 2, 2);
        movie.place(movie.defineShape(dot), 2, Matrix::scale(10000.0, 10000.0, 0, 1200));
        const QImage image = firstFrame(movie, QSize(100, 100), q);
        ASSERT_FALSE(image.isNull());
        const QColor green(0, 160, 0);
        expectPixels(image,
                     {{0, 19, kWhite},
                      {0, 20, kBlue},
                      {99, 39, kBlue},
                      {99, 40, kWhite},
                      {50, 59, kWhite},
                      {50, 60, green},
                      {99, 99, green}},
                     0);
    }
}

} // namespace
} // namespace mc
