// Rules of the picture model that depend on the movie's version or on how a shape's edges
// are written: bitmap fill smoothing before version 8, fills whose style changes midway
// around an outline, and the stage colour when a movie names it more than once.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>

#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::FillStyle;
using moviemaker::Matrix;
using moviemaker::Rgba;
using moviemaker::Shape;
using moviemaker::SwfWriter;

bool near(QColor c, int r, int g, int b) {
    return std::abs(c.red() - r) <= 8 && std::abs(c.green() - g) <= 8 &&
           std::abs(c.blue() - b) <= 8;
}

// A red and a blue pixel side by side, filled ten times enlarged over 20 x 10 pixels.
QImage twoPixelFill(uint8_t swfVersion, bool repeating) {
    SwfWriter movie = whiteStage(20, 10, swfVersion);
    moviemaker::RawImage pixels{2, 1, {Rgba{255, 0, 0, 255}, Rgba{0, 0, 255, 255}}};
    const uint16_t bitmap = movie.defineBitsLossless(pixels);
    Shape box;
    box.fill1(box.addFill(FillStyle::bitmap(bitmap, Matrix::scale(200, 200), repeating, true)))
        .rectangle(0, 0, 400, 200);
    movie.place(movie.defineShape(box), 1);
    return firstFrame(movie, QSize(20, 10), RenderQuality::High);
}

TEST(PictureRulesTest, BitmapFillsAreSmoothedFromVersionEightOnly) {
    for (bool repeating : {false, true}) {
        // Before version 8 every bitmap fill keeps hard pixel edges: the pixel left of the
        // seam is still pure red.
        const QImage old = twoPixelFill(7, repeating);
        ASSERT_FALSE(old.isNull());
        EXPECT_TRUE(near(old.pixelColor(9, 5), 255, 0, 0)) << repeating;
        EXPECT_TRUE(near(old.pixelColor(10, 5), 0, 0, 255)) << repeating;
        // From version 8 the smoothed types blend across the seam.
        const QImage smoothed = twoPixelFill(8, repeating);
        ASSERT_FALSE(smoothed.isNull());
        const QColor seam = smoothed.pixelColor(9, 5);
        EXPECT_GT(seam.blue(), 40) << repeating;
        EXPECT_GT(seam.red(), 40) << repeating;
    }
}

TEST(PictureRulesTest, OutlinePiecesOfOneFillJoinAcrossAStyleChange) {
    // A rectangle outlined once; the top and left edges carry red, the right and bottom blue.
    // Each colour's two edges meet at a corner, so each fills the triangle they span.
    for (uint8_t version : {6, 10}) {
        SwfWriter movie = whiteStage(40, 30, version);
        Shape s;
        const uint32_t red = s.addFill(FillStyle::solid({255, 0, 0, 255}));
        const uint32_t blue = s.addFill(FillStyle::solid({0, 0, 255, 255}));
        s.fill1(red).moveTo(0, 0).lineTo(800, 0).fill1(blue).lineTo(800, 600);
        s.lineTo(0, 600).fill1(red).lineTo(0, 0);
        movie.place(movie.defineShape(s), 1);
        const QImage image = firstFrame(movie, QSize(40, 30), RenderQuality::High);
        ASSERT_FALSE(image.isNull());
        EXPECT_TRUE(near(image.pixelColor(8, 4), 255, 0, 0)) << int(version);
        EXPECT_TRUE(near(image.pixelColor(32, 25), 0, 0, 255)) << int(version);
    }
}

TEST(PictureRulesTest, OnlyTheFirstBackgroundColourCounts) {
    SwfWriter movie = whiteStage(10, 10, 10); // names white first
    movie.setBackgroundColor({0, 0, 0});
    const QImage image = firstFrame(movie, QSize(10, 10), RenderQuality::High);
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(near(image.pixelColor(5, 5), 255, 255, 255));
}

// Three red triangles placed with the third placement: the first marked invisible, the
// second given a green background of little alpha (the shape covers half of its box), the
// third placed plainly.
QImage placedLook(uint8_t version) {
    SwfWriter movie = whiteStage(40, 20, version);
    Shape s;
    s.fill1(s.addFill(FillStyle::solid({255, 0, 0, 255})))
        .moveTo(0, 0)
        .lineTo(200, 0)
        .lineTo(0, 200)
        .lineTo(0, 0);
    const uint16_t id = movie.defineShape(s);
    const auto placed = [&](uint16_t depth, int32_t y) {
        moviemaker::PlaceObject p;
        p.depth = depth;
        p.characterId = id;
        p.matrix = Matrix::translate(depth == 2 ? 400 : 0, y);
        return p;
    };
    moviemaker::PlaceObject hidden = placed(1, 0);
    hidden.visible = false;
    moviemaker::PlaceObject backed = placed(2, 0);
    backed.backgroundColor = Rgba{0, 255, 0, 10};
    const moviemaker::PlaceObject bare = placed(3, 200);
    for (const auto& p : {hidden, backed, bare}) {
        movie.placeObject(p, 3);
    }
    return firstFrame(movie, QSize(40, 20), RenderQuality::High);
}

TEST(PictureRulesTest, PlacedVisibilityAndBackgroundCountFromVersionElevenOn) {
    const QImage old = placedLook(10);
    ASSERT_FALSE(old.isNull());
    EXPECT_TRUE(near(old.pixelColor(2, 2), 255, 0, 0));      // shown though marked hidden
    EXPECT_TRUE(near(old.pixelColor(28, 8), 255, 255, 255)); // no background
    const QImage recent = placedLook(11);
    ASSERT_FALSE(recent.isNull());
    EXPECT_TRUE(near(recent.pixelColor(2, 2), 255, 255, 255)); // hidden
    EXPECT_TRUE(near(recent.pixelColor(22, 2), 255, 0, 0));
    EXPECT_TRUE(near(recent.pixelColor(28, 8), 0, 255, 0)); // opaque whatever its alpha
    EXPECT_TRUE(near(recent.pixelColor(8, 18), 255, 255, 255));
    EXPECT_TRUE(near(recent.pixelColor(2, 12), 255, 0, 0));
}

} // namespace
} // namespace mc
