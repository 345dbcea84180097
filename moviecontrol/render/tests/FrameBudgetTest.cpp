// A frame out of time: its costliest effects are drawn smaller or left out, and a frame with
// time to spare is drawn exactly as without a budget.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>

#include "CompositionTestShapes.h"
#include "FrameBudget.h"
#include "GroupCompositor.h"
#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using namespace std::chrono_literals;
using moviemaker::FillStyle;
using moviemaker::MovieHeader;
using moviemaker::PlaceObject;
using moviemaker::Rect;
using moviemaker::Shape;
using moviemaker::SwfWriter;

// `copies` blurred red squares of 20 px on a white 200 x 200 stage.
std::unique_ptr<MovieView> blurredSquares(int copies, double blur) {
    renderTestApp();
    SwfWriter movie = whiteStage(200, 200);
    Shape box;
    box.fill1(box.addFill(FillStyle::solid({255, 0, 0, 255}))).rectangle(0, 0, 400, 400);
    const std::uint16_t id = movie.defineShape(box);
    for (int i = 0; i < copies; ++i) {
        PlaceObject p;
        p.characterId = id;
        p.depth = static_cast<std::uint16_t>(i + 1);
        p.matrix = moviemaker::Matrix::translate(1600 + i * 40, 1600 + i * 40);
        p.filters = moviemaker::blurFilterList(blur, blur, 3);
        movie.placeObject(p, 3);
    }
    movie.showFrame();
    return MovieView::fromBytes(movie.finish());
}

TEST(FrameBudgetTest, EffectsShrinkToWhatTimeIsLeft) {
    FrameBudget ample(1h);
    ample.startFrame();
    EXPECT_FALSE(ample.exhausted());
    EXPECT_EQ(ample.reductionFor(1e9), 1);

    // Out of time: each effect still gets a small slice, at the reduction that fits it.
    FrameBudget none(0ms);
    none.startFrame();
    EXPECT_TRUE(none.exhausted());
    EXPECT_EQ(none.reductionFor(1e4), 1);
    const int reduced = none.reductionFor(1e8);
    EXPECT_GT(reduced, 1);
    EXPECT_LE(reduced, FrameBudget::kMaxReduction);
    EXPECT_EQ(none.reductionFor(1e13), 0);

    // An effect found slower than thought makes the next one of its size smaller.
    none.record(1e6, 1s);
    EXPECT_EQ(none.reductionFor(1e8), 0);
    EXPECT_EQ(none.reductionFor(1e5), 8);
    EXPECT_EQ(none.reductionFor(1e3), 1);
}

TEST(FrameBudgetTest, FrameWithTimeToSpareIsDrawnInFull) {
    auto plain = blurredSquares(3, 8);
    auto budgeted = blurredSquares(3, 8);
    ASSERT_TRUE(plain && budgeted);
    budgeted->setFrameBudget(1h);
    const QImage expected = plain->renderFrame(QSize(200, 200), RenderQuality::High);
    const QImage actual = budgeted->renderFrame(QSize(200, 200), RenderQuality::High);
    EXPECT_EQ(budgeted->degradedEffects(), 0);
    EXPECT_EQ(actual, expected);
}

TEST(FrameBudgetTest, FrameOutOfTimeLeavesTheRemainingEffectsOut) {
    auto movie = blurredSquares(4, 8);
    ASSERT_TRUE(movie);
    movie->setFrameBudget(0ms);
    const QImage frame = movie->renderFrame(QSize(200, 200), RenderQuality::High);
    EXPECT_EQ(movie->degradedEffects(), 4);
    // The squares are drawn, sharp: their groups passed straight through.
    EXPECT_EQ(frame.pixelColor(90, 90), QColor(255, 0, 0));
    EXPECT_EQ(frame.pixelColor(78, 90), QColor(255, 255, 255));

    movie->setFrameBudget(1h);
    const QImage full = movie->renderFrame(QSize(200, 200), RenderQuality::High);
    EXPECT_EQ(movie->degradedEffects(), 0);
    EXPECT_NE(full.pixelColor(78, 90), QColor(255, 255, 255)); // the blur reaches past the edge
}

TEST(FrameBudgetTest, ReducedFiltersLookLikeTheFullOnes) {
    renderTestApp();
    QImage layer(160, 160, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.fillRect(QRect(60, 60, 40, 40), QColor(0, 0, 255));
    }
    GroupStyle style;
    style.filters.push_back(swf::BlurFilter{24.0, 24.0, 2});
    const QRect area = visibleGroupArea(layer, style, GroupScale{});
    ASSERT_FALSE(area.isEmpty());
    EXPECT_GT(groupFilterWork(style, area), 0.0);

    const auto composed = [&](int reduction) {
        QImage target(160, 160, QImage::Format_ARGB32_Premultiplied);
        target.fill(Qt::white);
        QPainter p(&target);
        composeGroup(p, layer, QPoint(0, 0), area, style, GroupScale{}, reduction);
        return target;
    };
    const QImage full = composed(1);
    // Half and quarter resolution: the same soft square in the same place, a little coarser.
    EXPECT_LE(largestDifference(composed(2), full), 24);
    EXPECT_LE(largestDifference(composed(4), full), 48);
    // Left out: the square as it is, unblurred.
    const QImage bare = composed(0);
    EXPECT_EQ(bare.pixelColor(80, 80), QColor(0, 0, 255));
    EXPECT_EQ(bare.pixelColor(56, 80), QColor(255, 255, 255));
    EXPECT_NE(full.pixelColor(56, 80), QColor(255, 255, 255));
}

} // namespace
} // namespace mc
