#include "PixelTables.h"

#include "ScriptCalls.h"

#include <string>

namespace picturerules {
namespace {

using moviemaker::Actions;

New bitmap(int w, int h, bool transparent, double fill) {
    return make("flash.display.BitmapData", {w, h, transparent, fill});
}

New rectangle(double x, double y, double w, double h) {
    return make("flash.geom.Rectangle", {x, y, w, h});
}

New point(double x, double y) {
    return make("flash.geom.Point", {x, y});
}

// Four opaque quarters, a translucent band and a see-through corner, `w` x `h`.
void quarters(Actions& a, const std::string& name, int w, int h, bool transparent) {
    set(a, "_root", name, bitmap(w, h, transparent, double(0xFFFF0000)));
    // Whole-pixel quarters: the halves are cut as the integer sizes are.
    const int halfW = w / 2;
    const int halfH = h / 2;
    const int bandY = h / 3;
    const int bandH = h / 6;
    const int cornerW = w / 5;
    const int cornerH = h / 5;
    call(a, name, "fillRect", {rectangle(halfW, 0, w - halfW, halfH), double(0xFF00C000)});
    call(a, name, "fillRect", {rectangle(0, halfH, halfW, h - halfH), double(0xFF0000FF)});
    call(a, name, "fillRect", {rectangle(halfW, halfH, w - halfW, h - halfH), double(0xFFFFFF00)});
    call(a, name, "fillRect", {rectangle(0, bandY, w, bandH), double(0x6000FFFF)});
    call(a, name, "fillRect", {rectangle(0, 0, cornerW, cornerH), double(0x00336699)});
}

void perlinTables(const ScriptCaseWriter& scriptCase) {
    struct Perlin {
        const char* name;
        double baseX, baseY, octaves, seed;
        bool stitch, fractal;
        int channels;
        bool grey;
        bool transparent;
        int offsets; // how many offset points: fewer than the octaves leaves the rest at 0
    };
    const Perlin cases[] = {
        {"one-octave", 30, 30, 1, 5, false, false, 7, false, true, 0},
        {"six-octaves-fractal", 50, 35, 6, 12, false, true, 7, false, true, 2},
        {"alpha-only", 25, 20, 2, 9, false, false, 8, false, true, 0},
        {"green-alpha", 25, 20, 2, 9, false, true, 2 | 8, false, true, 0},
        {"grey-alpha", 40, 25, 3, 31, false, false, 8, true, true, 1},
        {"opaque-target", 40, 25, 3, 31, false, false, 15, false, false, 1},
        {"negative-seed", 40, 25, 2, -4567, false, false, 7, false, true, 0},
        {"large-seed", 40, 25, 2, 3000000000.0, false, false, 7, false, true, 0},
        {"stitch-fraction", 37.5, 21.25, 3, 8, true, true, 7, false, true, 3},
        {"stitch-fraction-x", 37.5, 25, 1, 8, true, false, 7, false, true, 0},
        {"stitch-fraction-y", 40, 21.25, 1, 8, true, false, 7, false, true, 0},
        {"fraction-base", 37.5, 21.25, 3, 8, false, true, 7, false, true, 3},
        {"small-base", 3, 2, 2, 8, false, false, 7, true, true, 0},
        {"base-zero", 0, 30, 2, 8, false, false, 7, false, true, 0},
        {"negative-base", -40, 25, 2, 8, false, true, 7, false, true, 0},
        {"no-channels", 40, 25, 2, 8, false, false, 0, false, true, 0},
        {"fraction-octaves", 40, 25, 2.7, 8, false, false, 7, false, true, 0},
    };
    for (const Perlin& p : cases) {
        scriptCase(std::string("as-perlin-") + p.name, [p](Actions& a) {
            set(a, "_root", "bd", bitmap(96, 64, p.transparent, double(0xFF808080)));
            ArgList offsets;
            for (int i = 0; i < p.offsets; ++i) {
                offsets.emplace_back(point(7.0 * (i + 1), -5.0 * i));
            }
            ArgList args{p.baseX,  p.baseY,   p.octaves,  p.seed,
                         p.stitch, p.fractal, p.channels, p.grey};
            if (p.offsets > 0) {
                args.emplace_back(offsets);
            }
            call(a, "bd", "perlinNoise", args);
            show(a, "bd", 4, 4, 20, 2);
        });
    }
}

void copyTables(const ScriptCaseWriter& scriptCase) {
    struct Copy {
        const char* name;
        bool sourceTransparent, destTransparent, merge, alphaBitmap, alphaTransparent;
        double sx, sy, sw, sh, dx, dy, ax, ay;
    };
    const Copy cases[] = {
        {"opaque-dest", true, false, false, false, false, 0, 0, 60, 40, 10, 5, 0, 0},
        {"opaque-dest-merge", true, false, true, false, false, 0, 0, 60, 40, 10, 5, 0, 0},
        {"merge", true, true, true, false, false, 0, 0, 60, 40, 10, 5, 0, 0},
        {"source-rect-outside", true, true, false, false, false, -10, -8, 50, 40, 20, 15, 0, 0},
        {"dest-negative", true, true, false, false, false, 5, 5, 60, 40, -15, -10, 0, 0},
        {"alpha-opaque", true, true, false, true, false, 0, 0, 60, 40, 10, 5, 0, 0},
        {"alpha-shifted", true, true, true, true, true, 0, 0, 60, 40, 10, 5, 30, 10},
        {"alpha-opaque-source", false, true, false, true, true, 0, 0, 60, 40, 10, 5, -10, 0},
        {"alpha-outside", true, true, false, true, true, 10, 0, 50, 40, 0, 0, 25, 25},
    };
    for (const Copy& c : cases) {
        scriptCase(std::string("as-copy-") + c.name, [c](Actions& a) {
            quarters(a, "src", 60, 40, c.sourceTransparent);
            set(a, "_root", "dst", bitmap(90, 60, c.destTransparent, double(0x80404040)));
            ArgList args{Path{"src"}, rectangle(c.sx, c.sy, c.sw, c.sh), point(c.dx, c.dy)};
            if (c.alphaBitmap) {
                set(a, "_root", "al", bitmap(60, 40, c.alphaTransparent, double(0x80000000)));
                call(a, "al", "fillRect", {rectangle(0, 0, 20, 40), double(0xFF000000)});
                call(a, "al", "fillRect", {rectangle(40, 0, 20, 20), 0});
                args.emplace_back(Path{"al"});
                args.emplace_back(point(c.ax, c.ay));
            } else {
                args.emplace_back(Path{"nothing"});
                args.emplace_back(Path{"nothing"});
            }
            args.emplace_back(c.merge);
            call(a, "dst", "copyPixels", args);
            show(a, "dst", 5, 5, 20, 2);
        });
    }
}

void paletteTables(const ScriptCaseWriter& scriptCase) {
    struct Palette {
        const char* name;
        bool transparent;
        bool alphaTable;
        bool carry; // entries that overflow into the next channel
    };
    const Palette cases[] = {
        {"alpha-table", true, true, false},
        {"alpha-table-opaque", false, true, false},
        {"carry", true, false, true},
    };
    for (const Palette& p : cases) {
        scriptCase(std::string("as-palette-") + p.name, [p](Actions& a) {
            quarters(a, "src", 60, 40, p.transparent);
            ArgList reds;
            ArgList alphas;
            for (int i = 0; i < 256; ++i) {
                reds.emplace_back(p.carry ? double((i << 16) + (i << 15)) : double(i << 16));
                alphas.emplace_back(double(((255 - i) / 2 + 64) << 24));
            }
            ArgList args{Path{"src"}, rectangle(5, 0, 50, 40), point(0, 0),
                         reds,        Path{"nothing"},         Path{"nothing"}};
            if (p.alphaTable) {
                args.emplace_back(alphas);
            }
            call(a, "src", "paletteMap", args);
            show(a, "src", 5, 5, 20, 2.5);
        });
    }
}

void thresholdTables(const ScriptCaseWriter& scriptCase) {
    int n = 0;
    for (const char* op : {"<", "<=", ">=", "!=", "=="}) {
        for (const bool copy : {false, true}) {
            const std::string name = "as-threshold-" + std::to_string(n++);
            scriptCase(name, [op, copy](Actions& a) {
                quarters(a, "src", 60, 40, true);
                set(a, "_root", "dst", bitmap(60, 40, false, double(0xFF808080)));
                call(a, "dst", "threshold",
                     {Path{"src"}, rectangle(0, 0, 60, 40), point(0, 0), op, double(0x6000C000),
                      double(0x80FF00FF), double(0xFF00FF00), copy});
                show(a, "dst", 5, 5, 20, 2.5);
            });
        }
    }
}

// A bitmap tested against itself one pixel along, each way: a change read again cascades.
void selfThresholdTables(const ScriptCaseWriter& scriptCase) {
    for (const int step : {1, -1}) {
        scriptCase(std::string("as-threshold-self-") + (step > 0 ? "right" : "left"),
                   [step](Actions& a) {
                       quarters(a, "src", 60, 40, true);
                       call(a, "src", "threshold",
                            {Path{"src"}, rectangle(step > 0 ? 0 : 1, 0, 59, 40),
                             point(step > 0 ? 1 : 0, 0), "==", double(0xFFFF0000),
                             double(0xFFFF0000), double(0xFFFFFFFF), false});
                       show(a, "src", 5, 5, 20, 2.5);
                   });
    }
}

void transformTables(const ScriptCaseWriter& scriptCase) {
    scriptCase("as-bd-transform-clear-pixels", [](Actions& a) {
        quarters(a, "src", 60, 40, true);
        call(a, "src", "colorTransform",
             {rectangle(0, 0, 60, 40),
              make("flash.geom.ColorTransform", {1, 1, 1, 1, 40, 0, -30, 120})});
        show(a, "src", 5, 5, 20, 2.5);
    });
    scriptCase("as-bd-transform-opaque", [](Actions& a) {
        quarters(a, "src", 60, 40, false);
        call(a, "src", "colorTransform",
             {rectangle(-10, 10, 50, 50),
              make("flash.geom.ColorTransform", {0.5, 1.5, 1, 0.2, 0, 0, 60, -50})});
        show(a, "src", 5, 5, 20, 2.5);
    });
    scriptCase("as-bd-draw-rotated-clip", [](Actions& a) {
        quarters(a, "src", 60, 40, true);
        set(a, "_root", "bd", bitmap(120, 90, true, double(0x30000000)));
        set(a, "_root", "mat", make("flash.geom.Matrix", {1, 0, 0, 1, 0, 0}));
        call(a, "mat", "rotate", {0.5});
        call(a, "mat", "scale", {1.5, 1.2});
        call(a, "mat", "translate", {40, 5});
        call(a, "bd", "draw",
             {Path{"src"}, Path{"mat"}, Path{"nothing"}, Path{"nothing"},
              rectangle(15.5, 10.5, 80, 60), false});
        show(a, "bd", 10, 10, 20, 1.5);
    });
    scriptCase("as-bd-draw-smoothed-bitmap", [](Actions& a) {
        quarters(a, "src", 12, 8, true);
        set(a, "_root", "bd", bitmap(120, 90, true, 0));
        set(a, "_root", "mat", make("flash.geom.Matrix", {7.3, 0, 0, 9.1, 3, 2}));
        call(a, "bd", "draw",
             {Path{"src"}, Path{"mat"}, Path{"nothing"}, Path{"nothing"}, Path{"nothing"}, true});
        show(a, "bd", 10, 10, 20, 1.5);
    });
}

} // namespace

void pixelTables(const ScriptCaseWriter& scriptCase) {
    perlinTables(scriptCase);
    copyTables(scriptCase);
    paletteTables(scriptCase);
    thresholdTables(scriptCase);
    selfThresholdTables(scriptCase);
    transformTables(scriptCase);
}

} // namespace picturerules
