// The drawing API as data: the IGraphicsData classes' defaults and coercions, GraphicsPath's
// own methods, what drawGraphicsData hands the display tree for each kind of entry, the
// corners of drawRoundRectComplex, and errors no script caught announced on the movie's
// uncaughtErrorEvents.

#include "FakeDisplayHost.h"
#include "avm2/DisplayClasses.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using avm2::Args;
using avm2::GraphicsOp;
using avm2::Name;
using avm2::Value;
using K = GraphicsOp::Kind;

class GraphicsData : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    avm2test::FakeDisplayHost& tree = host.tree;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value fresh(const Value& cls) {
        Args none;
        return vm.construct(cls, none);
    }
    Value make(const std::string& cls, Args args = {}) {
        return vm.construct(Value::object(vm.findClass("flash.display::" + cls)->classObject),
                            args);
    }
    Value call(const Value& target, const std::string& method, Args args = {}) {
        return vm.callProperty(target, Name::publicName(method), args);
    }
    Value get(const Value& target, const std::string& property) {
        return vm.getProperty(target, Name::publicName(property));
    }
    std::string text(const Value& v) { return vm.toString(v); }
    std::string thrown(const std::function<void()>& work) {
        try {
            work();
        } catch (const avm2::ScriptThrow& t) {
            return vm.className(t.value) + " #" + vm.toString(get(t.value, "errorID"));
        }
        return "";
    }
    Value vector(const char* element, std::initializer_list<double> values) {
        const Value cls =
            vm.applyType(Value::object(vm.vectorClass->classObject),
                         {Value::object(element[0] == 'i' ? vm.intClass->classObject
                                                          : vm.numberClass->classObject)});
        const Value v = fresh(cls);
        for (double n : values) {
            call(v, "push", {Value::number(n)});
        }
        return v;
    }
    Value square() {
        return make("GraphicsPath",
                    {vector("int", {1, 2, 2, 2}), vector("Number", {0, 0, 10, 0, 10, 10, 0, 10})});
    }
    // Plays the entries and lists the kinds of what reached the tree.
    std::vector<K> kindsDrawn(const std::vector<Value>& entries) {
        const Value list = fresh(vm.applyType(
            Value::object(vm.vectorClass->classObject),
            {Value::object(vm.findClass("flash.display::IGraphicsData")->classObject)}));
        for (const Value& e : entries) {
            call(list, "push", {e});
        }
        tree.graphicsOps.clear();
        call(get(make("Shape"), "graphics"), "drawGraphicsData", {list});
        std::vector<K> kinds;
        for (const GraphicsOp& op : tree.graphicsOps) {
            kinds.push_back(op.kind);
        }
        return kinds;
    }
};

TEST_F(GraphicsData, ConstructorsTakeTheirDefaultsAndCoerceToTheFieldsTypes) {
    struct Case {
        const char* cls;
        Args args;
        const char* field;
        const char* expected;
    };
    const Case cases[] = {
        {"GraphicsSolidFill", {}, "alpha", "1"},
        {"GraphicsSolidFill", {Value::number(-1)}, "color", "4294967295"},
        {"GraphicsGradientFill", {}, "type", "linear"},
        {"GraphicsGradientFill", {}, "spreadMethod", "pad"},
        {"GraphicsGradientFill", {}, "interpolationMethod", "rgb"},
        {"GraphicsGradientFill", {Value(), Value()}, "type", "null"},
        {"GraphicsBitmapFill", {}, "repeat", "true"},
        {"GraphicsBitmapFill", {}, "smooth", "false"},
        {"GraphicsStroke", {}, "thickness", "NaN"},
        {"GraphicsStroke", {}, "caps", "none"},
        {"GraphicsStroke", {}, "joints", "round"},
        {"GraphicsStroke", {}, "scaleMode", "normal"},
        {"GraphicsStroke", {}, "miterLimit", "3"},
        {"GraphicsStroke", {Value::string("4")}, "thickness", "4"},
        {"GraphicsPath", {}, "winding", "evenOdd"},
        {"GraphicsPath", {}, "commands", "null"},
        {"GraphicsTrianglePath", {}, "culling", "none"},
        {"GraphicsShaderFill", {}, "shader", "null"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text(get(make(c.cls, c.args), c.field)), c.expected) << c.cls << "." << c.field;
    }
    // The names a stroke and a path are drawn by take only the values Flash knows.
    struct Word {
        const char* cls;
        const char* field;
        Value value;
        bool taken;
    };
    const Word words[] = {
        {"GraphicsStroke", "caps", Value::string("square"), true},
        {"GraphicsStroke", "caps", Value::string("Square"), false},
        {"GraphicsStroke", "joints", Value::string("miter"), true},
        {"GraphicsStroke", "joints", Value::null(), false},
        {"GraphicsStroke", "scaleMode", Value::string("vertical"), true},
        {"GraphicsStroke", "scaleMode", Value(), false},
        {"GraphicsPath", "winding", Value::string("nonZero"), true},
        {"GraphicsPath", "winding", Value::string("bad"), false},
        {"GraphicsGradientFill", "type", Value::string("bad"), true},
    };
    for (const Word& w : words) {
        const Value o = make(w.cls);
        const std::string error =
            thrown([&] { vm.setProperty(o, Name::publicName(w.field), w.value); });
        EXPECT_EQ(error, w.taken ? "" : "ArgumentError #2008") << w.cls << "." << w.field;
        if (w.taken) {
            EXPECT_EQ(text(get(o, w.field)), text(w.value)) << w.cls << "." << w.field;
        }
    }
    // Every argument is converted to its field's type before any field is set.
    EXPECT_EQ(thrown([&] {
                  make("GraphicsStroke", {Value::number(1), Value(), Value::string("bad"), Value(),
                                          Value(), Value(), Value::number(1)});
              }),
              "TypeError #1034");
    // Typed fields refuse what their type cannot hold, and the classes are sealed.
    avm2::Object* array = vm.newArray();
    EXPECT_EQ(thrown([&] { make("GraphicsPath", {Value::object(array)}); }), "TypeError #1034");
    EXPECT_EQ(thrown([&] {
                  make("GraphicsGradientFill", {Value(), Value::string("x")});
              }),
              "TypeError #1034");
    EXPECT_EQ(
        thrown([&] { vm.setProperty(make("GraphicsEndFill"), Name::publicName("x"), Value()); }),
        "ReferenceError #1056");
    EXPECT_EQ(thrown([&] {
                  make("GraphicsSolidFill", {Value(), Value(), Value()});
              }),
              "ArgumentError #1063");
}

TEST_F(GraphicsData, PathMethodsAddOneCommandAndItsNumbers) {
    struct Case {
        const char* method;
        Args args;
        const char* commands;
        const char* data;
    };
    const Value n = Value::null();
    const Case cases[] = {
        {"moveTo", {Value::number(1), Value::number(2)}, "1", "1,2"},
        {"lineTo", {Value::number(3), Value::string("4")}, "2", "3,4"},
        {"curveTo",
         {Value::number(1), Value::number(2), Value::number(3), Value::number(4)},
         "3",
         "1,2,3,4"},
        {"wideMoveTo", {Value::number(7), Value::number(8)}, "4", "0,0,7,8"},
        {"wideLineTo", {Value::number(9), n}, "5", "0,0,9,0"},
        {"cubicCurveTo",
         {Value::number(1), Value::number(2), Value::number(3), Value::number(4), Value::number(5),
          Value::number(6)},
         "6",
         "1,2,3,4,5,6"},
        {"lineTo", {Value(), Value()}, "2", "NaN,NaN"},
    };
    for (const Case& c : cases) {
        const Value path = make("GraphicsPath");
        call(path, c.method, c.args);
        EXPECT_EQ(text(get(path, "commands")), c.commands) << c.method;
        EXPECT_EQ(text(get(path, "data")), c.data) << c.method;
        EXPECT_EQ(vm.className(get(path, "commands")), "Vector.<int>");
    }
    const Value path = make("GraphicsPath");
    try {
        call(path, "moveTo", {Value::number(1)});
        ADD_FAILURE() << "moveTo took one argument";
    } catch (const avm2::ScriptThrow& t) {
        EXPECT_EQ(text(t.value), "ArgumentError: Error #1063: Argument count mismatch on "
                                 "flash.display::GraphicsPath/moveTo(). Expected 2, got 1.");
    }
    // A fixed list refuses the command as its own push does.
    const Value fixed = vector("int", {1});
    vm.setProperty(fixed, Name::publicName("fixed"), Value::boolean(true));
    const Value held = make("GraphicsPath", {fixed, vector("Number", {0, 0})});
    EXPECT_EQ(thrown([&] {
                  call(held, "lineTo", {Value::number(1), Value::number(2)});
              }),
              "RangeError #1126");
}

TEST_F(GraphicsData, DrawGraphicsDataPlaysEachEntryAsItsCall) {
    const Value solid = make("GraphicsSolidFill", {Value::number(0xFF0000)});
    const Value end = make("GraphicsEndFill");
    const Value stroke = make("GraphicsStroke", {Value::number(3)});
    const Value blank = make("GraphicsStroke");
    const Value colours = Value::object(vm.newArray());
    colours.asObject()->elements = {Value::number(0), Value::number(0xFFFFFF)};
    const Value stops = Value::object(vm.newArray());
    stops.asObject()->elements = {Value::number(0), Value::number(255)};
    const Value gradient =
        make("GraphicsGradientFill", {Value::string("linear"), colours, colours, stops});
    const Value triangles = make("GraphicsTrianglePath", {vector("Number", {0, 0, 40, 0, 0, 40})});
    struct Case {
        const char* name;
        std::vector<Value> entries;
        std::vector<K> expected;
    };
    const Case cases[] = {
        {"fill, path, end",
         {solid, square(), end},
         {K::BeginFill, K::MoveTo, K::LineTo, K::LineTo, K::LineTo, K::EndFill}},
        {"stroke without fill is a black line", {stroke}, {K::LineStyle}},
        {"stroke without width ends the line", {blank}, {K::NoLine}},
        {"gradient", {gradient}, {K::GradientFill}},
        {"triangles", {triangles}, {K::Triangle}},
        {"nulls draw nothing", {Value::null(), end}, {K::EndFill}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kindsDrawn(c.entries), c.expected) << c.name;
    }
    // A stroke's solid fill colours its line; a gradient fill follows as the line's paint.
    vm.setProperty(stroke, Name::publicName("fill"), solid);
    EXPECT_EQ(kindsDrawn({stroke}), std::vector<K>{K::LineStyle});
    EXPECT_EQ(tree.graphicsOps[0].color, 0xFF0000u);
    EXPECT_EQ(tree.graphicsOps[0].a, 3);
    EXPECT_EQ(tree.graphicsOps[0].caps, "none");
    vm.setProperty(stroke, Name::publicName("fill"), gradient);
    EXPECT_EQ(kindsDrawn({stroke}), (std::vector<K>{K::LineStyle, K::LineGradient}));

    const Value g = get(make("Shape"), "graphics");
    EXPECT_EQ(thrown([&] { call(g, "drawGraphicsData", {Value::null()}); }), "TypeError #2007");
    // A path with the non-zero rule asks it of the drawing before its edges; even-odd is
    // the drawing's own.
    for (const char* winding : {"nonZero", "evenOdd"}) {
        const Value path = square();
        vm.setProperty(path, Name::publicName("winding"), Value::string(winding));
        const std::vector<K> kinds = kindsDrawn({path});
        ASSERT_FALSE(kinds.empty()) << winding;
        EXPECT_EQ(kinds.front() == K::NonZeroWinding, winding[0] == 'n') << winding;
    }
    EXPECT_EQ(
        thrown([&] {
            call(g, "drawPath", {vector("int", {}), vector("Number", {}), Value::string("odd")});
        }),
        "ArgumentError #2008");
}

TEST_F(GraphicsData, RoundRectComplexRoundsEachCornerByItsOwnRadius) {
    struct Case {
        std::array<double, 8> args;
        std::array<double, 4> box; // left, top, right, bottom the edges reach
    };
    const Case cases[] = {
        {{0, 0, 40, 20, 5, 5, 5, 5}, {0, 0, 40, 20}},
        {{0, 0, 40, 20, 30, 0, 0, 30}, {0, 0, 40, 20}},       // past half the shorter side
        {{10, 10, -40, -20, 5, 0, 5, 0}, {-30, -10, 10, 10}}, // drawn backwards
        {{0, 0, 40, 20, -5, 0, 0, 0}, {-5, -5, 40, 20}},      // a negative radius bulges out
    };
    for (const Case& c : cases) {
        tree.graphicsOps.clear();
        Args args;
        for (double v : c.args) {
            args.push_back(Value::number(v));
        }
        call(get(make("Shape"), "graphics"), "drawRoundRectComplex", args);
        std::array<double, 4> box{1e9, 1e9, -1e9, -1e9};
        for (const GraphicsOp& op : tree.graphicsOps) {
            std::vector<std::pair<double, double>> points{{op.a, op.b}};
            if (op.kind == K::CurveTo) {
                points.emplace_back(op.c, op.d);
            }
            for (const auto& [x, y] : points) {
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x),
                       std::max(box[3], y)};
            }
        }
        EXPECT_EQ(box, c.box) << c.args[0] << "," << c.args[2] << " r " << c.args[4];
        EXPECT_EQ(tree.graphicsOps.front().kind, K::MoveTo);
        EXPECT_EQ(tree.graphicsOps.size(), 9u);
    }
    EXPECT_EQ(thrown([&] {
                  call(get(make("Shape"), "graphics"), "drawRoundRectComplex",
                       {Value::number(0), Value::number(0), Value::number(1), Value::number(1)});
              }),
              "ArgumentError #1063");
}

// A listener that reports the error it heard and prevents the player's report when the
// error's text asks for it.
Value uncaughtListener(avm2::Machine& m, const Value&, Args& a) {
    const Value event = a.at(0);
    const std::string error = m.toString(m.getProperty(event, Name::publicName("error")));
    m.host().trace("heard " + error + " cancelable " +
                   m.toString(m.getProperty(event, Name::publicName("cancelable"))));
    if (error.find("prevent") != std::string::npos) {
        Args none;
        m.callProperty(event, Name::publicName("preventDefault"), none);
    }
    if (error.find("again") != std::string::npos) {
        m.throwError("Error", 0, "thrown by the listener");
    }
    return Value();
}

TEST_F(GraphicsData, UncaughtErrorsReachTheMoviesUncaughtErrorEvents) {
    struct Case {
        const char* error;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"shown", {"heard shown cancelable true", "Error: Error #1000: Uncaught exception: shown"}},
        {"prevent", {"heard prevent cancelable true"}},
        {"again",
         {"heard again cancelable true", "Error: Error #0: thrown by the listener",
          "Error: Error #1000: Uncaught exception: again"}},
    };
    // Without a listener (nobody asked for the events) the error is only reported.
    vm.printUncaught(Value::string("alone"));
    EXPECT_EQ(host.lines,
              std::vector<std::string>{"Error: Error #1000: Uncaught exception: alone"});

    const Value root = Value::object(avm2::scriptObjectOf(vm, avm2test::FakeDisplayHost::kRoot));
    const Value events = get(get(root, "loaderInfo"), "uncaughtErrorEvents");
    call(events, "addEventListener",
         {Value::string("uncaughtError"), Value::object(vm.newNative(uncaughtListener))});
    for (const Case& c : cases) {
        host.lines.clear();
        vm.printUncaught(Value::string(c.error));
        EXPECT_EQ(host.lines, c.lines) << c.error;
    }
}

} // namespace

namespace {

class ReadGraphicsData : public GraphicsData {
  protected:
    // Each entry read back in one line: its class and the fields that tell it apart.
    std::string read(const Value& graphics, Args args = {}) {
        const Value list = call(graphics, "readGraphicsData", args);
        std::string out;
        const auto n = static_cast<std::size_t>(vm.toNumber(get(list, "length")));
        for (std::size_t i = 0; i < n; ++i) {
            const Value e = vm.getProperty(list, Name::publicName(std::to_string(i)));
            const std::string cls = vm.className(e);
            out += out.empty() ? "" : " ";
            if (cls == "GraphicsSolidFill") {
                out += "fill(" + text(get(e, "color")) + "," + text(get(e, "alpha")) + ")";
            } else if (cls == "GraphicsStroke") {
                const Value fill = get(e, "fill");
                out += "stroke(" + text(get(e, "thickness")) + "," +
                       (fill.isObject() ? text(get(fill, "color")) : "null") + ")";
            } else if (cls == "GraphicsPath") {
                out += "path(" + text(get(e, "commands")) + "|" + text(get(e, "data")) + "|" +
                       text(get(e, "winding")) + ")";
            } else if (cls == "GraphicsGradientFill") {
                out += "gradient(" + text(get(e, "type")) + "," + text(get(e, "colors")) + "," +
                       text(get(get(e, "matrix"), "tx")) + ")";
            } else {
                out += cls;
            }
        }
        return out;
    }
    Value number(double v) { return Value::number(v); }
};

TEST_F(ReadGraphicsData, GivesBackWhatWasDrawnInStageCoordinates) {
    const Value shape = make("Shape");
    const Value g = get(shape, "graphics");
    EXPECT_EQ(read(g), "");
    call(g, "lineStyle", {number(2), number(0xFF0000)});
    call(g, "beginFill", {number(0x00FF00), number(0.5)});
    call(g, "drawRect", {number(10), number(20), number(30), number(40)});
    call(g, "endFill");
    call(g, "lineStyle");
    call(g, "moveTo", {number(0), number(0)});
    call(g, "curveTo", {number(1), number(2), number(3), number(4)});
    const std::string drawn = "stroke(2,16711680) fill(65280,0.5) "
                              "path(1,2,2,2,2|10,20,40,20,40,60,10,60,10,20|evenOdd) "
                              "GraphicsEndFill stroke(NaN,null) path(1,3|0,0,1,2,3,4|evenOdd)";
    EXPECT_EQ(read(g), drawn);
    // The object's place moves every coordinate.
    vm.setProperty(shape, Name::publicName("x"), number(100));
    EXPECT_EQ(read(g), "stroke(2,16711680) fill(65280,0.5) "
                       "path(1,2,2,2,2|110,20,140,20,140,60,110,60,110,20|evenOdd) "
                       "GraphicsEndFill stroke(NaN,null) path(1,3|100,0,101,2,103,4|evenOdd)");
    vm.setProperty(shape, Name::publicName("x"), number(0));
    // A copy reads the same; a clear forgets the drawing.
    const Value copy = get(make("Shape"), "graphics");
    call(copy, "copyFrom", {g});
    EXPECT_EQ(read(copy), drawn);
    call(g, "clear");
    EXPECT_EQ(read(g), "");
    EXPECT_EQ(read(copy), drawn);
    // A gradient keeps its kind, colours and matrix.
    avm2::Object* colors = vm.newArray({number(0xFF), number(0xFF00)});
    avm2::Object* alphas = vm.newArray({number(1), number(1)});
    avm2::Object* ratios = vm.newArray({number(0), number(255)});
    Args moved{number(1), number(0), number(0), number(1), number(7)};
    const Value box =
        vm.construct(Value::object(vm.findClass("flash.geom::Matrix")->classObject), moved);
    call(g, "beginGradientFill",
         {Value::string("radial"), Value::object(colors), Value::object(alphas),
          Value::object(ratios), box});
    EXPECT_EQ(read(g), "gradient(radial,255,65280,7)");
}

TEST_F(ReadGraphicsData, ReadsChildrenUnlessToldNotTo) {
    const Value parent = make("Sprite");
    const Value child = make("Shape");
    call(parent, "addChild", {child});
    vm.setProperty(child, Name::publicName("y"), number(5));
    call(get(parent, "graphics"), "beginFill", {number(1)});
    call(get(child, "graphics"), "lineTo", {number(1), number(1)});
    EXPECT_EQ(read(get(parent, "graphics")), "fill(1,1) path(2|1,6|evenOdd)");
    EXPECT_EQ(read(get(parent, "graphics"), {Value::boolean(false)}), "fill(1,1)");
}

} // namespace
