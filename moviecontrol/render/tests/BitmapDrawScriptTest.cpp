// BitmapData.draw of a clip from a movie's script: the clip's content as the renderer paints
// it, without the clip's own place on the stage, under the matrix the script gives.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "MovieRenderer.h"
#include "RenderTestApp.h"
#include "testsupport/Actions.h"
#include "testsupport/SwfWriter.h"

namespace mc {
namespace {

using swftest::Actions;

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

TEST(BitmapDrawScriptTest, DrawPaintsTheClipsContentUnderTheScriptsMatrix) {
    swftest::MovieHeader header;
    header.version = 8;
    header.frameSize = swftest::Rect::pixels(100, 100);
    swftest::SwfWriter movie(header);
    // A 20 px green square in a clip placed far from the stage's corner.
    swftest::Shape square;
    square.fill1(square.addFill(swftest::FillStyle::solid({0, 255, 0, 255})))
        .rectangle(0, 0, 400, 400);
    swftest::Sprite sprite;
    sprite.place(movie.defineShape(square), 1);
    sprite.showFrame();
    swftest::PlaceObject p;
    p.depth = 1;
    p.characterId = movie.defineSprite(sprite);
    p.matrix = swftest::Matrix::translate(1000, 1000);
    p.name = "sq";
    movie.placeObject(p);

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
    movie.doAction(a);
    movie.showFrame();

    renderTestApp();
    std::vector<std::string> lines;
    StageCallbacks callbacks;
    callbacks.trace = [&](std::string_view line) { lines.emplace_back(line); };
    auto renderer = MovieRenderer::fromBytes(movie.finish(), callbacks);
    ASSERT_TRUE(renderer);
    renderer->renderFrame(QSize(100, 100), RenderQuality::High);
    const std::string green = std::to_string(0x00FF00), white = std::to_string(0xFFFFFF);
    EXPECT_EQ(lines, (std::vector<std::string>{green, white, white, green, white, green}));
}

} // namespace
} // namespace mc
