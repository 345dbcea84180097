// BitmapData.draw of a clip from a movie's script: the clip's content as the renderer paints
// it, without the clip's own place on the stage, under the matrix the script gives.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "RenderTestMovies.h"
#include "ScriptedRender.h"
#include "moviemaker/ActionWriter.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::Actions;

// name = new flash.<package>.<cls>(args...)
Actions& assignNew(Actions& a, std::string_view name, std::string_view package,
                   std::string_view cls, const std::vector<double>& args) {
    a.push(name);
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        a.push(*it);
    }
    return a.pushInt(static_cast<std::int32_t>(args.size()))
        .push(package)
        .code(0x1C)
        .push(cls)
        .code(0x53)
        .code(0x1D);
}

// target.draw(source[, matrix])
Actions& draw(Actions& a, std::string_view target, std::string_view source,
              std::string_view matrix = {}) {
    if (!matrix.empty()) {
        a.push(matrix).code(0x1C);
    }
    return a.push(source)
        .code(0x1C)
        .pushInt(matrix.empty() ? 1 : 2)
        .push(target)
        .code(0x1C)
        .push("draw")
        .code(0x52)
        .code(0x17);
}

// trace(bitmap.getPixel(x, y))
Actions& tracePixel(Actions& a, std::string_view bitmap, double x, double y) {
    return a.push(y)
        .push(x)
        .pushInt(2)
        .push(bitmap)
        .code(0x1C)
        .push("getPixel")
        .code(0x52)
        .code(0x26);
}

// Places `shape` in a clip of its own, named `name`, at depth 1.
void placeClip(moviemaker::SwfWriter& movie, const moviemaker::Shape& shape, std::string_view name,
               const moviemaker::Matrix& matrix = {}) {
    moviemaker::Sprite sprite;
    sprite.place(movie.defineShape(shape), 1);
    sprite.showFrame();
    moviemaker::PlaceObject p;
    p.depth = 1;
    p.characterId = movie.defineSprite(sprite);
    p.matrix = matrix;
    p.name = std::string(name);
    movie.placeObject(p);
}

TEST(BitmapDrawScriptTest, DrawPaintsTheClipsContentUnderTheScriptsMatrix) {
    moviemaker::SwfWriter movie = whiteStage(100, 100, 8);
    // A 20 px green square in a clip placed far from the stage's corner.
    moviemaker::Shape square;
    square.fill1(square.addFill(moviemaker::FillStyle::solid({0, 255, 0, 255})))
        .rectangle(0, 0, 400, 400);
    placeClip(movie, square, "sq", moviemaker::Matrix::translate(1000, 1000));

    Actions a;
    assignNew(a, "b", "flash.display", "BitmapData", {60, 60, 0, 0xFFFFFF});
    draw(a, "b", "sq");
    tracePixel(a, "b", 5, 5);
    tracePixel(a, "b", 30, 30);
    assignNew(a, "m", "flash.geom", "Matrix", {2, 0, 0, 2, 30, 30});
    assignNew(a, "c", "flash.display", "BitmapData", {100, 100, 0, 0xFFFFFF});
    draw(a, "c", "sq", "m");
    tracePixel(a, "c", 5, 5);
    tracePixel(a, "c", 65, 65);
    tracePixel(a, "c", 75, 75);
    // Scales past any picture: the square covers the whole bitmap, and nothing hangs.
    assignNew(a, "huge", "flash.geom", "Matrix", {1e30, 0, 0, 1e30, -10, -10});
    assignNew(a, "d", "flash.display", "BitmapData", {10, 10, 0, 0xFFFFFF});
    draw(a, "d", "sq", "huge");
    tracePixel(a, "d", 9, 9);
    const PlayedScript played = playScript(movie, a, QSize(100, 100));
    const std::string green = std::to_string(0x00FF00), white = std::to_string(0xFFFFFF);
    EXPECT_EQ(played.traced, (std::vector<std::string>{green, white, white, green, white, green}));
}

TEST(BitmapDrawScriptTest, DrawKeepsTheClipsOwnFiltersAndMask) {
    moviemaker::SwfWriter movie = whiteStage(100, 100, 8);
    // A 20 px magenta square far from the corner, and a 10 px mask at the stage's corner.
    moviemaker::Shape square;
    square.fill1(square.addFill(moviemaker::FillStyle::solid({255, 0, 255, 255})))
        .rectangle(0, 0, 400, 400);
    placeClip(movie, square, "sq", moviemaker::Matrix::translate(1000, 1000));
    moviemaker::Shape corner;
    corner.fill1(corner.addFill(moviemaker::FillStyle::solid({0, 0, 0, 255})))
        .rectangle(0, 0, 200, 200);
    moviemaker::Sprite maskSprite;
    maskSprite.place(movie.defineShape(corner), 1);
    maskSprite.showFrame();
    moviemaker::PlaceObject p;
    p.depth = 2;
    p.characterId = movie.defineSprite(maskSprite);
    p.name = "mk";
    movie.placeObject(p);

    Actions a;
    // sq.filters = [new ColorMatrixFilter(m)]: green takes blue's value, blue goes.
    a.push("sq").code(0x1C).push("filters");
    const double rows[20] = {1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0};
    for (int i = 19; i >= 0; --i) {
        a.push(rows[i]);
    }
    a.pushInt(20).code(0x42).pushInt(1).push("flash.filters").code(0x1C);
    a.push("ColorMatrixFilter").code(0x53).pushInt(1).code(0x42).code(0x4F);
    assignNew(a, "b", "flash.display", "BitmapData", {30, 30, 0, 0xFFFFFF});
    draw(a, "b", "sq");
    tracePixel(a, "b", 15, 15);
    // sq.setMask(mk): the mask stays where it stands on the stage, not where sq does.
    a.push("mk").code(0x1C).pushInt(1).push("sq").code(0x1C).push("setMask").code(0x52);
    a.code(0x17);
    assignNew(a, "c", "flash.display", "BitmapData", {30, 30, 0, 0xFFFFFF});
    draw(a, "c", "sq");
    tracePixel(a, "c", 5, 5);
    tracePixel(a, "c", 15, 15);
    const PlayedScript played = playScript(movie, a, QSize(100, 100));
    const std::string yellow = std::to_string(0xFFFF00), white = std::to_string(0xFFFFFF);
    EXPECT_EQ(played.traced, (std::vector<std::string>{yellow, yellow, white}));
}

// The values of variables, pushed for a call (last argument first).
Actions& pushVariables(Actions& a, const std::vector<std::string_view>& names) {
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        a.push(*it).code(0x1C);
    }
    return a.pushInt(static_cast<std::int32_t>(names.size()));
}

// f = new flash.filters.DisplacementMapFilter(map, origin, 1 (red), 2 (green), scaleX, 0,
// mode, colour, alpha): the red channel moves pixels sideways.
Actions& sidewaysFilter(Actions& a, double scaleX, std::string_view mode, double color = 0,
                        double alpha = 0) {
    assignNew(a, "origin", "flash.geom", "Point", {0, 0});
    a.push("f").push(alpha).push(color).push(mode).push(0.0).push(scaleX).push(2.0).push(1.0);
    a.push("origin").code(0x1C).push("map").code(0x1C).pushInt(9);
    return a.push("flash.filters").code(0x1C).push("DisplacementMapFilter").code(0x53).code(0x1D);
}

// Red on the left half and blue on the right of a `width` x `height` px picture.
Actions& halvedBitmap(Actions& a, std::string_view name, double width, double height) {
    assignNew(a, name, "flash.display", "BitmapData", {width, height, 0, 0xFF0000});
    assignNew(a, "half", "flash.geom", "Rectangle", {width / 2, 0, width / 2, height});
    a.push(0x0000FF).push("half").code(0x1C).pushInt(2).push(name).code(0x1C);
    return a.push("fillRect").code(0x52).code(0x17);
}

TEST(BitmapDrawScriptTest, DisplacementMapsMoveBitmapAndClipPixels) {
    moviemaker::SwfWriter movie = whiteStage(100, 100, 8);
    // The same halved picture as a 40x20 px clip at the stage's corner.
    moviemaker::Shape picture;
    picture.fill1(picture.addFill(moviemaker::FillStyle::solid({255, 0, 0, 255})))
        .rectangle(0, 0, 400, 400);
    picture.fill1(picture.addFill(moviemaker::FillStyle::solid({0, 0, 255, 255})))
        .rectangle(400, 0, 400, 400);
    placeClip(movie, picture, "clip");

    Actions a;
    // Red 192 with scale 8: two pixels right, clamped at the edge.
    halvedBitmap(a, "src", 8, 4);
    assignNew(a, "map", "flash.display", "BitmapData", {8, 4, 0, 0xC08080});
    sidewaysFilter(a, 8, "clamp");
    assignNew(a, "dst", "flash.display", "BitmapData", {8, 4, 0, 0});
    a.push("r").push("src").code(0x1C).push("rectangle").code(0x4E).code(0x1D); // r = src.rectangle
    pushVariables(a, {"src", "r", "origin", "f"}).push("dst").code(0x1C);
    a.push("applyFilter").code(0x52).code(0x26);
    tracePixel(a, "dst", 1, 0);
    tracePixel(a, "dst", 2, 0);
    tracePixel(a, "dst", 7, 3);
    // On the clip, scale 80: twenty pixels right, green where that leaves the picture.
    assignNew(a, "map", "flash.display", "BitmapData", {40, 20, 0, 0xC08080});
    sidewaysFilter(a, 80, "color", 0x00FF00, 1);
    a.push("clip").code(0x1C).push("filters").push("f").code(0x1C).pushInt(1).code(0x42);
    a.code(0x4F);
    // The filter reads back with its map.
    a.push("clip").code(0x1C).push("filters").code(0x4E).push("0").code(0x4E);
    a.push("mapBitmap").code(0x4E).push("width").code(0x4E).code(0x26);
    const PlayedScript played = playScript(movie, a, QSize(100, 100));
    const QImage& image = played.image;
    ASSERT_FALSE(image.isNull());
    const std::string red = std::to_string(0xFF0000), blue = std::to_string(0x0000FF);
    EXPECT_EQ(played.traced, (std::vector<std::string>{"0", red, blue, blue, "40"}));
    EXPECT_EQ(image.pixelColor(5, 10), QColor(0, 0, 255));  // from 25 px
    EXPECT_EQ(image.pixelColor(25, 10), QColor(0, 255, 0)); // from 45 px: outside
    EXPECT_EQ(image.pixelColor(60, 10), QColor(255, 255, 255));
}

} // namespace
} // namespace mc
