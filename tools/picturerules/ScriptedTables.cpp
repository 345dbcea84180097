#include "ScriptedTables.h"

#include "ScriptCalls.h"

#include <QBuffer>
#include <QImage>

#include <string>
#include <utility>
#include <vector>

namespace picturerules {
namespace {

using moviemaker::Actions;

void rect(Actions& a, const std::string& clip, double x, double y, double w, double h) {
    call(a, clip, "moveTo", {x, y});
    call(a, clip, "lineTo", {x + w, y});
    call(a, clip, "lineTo", {x + w, y + h});
    call(a, clip, "lineTo", {x, y + h});
    call(a, clip, "lineTo", {x, y});
}

Fields box(double x, double y, double w, double h, double r) {
    return Fields{{{"matrixType", "box"}, {"x", x}, {"y", y}, {"w", w}, {"h", h}, {"r", r}}};
}

// A sharp zigzag with a curve, for joins, caps and miters.
void spikes(Actions& a, const std::string& clip) {
    call(a, clip, "moveTo", {10, 110});
    call(a, clip, "lineTo", {40, 20});
    call(a, clip, "lineTo", {55, 110});
    call(a, clip, "lineTo", {80, 60});
    call(a, clip, "curveTo", {120, 0, 150, 100});
    call(a, clip, "lineTo", {170, 30});
}

// A gradient fill over most of the stage.
void gradientRect(Actions& a, const ArgList& args) {
    call(a, "c", "beginGradientFill", args);
    rect(a, "c", 10, 10, 180, 130);
    call(a, "c", "endFill", {});
}

New bitmap(int w, int h, bool transparent, double fill) {
    return make("flash.display.BitmapData", {w, h, transparent, fill});
}

// A bitmap with four coloured quarters and a translucent band.
void quarters(Actions& a, const std::string& name, int w, int h) {
    set(a, "_root", name, bitmap(w, h, true, double(0xFFFF0000)));
    call(a, name, "fillRect",
         {make("flash.geom.Rectangle", {w / 2, 0, w - w / 2, h / 2}), double(0xFF00C000)});
    call(a, name, "fillRect",
         {make("flash.geom.Rectangle", {0, h / 2, w / 2, h - h / 2}), double(0xFF0000FF)});
    call(a, name, "fillRect",
         {make("flash.geom.Rectangle", {w / 2, h / 2, w - w / 2, h - h / 2}), double(0xFFFFFF00)});
    call(a, name, "fillRect",
         {make("flash.geom.Rectangle", {0, h / 3, w, h / 6}), double(0x6000FFFF)});
}

// A picture with a gradient, a checker and a translucent corner.
QImage samplePicture(int w, int h, bool alpha) {
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int a = alpha && x > w / 2 && y > h / 2 ? 96 : 255;
            img.setPixel(x, y, qRgba((x * 255) / w, (y * 255) / h, ((x / 6 + y / 6) % 2) * 255, a));
        }
    }
    return img;
}

std::vector<uint8_t> encoded(const QImage& img, const char* format) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format, 90);
    return {bytes.begin(), bytes.end()};
}

// A GIF of a 6 x 6 palette picture scaled up by `cell`, colour 0 transparent. Its LZW stream
// restarts before the code table fills up, so every code stays 9 bits wide.
std::vector<uint8_t> gifPicture(int cell) {
    const int w = 6 * cell;
    const int h = 6 * cell;
    std::vector<uint8_t> out{'G', 'I', 'F', '8', '9', 'a'};
    const auto u16 = [&out](int v) {
        out.push_back(static_cast<uint8_t>(v & 0xFF));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    u16(w);
    u16(h);
    out.insert(out.end(), {0xF7, 0, 0}); // global table of 256 colours
    for (int i = 0; i < 256; ++i) {
        out.insert(out.end(), {static_cast<uint8_t>(i * 40), static_cast<uint8_t>(255 - i * 40),
                               static_cast<uint8_t>(i % 2 ? 255 : 0)});
    }
    out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, 0, 0}); // colour 0 is transparent
    out.push_back(0x2C);
    u16(0);
    u16(0);
    u16(w);
    u16(h);
    out.push_back(0);
    out.push_back(8); // minimum code size
    std::vector<uint8_t> codes;
    uint32_t bits = 0;
    int count = 0;
    const auto putCode = [&](int code) {
        bits |= static_cast<uint32_t>(code) << count;
        count += 9;
        while (count >= 8) {
            codes.push_back(static_cast<uint8_t>(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    int sinceClear = 0;
    putCode(256);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (sinceClear == 250) {
                putCode(256);
                sinceClear = 0;
            }
            putCode(((x / cell) + (y / cell)) % 6);
            ++sinceClear;
        }
    }
    putCode(257);
    if (count > 0) {
        codes.push_back(static_cast<uint8_t>(bits & 0xFF));
    }
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), codes.begin() + static_cast<std::ptrdiff_t>(at),
                   codes.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

} // namespace

std::vector<std::pair<std::string, std::vector<uint8_t>>> loadedPictures() {
    return {{"picture.png", encoded(samplePicture(60, 40, true), "PNG")},
            {"picture.jpg", encoded(samplePicture(60, 40, false), "JPEG")},
            {"picture.gif", gifPicture(7)}};
}

void loadedPictureTables(const ScriptCaseWriter& scriptCase) {
    for (const char* file : {"picture.png", "picture.jpg", "picture.gif"}) {
        const std::string name = std::string("as-load-") + std::string(file).substr(8);
        scriptCase(name, [file](Actions& a) {
            call(a, "_root", "createEmptyMovieClip", {"b", 5});
            call(a, "b", "beginFill", {0x40C080, 100});
            rect(a, "b", 0, 0, 200, 75);
            call(a, "b", "endFill", {});
            set(a, "_root", "loader", make("MovieClipLoader", {}));
            call(a, "loader", "loadClip", {file, Path{"c"}});
            set(a, "c", "_x", 30);
            set(a, "c", "_y", 20);
            set(a, "c", "_xscale", 150);
            set(a, "c", "_yscale", 200);
            set(a, "c", "_rotation", 8);
            call(a, "_root", "createEmptyMovieClip", {"d", 11});
            call(a, "d", "loadMovie", {file});
            set(a, "d", "_x", 120);
            set(a, "d", "_y", 90);
            set(a, "d", "_alpha", 60);
        });
    }
}

void drawingApiTables(const ScriptCaseWriter& scriptCase) {
    const ArgList three{0xFF0000, 0x00C000, 0x0000FF};
    const ArgList opaque{100, 100, 100};
    scriptCase("as-gradient-unsorted", [&](Actions& a) {
        gradientRect(a, {"linear", three, opaque, ArgList{200, 50, 128}, box(10, 10, 180, 130, 0)});
    });
    scriptCase("as-gradient-repeated", [](Actions& a) {
        gradientRect(a, {"linear", ArgList{0xFF0000, 0xFFFF00, 0x0000FF, 0x00C000},
                         ArgList{100, 100, 100, 100}, ArgList{0, 128, 128, 255},
                         box(10, 10, 180, 130, 0)});
    });
    scriptCase("as-gradient-ratios-out-of-range", [&](Actions& a) {
        gradientRect(a, {"linear", three, ArgList{100, 150, -20}, ArgList{-40, 300, 128},
                         box(10, 10, 180, 130, 0)});
    });
    scriptCase("as-gradient-object-matrix", [&](Actions& a) {
        gradientRect(
            a,
            {"linear", three, opaque, ArgList{0, 128, 255},
             Fields{
                 {{"a", 0.05}, {"b", 0.02}, {"c", -0.02}, {"d", 0.05}, {"tx", 100}, {"ty", 75}}}});
    });
    // The 3x3 form in pixels, all nine entries given, then with its unused last entry left out.
    for (int lacking = 0; lacking < 2; ++lacking) {
        scriptCase(std::string("as-gradient-3x3") + (lacking ? "-lacking-i" : ""),
                   [&three, &opaque, lacking](Actions& a) {
                       Fields m{{{"a", 120},
                                 {"b", 30},
                                 {"c", 0},
                                 {"d", -20},
                                 {"e", 90},
                                 {"f", 0},
                                 {"g", 100},
                                 {"h", 75}}};
                       if (lacking == 0) {
                           m.entries.emplace_back("i", 1);
                       }
                       call(a, "c", "beginFill", {0x808080, 100});
                       gradientRect(a, {"linear", three, opaque, ArgList{0, 128, 255}, m});
                   });
    }
    scriptCase("as-gradient-box-rotated", [&](Actions& a) {
        gradientRect(a, {"radial", three, opaque, ArgList{0, 128, 255}, box(40, 20, 100, 60, 1.1),
                         "reflect", "RGB", -0.6});
    });
    scriptCase("as-gradient-focal-repeat-linear", [&](Actions& a) {
        gradientRect(a, {"radial", three, opaque, ArgList{0, 128, 255}, box(60, 40, 70, 50, 0.3),
                         "repeat", "linearRGB", 0.9});
    });
    scriptCase("as-gradient-bad-spread", [&](Actions& a) {
        gradientRect(a, {"linear", three, opaque, ArgList{0, 128, 255}, box(60, 40, 60, 40, 0),
                         "sideways", "nothing"});
    });
    scriptCase("as-gradient-short-arrays", [](Actions& a) {
        gradientRect(a, {"linear", ArgList{0xFF0000, 0x00C000, 0x0000FF}, ArgList{100, 100},
                         ArgList{0, 128, 255}, box(10, 10, 180, 130, 0)});
    });
    // More colours than the 15 a shape's gradient holds.
    for (int count : {15, 16, 20}) {
        scriptCase("as-gradient-colours-" + std::to_string(count), [count](Actions& a) {
            ArgList colours;
            ArgList alphas;
            ArgList ratios;
            for (int i = 0; i < count; ++i) {
                colours.emplace_back(i % 2 ? 0x0000FF : (i % 3 ? 0xFF0000 : 0x00C000));
                alphas.emplace_back(100);
                ratios.emplace_back(i * 255 / (count - 1));
            }
            gradientRect(a, {"linear", colours, alphas, ratios, box(10, 10, 180, 130, 0)});
        });
    }
    scriptCase("as-line-gradient-radial", [&](Actions& a) {
        call(a, "c", "lineStyle", {14, 0, 100, true, "normal", "square", "miter", 4});
        call(a, "c", "lineGradientStyle",
             {"radial", three, ArgList{100, 50, 100}, ArgList{0, 128, 255},
              box(40, 20, 120, 100, 0), "reflect"});
        spikes(a, "c");
    });
    for (const char* scale : {"normal", "none"}) {
        for (int hint = 0; hint < 2; ++hint) {
            scriptCase(std::string("as-line-parent-scaled-") + scale + (hint ? "-hinted" : ""),
                       [scale, hint](Actions& a) {
                           call(a, "c", "createEmptyMovieClip", {"d", 1});
                           call(a, "c.d", "lineStyle",
                                {3, 0x800000, 100, hint != 0, scale, "none", "bevel"});
                           spikes(a, "c.d");
                           set(a, "c", "_xscale", 45);
                           set(a, "c", "_yscale", 110);
                           set(a, "c.d", "_xscale", 220);
                           set(a, "c", "_x", 3.3);
                       });
        }
    }
    for (int limit : {1, 3, 255}) {
        scriptCase("as-line-miter-" + std::to_string(limit), [limit](Actions& a) {
            call(a, "c", "lineStyle", {10, 0x004080, 100, false, "normal", "none", "miter", limit});
            spikes(a, "c");
        });
    }
    scriptCase("as-line-thin-scaled-up", [](Actions& a) {
        call(a, "c", "lineStyle", {0.5, 0, 100});
        spikes(a, "c");
        set(a, "c", "_xscale", 60);
        set(a, "c", "_yscale", 60);
        call(a, "c", "createEmptyMovieClip", {"d", 1});
        call(a, "c.d", "lineStyle", {0, 0xFF0000, 100});
        spikes(a, "c.d");
        set(a, "c.d", "_xscale", 150);
        set(a, "c.d", "_yscale", 150);
    });
    scriptCase("as-fill-without-move", [](Actions& a) {
        call(a, "c", "beginFill", {0x008080, 100});
        call(a, "c", "lineTo", {150, 20});
        call(a, "c", "lineTo", {120, 130});
        call(a, "c", "endFill", {});
    });
    scriptCase("as-fill-curves-lines", [](Actions& a) {
        call(a, "c", "lineStyle", {4, 0x202020, 60, false, "normal", "round", "round"});
        call(a, "c", "beginFill", {0xE08000, 80});
        call(a, "c", "moveTo", {30, 75});
        call(a, "c", "curveTo", {30, 10, 100, 10});
        call(a, "c", "curveTo", {170, 10, 170, 75});
        call(a, "c", "curveTo", {100, 200, 30, 75});
        call(a, "c", "endFill", {});
    });
    scriptCase("as-fill-move-inside", [](Actions& a) {
        // A moveTo in the middle of a fill closes the piece drawn so far and starts another.
        call(a, "c", "beginFill", {0x6020A0, 100});
        call(a, "c", "moveTo", {20, 20});
        call(a, "c", "lineTo", {100, 20});
        call(a, "c", "lineTo", {60, 100});
        call(a, "c", "moveTo", {110, 30});
        call(a, "c", "lineTo", {180, 40});
        call(a, "c", "lineTo", {150, 130});
        call(a, "c", "endFill", {});
    });
    scriptCase("as-fill-overlap-evenodd", [](Actions& a) {
        call(a, "c", "beginFill", {0x2080FF, 100});
        rect(a, "c", 20, 20, 120, 90);
        rect(a, "c", 60, 50, 120, 90);
        call(a, "c", "endFill", {});
    });
    scriptCase("as-clear-keeps-nothing", [](Actions& a) {
        call(a, "c", "lineStyle", {6, 0xFF0000, 100});
        call(a, "c", "beginFill", {0x00FF00, 100});
        rect(a, "c", 20, 20, 60, 60);
        call(a, "c", "clear", {});
        // No style after the clear: the line goes undrawn, the fill starts afresh.
        call(a, "c", "lineTo", {100, 100});
        call(a, "c", "beginFill", {0x0000FF, 50});
        rect(a, "c", 90, 40, 80, 80);
        call(a, "c", "endFill", {});
    });
}

void bitmapDataTables(const ScriptCaseWriter& scriptCase) {
    for (int flags = 0; flags < 8; ++flags) {
        const bool stitch = (flags & 1) != 0;
        const bool fractal = (flags & 2) != 0;
        const bool grey = (flags & 4) != 0;
        scriptCase("as-bd-perlin-" + std::to_string(flags), [=](Actions& a) {
            set(a, "_root", "bd", bitmap(96, 64, true, 0));
            call(a, "bd", "perlinNoise",
                 {40, 25, 3, 77, stitch, fractal, grey ? 1 : 7 + (flags == 3 ? 8 : 0), grey,
                  ArgList{make("flash.geom.Point", {5, 3}), make("flash.geom.Point", {-7, 11})}});
            show(a, "bd", 4, 4, 20, 2);
        });
    }
    scriptCase("as-bd-noise", [](Actions& a) {
        set(a, "_root", "bd", bitmap(90, 60, true, 0));
        call(a, "bd", "noise", {1234, 20, 220, 1 | 4 | 8, false});
        set(a, "_root", "be", bitmap(90, 60, false, 0));
        call(a, "be", "noise", {99, 0, 255, 7, true});
        show(a, "bd", 5, 5, 20);
        show(a, "be", 100, 80, 21);
    });
    scriptCase("as-bd-copypixels-alpha", [](Actions& a) {
        quarters(a, "src", 60, 40);
        set(a, "_root", "al", bitmap(60, 40, true, double(0x80000000)));
        call(a, "al", "fillRect",
             {make("flash.geom.Rectangle", {0, 0, 20, 40}), double(0xFF000000)});
        call(a, "al", "fillRect", {make("flash.geom.Rectangle", {40, 0, 20, 40}), 0});
        set(a, "_root", "dst", bitmap(90, 60, true, double(0xFF404040)));
        call(a, "dst", "copyPixels",
             {Path{"src"}, make("flash.geom.Rectangle", {0, 0, 60, 40}),
              make("flash.geom.Point", {10, 5}), Path{"al"}, make("flash.geom.Point", {5, 0}),
              true});
        call(a, "dst", "copyPixels",
             {Path{"src"}, make("flash.geom.Rectangle", {10, 10, 40, 30}),
              make("flash.geom.Point", {50, 30}), Path{"al"}, make("flash.geom.Point", {0, 0}),
              false});
        show(a, "dst", 5, 5, 20, 2);
    });
    scriptCase("as-bd-threshold", [](Actions& a) {
        quarters(a, "src", 60, 40);
        set(a, "_root", "dst", bitmap(60, 40, true, double(0xFF808080)));
        call(a, "dst", "threshold",
             {Path{"src"}, make("flash.geom.Rectangle", {0, 0, 60, 40}),
              make("flash.geom.Point", {0, 0}), ">", double(0x00800000), double(0xFF00FFFF),
              double(0x00FF0000), true});
        call(a, "dst", "threshold",
             {Path{"dst"}, make("flash.geom.Rectangle", {0, 0, 30, 40}),
              make("flash.geom.Point", {0, 0}), "==", double(0x60000000), double(0x00000000),
              double(0xFF000000), false});
        show(a, "dst", 5, 5, 20, 2.5);
    });
    // merge's multipliers at, between and past their ends, onto a bitmap of its own colours.
    struct Merge {
        const char* name;
        double red, green, blue, alpha;
    };
    const Merge merges[] = {
        {"half", 128, 64, 192, 255}, {"ends", 0, 256, 255, 0}, {"past", 300, -5, 1000, 128}};
    for (const Merge& mg : merges) {
        scriptCase(std::string("as-bd-merge-") + mg.name, [mg](Actions& a) {
            quarters(a, "src", 60, 40);
            set(a, "_root", "dst", bitmap(60, 40, true, double(0x8020A0E0)));
            call(a, "dst", "merge",
                 {Path{"src"}, make("flash.geom.Rectangle", {5, 0, 50, 40}),
                  make("flash.geom.Point", {0, 3}), mg.red, mg.green, mg.blue, mg.alpha});
            show(a, "dst", 5, 5, 20, 2.5);
        });
    }
    scriptCase("as-bd-compare", [](Actions& a) {
        quarters(a, "src", 60, 40);
        set(a, "_root", "other", bitmap(60, 40, true, double(0xFFFF0000)));
        call(a, "other", "fillRect",
             {make("flash.geom.Rectangle", {10, 5, 30, 20}), double(0x80FF0000)});
        call(a, "other", "fillRect",
             {make("flash.geom.Rectangle", {35, 25, 20, 10}), double(0xFF2040C0)});
        setResult(a, "_root", "diff", "src", "compare", {Path{"other"}});
        show(a, "diff", 5, 5, 20, 2.5);
    });
    // A third of the pixels from another bitmap, then a fill colour into the same bitmap.
    scriptCase("as-bd-pixeldissolve", [](Actions& a) {
        quarters(a, "src", 60, 40);
        set(a, "_root", "dst", bitmap(60, 40, true, double(0xFF204060)));
        call(a, "dst", "pixelDissolve",
             {Path{"src"}, make("flash.geom.Rectangle", {0, 0, 60, 40}),
              make("flash.geom.Point", {0, 0}), 7, 800});
        call(a, "dst", "pixelDissolve",
             {Path{"dst"}, make("flash.geom.Rectangle", {10, 10, 40, 20}),
              make("flash.geom.Point", {10, 10}), 3, 300, double(0xFFFFFFFF)});
        show(a, "dst", 5, 5, 20, 2.5);
    });
    // The colour's box found with and without a match, drawn back into the bitmap.
    scriptCase("as-bd-colorbounds", [](Actions& a) {
        quarters(a, "src", 60, 40);
        setResult(a, "_root", "r1", "src", "getColorBoundsRect",
                  {double(0xFF00FF00), double(0xFF00C000)});
        setResult(a, "_root", "r2", "src", "getColorBoundsRect",
                  {double(0xFF000000), double(0xFF000000), false});
        call(a, "src", "fillRect", {Path{"r1"}, double(0xFF000000)});
        set(a, "_root", "dst", bitmap(60, 40, true, 0));
        call(a, "dst", "fillRect", {Path{"r2"}, double(0xFF8040FF)});
        show(a, "src", 5, 5, 20, 1.5);
        show(a, "dst", 100, 5, 21, 1.5);
    });
    scriptCase("as-bd-palettemap", [](Actions& a) {
        quarters(a, "src", 60, 40);
        std::vector<Arg> reds;
        std::vector<Arg> blues;
        for (int i = 0; i < 256; ++i) {
            reds.emplace_back(double((255 - i) << 8));
            blues.emplace_back(double(((i / 64) * 64) | 0x40000000));
        }
        call(a, "src", "paletteMap",
             {Path{"src"}, make("flash.geom.Rectangle", {0, 0, 40, 40}),
              make("flash.geom.Point", {0, 0}), ArgList(reds), Path{"nothing"}, ArgList(blues)});
        show(a, "src", 5, 5, 20, 2.5);
    });
    scriptCase("as-bd-colortransform", [](Actions& a) {
        quarters(a, "src", 60, 40);
        call(a, "src", "colorTransform",
             {make("flash.geom.Rectangle", {10, 5, 40, 30}),
              make("flash.geom.ColorTransform", {0.5, 1, 1.5, 0.7, 60, -30, 0, 10})});
        show(a, "src", 5, 5, 20, 2.5);
    });
    scriptCase("as-bd-floodfill-scroll", [](Actions& a) {
        quarters(a, "src", 60, 40);
        call(a, "src", "floodFill", {5, 30, double(0xFFFF00FF)});
        call(a, "src", "floodFill", {50, 5, double(0x8000FF00)});
        call(a, "src", "scroll", {7, -4});
        show(a, "src", 5, 5, 20, 2.5);
    });
    scriptCase("as-bd-draw-matrix", [](Actions& a) {
        call(a, "c", "beginFill", {0xCC2222, 100});
        rect(a, "c", 0, 0, 40, 30);
        call(a, "c", "endFill", {});
        call(a, "c", "beginFill", {0x2222CC, 70});
        rect(a, "c", 20, 15, 40, 30);
        call(a, "c", "endFill", {});
        set(a, "c", "_visible", false);
        set(a, "_root", "bd", bitmap(120, 90, true, double(0x4000FF00)));
        set(a, "_root", "mat", make("flash.geom.Matrix", {1.5, 0.3, -0.2, 1.2, 20, 10}));
        call(a, "bd", "draw",
             {Path{"c"}, Path{"mat"},
              make("flash.geom.ColorTransform", {1, 0.5, 1, 0.8, 0, 80, 0, 0}), "multiply",
              make("flash.geom.Rectangle", {10, 5, 70, 60}), true});
        call(a, "bd", "draw", {Path{"c"}});
        show(a, "bd", 20, 10, 20, 1.3);
    });
}

void clipTables(const ScriptCaseWriter& scriptCase) {
    const auto picture = [](Actions& a, const std::string& clip) {
        call(a, clip, "beginFill", {0xCC2222, 100});
        rect(a, clip, 20, 20, 120, 80);
        call(a, clip, "endFill", {});
        call(a, clip, "beginFill", {0x2222CC, 100});
        rect(a, clip, 80, 60, 100, 70);
        call(a, clip, "endFill", {});
    };
    const auto maskClip = [](Actions& a) {
        call(a, "_root", "createEmptyMovieClip", {"m", 30});
        call(a, "m", "beginFill", {0x000000, 30});
        call(a, "m", "moveTo", {100, 10});
        call(a, "m", "curveTo", {190, 10, 190, 75});
        call(a, "m", "curveTo", {190, 140, 100, 140});
        call(a, "m", "curveTo", {10, 140, 10, 75});
        call(a, "m", "curveTo", {10, 10, 100, 10});
        call(a, "m", "endFill", {});
    };
    scriptCase("as-setmask", [=](Actions& a) {
        picture(a, "c");
        maskClip(a);
        call(a, "c", "setMask", {Path{"m"}});
    });
    scriptCase("as-setmask-alpha", [=](Actions& a) {
        picture(a, "c");
        maskClip(a);
        call(a, "c", "setMask", {Path{"m"}});
        set(a, "c", "_alpha", 40);
        set(a, "m", "_alpha", 10);
    });
    scriptCase("as-setmask-hidden-mask", [=](Actions& a) {
        picture(a, "c");
        maskClip(a);
        call(a, "c", "setMask", {Path{"m"}});
        set(a, "m", "_visible", false);
    });
    scriptCase("as-setmask-hidden-masked", [=](Actions& a) {
        picture(a, "c");
        maskClip(a);
        call(a, "c", "setMask", {Path{"m"}});
        set(a, "c", "_visible", false);
    });
    scriptCase("as-setmask-moved-mask", [=](Actions& a) {
        picture(a, "c");
        maskClip(a);
        call(a, "c", "setMask", {Path{"m"}});
        set(a, "m", "_x", 40);
        set(a, "m", "_xscale", 50);
        set(a, "c", "_rotation", 10);
    });
    scriptCase("as-setmask-null", [=](Actions& a) {
        picture(a, "c");
        maskClip(a);
        call(a, "c", "setMask", {Path{"m"}});
        call(a, "c", "setMask", {Path{"nothing"}});
    });
    scriptCase("as-textfield-box", [](Actions& a) {
        call(a, "_root", "createTextField", {"t", 40, 20, 15, 150, 40});
        set(a, "t", "border", true);
        set(a, "t", "background", true);
        set(a, "t", "backgroundColor", 0xFFE0A0);
        set(a, "t", "borderColor", 0x0000FF);
        call(a, "_root", "createTextField", {"u", 41, 30.5, 80.3, 100.6, 50.2});
        set(a, "u", "border", true);
        set(a, "u", "_xscale", 70);
    });
    // A paragraph's left edges: the margin and block indent move every line, the indent only
    // the first; a negative indent reaches back into the margin.
    const struct {
        const char* name;
        double leftMargin, blockIndent, indent, rightMargin;
    } paragraphs[] = {
        {"margin", 30, 0, 0, 0},
        {"block", 0, 30, 0, 0},
        {"indent", 0, 0, 30, 20},
        {"all", 10, 15, 20, 10},
        {"negative-indent", 30, 0, -20, 0},
    };
    for (const auto& p : paragraphs) {
        scriptCase(std::string("as-textformat-") + p.name, [p](Actions& a) {
            call(a, "_root", "createTextField", {"t", 40, 10, 10, 180, 130});
            set(a, "t", "border", true);
            set(a, "t", "multiline", true);
            set(a, "t", "wordWrap", true);
            set(a, "t", "text",
                "mmmm mmmm mmmm mmmm mmmm mmmm mmmm mmmm mmmm mmmm\rmmmm mmmm mmmm mmmm mmmm");
            set(a, "_root", "tf", make("TextFormat", {}));
            set(a, "tf", "leftMargin", p.leftMargin);
            set(a, "tf", "blockIndent", p.blockIndent);
            set(a, "tf", "indent", p.indent);
            set(a, "tf", "rightMargin", p.rightMargin);
            set(a, "tf", "size", 14);
            call(a, "t", "setTextFormat", {Path{"tf"}});
        });
    }
}

} // namespace picturerules
