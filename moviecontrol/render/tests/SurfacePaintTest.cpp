// What scripts and place tags change about how objects meet the picture: opaque backgrounds,
// scroll windows, masks named by path, the colours of a field's frame and the embedded font
// a field's text names.
#include <gtest/gtest.h>

#include <QImage>
#include <initializer_list>
#include <memory>

#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "moviemaker/ActionWriter.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::Actions;
using moviemaker::FillStyle;
using moviemaker::Matrix;
using moviemaker::Shape;
using moviemaker::SwfWriter;

struct Probe {
    int x = 0;
    int y = 0;
    QColor colour;
};

void expectPixels(const QImage& image, std::initializer_list<Probe> probes) {
    for (const Probe& p : probes) {
        EXPECT_EQ(image.pixelColor(p.x, p.y), p.colour) << p.x << "," << p.y;
    }
}

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);

// A sprite of two red 10 px squares at its corners, 30 px apart: its bounds are 40 px
// square with nothing drawn in the middle.
std::uint16_t cornerSquares(SwfWriter& movie) {
    Shape squares;
    squares.fill1(squares.addFill(FillStyle::solid({255, 0, 0, 255})))
        .rectangle(0, 0, 200, 200)
        .rectangle(600, 600, 200, 200);
    moviemaker::Sprite sprite;
    sprite.place(movie.defineShape(squares), 1);
    sprite.showFrame();
    return movie.defineSprite(sprite);
}

// A sprite holding a 40 px blue square at the origin.
std::uint16_t blueSquare(SwfWriter& movie) {
    Shape square;
    square.fill1(square.addFill(FillStyle::solid({0, 0, 255, 255}))).rectangle(0, 0, 800, 800);
    moviemaker::Sprite sprite;
    sprite.place(movie.defineShape(square), 1);
    sprite.showFrame();
    return movie.defineSprite(sprite);
}

// object[member] = new flash.geom.Rectangle(x, y, w, h)
Actions& assignRectangle(Actions& a, std::string_view object, std::string_view member, double x,
                         double y, double w, double h) {
    return a.push(object)
        .code(0x1C)
        .push(member)
        .push(h)
        .push(w)
        .push(y)
        .push(x)
        .pushInt(4)
        .push("flash.geom")
        .code(0x1C)
        .push("Rectangle")
        .code(0x53)
        .code(0x4F);
}

TEST(SurfacePaintTest, OpaqueBackgroundFillsTheBoundsBehindTheContent) {
    SwfWriter movie = whiteStage(100, 100, 11); // placed backgrounds count from version 11 on
    const std::uint16_t sprite = cornerSquares(movie);
    moviemaker::PlaceObject tagged;
    tagged.depth = 1;
    tagged.characterId = sprite;
    tagged.matrix = Matrix::translate(200, 200);
    tagged.backgroundColor = moviemaker::Rgba{0, 255, 0, 0}; // drawn opaque all the same
    movie.placeObject(tagged, 3);
    moviemaker::PlaceObject scripted;
    scripted.depth = 2;
    scripted.characterId = sprite;
    scripted.matrix = Matrix::translate(1100, 1100);
    scripted.name = "b";
    movie.placeObject(scripted);
    movie.doAction(Actions().setVariable("b.opaqueBackground", 0x0000FF));
    const QImage image = firstFrame(movie, QSize(100, 100));
    expectPixels(image, {
                            {15, 15, kRed},   // content over the background
                            {30, 30, kGreen}, // the gap inside the bounds
                            {49, 30, kGreen},
                            {51, 30, kWhite}, // past the bounds
                            {75, 75, kBlue},
                            {60, 60, kRed},
                        });
}

TEST(SurfacePaintTest, ScrollRectMovesTheContentAndShowsOnlyItsWindow) {
    SwfWriter movie = whiteStage(100, 100, 8);
    moviemaker::PlaceObject p;
    p.depth = 1;
    p.characterId = blueSquare(movie);
    p.matrix = Matrix::translate(400, 400);
    p.name = "c";
    movie.placeObject(p);
    // The window (10, 10) 20 x 40 px: the square moves 10 px up-left to 10..50 and shows
    // where the window lies, 20..40 across and 20..60 down.
    Actions a;
    assignRectangle(a, "c", "scrollRect", 10, 10, 20, 40);
    movie.doAction(a);
    const QImage image = firstFrame(movie, QSize(100, 100));
    expectPixels(image, {
                            {20, 20, kBlue},
                            {39, 49, kBlue},
                            {15, 15, kWhite}, // before the window
                            {41, 30, kWhite}, // past its width
                            {30, 51, kWhite}, // past the moved square
                        });
}

TEST(SurfacePaintTest, SetMaskTakesAClipByPathAndKeepsItWhenAPathLeadsNowhere) {
    SwfWriter movie = whiteStage(100, 100, 8);
    const std::uint16_t square = blueSquare(movie);
    // Two 40 px squares at (0, 0) and (50, 50); each gets the 10 px mask square placed at
    // its centre by path. Then the first is given no argument, the second a path that names
    // nothing: both keep their masks.
    Shape small;
    small.fill1(small.addFill(FillStyle::solid({0, 0, 0, 255}))).rectangle(0, 0, 200, 200);
    const std::uint16_t maskShape = movie.defineShape(small);
    moviemaker::Sprite maskSprite;
    maskSprite.place(maskShape, 1);
    maskSprite.showFrame();
    const std::uint16_t mask = movie.defineSprite(maskSprite);
    const auto put = [&](std::uint16_t id, std::uint16_t depth, int x, int y, const char* name) {
        moviemaker::PlaceObject p;
        p.depth = depth;
        p.characterId = id;
        p.matrix = Matrix::translate(x, y);
        p.name = name;
        movie.placeObject(p);
    };
    put(square, 1, 0, 0, "a");
    put(mask, 2, 300, 300, "ma");
    put(square, 3, 1000, 1000, "b");
    put(mask, 4, 1300, 1300, "mb");
    movie.doAction(Actions()
                       .callMethod("a", "setMask", {"ma"})
                       .callMethod("a", "setMask")
                       .callMethod("b", "setMask", {"_root.mb"})
                       .callMethod("b", "setMask", {"nothing.here"}));
    const QImage image = firstFrame(movie, QSize(100, 100));
    expectPixels(image, {
                            {20, 20, kBlue},
                            {5, 5, kWhite},
                            {70, 70, kBlue},
                            {55, 55, kWhite},
                            {85, 85, kWhite},
                        });
}

TEST(SurfacePaintTest, TheRootMovesWhereAScriptPutsIt) {
    SwfWriter movie = whiteStage(100, 100, 8);
    movie.place(blueSquare(movie), 1);
    movie.doAction(Actions().setVariable("_root._x", 30).setVariable("_root._yscale", 50));
    const QImage image = firstFrame(movie, QSize(100, 100));
    expectPixels(image, {
                            {5, 5, kWhite},
                            {31, 1, kBlue},
                            {69, 19, kBlue},
                            {50, 21, kWhite},
                        });
}

TEST(SurfacePaintTest, FieldFramesTakeTheirColoursAndShowOnlyTheirParts) {
    SwfWriter movie = whiteStage(100, 100, 8);
    Actions a;
    // f: background only, in red. g: border only, in green.
    a.callMethod("this", "createTextField", {"f", "1", "10", "10", "20", "20"})
        .setVariable("f.background", "true")
        .setVariable("f.backgroundColor", 0xFF0000)
        .callMethod("this", "createTextField", {"g", "2", "50", "50", "20", "20"})
        .setVariable("g.border", "true")
        .setVariable("g.borderColor", 0x00FF00);
    movie.doAction(a);
    const QImage image = firstFrame(movie, QSize(100, 100));
    expectPixels(image, {
                            {10, 10, kRed},
                            {20, 20, kRed},
                            {29, 29, kRed},
                            {30, 20, kWhite}, // no border
                            {50, 60, kGreen},
                            {70, 60, kGreen},
                            {60, 60, kWhite}, // no background
                        });
}

// Glyph "a" of the embedded font is a filled square half an em wide.
moviemaker::Font boxesFont(bool bold) {
    moviemaker::Font font;
    font.name = "Boxes";
    font.bold = bold;
    font.ascent = 16384;
    font.descent = 4096;
    moviemaker::Glyph a;
    a.code = 'a';
    a.advance = 12288;
    a.outline.moveTo(0, -10240).lineTo(10240, -10240).lineTo(10240, 0).lineTo(0, 0).close();
    font.glyphs = {a};
    return font;
}

// The square's 10 px sit on the baseline: 2 px gutter plus the ascent of 16 px, so it fills
// 2..12 across and 8..18 down, solid, which no system font's "a" does.
void expectRedSquare(const QImage& image) {
    for (int y = 8; y < 18; ++y) {
        for (int x = 2; x < 12; ++x) {
            EXPECT_EQ(image.pixelColor(x, y), QColor(255, 0, 0)) << x << "," << y;
        }
    }
    expectPixels(image, {
                            {12, 12, kWhite},
                            {6, 18, kWhite},
                        });
}

TEST(SurfacePaintTest, AScriptMadeFieldDrawsTheEmbeddedFontItsTextNames) {
    SwfWriter movie = whiteStage(100, 100, 8);
    movie.defineFont(boxesFont(false), 3);
    movie.doAction(Actions()
                       .callMethod("this", "createTextField", {"t", "1", "0", "0", "80", "40"})
                       .setVariable("t.embedFonts", "true")
                       .setVariable("t.html", "true")
                       .setVariable("t.htmlText",
                                    "<font face=\"Boxes\" size=\"20\" color=\"#FF0000\">a</font>"));
    expectRedSquare(firstFrame(movie, QSize(100, 100)));
}

TEST(SurfacePaintTest, AFormatMayNameAnEmbeddedFontByItsExportName) {
    SwfWriter movie = whiteStage(100, 100, 8);
    // A bold font the format does not ask bold: the export names the definition itself.
    movie.exportAssets(movie.defineFont(boxesFont(true), 3), "linkedBoxes");
    movie.doAction(Actions()
                       .callMethod("this", "createTextField", {"t", "1", "0", "0", "80", "40"})
                       .setVariable("t.embedFonts", "true")
                       .setVariable("t.text", "a")
                       .push("fmt")
                       .push(0.0)
                       .push("TextFormat")
                       .code(0x40) // new TextFormat()
                       .code(0x1D)
                       .setVariable("fmt.font", "linkedBoxes")
                       .setVariable("fmt.size", 20)
                       .setVariable("fmt.color", 0xFF0000)
                       .push("fmt")
                       .code(0x1C)
                       .push(1.0)
                       .push("t")
                       .code(0x1C)
                       .push("setTextFormat")
                       .code(0x52)
                       .code(0x17));
    expectRedSquare(firstFrame(movie, QSize(100, 100)));
}

} // namespace
} // namespace mc
