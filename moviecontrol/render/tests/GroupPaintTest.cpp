// Groups on real movies: filters spread past the object and the stage edge, blend modes
// reach the pixels beneath, and groups inside masks stay masked.
#include <gtest/gtest.h>

#include <QImage>
#include <optional>
#include <utility>

#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::BlendMode;
using moviemaker::FillStyle;
using moviemaker::Matrix;
using moviemaker::MovieHeader;
using moviemaker::PlaceObject;
using moviemaker::Rect;
using moviemaker::Shape;
using moviemaker::SwfWriter;

std::unique_ptr<MovieView> load(const std::vector<std::uint8_t>& bytes) {
    renderTestApp();
    return MovieView::fromBytes(bytes);
}

std::uint16_t square(SwfWriter& movie, int x, int y, int side, moviemaker::Rgba colour) {
    Shape box;
    box.fill1(box.addFill(FillStyle::solid(colour)))
        .rectangle(x * 20, y * 20, side * 20, side * 20);
    return movie.defineShape(box);
}

void placeThird(SwfWriter& movie, std::uint16_t id, std::uint16_t depth, PlaceObject options) {
    options.characterId = id;
    options.depth = depth;
    movie.placeObject(options, 3);
}

// A 20 px square at (40, 40) blurred by `blur` px, rendered at `scale` times the stage.
QImage blurredSquare(double blur, double scale, Matrix matrix = {},
                     moviemaker::Rgba colour = {255, 0, 0, 255},
                     std::optional<moviemaker::ColorTransform> cx = std::nullopt) {
    SwfWriter movie = whiteStage(100, 100);
    const std::uint16_t id = square(movie, 40, 40, 20, colour);
    PlaceObject p;
    p.matrix = matrix;
    p.colorTransform = cx;
    p.filters = moviemaker::blurFilterList(blur, blur, 1);
    placeThird(movie, id, 1, p);
    movie.showFrame();
    auto renderer = load(movie.finish());
    EXPECT_TRUE(renderer);
    if (!renderer) {
        return {};
    }
    const int side = static_cast<int>(100 * scale);
    return renderer->renderFrame(QSize(side, side), RenderQuality::Low);
}

bool tinted(QColor c) {
    return c.red() > 250 && c.green() < 250 && c.green() > 5;
}

TEST(GroupPaintTest, BlurSpreadsByItsSizeAtTheStageScale) {
    const QImage sharp = blurredSquare(0, 1);
    EXPECT_EQ(sharp.pixelColor(38, 50), QColor(255, 255, 255));
    const QImage soft = blurredSquare(10, 1);
    // A 10 px box reaches about 5 px past each edge, and the centre stays solid.
    EXPECT_TRUE(tinted(soft.pixelColor(37, 50))) << soft.pixelColor(37, 50).name().toStdString();
    EXPECT_EQ(soft.pixelColor(30, 50), QColor(255, 255, 255));
    EXPECT_EQ(soft.pixelColor(50, 50), QColor(255, 0, 0));
    // Twice the view, twice the reach.
    const QImage big = blurredSquare(10, 2);
    EXPECT_TRUE(tinted(big.pixelColor(74, 100)));
    EXPECT_EQ(big.pixelColor(66, 100), QColor(255, 255, 255));
}

TEST(GroupPaintTest, BlurIgnoresTheObjectsOwnScale) {
    // Scaled 2x the square covers 40..80; its blur reaches as far as the unscaled one's.
    const QImage scaled = blurredSquare(10, 1, Matrix::scale(2.0, 2.0, -800, -800));
    EXPECT_TRUE(tinted(scaled.pixelColor(37, 60)));
    EXPECT_EQ(scaled.pixelColor(32, 60), QColor(255, 255, 255));
    const QImage shifted = blurredSquare(10, 1, Matrix::translate(-1180, 0));
    // The square now ends at x = 1: its blur must still come in from outside the stage.
    EXPECT_TRUE(tinted(shifted.pixelColor(3, 50)))
        << shifted.pixelColor(3, 50).name().toStdString();
    EXPECT_EQ(shifted.pixelColor(8, 50), QColor(255, 255, 255));
}

TEST(GroupPaintTest, ColourTransformTintsTheFilteredLayer) {
    // A black square made red by its placement: the blurred fringe is red too, not grey.
    const QImage image = blurredSquare(10, 1, {}, {0, 0, 0, 255},
                                       moviemaker::ColorTransform::tint({255, 0, 0}, 1.0));
    EXPECT_EQ(image.pixelColor(50, 50), QColor(255, 0, 0));
    EXPECT_TRUE(tinted(image.pixelColor(37, 50))) << image.pixelColor(37, 50).name().toStdString();
}

// A red 20 px square whose left edge lies at 10 px plus `twips`, drawn smoothly, with a blur
// of nothing (still a cached bitmap) when `filtered`.
QImage offsetSquare(int twips, bool filtered) {
    SwfWriter movie = whiteStage(60, 40);
    const std::uint16_t id = square(movie, 10, 10, 20, {255, 0, 0, 255});
    PlaceObject p;
    p.matrix = Matrix::translate(twips, 0);
    if (filtered) {
        p.filters = moviemaker::blurFilterList(0, 0, 1);
    }
    placeThird(movie, id, 1, p);
    movie.showFrame();
    auto renderer = load(movie.finish());
    EXPECT_TRUE(renderer);
    return renderer ? renderer->renderFrame(QSize(60, 40), RenderQuality::High) : QImage();
}

TEST(GroupPaintTest, CachedBitmapsSnapTheirContentToWholePixels) {
    const QColor red(255, 0, 0);
    const QColor white(255, 255, 255);
    // 10.4 px rounds down: the square covers pixels 10..29 exactly.
    const QImage down = offsetSquare(8, true);
    EXPECT_EQ(down.pixelColor(10, 20), red) << down.pixelColor(10, 20).name().toStdString();
    EXPECT_EQ(down.pixelColor(30, 20), white) << down.pixelColor(30, 20).name().toStdString();
    // A half pixel rounds away from zero: pixels 11..30.
    const QImage half = offsetSquare(10, true);
    EXPECT_EQ(half.pixelColor(10, 20), white) << half.pixelColor(10, 20).name().toStdString();
    EXPECT_EQ(half.pixelColor(30, 20), red) << half.pixelColor(30, 20).name().toStdString();
    // Without a cache the edge stays where it is, shared between two pixels.
    const QImage plain = offsetSquare(8, false);
    EXPECT_NE(plain.pixelColor(10, 20), red);
    EXPECT_NE(plain.pixelColor(30, 20), white);
}

TEST(GroupPaintTest, BlendModesSeeWhatIsBeneath) {
    // 100 grey over 128 grey: added, or taken from what is beneath.
    for (const auto& [mode, expected] :
         {std::pair{BlendMode::Add, 228}, std::pair{BlendMode::Subtract, 28}}) {
        SwfWriter movie = whiteStage(60, 20);
        movie.place(square(movie, 0, 0, 60, {128, 128, 128, 255}), 1);
        PlaceObject blended;
        blended.blendMode = mode;
        placeThird(movie, square(movie, 0, 0, 60, {100, 100, 100, 255}), 2, blended);
        movie.showFrame();
        auto renderer = load(movie.finish());
        ASSERT_TRUE(renderer);
        EXPECT_EQ(renderer->renderFrame(QSize(60, 20), RenderQuality::Low).pixelColor(10, 10),
                  QColor(expected, expected, expected));
    }
}

// A sprite holding a blue 60 px square and, at (20, 20), a 20 px square of `colour` with
// `mode`; the sprite itself is placed with `parentMode`, on a yellow stage.
QImage cutOut(BlendMode mode, std::optional<BlendMode> parentMode, moviemaker::Rgba colour) {
    MovieHeader header;
    header.frameSize = Rect::pixels(60, 60);
    SwfWriter movie(header);
    movie.setBackgroundColor({255, 255, 0});
    const std::uint16_t blue = square(movie, 0, 0, 60, {0, 0, 255, 255});
    const std::uint16_t cut = square(movie, 20, 20, 20, colour);
    moviemaker::Sprite sprite;
    sprite.place(blue, 1);
    PlaceObject p;
    p.characterId = cut;
    p.depth = 2;
    p.blendMode = mode;
    sprite.placeObject(p, 3);
    sprite.showFrame();
    const std::uint16_t id = movie.defineSprite(sprite);
    PlaceObject outer;
    outer.blendMode = parentMode;
    placeThird(movie, id, 1, outer);
    movie.showFrame();
    auto renderer = load(movie.finish());
    EXPECT_TRUE(renderer);
    return renderer ? renderer->renderFrame(QSize(60, 60), RenderQuality::Low) : QImage();
}

TEST(GroupPaintTest, AlphaAndEraseActOnlyInsideALayer) {
    const QColor yellow(255, 255, 0);
    const QColor blue(0, 0, 255);
    // Inside a Layer group, Erase clears the blue where it draws and the stage shows; Alpha
    // keeps the blue only as far as its own alpha goes.
    QImage erased = cutOut(BlendMode::Erase, BlendMode::Layer, {255, 0, 0, 255});
    EXPECT_EQ(erased.pixelColor(30, 30), yellow);
    EXPECT_EQ(erased.pixelColor(10, 10), blue);
    QImage kept = cutOut(BlendMode::Alpha, BlendMode::Layer, {255, 0, 0, 128});
    const QColor half = kept.pixelColor(30, 30);
    EXPECT_NEAR(half.red(), 127, 3);
    EXPECT_NEAR(half.blue(), 128, 3);
    EXPECT_EQ(kept.pixelColor(10, 10), blue);
    // Without a Layer group around them (none at all, or another kind of group) they leave
    // everything as it was and draw nothing themselves.
    for (std::optional<BlendMode> parent :
         {std::optional<BlendMode>{}, std::optional<BlendMode>{BlendMode::Multiply}}) {
        for (BlendMode mode : {BlendMode::Alpha, BlendMode::Erase}) {
            const QImage image = cutOut(mode, parent, {255, 0, 0, 255});
            EXPECT_EQ(image.pixelColor(30, 30), parent ? QColor(0, 0, 0) : blue);
            EXPECT_EQ(image.pixelColor(5, 5), parent ? QColor(0, 0, 0) : blue);
        }
    }
}

TEST(GroupPaintTest, GroupsInsideMasksStayMasked) {
    SwfWriter movie = whiteStage(100, 100);
    const std::uint16_t mask = square(movie, 0, 0, 50, {0, 0, 0, 255});
    const std::uint16_t blue = square(movie, 0, 0, 100, {0, 0, 255, 255});
    PlaceObject clip;
    clip.clipDepth = 2;
    placeThird(movie, mask, 1, clip);
    PlaceObject invert;
    invert.blendMode = BlendMode::Invert;
    placeThird(movie, blue, 2, invert);
    movie.showFrame();
    auto renderer = load(movie.finish());
    ASSERT_TRUE(renderer);
    const QImage image = renderer->renderFrame(QSize(100, 100), RenderQuality::Low);
    EXPECT_EQ(image.pixelColor(20, 20), QColor(0, 0, 0)); // white inverted, inside the mask
    EXPECT_EQ(image.pixelColor(70, 70), QColor(255, 255, 255));
}

} // namespace
} // namespace mc
