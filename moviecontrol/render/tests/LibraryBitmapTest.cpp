// A script's BitmapData of a library bitmap is transparent only when the bitmap's tag can
// hold transparency; an opaque one keeps every pixel opaque, also through its filters.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <string>
#include <vector>

#include "ScriptedRender.h"
#include "moviemaker/ActionWriter.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

moviemaker::RawImage blackSquare() {
    moviemaker::RawImage image;
    image.width = 8;
    image.height = 8;
    image.pixels.assign(64, moviemaker::Rgba{0, 0, 0, 255});
    return image;
}

std::vector<std::uint8_t> encoded(const char* format) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::black);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return {bytes.begin(), bytes.end()};
}

// trace(flash.display.BitmapData.loadBitmap(name).transparent)
void traceTransparent(moviemaker::Actions& a, std::string_view name) {
    a.push(name)
        .pushInt(1)
        .push("flash.display.BitmapData")
        .code(0x1C)
        .push("loadBitmap")
        .code(0x52)
        .push("transparent")
        .code(0x4E)
        .code(0x26);
}

TEST(LibraryBitmapTest, TransparencyFollowsTheBitmapsTag) {
    moviemaker::MovieHeader header;
    header.version = 8;
    header.frameSize = moviemaker::Rect::pixels(20, 20);
    moviemaker::SwfWriter movie(header);
    const std::vector<std::uint8_t> jpeg = encoded("JPG");
    const std::vector<std::uint8_t> alpha(64, 255);
    struct Case {
        std::string name;
        std::uint16_t id;
        const char* transparent;
    };
    const std::vector<Case> cases = {
        {"lossless1", movie.defineBitsLossless(blackSquare(), 1), "false"},
        {"lossless2", movie.defineBitsLossless(blackSquare(), 2), "true"},
        {"jpeg2", movie.defineBitsJpeg(jpeg), "false"},
        {"jpeg3", movie.defineBitsJpeg(jpeg, alpha), "true"},
    };
    moviemaker::Actions script;
    for (const Case& c : cases) {
        movie.exportAssets(c.id, c.name);
        traceTransparent(script, c.name);
    }
    // b = loadBitmap("lossless1"); b.applyFilter(b, b.rectangle, new Point(0, 0),
    // new BlurFilter(4, 4, 3)); trace(b.getPixel32(0, 0)): the blur reads transparency past
    // the edge, and an opaque bitmap keeps its corner opaque black all the same.
    script.push("b").push("lossless1").pushInt(1).push("flash.display.BitmapData").code(0x1C);
    script.push("loadBitmap").code(0x52).code(0x1D);
    script.push(3.0).push(4.0).push(4.0).pushInt(3).push("flash.filters").code(0x1C);
    script.push("BlurFilter").code(0x53);
    script.push(0.0).push(0.0).pushInt(2).push("flash.geom").code(0x1C).push("Point").code(0x53);
    script.push("b").code(0x1C).push("rectangle").code(0x4E).push("b").code(0x1C).pushInt(4);
    script.push("b").code(0x1C).push("applyFilter").code(0x52).code(0x17);
    script.push(0.0).push(0.0).pushInt(2).push("b").code(0x1C).push("getPixel32").code(0x52);
    script.code(0x26);
    const PlayedScript played = playScript(movie, script, QSize(20, 20));
    ASSERT_EQ(played.traced.size(), cases.size() + 1);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(played.traced[i], cases[i].transparent) << cases[i].name;
    }
    EXPECT_EQ(played.traced.back(), "-16777216");
}

} // namespace
} // namespace mc
