// MovieClip.beginBitmapFill from a movie's script, as painted: the bitmap's pixels placed by
// the script's matrix in pixels, tiled or clamped at its edges, smoothed or not.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>

#include "RenderTestMovies.h"
#include "ScriptedRender.h"
#include "moviemaker/ActionWriter.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::Actions;

struct Placement {
    double scale = 1.0;
    double tx = 0.0;
};

// A 2 x 1 bitmap, red then blue, filling the whole 100 x 100 stage through
// _root.beginBitmapFill(bmp[, matrix[, repeat[, smooth]]]).
QImage filled(std::optional<Placement> placement, std::optional<bool> repeat,
              std::optional<bool> smooth) {
    Actions a;
    // bmp = new flash.display.BitmapData(2, 1, false, 0xFF0000); bmp.setPixel(1, 0, 0x0000FF)
    a.push("bmp").push(double{0xFF0000}).pushBool(false).push(1.0).push(2.0).pushInt(4);
    a.push("flash.display").code(0x1C).push("BitmapData").code(0x53).code(0x1D);
    a.push(double{0x0000FF}).push(0.0).push(1.0).pushInt(3).push("bmp").code(0x1C);
    a.push("setPixel").code(0x52).code(0x17);

    int count = 1;
    if (smooth) {
        a.pushBool(*smooth);
        count = 4;
    }
    if (repeat || smooth) {
        a.pushBool(repeat.value_or(true));
        count = std::max(count, 3);
    }
    if (placement || count > 1) {
        if (placement) {
            a.push("a").push(placement->scale).push("b").push(0.0).push("c").push(0.0);
            a.push("d").push(placement->scale).push("tx").push(placement->tx).push("ty").push(0.0);
            a.pushInt(6).code(0x43); // InitObject
        } else {
            a.pushNull();
        }
        count = std::max(count, 2);
    }
    a.push("bmp").code(0x1C).pushInt(count);
    a.push("_root").code(0x1C).push("beginBitmapFill").code(0x52).code(0x17);

    const auto to = [&a](std::string_view method, double x, double y) {
        a.push(y).push(x).pushInt(2).push("_root").code(0x1C).push(method).code(0x52).code(0x17);
    };
    to("moveTo", 0, 0);
    to("lineTo", 100, 0);
    to("lineTo", 100, 100);
    to("lineTo", 0, 100);
    to("lineTo", 0, 0);

    moviemaker::SwfWriter movie = whiteStage(100, 100, 8);
    return playScript(movie, a, QSize(100, 100)).image;
}

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

TEST(ScriptBitmapFillTest, WithoutMatrixTheBitmapTilesAtItsOwnSize) {
    const QImage image = filled(std::nullopt, std::nullopt, std::nullopt);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(0, 0), kRed);
    EXPECT_EQ(image.pixelColor(1, 0), kBlue);
    EXPECT_EQ(image.pixelColor(2, 50), kRed);
    EXPECT_EQ(image.pixelColor(99, 99), kBlue);
}

TEST(ScriptBitmapFillTest, TheMatrixPlacesTheBitmapInPixels) {
    // Ten times larger from x = 20: red over 20..29, blue over 30..39, then again.
    const QImage tiled = filled(Placement{10.0, 20.0}, true, false);
    ASSERT_FALSE(tiled.isNull());
    EXPECT_EQ(tiled.pixelColor(25, 50), kRed);
    EXPECT_EQ(tiled.pixelColor(35, 50), kBlue);
    EXPECT_EQ(tiled.pixelColor(45, 50), kRed);
    EXPECT_EQ(tiled.pixelColor(15, 50), kBlue); // the tile before
    // Not repeated, the edge pixels reach on past the bitmap.
    const QImage clipped = filled(Placement{10.0, 20.0}, false, false);
    EXPECT_EQ(clipped.pixelColor(25, 50), kRed);
    EXPECT_EQ(clipped.pixelColor(35, 50), kBlue);
    EXPECT_EQ(clipped.pixelColor(75, 50), kBlue);
    EXPECT_EQ(clipped.pixelColor(5, 50), kRed);
}

TEST(ScriptBitmapFillTest, SmoothingBlendsNeighbouringPixelsOnlyWhenAsked) {
    const QImage sharp = filled(Placement{10.0, 20.0}, false, false);
    ASSERT_FALSE(sharp.isNull());
    EXPECT_EQ(sharp.pixelColor(29, 50), kRed);
    const QImage smooth = filled(Placement{10.0, 20.0}, false, true);
    const QColor between = smooth.pixelColor(29, 50);
    EXPECT_GT(between.red(), 60);
    EXPECT_GT(between.blue(), 60);
    EXPECT_EQ(smooth.pixelColor(22, 50), kRed);
}

TEST(ScriptBitmapFillTest, SomethingThatIsNoBitmapEndsTheFill) {
    Actions a;
    const auto call = [&a](std::string_view method, std::initializer_list<double> args) {
        for (auto it = std::rbegin(args); it != std::rend(args); ++it) {
            a.push(*it);
        }
        a.pushInt(static_cast<std::int32_t>(args.size())).push("_root").code(0x1C);
        a.push(method).code(0x52).code(0x17);
    };
    call("beginFill", {double{0xFF0000}});
    call("beginBitmapFill", {5.0});
    call("moveTo", {0, 0});
    call("lineTo", {100, 0});
    call("lineTo", {100, 100});
    call("lineTo", {0, 100});
    call("endFill", {});
    moviemaker::SwfWriter movie = whiteStage(100, 100, 8);
    const QImage image = playScript(movie, a, QSize(100, 100)).image;
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(50, 50), QColor(255, 255, 255));
}

} // namespace
} // namespace mc
