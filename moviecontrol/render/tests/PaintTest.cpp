#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <memory>

#include "FillBrush.h"
#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::FillStyle;
using moviemaker::Matrix;
using moviemaker::MovieHeader;
using moviemaker::Rect;
using moviemaker::Shape;
using moviemaker::SwfWriter;

std::unique_ptr<MovieView> load(const std::vector<std::uint8_t>& bytes) {
    renderTestApp();
    return MovieView::fromBytes(bytes);
}

QColor at(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

MovieHeader smallStage(int w, int h) {
    MovieHeader header;
    header.frameSize = Rect::pixels(w, h);
    return header;
}

// A 100x20 px box filled left to right with the gradient from `from` to `to`.
QImage gradientBox(moviemaker::Rgba from, moviemaker::Rgba to) {
    SwfWriter movie(smallStage(100, 20));
    movie.setBackgroundColor({255, 255, 255});
    moviemaker::Gradient g;
    g.stops = {{0, from}, {255, to}};
    Shape box;
    box.fill1(box.addFill(FillStyle::linear(moviemaker::gradientBox(0, 0, 2000, 400), g)))
        .rectangle(0, 0, 2000, 400);
    movie.place(movie.defineShape(box), 1);
    return firstFrame(movie, QSize(100, 20));
}

// A red 20x10 px square at (30, 40) on a white 100x100 stage.
std::vector<std::uint8_t> redSquareMovie() {
    SwfWriter movie(smallStage(100, 100));
    movie.setBackgroundColor({255, 255, 255});
    Shape box;
    box.fill1(box.addFill(FillStyle::solid({255, 0, 0, 255}))).rectangle(600, 800, 400, 200);
    movie.place(movie.defineShape(box), 1);
    movie.showFrame();
    return movie.finish();
}

TEST(PaintTest, RedSquareLandsOnItsPixels) {
    auto movie = load(redSquareMovie());
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->stageSizePixels(), QSize(100, 100));
    for (RenderQuality q : {RenderQuality::Low, RenderQuality::High}) {
        const QImage image = movie->renderFrame(QSize(100, 100), q);
        EXPECT_EQ(at(image, 30, 40), QColor(255, 0, 0));
        EXPECT_EQ(at(image, 49, 49), QColor(255, 0, 0));
        EXPECT_EQ(at(image, 29, 40), QColor(255, 255, 255));
        EXPECT_EQ(at(image, 50, 45), QColor(255, 255, 255));
        EXPECT_EQ(at(image, 40, 50), QColor(255, 255, 255));
        EXPECT_EQ(at(image, 40, 39), QColor(255, 255, 255));
    }
}

TEST(PaintTest, ShowAllLetterboxesAndScales) {
    auto movie = load(redSquareMovie());
    ASSERT_TRUE(movie);
    QImage image(400, 200, QImage::Format_ARGB32_Premultiplied);
    movie->paint(image, RenderQuality::Low, QColor(0, 0, 255));
    // The stage is 200x200 in the middle; the square doubles to 40x20 at (100+60, 80).
    EXPECT_EQ(at(image, 50, 100), QColor(0, 0, 255));
    EXPECT_EQ(at(image, 350, 100), QColor(0, 0, 255));
    EXPECT_EQ(at(image, 101, 10), QColor(255, 255, 255));
    EXPECT_EQ(at(image, 161, 81), QColor(255, 0, 0));
    EXPECT_EQ(at(image, 199, 99), QColor(255, 0, 0));
    EXPECT_EQ(at(image, 201, 101), QColor(255, 255, 255));
}

TEST(PaintTest, GradientsEndInTheirEndColoursAndMixAlphaApartFromColour) {
    const QImage image = gradientBox({0, 0, 255, 255}, {255, 255, 0, 255});
    const QColor left = at(image, 0, 10);
    const QColor right = at(image, 99, 10);
    EXPECT_LE(left.red(), 5);
    EXPECT_GE(left.blue(), 250);
    EXPECT_GE(right.red(), 250);
    EXPECT_LE(right.blue(), 5);
    EXPECT_NEAR(at(image, 50, 10).red(), 128, 8);

    // Transparent black to opaque white: halfway is grey at half alpha, which darkens the
    // white stage. Interpolating premultiplied colour would give white there.
    const QImage faded = gradientBox({0, 0, 0, 0}, {255, 255, 255, 255});
    EXPECT_NEAR(at(faded, 50, 10).red(), 191, 10);
    EXPECT_GE(at(faded, 1, 10).red(), 250);
}

TEST(PaintTest, EditTextBorderCoversItsLastPixel) {
    // A bordered, empty field 10 px square at (20, 20): the frame runs 20..30 inclusive.
    SwfWriter movie(smallStage(50, 50));
    movie.setBackgroundColor({0, 0, 255});
    moviemaker::BitWriter body;
    body.u16(1);
    moviemaker::writeRect(body, Rect::pixels(10, 10));
    body.u8(0x00);
    body.u8(0x08); // border
    body.string("");
    movie.rawTag(37, body.data());
    movie.place(1, 1, Matrix::translate(400, 400));
    const QImage image = firstFrame(movie, QSize(50, 50));
    EXPECT_EQ(at(image, 20, 25), QColor(0, 0, 0));
    EXPECT_EQ(at(image, 30, 25), QColor(0, 0, 0));
    EXPECT_EQ(at(image, 25, 30), QColor(0, 0, 0));
    EXPECT_EQ(at(image, 25, 25), QColor(255, 255, 255));
    EXPECT_EQ(at(image, 31, 25), QColor(0, 0, 255));
}

TEST(PaintTest, MaskCutsTheShapesAboveIt) {
    SwfWriter movie(smallStage(100, 100));
    movie.setBackgroundColor({255, 255, 255});
    Shape big;
    big.fill1(big.addFill(FillStyle::solid({0, 128, 0, 255}))).rectangle(0, 0, 2000, 2000);
    Shape maskShape;
    maskShape.fill1(maskShape.addFill(FillStyle::solid({0, 0, 0, 255})))
        .rectangle(0, 0, 1000, 1000);
    const std::uint16_t bigId = movie.defineShape(big);
    const std::uint16_t maskId = movie.defineShape(maskShape);
    moviemaker::PlaceObject mask;
    mask.depth = 1;
    mask.characterId = maskId;
    mask.clipDepth = 2;
    movie.placeObject(mask);
    movie.place(bigId, 2);
    movie.place(bigId, 3, Matrix::translate(1000, 1000)); // above the mask's range
    const QImage image = firstFrame(movie, QSize(100, 100));
    EXPECT_EQ(at(image, 25, 25), QColor(0, 128, 0));     // shape 2 inside the mask
    EXPECT_EQ(at(image, 75, 25), QColor(255, 255, 255)); // shape 2 cut away
    EXPECT_EQ(at(image, 25, 75), QColor(255, 255, 255));
    EXPECT_EQ(at(image, 75, 75), QColor(0, 128, 0)); // shape 3 is not masked
}

TEST(PaintTest, ColourTransformTintsSolidFills) {
    SwfWriter movie(smallStage(10, 10));
    movie.setBackgroundColor({0, 0, 0});
    Shape box;
    box.fill1(box.addFill(FillStyle::solid({200, 100, 50, 255}))).rectangle(0, 0, 200, 200);
    const std::uint16_t id = movie.defineShape(box);
    moviemaker::PlaceObject p;
    p.depth = 1;
    p.characterId = id;
    moviemaker::ColorTransform cx;
    cx.redMult = 128;
    cx.blueAdd = 100;
    p.colorTransform = cx;
    movie.placeObject(p);
    const QImage image = firstFrame(movie, QSize(10, 10));
    EXPECT_EQ(at(image, 5, 5), QColor(100, 100, 150));
}

TEST(PaintTest, HairlinesStayOnePixelWide) {
    SwfWriter movie(smallStage(50, 50));
    movie.setBackgroundColor({255, 255, 255});
    Shape line;
    moviemaker::LineStyle hair;
    hair.width = 0;
    hair.color = {0, 0, 0, 255};
    line.line(line.addLine(hair)).moveTo(0, 510).lineTo(1000, 510);
    const std::uint16_t id = movie.defineShape(line);
    // Scaled down tenfold: still one pixel.
    movie.place(id, 1, Matrix::scale(0.1, 0.1));
    movie.place(id, 2, Matrix::translate(0, 400));
    const QImage image = firstFrame(movie, QSize(50, 50));
    int dark = 0;
    for (int y = 40; y < 50; ++y) {
        dark += at(image, 25, y).red() < 128 ? 1 : 0;
    }
    EXPECT_EQ(dark, 1);
    dark = 0;
    for (int y = 0; y < 10; ++y) {
        dark += at(image, 2, y).red() < 128 ? 1 : 0;
    }
    EXPECT_EQ(dark, 1);
}

TEST(FillBrushTest, BackwardRatiosFollowRecordOrder) {
    swf::Gradient g;
    g.records = {{0, {255, 0, 0, 255}}, {200, {0, 255, 0, 255}}, {100, {0, 0, 255, 255}}};
    const QGradientStops stops = gradientStops(g, ColorTransform{});
    ASSERT_FALSE(stops.isEmpty());
    const auto colourAt = [&stops](int ratio) {
        QColor c;
        for (const QGradientStop& stop : stops) {
            if (stop.first <= ratio / 255.0) {
                c = stop.second;
            }
        }
        return c;
    };
    // Past the last reached ratio the last record's colour holds.
    EXPECT_EQ(colourAt(250), QColor(0, 0, 255));
    EXPECT_EQ(colourAt(201), QColor(0, 0, 255));
    // Between 0 and 200 the first two records blend.
    EXPECT_NEAR(colourAt(100).green(), 128, 2);
    EXPECT_NEAR(colourAt(100).red(), 127, 2);
    EXPECT_EQ(colourAt(200), QColor(0, 255, 0));
}

TEST(FillBrushTest, EmptyGradientIsBlackAndOneRecordIsSolid) {
    swf::FillStyle style;
    style.type = swf::FillType::RadialGradient;
    EXPECT_EQ(fillBrush(style, ColorTransform{}).color(), QColor(0, 0, 0));
    style.gradient.records = {{10, {1, 2, 3, 255}}};
    const QBrush one = fillBrush(style, ColorTransform{});
    EXPECT_EQ(one.style(), Qt::SolidPattern);
    EXPECT_EQ(one.color(), QColor(1, 2, 3));
}

TEST(FillBrushTest, SingularMatrixFillsWithTheGradientsStart) {
    const swf::Matrix singular[] = {
        {0, 0, 0, 0, 100, 50},         // nothing at all
        {0.1, 0, 0, 0, 0, 0},          // flattened onto the x axis
        {0.1, 0.1, 0.1, 0.1, 20, 20},  // onto a diagonal
        {0.2, -0.05, 0.4, -0.1, 0, 0}, // onto a turned line
    };
    const swf::Matrix invertible[] = {{0.1, 0, 0, 0.1, 0, 0}, {0, 0.1, -0.1, 0, 5, 5}};
    const swf::FillType types[] = {swf::FillType::LinearGradient, swf::FillType::RadialGradient,
                                   swf::FillType::FocalGradient};
    const swf::SpreadMode spreads[] = {swf::SpreadMode::Pad, swf::SpreadMode::Reflect,
                                       swf::SpreadMode::Repeat};
    // In order, and out of order (the record read first still starts the gradient).
    const std::vector<swf::GradientRecord> records[] = {
        {{40, {200, 10, 10, 255}}, {255, {10, 10, 200, 255}}},
        {{40, {200, 10, 10, 255}}, {20, {10, 200, 10, 255}}, {255, {10, 10, 200, 255}}},
    };
    for (const swf::FillType type : types) {
        for (const swf::SpreadMode spread : spreads) {
            for (const auto& recs : records) {
                swf::FillStyle style;
                style.type = type;
                style.gradient.spread = spread;
                style.gradient.records = recs;
                for (const swf::Matrix& m : singular) {
                    style.matrix = m;
                    const QBrush brush = fillBrush(style, ColorTransform{});
                    EXPECT_EQ(brush.style(), Qt::SolidPattern) << int(type) << m.a << m.b;
                    EXPECT_EQ(brush.color(), QColor(200, 10, 10)) << int(type) << m.a << m.b;
                }
                for (const swf::Matrix& m : invertible) {
                    style.matrix = m;
                    EXPECT_NE(fillBrush(style, ColorTransform{}).style(), Qt::SolidPattern)
                        << int(type) << m.a << m.b;
                }
            }
        }
    }
}

TEST(PaintTest, GarbageIsRefused) {
    const std::vector<std::uint8_t> junk = {'F', 'W', 'S', 1, 2, 3};
    EXPECT_FALSE(load(junk));
    EXPECT_FALSE(load({}));
}

} // namespace
} // namespace mc
