// Cached group pictures: every input of a filtered object's picture that changes must make it
// drawn anew, and an unchanged or merely moved one must be taken from the cache. Each frame is
// checked against a renderer that keeps nothing.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "CommandRecord.h"
#include "Drawing.h"
#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::FillStyle;
using moviemaker::Matrix;
using moviemaker::MovieHeader;
using moviemaker::PlaceObject;
using moviemaker::Rect;
using moviemaker::Shape;
using moviemaker::Sprite;
using moviemaker::SwfWriter;

constexpr int kDepth = 1;
const QSize kView(400, 300); // twice the stage: a twip is a tenth of a pixel

std::uint16_t square(SwfWriter& movie, int x, moviemaker::Rgba colour) {
    Shape box;
    box.fill1(box.addFill(FillStyle::solid(colour))).rectangle(x * 20, 0, 30 * 20, 30 * 20);
    return movie.defineShape(box);
}

int maxDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return 256;
    }
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            worst = std::max(
                {worst, std::abs(qRed(p[x]) - qRed(q[x])), std::abs(qGreen(p[x]) - qGreen(q[x])),
                 std::abs(qBlue(p[x]) - qBlue(q[x])), std::abs(qAlpha(p[x]) - qAlpha(q[x]))});
        }
    }
    return worst;
}

// The movie played on two renderers, one keeping group pictures and one not; each frame's
// pictures must agree, and the cache's hits are counted per frame.
struct TwoRenderers {
    std::unique_ptr<MovieView> cached;
    std::unique_ptr<MovieView> fresh;

    explicit TwoRenderers(const std::vector<std::uint8_t>& bytes) {
        renderTestApp();
        cached = MovieView::fromBytes(bytes);
        fresh = MovieView::fromBytes(bytes);
        // Shapes inside are drawn directly on both: only group pictures are compared.
        if (cached) {
            cached->resources().rasters.setEnabled(false);
        }
        if (fresh) {
            fresh->resources().groups.setEnabled(false);
            fresh->resources().rasters.setEnabled(false);
        }
    }

    // Hits of this frame; the two pictures are compared on the way.
    long paintFrame(const std::string& what) {
        const long before = cached->resources().groups.hits();
        const QImage kept = cached->renderFrame(kView, RenderQuality::High);
        const QImage drawn = fresh->renderFrame(kView, RenderQuality::High);
        EXPECT_LE(maxDifference(kept, drawn), 2) << what;
        return cached->resources().groups.hits() - before;
    }

    void advance() {
        cached->player().advance();
        fresh->player().advance();
    }
};

PlaceObject blurred(std::uint16_t id, Matrix matrix, double blur) {
    PlaceObject p;
    p.characterId = id;
    p.depth = kDepth;
    p.matrix = matrix;
    p.filters = moviemaker::blurFilterList(blur, blur, 2);
    return p;
}

PlaceObject change() {
    PlaceObject p;
    p.depth = kDepth;
    p.move = true;
    return p;
}

TEST(GroupCacheTest, OnlyMovesAndUnchangedFramesReuseTheFilteredPicture) {
    SwfWriter movie = whiteStage(200, 150);
    Sprite inner;
    inner.place(square(movie, 0, {200, 30, 30, 255}), 1);
    inner.showFrame();
    const std::uint16_t sprite = movie.defineSprite(inner);
    const Matrix home = Matrix::translate(40 * 20, 40 * 20);
    movie.placeObject(blurred(sprite, home, 6), 3);
    movie.showFrame();

    struct Step {
        std::string what;
        std::function<void(PlaceObject&)> edit;
        bool reused;
    };
    const std::vector<Step> steps{
        {"whole-pixel move", [](PlaceObject& p) { p.matrix = Matrix::translate(1000, 900); }, true},
        {"sub-pixel move", [](PlaceObject& p) { p.matrix = Matrix::translate(1007, 903); }, true},
        {"nothing", [](PlaceObject&) {}, true},
        {"colour transform",
         [](PlaceObject& p) {
             moviemaker::ColorTransform cx;
             cx.redMult = 100;
             cx.blueAdd = 90;
             p.colorTransform = cx;
         },
         false},
        {"scale", [](PlaceObject& p) { p.matrix = Matrix::scale(1.5, 1.5, 1007, 903); }, false},
        {"rotation", [](PlaceObject& p) { p.matrix = Matrix::scaleRotate(1.5, 0.3, 1007, 903); },
         false},
        {"filter", [](PlaceObject& p) { p.filters = moviemaker::blurFilterList(2, 9, 1); }, false},
        {"moved after the filter change",
         [](PlaceObject& p) { p.matrix = Matrix::scaleRotate(1.5, 0.3, 2007, 603); }, true},
    };
    for (const Step& step : steps) {
        PlaceObject p = change();
        step.edit(p);
        movie.placeObject(p, 3);
        movie.showFrame();
    }
    TwoRenderers play(movie.finish());
    ASSERT_TRUE(play.cached && play.fresh);
    EXPECT_EQ(play.paintFrame("first frame"), 0);
    EXPECT_EQ(play.cached->resources().groups.entries(), 1u);
    for (const Step& step : steps) {
        play.advance();
        EXPECT_EQ(play.paintFrame(step.what), step.reused ? 1 : 0) << step.what;
    }
}

TEST(GroupCacheTest, AChangeInsideTheObjectDrawsItAnew) {
    // A filtered sprite whose own timeline moves one of its two children: two pictures,
    // alternating. (Had both moved together, the object would only have moved.)
    SwfWriter movie = whiteStage(200, 150);
    Sprite inner;
    inner.place(square(movie, 0, {20, 90, 200, 255}), 1);
    inner.place(square(movie, 40, {200, 90, 20, 255}), 2);
    inner.showFrame();
    inner.moveObject(2, Matrix::translate(5 * 20, 0));
    inner.showFrame();
    const std::uint16_t sprite = movie.defineSprite(inner);
    movie.placeObject(blurred(sprite, Matrix::translate(60 * 20, 50 * 20), 4), 3);
    for (int i = 0; i < 4; ++i) {
        movie.showFrame();
    }
    TwoRenderers play(movie.finish());
    ASSERT_TRUE(play.cached && play.fresh);
    const std::vector<long> hits{0, 0, 1, 1};
    for (std::size_t frame = 0; frame < hits.size(); ++frame) {
        EXPECT_EQ(play.paintFrame("frame " + std::to_string(frame + 1)), hits[frame]) << frame;
        play.advance();
    }
}

TEST(GroupCacheTest, AnObjectPartlyOutOfViewIsKeptWhole) {
    // Half of it lies left of the picture at first; the picture kept covers all of it, so
    // the move that brings the rest into view finds it complete.
    SwfWriter movie = whiteStage(200, 150);
    Sprite inner;
    inner.place(square(movie, 0, {0, 0, 0, 255}), 1);
    inner.showFrame();
    const std::uint16_t sprite = movie.defineSprite(inner);
    movie.placeObject(blurred(sprite, Matrix::translate(-15 * 20, 40 * 20), 3), 3);
    movie.showFrame();
    PlaceObject in = change();
    in.matrix = Matrix::translate(20 * 20, 40 * 20);
    movie.placeObject(in, 3);
    movie.showFrame();
    TwoRenderers play(movie.finish());
    ASSERT_TRUE(play.cached && play.fresh);
    EXPECT_EQ(play.paintFrame("cut"), 0);
    EXPECT_EQ(play.cached->resources().groups.entries(), 1u);
    play.advance();
    EXPECT_EQ(play.paintFrame("whole"), 1);
}

TEST(GroupCacheTest, AnObjectFarLargerThanTheViewIsNotKept) {
    SwfWriter movie = whiteStage(200, 150);
    Sprite inner;
    inner.place(square(movie, 0, {0, 0, 0, 255}), 1);
    inner.showFrame();
    const std::uint16_t sprite = movie.defineSprite(inner);
    // 30 px scaled 40 times: 1200 px square on a 200 x 150 stage.
    movie.placeObject(blurred(sprite, Matrix::scale(40, 40, -500 * 20, -500 * 20), 3), 3);
    movie.showFrame();
    movie.showFrame();
    TwoRenderers play(movie.finish());
    ASSERT_TRUE(play.cached && play.fresh);
    EXPECT_EQ(play.paintFrame("first"), 0);
    play.advance();
    EXPECT_EQ(play.paintFrame("second"), 0);
    EXPECT_EQ(play.cached->resources().groups.entries(), 0u);
}

TEST(GroupCacheTest, FrameChangedFollowsWhatTheFrameDraws) {
    SwfWriter movie = whiteStage(200, 150);
    Shape box;
    box.fill1(box.addFill(FillStyle::solid({0, 128, 0, 255}))).rectangle(0, 0, 400, 400);
    movie.place(movie.defineShape(box), kDepth);
    movie.showFrame();
    movie.showFrame(); // draws the same
    movie.moveObject(kDepth, Matrix::translate(100, 0));
    movie.showFrame();
    renderTestApp();
    auto renderer = MovieView::fromBytes(movie.finish());
    ASSERT_TRUE(renderer);
    EXPECT_TRUE(renderer->frameChanged()); // nothing painted yet
    renderer->renderFrame(kView, RenderQuality::High);
    EXPECT_FALSE(renderer->frameChanged());
    renderer->player().advance();
    EXPECT_FALSE(renderer->frameChanged());
    renderer->player().advance();
    EXPECT_TRUE(renderer->frameChanged());
    renderer->renderFrame(kView, RenderQuality::High);
    EXPECT_FALSE(renderer->frameChanged());
}

TEST(CommandRecordTest, SameDrawingSeesThroughMovesOnlyAndCatchesScriptChanges) {
    Drawing drawing;
    drawing.beginFill(swf::FillStyle{});
    drawing.lineTo(10, 0);
    const auto record = [&](double dx, std::uint16_t ratio, ColorTransform cx) {
        CommandRecord r;
        r.beginFrame({});
        DrawCharacter shape{CharacterKind::MorphShape, 3, ratio,
                            Transform{1.0, 0.0, 0.0, 1.0, 100.0 + dx, 50.0}, cx};
        r.beginMask();
        r.draw(shape);
        r.useMask();
        DrawCharacter drawn{CharacterKind::Shape, 0, 0, Transform::translation(dx, 0.0), {}};
        drawn.drawing = &drawing;
        r.draw(drawn);
        r.endMask();
        return r;
    };
    ColorTransform tint;
    tint.mult[0] = 128;
    const CommandRecord first = record(0, 10, {});
    EXPECT_TRUE(sameDrawing(first, {}, record(0, 10, {}), {}));
    EXPECT_TRUE(sameDrawing(first, {}, record(35.5, 10, {}), {35.5, 0.0}));
    EXPECT_FALSE(sameDrawing(first, {}, record(35.5, 10, {}), {}));
    EXPECT_FALSE(sameDrawing(first, {}, record(0, 11, {}), {}));
    EXPECT_FALSE(sameDrawing(first, {}, record(0, 10, tint), {}));
    drawing.lineTo(10, 10); // a script draws on: the same object, another picture
    EXPECT_FALSE(sameDrawing(first, {}, record(0, 10, {}), {}));
}

} // namespace
} // namespace mc
