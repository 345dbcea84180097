#include <gtest/gtest.h>

#include <cmath>

#include "StageFit.h"

namespace mc {
namespace {

// A 200 x 100 pixel stage whose top-left corner is (10, 20) pixels.
constexpr TwipsRect kStage{200, 400, 200 + 4000, 400 + 2000};

StageLayout layoutOf(ScaleMode mode, std::string_view align) {
    StageLayout l;
    l.scaleMode = mode;
    l.setAlign(align);
    return l;
}

// Where the stage's corners land in the view, in device pixels.
struct Landing {
    ScaleMode mode;
    const char* align;
    int viewWidth;
    int viewHeight;
    double left, top, right, bottom;
    bool letterboxed;
};

TEST(StageFitTest, EveryScaleModeAndAlignmentPlacesTheStage) {
    using enum ScaleMode;
    const Landing cases[] = {
        // The view the stage's own size: every mode shows it as it is.
        {ShowAll, "", 200, 100, 0, 0, 200, 100, true},
        {NoBorder, "", 200, 100, 0, 0, 200, 100, false},
        {ExactFit, "", 200, 100, 0, 0, 200, 100, false},
        {NoScale, "TL", 200, 100, 0, 0, 200, 100, false},
        // Twice as wide: ShowAll keeps the height, NoBorder fills the width and overflows.
        {ShowAll, "", 800, 200, 200, 0, 600, 200, true},
        {ShowAll, "L", 800, 200, 0, 0, 400, 200, false},
        {ShowAll, "R", 800, 200, 400, 0, 800, 200, false},
        {ShowAll, "LR", 800, 200, 0, 0, 400, 200, false},
        {NoBorder, "", 800, 200, 0, -100, 800, 300, false},
        {NoBorder, "T", 800, 200, 0, 0, 800, 400, false},
        {NoBorder, "B", 800, 200, 0, -200, 800, 200, false},
        {NoBorder, "TB", 800, 200, 0, 0, 800, 400, false},
        {ExactFit, "BR", 800, 200, 0, 0, 800, 200, false},
        // Taller: the bars move to the top and bottom.
        {ShowAll, "", 100, 300, 0, 125, 100, 175, true},
        {ShowAll, "b", 100, 300, 0, 250, 100, 300, false},
        {ExactFit, "", 100, 300, 0, 0, 100, 300, false},
        // NoScale keeps the stage's pixels whatever the view, placed by the alignment.
        {NoScale, "", 400, 300, 100, 100, 300, 200, false},
        {NoScale, "TL", 400, 300, 0, 0, 200, 100, false},
        {NoScale, "BR", 400, 300, 200, 200, 400, 300, false},
        {NoScale, "T", 100, 50, -50, 0, 150, 100, false},
        {NoScale, "", 100, 50, -50, -25, 150, 75, false},
    };
    for (const Landing& c : cases) {
        SCOPED_TRACE(std::string(StageLayout{c.mode}.scaleModeName()) + " '" + c.align + "' " +
                     std::to_string(c.viewWidth) + "x" + std::to_string(c.viewHeight));
        const StageFit fit = fitStage(kStage, c.viewWidth, c.viewHeight, layoutOf(c.mode, c.align));
        const Transform d = fit.toDevice(kStage);
        EXPECT_NEAR(d.mapX(kStage.xMin, kStage.yMin), c.left, 1e-9);
        EXPECT_NEAR(d.mapY(kStage.xMin, kStage.yMin), c.top, 1e-9);
        EXPECT_NEAR(d.mapX(kStage.xMax, kStage.yMax), c.right, 1e-9);
        EXPECT_NEAR(d.mapY(kStage.xMax, kStage.yMax), c.bottom, 1e-9);
        EXPECT_EQ(fit.letterboxed, c.letterboxed);
        // A pointer anywhere in the view, bars and overflow included, comes back to the
        // stage point drawn under it.
        for (const auto& [px, py] : {std::pair{0.0, 0.0}, {37.5, 12.25}, {99.0, 49.0}}) {
            double x = 0;
            double y = 0;
            fit.toStage(kStage, px, py, x, y);
            EXPECT_NEAR(d.mapX(x, y), px, 1e-9);
            EXPECT_NEAR(d.mapY(x, y), py, 1e-9);
        }
    }
}

TEST(StageFitTest, ScriptNamesOfModesAndAlignments) {
    struct Case {
        const char* given;
        bool known;
        const char* mode;
    };
    const Case modes[] = {{"noScale", true, "noScale"},   {"NOBORDER", true, "noBorder"},
                          {"exactfit", true, "exactFit"}, {"showAll", true, "showAll"},
                          {"none", false, "showAll"},     {"", false, "showAll"}};
    for (const Case& c : modes) {
        StageLayout l;
        EXPECT_EQ(l.setScaleMode(c.given), c.known) << c.given;
        EXPECT_EQ(l.scaleModeName(), c.mode) << c.given;
    }
    const std::pair<const char*, const char*> aligns[] = {
        {"", ""}, {"tl", "LT"}, {"BR", "RB"}, {"xTz", "T"}, {"BTRL", "LTRB"}, {"centre", "TR"}};
    for (const auto& [given, read] : aligns) {
        StageLayout l;
        l.setAlign("TL");
        l.setAlign(given);
        EXPECT_EQ(l.alignName(), read) << given;
    }
}

TEST(StageFitTest, DegenerateStageOrViewStaysFinite) {
    for (const auto& [stage, w, h] : {std::tuple{TwipsRect{0, 0, 0, 100}, 100, 100},
                                      {TwipsRect{0, 0, 100, 100}, 0, -5},
                                      {TwipsRect{0, 0, 100, -100}, 100, 100}}) {
        for (const ScaleMode mode :
             {ScaleMode::ShowAll, ScaleMode::NoBorder, ScaleMode::ExactFit, ScaleMode::NoScale}) {
            const StageFit fit = fitStage(stage, w, h, StageLayout{mode});
            EXPECT_GT(fit.scaleX, 0.0);
            EXPECT_GT(fit.scaleY, 0.0);
            double x = 0;
            double y = 0;
            fit.toStage(stage, 5, 5, x, y);
            EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));
        }
    }
}

} // namespace
} // namespace mc
