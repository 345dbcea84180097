// The Alpha and Erase blend modes change the picture of the Layer group around them only
// where their object draws: pixels inside the object's box that it leaves uncovered keep
// what lies beneath, pixels it draws transparent are cleared by Alpha.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>

#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::BlendMode;
using moviemaker::FillStyle;
using moviemaker::Matrix;
using moviemaker::PlaceObject;
using moviemaker::Rgba;
using moviemaker::Shape;
using moviemaker::Sprite;
using moviemaker::SwfWriter;

bool near(QColor c, int r, int g, int b) {
    return std::abs(c.red() - r) <= 10 && std::abs(c.green() - g) <= 10 &&
           std::abs(c.blue() - b) <= 10;
}

// On a white stage of 100 x 100 pixels, a Layer sprite holding a blue square over all of it
// and, with `mode`, a black circle of the given alpha around (50, 50) with radius 30.
QImage circleOverSquare(uint8_t version, BlendMode mode, uint8_t circleAlpha) {
    SwfWriter movie = whiteStage(100, 100, version);
    Shape square;
    square.fill1(square.addFill(FillStyle::solid({0, 0, 255, 255}))).rectangle(0, 0, 2000, 2000);
    Shape circle;
    circle.fill1(circle.addFill(FillStyle::solid({0, 0, 0, circleAlpha})))
        .ellipse(1000, 1000, 600, 600);
    Sprite holder;
    holder.place(movie.defineShape(square), 1);
    PlaceObject cut;
    cut.depth = 2;
    cut.characterId = movie.defineShape(circle);
    cut.blendMode = mode;
    holder.placeObject(cut, 3);
    holder.showFrame();
    PlaceObject layer;
    layer.characterId = movie.defineSprite(holder);
    layer.blendMode = BlendMode::Layer;
    movie.placeObject(layer, 3);
    return firstFrame(movie, QSize(100, 100), RenderQuality::High);
}

TEST(BlendCoverageTest, AlphaScalesOnlyTheDrawnPixels) {
    for (uint8_t version : {8, 10}) {
        for (uint8_t alpha : {0, 128, 255}) {
            const QImage image = circleOverSquare(version, BlendMode::Alpha, alpha);
            ASSERT_FALSE(image.isNull());
            // The corner of the circle's box: not drawn, the square stays whole.
            EXPECT_TRUE(near(image.pixelColor(25, 25), 0, 0, 255)) << int(version) << alpha;
            // Far outside the box too.
            EXPECT_TRUE(near(image.pixelColor(5, 5), 0, 0, 255)) << int(version) << alpha;
            // Inside the circle the square keeps the circle's alpha, over white.
            const int kept = 255 - alpha;
            EXPECT_TRUE(near(image.pixelColor(50, 50), kept, kept, 255)) << int(version) << alpha;
        }
    }
}

TEST(BlendCoverageTest, EraseClearsOnlyTheDrawnPixels) {
    for (uint8_t version : {8, 10}) {
        for (uint8_t alpha : {0, 128, 255}) {
            const QImage image = circleOverSquare(version, BlendMode::Erase, alpha);
            ASSERT_FALSE(image.isNull());
            EXPECT_TRUE(near(image.pixelColor(25, 25), 0, 0, 255)) << int(version) << alpha;
            EXPECT_TRUE(near(image.pixelColor(5, 5), 0, 0, 255)) << int(version) << alpha;
            // Erase clears by the circle's alpha: a transparent circle clears nothing.
            EXPECT_TRUE(near(image.pixelColor(50, 50), alpha, alpha, 255)) << int(version) << alpha;
        }
    }
}

} // namespace
} // namespace mc
