// flash.geom by table: each row builds an object, calls one method and prints either the
// result or the object after the call, as a script's trace would show them.

#include "PlayerClassTest.h"

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

using avm2::Args;
using avm2::Value;

const double kNaN = std::nan("");
const double kInf = std::numeric_limits<double>::infinity();

struct GeomCase {
    const char* cls;
    std::vector<double> made;
    const char* method;
    // Arguments: numbers, or a second object of `argClass` made from them.
    const char* argClass;
    std::vector<double> args;
    bool printSelf; // the object after the call, not what the call returned
    const char* expected;
};

class GeomClasses : public avm2test::PlayerClassTest {
  protected:
    std::string run(const GeomCase& c) {
        Args madeArgs;
        for (double v : c.made) {
            madeArgs.push_back(Value::number(v));
        }
        Value self = make(std::string("flash.geom::") + c.cls, madeArgs);
        Args args;
        if (c.argClass != nullptr) {
            Args inner;
            for (double v : c.args) {
                inner.push_back(Value::number(v));
            }
            args.push_back(make(std::string("flash.geom::") + c.argClass, inner));
        } else {
            for (double v : c.args) {
                args.push_back(Value::number(v));
            }
        }
        Value result = call(self, c.method, args);
        return text(c.printSelf ? self : result);
    }
};

TEST_F(GeomClasses, MethodsComputeAsFlashDoes) {
    const std::vector<GeomCase> table = {
        {"Point", {1, 2}, "add", "Point", {3, 4}, false, "(x=4, y=6)"},
        {"Point", {1, 2}, "subtract", "Point", {3, 5}, false, "(x=-2, y=-3)"},
        {"Point", {3, 4}, "normalize", nullptr, {10}, true, "(x=6, y=8)"},
        {"Point", {0, 0}, "normalize", nullptr, {10}, true, "(x=0, y=0)"},
        {"Point", {1, 1}, "offset", nullptr, {2, -3}, true, "(x=3, y=-2)"},
        {"Point", {kNaN, 1}, "equals", "Point", {kNaN, 1}, false, "false"},
        {"Point", {}, "toString", nullptr, {}, false, "(x=0, y=0)"},
        // Rectangles: edges are exclusive on the right and bottom.
        {"Rectangle", {0, 0, 10, 10}, "contains", nullptr, {10, 5}, false, "false"},
        {"Rectangle", {0, 0, 10, 10}, "contains", nullptr, {0, 9.5}, false, "true"},
        {"Rectangle",
         {0, 0, 10, 10},
         "intersection",
         "Rectangle",
         {5, 5, 10, 10},
         false,
         "(x=5, y=5, w=5, h=5)"},
        {"Rectangle",
         {0, 0, 10, 10},
         "intersection",
         "Rectangle",
         {10, 0, 5, 5},
         false,
         "(x=0, y=0, w=0, h=0)"},
        {"Rectangle", {0, 0, 10, 10}, "intersects", "Rectangle", {10, 0, 5, 5}, false, "false"},
        {"Rectangle",
         {0, 0, 0, 10},
         "union",
         "Rectangle",
         {5, 5, 1, 1},
         false,
         "(x=5, y=5, w=1, h=1)"},
        {"Rectangle",
         {0, 0, 2, 2},
         "union",
         "Rectangle",
         {5, 5, 1, 1},
         false,
         "(x=0, y=0, w=6, h=6)"},
        {"Rectangle", {0, 0, 10, 10}, "containsRect", "Rectangle", {2, 2, 8, 8}, false, "true"},
        {"Rectangle", {0, 0, 10, 10}, "containsRect", "Rectangle", {2, 2, 9, 8}, false, "false"},
        {"Rectangle", {1, 1, 2, 2}, "inflate", nullptr, {1, 2}, true, "(x=0, y=-1, w=4, h=6)"},
        {"Rectangle", {1, 1, -2, 2}, "isEmpty", nullptr, {}, false, "true"},
        {"Rectangle", {1, 1, kNaN, 2}, "isEmpty", nullptr, {}, false, "false"},
        // Math.max and Math.min let a NaN edge through, and a NaN size is not an empty one.
        {"Rectangle",
         {0, 0, 10, 10},
         "union",
         "Rectangle",
         {kNaN, 0, 5, 5},
         false,
         "(x=NaN, y=0, w=NaN, h=10)"},
        {"Rectangle",
         {kNaN, 0, 5, 5},
         "intersection",
         "Rectangle",
         {0, 0, 10, 10},
         false,
         "(x=NaN, y=0, w=NaN, h=5)"},
        {"Rectangle", {kNaN, 0, 5, 5}, "intersects", "Rectangle", {0, 0, 10, 10}, false, "true"},
        {"Rectangle",
         {5, 5, 10, 10},
         "intersection",
         "Rectangle",
         {kNaN, 0, 5, 5},
         false,
         "(x=0, y=0, w=0, h=0)"},
        // Matrices: inverses by the determinant alone, so a singular one divides by zero.
        {"Matrix",
         {2, 0, 0, 4, 10, 20},
         "invert",
         nullptr,
         {},
         true,
         "(a=0.5, b=0, c=0, d=0.25, tx=-5, ty=-5)"},
        {"Matrix",
         {0, 0, 0, 1, 3, 0},
         "invert",
         nullptr,
         {},
         true,
         "(a=Infinity, b=NaN, c=NaN, d=NaN, tx=-Infinity, ty=NaN)"},
        {"Matrix",
         {1, 2, 2, 4, 5, 6},
         "invert",
         nullptr,
         {},
         true,
         "(a=Infinity, b=-Infinity, c=-Infinity, d=Infinity, tx=-Infinity, ty=Infinity)"},
        {"Matrix",
         {-1, 0.5, 0.25, -2, -3, 7},
         "invert",
         nullptr,
         {},
         true,
         "(a=-1.0666666666666667, b=-0.26666666666666666, c=-0.13333333333333333, "
         "d=-0.5333333333333333, tx=-2.2666666666666666, ty=2.933333333333333)"},
        // Scaling multiplies each column alone: a NaN stays in its own.
        {"Matrix",
         {kNaN, 1, 1, 1, 0, 0},
         "scale",
         nullptr,
         {2, -3},
         true,
         "(a=NaN, b=-3, c=2, d=-3, tx=0, ty=0)"},
        // createBox rotates the zero translation too.
        {"Matrix",
         {},
         "createBox",
         nullptr,
         {1, 1, kInf, 0, 0},
         true,
         "(a=NaN, b=NaN, c=NaN, d=NaN, tx=NaN, ty=NaN)"},
        {"Matrix",
         {},
         "createBox",
         nullptr,
         {2, 3, 0, 10, 20},
         true,
         "(a=2, b=0, c=0, d=3, tx=10, ty=20)"},
        {"Matrix",
         {0, 1, -1, 0, 0, 0},
         "invert",
         nullptr,
         {},
         true,
         "(a=0, b=-1, c=1, d=0, tx=0, ty=0)"},
        {"Matrix",
         {1, 0, 0, 1, 1, 1},
         "scale",
         nullptr,
         {2, 3},
         true,
         "(a=2, b=0, c=0, d=3, tx=2, ty=3)"},
        {"Matrix",
         {2, 0, 0, 2, 0, 0},
         "concat",
         "Matrix",
         {1, 0, 0, 1, 5, 7},
         true,
         "(a=2, b=0, c=0, d=2, tx=5, ty=7)"},
        {"Matrix",
         {},
         "createGradientBox",
         nullptr,
         {1638.4, 819.2, 0, 10, 20},
         true,
         "(a=1, b=0, c=0, d=0.5, tx=829.2, ty=429.6)"},
        {"Matrix", {2, 0, 0, 3, 1, 1}, "transformPoint", "Point", {1, 1}, false, "(x=3, y=4)"},
        {"Matrix", {2, 0, 0, 3, 1, 1}, "deltaTransformPoint", "Point", {1, 1}, false, "(x=2, y=3)"},
        // Colour transforms: the second applies first.
        {"ColorTransform",
         {2, 1, 1, 1, 10, 0, 0, 0},
         "concat",
         "ColorTransform",
         {3, 1, 1, 1, 5, 0, 0, 0},
         true,
         "(redMultiplier=6, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=1, "
         "redOffset=20, greenOffset=0, blueOffset=0, alphaOffset=0)"},
    };
    for (const GeomCase& c : table) {
        EXPECT_EQ(run(c), c.expected) << c.cls << "." << c.method;
    }
}

TEST_F(GeomClasses, EdgesAndColorAccessorsMoveTheirFields) {
    Value r = make("flash.geom::Rectangle", numbers({10, 10, 10, 10}));
    set(r, "left", Value::number(5));
    EXPECT_EQ(text(r), "(x=5, y=10, w=15, h=10)"); // the right edge stays
    set(r, "bottom", Value::number(30));
    EXPECT_EQ(text(r), "(x=5, y=10, w=15, h=20)");
    set(r, "topLeft", make("flash.geom::Point", numbers({0, 0})));
    EXPECT_EQ(text(r), "(x=0, y=0, w=20, h=30)");
    EXPECT_EQ(get(r, "bottomRight"), "(x=20, y=30)");

    Value ct = make("flash.geom::ColorTransform");
    set(ct, "color", Value::number(0x123456));
    EXPECT_EQ(get(ct, "redMultiplier"), "0");
    EXPECT_EQ(get(ct, "blueOffset"), "86");
    EXPECT_EQ(get(ct, "color"), "1193046");
    // The offsets shift whole: one outside 0-255 spills into the channels above it.
    for (const auto& [offsets, color] :
         std::vector<std::pair<std::vector<double>, const char*>>{{{-300, 0, 255.7}, "4275306751"},
                                                                  {{1.5, -1.5, 300}, "4294967084"},
                                                                  {{kNaN, 0, 0}, "0"}}) {
        Value c = make("flash.geom::ColorTransform");
        set(c, "redOffset", Value::number(offsets[0]));
        set(c, "greenOffset", Value::number(offsets[1]));
        set(c, "blueOffset", Value::number(offsets[2]));
        EXPECT_EQ(get(c, "color"), color) << offsets[0];
    }

    // Fields are Numbers: what a script stores is converted.
    Value p = make("flash.geom::Point");
    set(p, "x", Value::string("12.5"));
    EXPECT_EQ(get(p, "x"), "12.5");
    EXPECT_EQ(get(make("flash.geom::Point", numbers({kInf, 0})), "length"), "Infinity");
}

TEST_F(GeomClasses, BadArgumentsThrowFlashsErrors) {
    Value p = make("flash.geom::Point", numbers({1, 2}));
    EXPECT_EQ(thrown([&] { call(p, "add", {Value::null()}); }), "TypeError #1009");
    EXPECT_EQ(thrown([&] { call(p, "add", {Value::string("x")}); }), "TypeError #1034");
    Value r = make("flash.geom::Rectangle");
    EXPECT_EQ(thrown([&] { call(r, "union", {p}); }), "TypeError #1034");
    EXPECT_EQ(thrown([&] { call(r, "union", {make("flash.geom::Rectangle")}); }), "");
}

} // namespace
