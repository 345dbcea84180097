#include "LookTables.h"

#include "ScriptCalls.h"

#include <string>

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

// Three coloured bars and a grey one in `clip`, 120 x 80 from (10, 10).
void bars(Actions& a, const std::string& clip) {
    const double colours[] = {0xC03020, 0x30A040, 0x2040C0, 0x808080};
    for (int i = 0; i < 4; ++i) {
        call(a, clip, "beginFill", {colours[i], 100});
        rect(a, clip, 10 + i * 30, 10, 30, 80);
        call(a, clip, "endFill", {});
    }
}

// An 8 x 6 checker of red and blue with a green first column, in `name`.
void checker(Actions& a, const std::string& name) {
    set(a, "_root", name, make("flash.display.BitmapData", {8, 6, false, double(0xFF2040C0)}));
    for (int y = 0; y < 6; ++y) {
        for (int x = y % 2; x < 8; x += 2) {
            call(a, name, "setPixel", {x, y, double(0xD02020)});
        }
    }
    call(a, name, "fillRect", {make("flash.geom.Rectangle", {0, 0, 1, 6}), double(0xFF00B000)});
}

} // namespace

void colourTables(const ScriptCaseWriter& scriptCase) {
    struct Transform {
        const char* name;
        double ra, rb, ga, gb, ba, bb, aa, ab;
    };
    const Transform transforms[] = {
        {"negative-mult", -100, 255, -50, 200, 100, 0, 100, 0},
        {"over-256", 300, 0, 250, -40, 180, 10, 100, 0},
        {"negative-alpha", 100, 0, 100, 0, 100, 0, -60, 200},
        {"large-offsets", 0, 400, 100, -300, 50, 600, 100, 0},
        {"alpha-over-100", 100, 0, 100, 0, 100, 0, 250, -100},
    };
    for (const Transform& t : transforms) {
        scriptCase(std::string("as-color-") + t.name, [t](Actions& a) {
            bars(a, "c");
            set(a, "_root", "col", make("Color", {Path{"c"}}));
            call(a, "col", "setTransform",
                 {Fields{{{"ra", t.ra},
                          {"rb", t.rb},
                          {"ga", t.ga},
                          {"gb", t.gb},
                          {"ba", t.ba},
                          {"bb", t.bb},
                          {"aa", t.aa},
                          {"ab", t.ab}}}});
            set(a, "c", "_x", 30);
            set(a, "c", "_y", 20);
        });
    }
    scriptCase("as-color-nested", [](Actions& a) {
        call(a, "c", "createEmptyMovieClip", {"d", 1});
        bars(a, "c.d");
        set(a, "_root", "outer", make("Color", {Path{"c"}}));
        call(a, "outer", "setTransform", {Fields{{{"ra", 200}, {"gb", -80}, {"aa", 70}}}});
        set(a, "_root", "inner", make("Color", {Path{"c.d"}}));
        call(a, "inner", "setTransform", {Fields{{{"ra", -100}, {"rb", 200}, {"ba", 300}}}});
        set(a, "c", "_x", 30);
    });
    scriptCase("as-color-setrgb-alpha", [](Actions& a) {
        bars(a, "c");
        set(a, "c", "_alpha", 50);
        set(a, "_root", "col", make("Color", {Path{"c"}}));
        call(a, "col", "setRGB", {0x30C0A0});
    });
}

void smoothingTables(const ScriptCaseWriter& scriptCase) {
    for (int smooth = 0; smooth < 2; ++smooth) {
        for (const char* pose : {"scaled", "rotated", "shrunk"}) {
            const std::string p = pose;
            scriptCase(std::string("as-attach-") + (smooth ? "smooth-" : "hard-") + pose,
                       [smooth, p](Actions& a) {
                           checker(a, "bd");
                           call(a, "c", "attachBitmap", {Path{"bd"}, 1, "auto", smooth != 0});
                           const double scale = p == "shrunk" ? 70 : 1370;
                           set(a, "c", "_xscale", scale);
                           set(a, "c", "_yscale", scale);
                           set(a, "c", "_x", 13.3);
                           set(a, "c", "_y", 9.6);
                           if (p == "rotated") {
                               set(a, "c", "_rotation", 20);
                               set(a, "c", "_x", 60);
                           }
                       });
            scriptCase(std::string("as-bitmapfill-") + (smooth ? "smooth-" : "hard-") + pose,
                       [smooth, p](Actions& a) {
                           checker(a, "bd");
                           const double s = p == "shrunk" ? 0.7 : 9.3;
                           const double r = p == "rotated" ? 0.35 : 0.0;
                           set(a, "_root", "mat", make("flash.geom.Matrix", {}));
                           call(a, "mat", "scale", {s, s});
                           call(a, "mat", "rotate", {r});
                           call(a, "mat", "translate", {15.5, 12.25});
                           call(a, "c", "beginBitmapFill",
                                {Path{"bd"}, Path{"mat"}, p != "scaled", smooth != 0});
                           rect(a, "c", 10, 10, 170, 120);
                           call(a, "c", "endFill", {});
                       });
        }
        scriptCase(std::string("as-bd-draw-") + (smooth ? "smooth" : "hard"), [smooth](Actions& a) {
            checker(a, "bd");
            call(a, "c", "attachBitmap", {Path{"bd"}, 1});
            set(a, "c", "_visible", false);
            set(a, "_root", "big", make("flash.display.BitmapData", {90, 70, false, 0xFFFFFF}));
            set(a, "_root", "mat", make("flash.geom.Matrix", {}));
            call(a, "mat", "scale", {9.7, 9.7});
            call(a, "mat", "rotate", {0.2});
            call(a, "mat", "translate", {3.5, -8.25});
            call(a, "big", "draw",
                 {Path{"bd"}, Path{"mat"}, Path{"nothing"}, Path{"nothing"}, Path{"nothing"},
                  smooth != 0});
            call(a, "_root", "createEmptyMovieClip", {"h", 20});
            call(a, "h", "attachBitmap", {Path{"big"}, 1});
            set(a, "h", "_x", 10);
            set(a, "h", "_y", 10);
            set(a, "h", "_xscale", 200);
            set(a, "h", "_yscale", 180);
        });
    }
}

void cachedTables(const ScriptCaseWriter& scriptCase) {
    for (const char* what : {"plain", "cache", "blur", "glow", "shadow"}) {
        const std::string w = what;
        scriptCase("as-scaled-" + w, [w](Actions& a) {
            call(a, "c", "createEmptyMovieClip", {"d", 1});
            call(a, "c.d", "lineStyle", {2, 0x000000, 100});
            bars(a, "c.d");
            if (w == "cache") {
                set(a, "c.d", "cacheAsBitmap", true);
            } else if (w == "blur") {
                set(a, "c.d", "filters", ArgList{make("flash.filters.BlurFilter", {6, 3, 2})});
            } else if (w == "glow") {
                set(a, "c.d", "filters",
                    ArgList{make("flash.filters.GlowFilter", {0xFF00FF, 0.8, 8, 8, 3, 2})});
            } else if (w == "shadow") {
                set(a, "c.d", "filters",
                    ArgList{make("flash.filters.DropShadowFilter", {6, 45, 0, 0.7, 4, 4, 1, 2})});
            }
            set(a, "c", "_xscale", 140);
            set(a, "c", "_yscale", 75);
            set(a, "c.d", "_rotation", 6);
            set(a, "c", "_x", 7.4);
            set(a, "c", "_y", 12.6);
        });
    }
}

void scrollRectTables(const ScriptCaseWriter& scriptCase) {
    struct Scroll {
        const char* name;
        double x, y, w, h;
        double rotation, xscale;
        bool cache;
    };
    const Scroll scrolls[] = {
        {"whole", 20, 10, 90, 60, 0, 100, false},
        {"fractional", 20.4, 10.6, 90.3, 60.7, 0, 100, false},
        {"negative", -15, -8, 90, 60, 0, 100, false},
        {"rotated", 20, 10, 90, 60, 25, 100, false},
        {"scaled", 20.5, 10.5, 60, 40, 0, 230, false},
        {"cached", 20.4, 10.6, 90.3, 60.7, 0, 100, true},
        {"cached-rotated", 20, 10, 90, 60, 25, 150, true},
        {"empty", 20, 10, 0, 60, 0, 100, false},
    };
    for (const Scroll& s : scrolls) {
        scriptCase(std::string("as-scrollrect-") + s.name, [s](Actions& a) {
            call(a, "c", "lineStyle", {3, 0x000000, 100});
            bars(a, "c");
            set(a, "c", "scrollRect", make("flash.geom.Rectangle", {s.x, s.y, s.w, s.h}));
            set(a, "c", "cacheAsBitmap", s.cache);
            set(a, "c", "_rotation", s.rotation);
            set(a, "c", "_xscale", s.xscale);
            set(a, "c", "_x", 30.5);
            set(a, "c", "_y", 20.25);
        });
    }
}

void depthTables(const ScriptCaseWriter& scriptCase) {
    for (int depth : {-16385, -16384, 1048575, 1048576, 2130690045}) {
        scriptCase("as-depth-" + std::to_string(depth), [depth](Actions& a) {
            call(a, "_root", "createEmptyMovieClip", {"e", depth});
            call(a, "e", "beginFill", {0x20A0C0, 100});
            rect(a, "e", 20, 20, 100, 80);
            call(a, "e", "endFill", {});
            call(a, "c", "beginFill", {0xC04020, 100});
            rect(a, "c", 60, 50, 100, 80);
            call(a, "c", "endFill", {});
        });
    }
    scriptCase("as-depth-swap-far", [](Actions& a) {
        call(a, "c", "beginFill", {0xC04020, 100});
        rect(a, "c", 60, 50, 100, 80);
        call(a, "c", "endFill", {});
        call(a, "_root", "createEmptyMovieClip", {"e", 5});
        call(a, "e", "beginFill", {0x20A0C0, 100});
        rect(a, "e", 20, 20, 100, 80);
        call(a, "e", "endFill", {});
        call(a, "e", "swapDepths", {2000000});
    });
}

} // namespace picturerules

namespace picturerules {

void maskStrokeTables(const ScriptCaseWriter& scriptCase) {
    for (int filled = 0; filled < 2; ++filled) {
        for (int width : {0, 6, 20}) {
            scriptCase("as-mask-stroke-" + std::to_string(width) + (filled ? "-filled" : ""),
                       [filled, width](Actions& a) {
                           bars(a, "c");
                           set(a, "c", "_xscale", 140);
                           set(a, "c", "_yscale", 150);
                           call(a, "_root", "createEmptyMovieClip", {"m", 30});
                           call(a, "m", "lineStyle", {width, 0x000000, 100});
                           if (filled != 0) {
                               call(a, "m", "beginFill", {0x000000, 100});
                           }
                           call(a, "m", "moveTo", {30, 30});
                           call(a, "m", "lineTo", {170, 50});
                           call(a, "m", "lineTo", {100, 130});
                           call(a, "m", "lineTo", {30, 30});
                           if (filled != 0) {
                               call(a, "m", "endFill", {});
                           }
                           call(a, "c", "setMask", {Path{"m"}});
                       });
        }
    }
}

} // namespace picturerules
