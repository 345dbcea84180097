// Shapes drawn through the raster cache: an unchanged or merely moved shape must be blitted
// from its kept picture, any change of how it looks must draw it anew, and the picture must
// match a renderer that keeps nothing.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "moviemaker/MorphShape.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::FillStyle;
using moviemaker::Gradient;
using moviemaker::LineStyle;
using moviemaker::Matrix;
using moviemaker::PlaceObject;
using moviemaker::Shape;
using moviemaker::SwfWriter;

constexpr std::uint16_t kDepth = 1;

struct Difference {
    int worst = 0;
    // Pixels more than a few levels apart.
    int changed = 0;
};

Difference compare(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return {256, a.width() * a.height()};
    }
    Difference d;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int most = std::max(
                {std::abs(qRed(p[x]) - qRed(q[x])), std::abs(qGreen(p[x]) - qGreen(q[x])),
                 std::abs(qBlue(p[x]) - qBlue(q[x])), std::abs(qAlpha(p[x]) - qAlpha(q[x]))});
            d.worst = std::max(d.worst, most);
            d.changed += most > 4 ? 1 : 0;
        }
    }
    return d;
}

// A gradient ellipse with a thick outline and a hairline across it: fills, strokes drawn as
// outlines and strokes drawn with a device pen.
std::uint16_t badge(SwfWriter& movie) {
    Shape s;
    Gradient g;
    g.stops = {{0, {250, 200, 40, 255}}, {255, {30, 60, 200, 255}}};
    LineStyle thick;
    thick.width = 60;
    thick.color = {20, 20, 20, 255};
    LineStyle hair;
    hair.width = 0;
    hair.color = {200, 0, 0, 255};
    s.fill1(s.addFill(FillStyle::radial(moviemaker::gradientBox(-500, -300, 1000, 600), g)))
        .line(s.addLine(thick))
        .ellipse(0, 0, 500, 300);
    s.newStyles();
    s.line(s.addLine(hair)).moveTo(-600, 0).lineTo(600, 40);
    return movie.defineShape(s, 4);
}

PlaceObject moved(const std::function<void(PlaceObject&)>& edit) {
    PlaceObject p;
    p.depth = kDepth;
    p.move = true;
    edit(p);
    return p;
}

// The movie on two renderers, one with the raster cache and one without.
struct TwoRenderers {
    std::unique_ptr<MovieView> cached;
    std::unique_ptr<MovieView> direct;

    explicit TwoRenderers(const std::vector<std::uint8_t>& bytes) {
        renderTestApp();
        cached = MovieView::fromBytes(bytes);
        direct = MovieView::fromBytes(bytes);
        if (direct) {
            direct->resources().rasters.setEnabled(false);
        }
    }
    const ShapeRasterCache& cache() { return cached->resources().rasters; }

    // Hits of this frame; the cached picture must match the direct one within an eighth of
    // a pixel's coverage at the edges.
    long paint(const std::string& what, QSize view = QSize(400, 300),
               RenderQuality quality = RenderQuality::High) {
        const long before = cache().hits();
        last = cached->renderFrame(view, quality);
        const QImage drawn = direct->renderFrame(view, quality);
        const Difference d = compare(last, drawn);
        EXPECT_LE(d.worst, 40) << what;
        EXPECT_LE(d.changed, last.width() * last.height() / 100) << what;
        return cache().hits() - before;
    }
    void advance() {
        cached->player().advance();
        direct->player().advance();
    }
    QImage last;
};

TEST(ShapeRasterPaint, UnchangedAndMovedShapesAreBlittedAndChangedOnesDrawnAnew) {
    SwfWriter movie = whiteStage(200, 150);
    const std::uint16_t id = badge(movie);
    movie.place(id, kDepth, Matrix::translate(1000, 1000));
    movie.showFrame();
    struct Step {
        std::string what;
        std::function<void(PlaceObject&)> edit;
        long hits;
    };
    moviemaker::ColorTransform tint;
    tint.redMult = 80;
    tint.greenAdd = 60;
    const std::vector<Step> steps{
        // Seen in the frame before: drawn into the cache, not yet taken from it.
        {"second frame", [](PlaceObject&) {}, 0},
        {"unchanged", [](PlaceObject&) {}, 1},
        {"whole-pixel move", [](PlaceObject& p) { p.matrix = Matrix::translate(1500, 800); }, 1},
        // A twip is a tenth of a pixel here: a new phase gets a picture of its own.
        {"sub-pixel move", [](PlaceObject& p) { p.matrix = Matrix::translate(1503, 800); }, 0},
        {"back to the first phase", [](PlaceObject& p) { p.matrix = Matrix::translate(1200, 900); },
         1},
        {"same phase again", [](PlaceObject& p) { p.matrix = Matrix::translate(603, 700); }, 1},
        {"scale", [](PlaceObject& p) { p.matrix = Matrix::scale(1.25, 1.0, 1200, 900); }, 0},
        {"rotation", [](PlaceObject& p) { p.matrix = Matrix::scaleRotate(1.0, 0.4, 1200, 900); },
         0},
        {"skew", [](PlaceObject& p) { p.matrix = Matrix::affine(1.0, 0.3, 0.0, 1.0, 1200, 900); },
         0},
        {"colour transform", [&](PlaceObject& p) { p.colorTransform = tint; }, 0},
        {"kept with the colour transform", [](PlaceObject&) {}, 0},
        {"moved with the colour transform",
         [](PlaceObject& p) { p.matrix = Matrix::affine(1.0, 0.3, 0.0, 1.0, 1400, 1100); }, 1},
    };
    for (const Step& step : steps) {
        movie.placeObject(moved(step.edit), 2);
        movie.showFrame();
    }
    TwoRenderers play(movie.finish());
    ASSERT_TRUE(play.cached && play.direct);
    EXPECT_EQ(play.paint("first frame"), 0);
    EXPECT_EQ(play.cache().entries(), 0u); // a single showing is drawn directly
    QImage before = play.last;
    for (const Step& step : steps) {
        play.advance();
        EXPECT_EQ(play.paint(step.what), step.hits) << step.what;
        // Each step either leaves the picture alone or visibly changes it.
        const bool still = step.what == "second frame" || step.what == "unchanged" ||
                           step.what == "kept with the colour transform";
        EXPECT_EQ(compare(play.last, before).worst <= 2, still) << step.what;
        before = play.last;
    }
}

TEST(ShapeRasterPaint, AFadeSharesThePictureOfAShapeThatPaintsOnce) {
    SwfWriter movie = whiteStage(200, 150);
    Shape disc;
    Gradient g;
    g.stops = {{0, {250, 60, 40, 255}}, {255, {40, 60, 250, 160}}};
    disc.fill1(disc.addFill(FillStyle::radial(moviemaker::gradientBox(-400, -400, 800, 800), g)))
        .ellipse(0, 0, 400, 400);
    movie.place(movie.defineShape(disc, 3), kDepth, Matrix::translate(1000, 700));
    // Fill and outline overlap: fading each differs from fading the whole.
    movie.place(badge(movie), kDepth + 1, Matrix::translate(2800, 800));
    movie.showFrame();
    movie.showFrame();
    for (const double opacity : {0.8, 0.5, 0.2}) {
        PlaceObject fade = moved([opacity](PlaceObject& p) {
            p.colorTransform = moviemaker::ColorTransform::alpha(opacity);
        });
        movie.placeObject(fade, 2);
        fade.depth = kDepth + 1;
        movie.placeObject(fade, 2);
        movie.showFrame();
    }
    TwoRenderers play(movie.finish());
    ASSERT_TRUE(play.cached && play.direct);
    play.paint("first");
    play.advance();
    play.paint("second");
    QImage before = play.last;
    for (const std::string step : {"80 %", "50 %", "20 %"}) {
        play.advance();
        // The disc every time; the badge, a new look each frame, never.
        EXPECT_EQ(play.paint(step), 1) << step;
        EXPECT_GT(compare(play.last, before).worst, 40) << step;
        before = play.last;
    }
}

TEST(ShapeRasterPaint, QualityAndViewScaleHaveTheirOwnPictures) {
    SwfWriter movie = whiteStage(200, 150);
    movie.place(badge(movie), kDepth, Matrix::translate(1000, 1000));
    movie.showFrame();
    TwoRenderers play(movie.finish());
    ASSERT_TRUE(play.cached && play.direct);
    play.paint("first");
    play.paint("second");
    EXPECT_EQ(play.paint("third"), 1);
    EXPECT_EQ(play.paint("low quality", QSize(400, 300), RenderQuality::Low), 0);
    EXPECT_EQ(play.paint("low quality again", QSize(400, 300), RenderQuality::Low), 0);
    EXPECT_EQ(play.paint("low quality kept", QSize(400, 300), RenderQuality::Low), 1);
    EXPECT_EQ(play.paint("larger view", QSize(600, 450)), 0);
    EXPECT_EQ(play.paint("larger view again", QSize(600, 450)), 0);
    EXPECT_EQ(play.paint("larger view kept", QSize(600, 450)), 1);
    // Each picture stays for its own setting.
    EXPECT_EQ(play.paint("first setting again"), 1);
    EXPECT_EQ(play.cache().entries(), 3u);
}

TEST(ShapeRasterPaint, AMorphIsKeptPerRatio) {
    SwfWriter movie = whiteStage(200, 150);
    moviemaker::MorphShape morph;
    morph.addFill(moviemaker::MorphFillStyle::solid({255, 0, 0, 255}, {0, 0, 255, 255}));
    morph.start().fill1(1).rectangle(0, 0, 1000, 1000);
    morph.end().rectangle(0, 0, 2000, 600);
    const std::uint16_t id = movie.defineMorphShape(morph);
    PlaceObject first;
    first.characterId = id;
    first.depth = kDepth;
    first.ratio = 0;
    first.matrix = Matrix::translate(400, 400);
    movie.placeObject(first, 2);
    movie.showFrame();
    movie.showFrame();
    movie.showFrame();
    for (const std::uint16_t ratio : {20000, 40000}) {
        movie.placeObject(moved([ratio](PlaceObject& p) { p.ratio = ratio; }), 2);
        movie.showFrame();
    }
    movie.showFrame();
    movie.showFrame();
    TwoRenderers play(movie.finish());
    ASSERT_TRUE(play.cached && play.direct);
    const std::vector<long> hits{0, 0, 1, 0, 0, 0, 1};
    QImage before;
    for (std::size_t frame = 0; frame < hits.size(); ++frame) {
        EXPECT_EQ(play.paint("frame " + std::to_string(frame + 1)), hits[frame]) << frame;
        if (frame == 3 || frame == 4) {
            EXPECT_GT(compare(play.last, before).worst, 40)
                << "the ratio changed in frame " << frame + 1;
        }
        before = play.last;
        play.advance();
    }
}

TEST(ShapeRasterPaint, BlittedPictureMatchesDirectDrawingAtEveryPhase) {
    // At the stage's own size a twip is a twentieth of a pixel: positions five twips apart
    // fall on the quarter-pixel phases the cache keeps, so cached and direct drawing put the
    // same edges on the same pixels.
    SwfWriter movie = whiteStage(300, 200);
    const std::uint16_t id = badge(movie);
    LineStyle hinted;
    hinted.width = 40;
    hinted.color = {0, 120, 0, 255};
    hinted.pixelHinting = true;
    Shape frame;
    frame.line(frame.addLine(hinted)).rectangle(0, 0, 700, 500);
    const std::uint16_t frameId = movie.defineShape(frame, 4);
    // Phases of 0, 1/4 and 3/4 pixel: half a pixel would put aliased edges and snapped
    // lines exactly on pixel centres, where rounding may fall either way.
    constexpr std::int32_t kPhaseTwips[] = {0, 5, 15, 5};
    for (std::uint16_t i = 0; i < 16; ++i) {
        const std::int32_t x = 700 + (i % 4) * 1300 + kPhaseTwips[i % 4];
        const std::int32_t y = 500 + (i / 4) * 900 + kPhaseTwips[(i / 4 + 1) % 4];
        movie.place(i % 2 == 0 ? id : frameId, static_cast<std::uint16_t>(i + 1),
                    Matrix::translate(x, y));
    }
    movie.showFrame();
    TwoRenderers play(movie.finish());
    ASSERT_TRUE(play.cached && play.direct);
    const QSize view(300, 200);
    for (const RenderQuality quality : {RenderQuality::High, RenderQuality::Low}) {
        play.paint("drawn directly", view, quality);
        play.paint("drawn into the cache", view, quality);
        EXPECT_EQ(play.paint("blitted", view, quality), 16);
        // Only the odd anti-aliased corner of a snapped line differs by more than rounding:
        // Qt rasterises it a little differently on the clipped view than on a picture.
        const Difference d = compare(play.last, play.direct->renderFrame(view, quality));
        EXPECT_LE(d.worst, 16);
        EXPECT_LE(d.changed, 32);
    }
}

} // namespace
} // namespace mc
