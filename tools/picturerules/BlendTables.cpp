#include "BlendTables.h"

#include <string>

namespace picturerules {
namespace {

using namespace moviemaker;

uint16_t gradientShape(SwfWriter& m) {
    Gradient g;
    g.stops = {{0, Rgba{255, 60, 0, 255}}, {160, Rgba{0, 90, 255, 200}}, {255, Rgba{0, 0, 0, 0}}};
    Shape s;
    s.fill1(s.addFill(FillStyle::radial(gradientBox(0, 0, 2400, 2000), g)))
        .rectangle(0, 0, 2400, 2000);
    return m.defineShape(s);
}

// 60 x 50 pixels: red to blue across, opaque at the top and clear at the bottom.
uint16_t rampBitmap(SwfWriter& m) {
    RawImage image;
    image.width = 60;
    image.height = 50;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            image.pixels.push_back(Rgba{static_cast<uint8_t>(255 - x * 4), 80,
                                        static_cast<uint8_t>(x * 4),
                                        static_cast<uint8_t>(255 - y * 5)});
        }
    }
    return m.defineBitsLossless(image, 2);
}

uint16_t squareShape(SwfWriter& m, Rgba colour, int32_t x, int32_t y, int32_t w, int32_t h) {
    Shape s;
    s.fill1(s.addFill(FillStyle::solid(colour))).rectangle(x, y, w, h);
    return m.defineShape(s);
}

} // namespace

void blendTables(const MovieMaker& newMovie, const MovieCaseWriter& add) {
    const char* modes[] = {"normal", "layer",      "multiply", "screen",   "lighten",
                           "darken", "difference", "add",      "subtract", "invert",
                           "alpha",  "erase",      "overlay",  "hardlight"};
    const char* kinds[] = {"gradient", "bitmap", "text"};
    for (int kind = 0; kind < 3; ++kind) {
        for (int b = 1; b <= 14; ++b) {
            SwfWriter m = newMovie(10);
            m.place(squareShape(m, Rgba{40, 200, 120, 255}, 200, 200, 2400, 2000), 1);
            m.place(squareShape(m, Rgba{250, 240, 100, 140}, 1600, 1000, 2200, 1800), 2);
            const uint16_t id = kind == 0   ? gradientShape(m)
                                : kind == 1 ? rampBitmap(m)
                                            : defineSampleText(m);
            m.placeObject(PlaceObject{.depth = 3,
                                      .characterId = id,
                                      .matrix = Matrix::translate(1000, 700),
                                      .blendMode = static_cast<BlendMode>(b)},
                          3);
            add(std::string("blend-on-") + kinds[kind] + "-" + modes[b - 1], m);
        }
    }
}

} // namespace picturerules
