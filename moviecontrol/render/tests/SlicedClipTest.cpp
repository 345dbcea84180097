// A clip with a nine-slice grid keeps the corners of its drawing at their own size when it is
// scaled: the edges stretch along their length only, the middle both ways, and the corners
// shrink together only once the clip is smaller than they are. A turned clip scales as any
// other.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "RenderTestMovies.h"

namespace mc {
namespace {

using moviemaker::FillStyle;
using moviemaker::Matrix;
using moviemaker::Rect;
using moviemaker::Shape;
using moviemaker::Sprite;

constexpr int kTwips = 20;

// What one picture of the sliced clip shows: where its dark body spans across row 100, and
// how wide its red top-left corner is (in its first red row).
struct Spans {
    int bodyLeft = -1;
    int bodyRight = -1;
    int cornerWidth = 0;
};

bool isRed(const QColor& c) {
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}
bool isInk(const QColor& c) {
    return c.lightness() < 200;
}

// A 40 x 40 px clip (dark, its 10 px top-left corner red) whose grid leaves 10 px each side,
// placed at (x, y) px with `matrix` on a 400 x 200 stage.
Spans spansOf(const Matrix& matrix, bool grid = true) {
    moviemaker::SwfWriter movie = whiteStage(400, 200);
    Shape body;
    body.fill1(body.addFill(FillStyle::solid({40, 40, 40})))
        .rectangle(0, 0, 40 * kTwips, 40 * kTwips);
    Shape corner;
    corner.fill1(corner.addFill(FillStyle::solid({255, 0, 0})))
        .rectangle(0, 0, 10 * kTwips, 10 * kTwips);
    const uint16_t bodyId = movie.defineShape(body);
    const uint16_t cornerId = movie.defineShape(corner);
    Sprite clip;
    clip.place(bodyId, 1);
    clip.place(cornerId, 2);
    clip.showFrame();
    const uint16_t clipId = movie.defineSprite(clip);
    if (grid) {
        movie.defineScalingGrid(clipId, Rect{10 * kTwips, 30 * kTwips, 10 * kTwips, 30 * kTwips});
    }
    movie.place(clipId, 1, matrix);
    const QImage image = firstFrame(movie, QSize(400, 200));
    Spans s;
    if (image.isNull()) {
        return s;
    }
    for (int x = 0; x < image.width(); ++x) {
        if (isInk(image.pixelColor(x, 100)) || isRed(image.pixelColor(x, 100))) {
            s.bodyLeft = s.bodyLeft < 0 ? x : s.bodyLeft;
            s.bodyRight = x + 1;
        }
    }
    for (int y = 0; y < image.height() && s.cornerWidth == 0; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            s.cornerWidth += isRed(image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return s;
}

TEST(SlicedClipTest, CornersKeepTheirSizeAsTheClipScales) {
    struct Row {
        const char* what;
        Matrix matrix;
        Spans expected;
    };
    const Row rows[] = {
        {"four times as wide",
         Matrix::affine(4, 0, 0, 4, 100 * kTwips, 20 * kTwips),
         {100, 260, 10}},
        {"unscaled", Matrix::affine(1, 0, 0, 1, 100 * kTwips, 80 * kTwips), {100, 140, 10}},
        // Half as wide as its two corners: they shrink to share what there is.
        {"a quarter", Matrix::affine(0.25, 0, 0, 4, 100 * kTwips, 20 * kTwips), {100, 110, 5}},
        // Mirrored: the corner stays 10 px, now at the right.
        {"mirrored", Matrix::affine(-4, 0, 0, 4, 300 * kTwips, 20 * kTwips), {140, 300, 10}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Spans s = spansOf(row.matrix);
        EXPECT_NEAR(s.bodyLeft, row.expected.bodyLeft, 1);
        EXPECT_NEAR(s.bodyRight, row.expected.bodyRight, 1);
        EXPECT_NEAR(s.cornerWidth, row.expected.cornerWidth, 1);
    }
}

TEST(SlicedClipTest, WithoutAGridOrTurnedTheClipScalesAsAnyOther) {
    const Spans plain = spansOf(Matrix::affine(4, 0, 0, 4, 100 * kTwips, 20 * kTwips), false);
    EXPECT_NEAR(plain.cornerWidth, 40, 1);
    EXPECT_NEAR(plain.bodyRight - plain.bodyLeft, 160, 1);
    // A quarter turn: the corner's side across is its scaled height.
    const double s = 2.0;
    const Spans turned = spansOf(Matrix::affine(0, s, -s, 0, 200 * kTwips, 60 * kTwips));
    EXPECT_NEAR(turned.cornerWidth, 20, 1);
    EXPECT_NEAR(turned.bodyRight - turned.bodyLeft, 80, 1);
}

} // namespace
} // namespace mc
