// What the drawing calls hand the display tree: Graphics' gradients and line styles with
// their defaults and limits, BitmapData.draw's source, matrix, colours, blend mode and
// clip, applyFilter, and the blend modes of display objects, with the errors Flash throws
// for arguments it refuses.

#include "FakeDisplayHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using avm2::Args;
using avm2::GraphicsOp;
using avm2::Name;
using avm2::Value;

class DrawingCalls : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    avm2test::FakeDisplayHost& tree = host.tree;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value make(const char* cls, Args args = {}) {
        return vm.construct(Value::object(vm.findClass(cls)->classObject), args);
    }
    Value call(const Value& target, const std::string& method, Args args = {}) {
        return vm.callProperty(target, Name::publicName(method), args);
    }
    Value get(const Value& target, const std::string& property) {
        return vm.getProperty(target, Name::publicName(property));
    }
    Value array(std::initializer_list<double> values) {
        avm2::Object* a = vm.newArray();
        for (double v : values) {
            a->elements.push_back(Value::number(v));
        }
        return Value::object(a);
    }
    Value matrix(std::initializer_list<double> values) {
        Args a;
        for (double v : values) {
            a.push_back(Value::number(v));
        }
        return make("flash.geom::Matrix", a);
    }
    std::string thrown(const std::function<void()>& work) {
        try {
            work();
        } catch (const avm2::ScriptThrow& t) {
            return vm.className(t.value) + " #" + vm.toString(get(t.value, "errorID"));
        }
        return "";
    }
    Value graphics() { return get(make("flash.display::Shape"), "graphics"); }
    Value bitmap(double w, double h) {
        return make("flash.display::BitmapData", {Value::number(w), Value::number(h)});
    }
};

TEST_F(DrawingCalls, GradientStopsTakeOneEntryOfEachArrayUpToTheShortest) {
    const Value g = graphics();
    call(g, "beginGradientFill",
         {Value::string("radial"), array({0xFF0000, 0x00FF00, 0x0000FF}), array({1, 0.5, 2}),
          array({0, 300}), matrix({2, 0, 0, 3, 10, 20}), Value::string("reflect"),
          Value::string("linearRGB"), Value::number(-4)});
    ASSERT_EQ(tree.graphicsOps.size(), 1u);
    const GraphicsOp& op = tree.graphicsOps[0];
    EXPECT_EQ(op.kind, GraphicsOp::Kind::GradientFill);
    EXPECT_TRUE(op.gradient.radial);
    EXPECT_EQ(op.gradient.colors, (std::vector<std::uint32_t>{0xFF0000, 0x00FF00}));
    EXPECT_EQ(op.gradient.alphas, (std::vector<double>{1, 0.5}));
    EXPECT_EQ(op.gradient.ratios, (std::vector<double>{0, 255}));
    EXPECT_EQ(op.gradient.matrix, (std::array<double, 6>{2, 0, 0, 3, 10, 20}));
    EXPECT_EQ(op.gradient.spread, "reflect");
    EXPECT_EQ(op.gradient.interpolation, "linearRGB");
    EXPECT_EQ(op.gradient.focalPoint, -1);
}

TEST_F(DrawingCalls, GradientDefaultsAndRefusals) {
    const Value g = graphics();
    call(g, "lineStyle", {Value::number(1)});
    call(g, "lineGradientStyle",
         {Value::string("linear"), array({0x123456}), array({1}), array({128})});
    ASSERT_EQ(tree.graphicsOps.size(), 2u);
    const GraphicsOp& op = tree.graphicsOps[1];
    EXPECT_EQ(op.kind, GraphicsOp::Kind::LineGradient);
    EXPECT_FALSE(op.gradient.radial);
    EXPECT_EQ(op.gradient.matrix, (std::array<double, 6>{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(op.gradient.spread, "pad");
    EXPECT_EQ(op.gradient.interpolation, "rgb");

    EXPECT_EQ(thrown([&] {
                  call(g, "beginGradientFill",
                       {Value::string("conic"), array({0}), array({1}), array({0})});
              }),
              "ArgumentError #2008");
    // Without stops the fill ends: what follows is not filled.
    call(g, "beginGradientFill", {Value::string("linear"), array({}), array({}), array({})});
    EXPECT_EQ(tree.graphicsOps.back().kind, GraphicsOp::Kind::EndFill);
}

TEST_F(DrawingCalls, LineStyleTakesItsOptionalArgumentsOrTheirDefaults) {
    const Value g = graphics();
    call(g, "lineStyle", {Value::number(300)});
    call(g, "lineStyle",
         {Value::number(4), Value::number(0x1FF0000), Value::number(0.25), Value::boolean(true),
          Value::string("vertical"), Value::string("square"), Value::string("miter"),
          Value::number(0.5)});
    call(g, "lineStyle",
         {Value::number(2), Value::number(0), Value::number(1), Value::boolean(false),
          Value::null(), Value::null(), Value::null()});
    call(g, "lineStyle");
    ASSERT_EQ(tree.graphicsOps.size(), 4u);
    const GraphicsOp& first = tree.graphicsOps[0];
    EXPECT_EQ(first.a, 255);
    EXPECT_EQ(first.alpha, 1);
    EXPECT_EQ(first.scaleMode, "normal");
    EXPECT_EQ(first.caps, "round");
    EXPECT_EQ(first.joints, "round");
    EXPECT_EQ(first.miterLimit, 3);
    const GraphicsOp& second = tree.graphicsOps[1];
    EXPECT_EQ(second.color, 0xFF0000u);
    EXPECT_EQ(second.alpha, 0.25);
    EXPECT_TRUE(second.pixelHinting);
    EXPECT_EQ(second.scaleMode, "vertical");
    EXPECT_EQ(second.caps, "square");
    EXPECT_EQ(second.joints, "miter");
    EXPECT_EQ(second.miterLimit, 1);
    // Null names keep the defaults.
    EXPECT_EQ(tree.graphicsOps[2].scaleMode, "normal");
    EXPECT_EQ(tree.graphicsOps[2].caps, "round");
    EXPECT_EQ(tree.graphicsOps[3].kind, GraphicsOp::Kind::NoLine);
}

TEST_F(DrawingCalls, DrawPathTakesEachCommandsCoordinatesInTurn) {
    const Value g = graphics();
    // move, line, wide move (first pair skipped), curve, unknown, cubic, then a line the data
    // runs out for.
    const Value commands = array({1, 2, 4, 3, 9, 6, 2});
    const Value data = array({1, 2, 3, 4, 0, 0, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17});
    call(g, "drawPath", {commands, data});
    using K = GraphicsOp::Kind;
    const std::vector<std::pair<K, std::array<double, 6>>> expected = {
        {K::MoveTo, {1, 2, 0, 0, 0, 0}},        {K::LineTo, {3, 4, 0, 0, 0, 0}},
        {K::MoveTo, {5, 6, 0, 0, 0, 0}},        {K::CurveTo, {7, 8, 9, 10, 0, 0}},
        {K::CubicTo, {11, 12, 13, 14, 15, 16}},
    };
    ASSERT_EQ(tree.graphicsOps.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const GraphicsOp& op = tree.graphicsOps[i];
        EXPECT_EQ(op.kind, expected[i].first) << i;
        EXPECT_EQ((std::array<double, 6>{op.a, op.b, op.c, op.d, op.e, op.f}), expected[i].second)
            << i;
    }
    EXPECT_EQ(thrown([&] { call(g, "drawPath", {Value::null(), data}); }), "TypeError #2007");
    const Value constants =
        Value::object(vm.findClass("flash.display::GraphicsPathCommand")->classObject);
    EXPECT_EQ(vm.toString(get(constants, "CUBIC_CURVE_TO")), "6");
}

TEST_F(DrawingCalls, DrawTrianglesTakesCornersByIndexCullsByTurnAndPlacesUv) {
    // A triangle clockwise on the screen (0-2), one counter-clockwise (3-5).
    const std::initializer_list<double> points = {0, 0, 40, 0, 0, 40, 100, 0, 60, 0, 100, 40};
    struct Row {
        const char* label;
        Value indices;
        Value uvt;
        Value culling;
        std::vector<std::array<double, 6>> drawn;
        bool mapped;
    };
    const std::array<double, 6> cw{0, 0, 40, 0, 0, 40};
    const std::array<double, 6> ccw{100, 0, 60, 0, 100, 40};
    const Row rows[] = {
        {"in turn", Value::null(), Value::null(), Value(), {cw, ccw}, false},
        {"positive culls clockwise",
         Value::null(),
         Value::null(),
         Value::string("positive"),
         {ccw},
         false},
        {"negative culls counter-clockwise",
         Value::null(),
         Value::null(),
         Value::string("negative"),
         {cw},
         false},
        {"by index", array({3, 4, 5, 0, 1, 2}), Value::null(), Value(), {ccw, cw}, false},
        {"an index past the vertices draws nothing",
         array({3, 4, 5, 0, 1, 6}),
         Value::null(),
         Value(),
         {},
         false},
        {"nor does a negative one", array({3, 4, 5, -1, 1, 2}), Value::null(), Value(), {}, false},
        {"uv pairs",
         Value::null(),
         array({0, 0, 1, 0, 0, 1, 1, 1, 0, 1, 1, 0}),
         Value(),
         {cw, ccw},
         true},
        {"uvt triples",
         Value::null(),
         array({0, 0, 1, 1, 0, 1, 0, 1, 1, 1, 1, 1, 0, 1, 1, 1, 0, 1}),
         Value(),
         {cw, ccw},
         true},
        {"uv of another length is not used",
         Value::null(),
         array({0, 0, 1}),
         Value(),
         {cw, ccw},
         false},
    };
    for (const Row& r : rows) {
        tree.graphicsOps.clear();
        call(graphics(), "drawTriangles", {array(points), r.indices, r.uvt, r.culling});
        ASSERT_EQ(tree.graphicsOps.size(), r.drawn.size()) << r.label;
        for (std::size_t i = 0; i < r.drawn.size(); ++i) {
            const GraphicsOp& op = tree.graphicsOps[i];
            EXPECT_EQ(op.kind, GraphicsOp::Kind::Triangle) << r.label;
            EXPECT_EQ((std::array<double, 6>{op.a, op.b, op.c, op.d, op.e, op.f}), r.drawn[i])
                << r.label;
            EXPECT_EQ(op.mapped, r.mapped) << r.label;
        }
    }
    // The second vertex's place, read past its t in triples.
    tree.graphicsOps.clear();
    call(graphics(), "drawTriangles",
         {array(points), Value::null(),
          array({0, 0, 9, 0.25, 0.75, 9, 0, 1, 9, 1, 1, 9, 0, 1, 9, 1, 0, 9})});
    ASSERT_EQ(tree.graphicsOps.size(), 2u);
    EXPECT_EQ(tree.graphicsOps[0].uv, (std::array<double, 6>{0, 0, 0.25, 0.75, 0, 1}));
    EXPECT_EQ(thrown([&] { call(graphics(), "drawTriangles", {Value::null()}); }),
              "TypeError #2007");
    // What does not make whole triangles, and an unknown culling, are refused.
    const Value refused[][4] = {
        {array({0, 0, 1, 0, 0}), Value::null(), Value::null(), Value()},
        {array({0, 0, 1, 0, 0, 1, 1, 1}), Value::null(), Value::null(), Value()},
        {array(points), array({0, 1, 2, 3}), Value::null(), Value()},
        {array(points), Value::null(), Value::null(), Value::string("both")},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(thrown([&] {
                      call(graphics(), "drawTriangles", {r[0], r[1], r[2], r[3]});
                  }),
                  "ArgumentError #2004");
    }
}

TEST_F(DrawingCalls, BitmapFillsShareTheBitmapsPixels) {
    const Value g = graphics();
    const Value b = bitmap(2, 2);
    call(g, "beginBitmapFill", {b});
    call(g, "beginBitmapFill",
         {b, matrix({2, 0, 0, 2, 1, 1}), Value::boolean(false), Value::boolean(true)});
    ASSERT_EQ(tree.graphicsOps.size(), 2u);
    EXPECT_EQ(tree.graphicsOps[0].kind, GraphicsOp::Kind::BitmapFill);
    EXPECT_TRUE(tree.graphicsOps[0].repeat);
    EXPECT_FALSE(tree.graphicsOps[0].smooth);
    EXPECT_EQ(tree.graphicsOps[0].bitmapMatrix, (std::array<double, 6>{1, 0, 0, 1, 0, 0}));
    EXPECT_FALSE(tree.graphicsOps[1].repeat);
    EXPECT_TRUE(tree.graphicsOps[1].smooth);
    EXPECT_EQ(tree.graphicsOps[1].bitmapMatrix, (std::array<double, 6>{2, 0, 0, 2, 1, 1}));
    // The fill shows what the bitmap holds when it is painted, not a copy.
    EXPECT_EQ(tree.graphicsOps[0].bitmap, tree.graphicsOps[1].bitmap);
    call(b, "setPixel32", {Value::number(0), Value::number(0), Value::number(0xFF00FF00)});
    EXPECT_EQ(tree.graphicsOps[0].bitmap->at(0, 0), 0xFF00FF00u);

    EXPECT_EQ(thrown([&] { call(g, "beginBitmapFill", {Value::null()}); }), "TypeError #2007");
    call(g, "lineBitmapStyle", {b, Value::null(), Value::boolean(false)});
    EXPECT_EQ(tree.graphicsOps.back().kind, GraphicsOp::Kind::LineBitmap);
    EXPECT_FALSE(tree.graphicsOps.back().repeat);
    call(b, "dispose");
    EXPECT_EQ(thrown([&] { call(g, "beginBitmapFill", {b}); }), "ArgumentError #2015");
}

TEST_F(DrawingCalls, ABitmapSymbolsClassStartsWithItsPixels) {
    avm2::Class* native = vm.findClass("flash.display::BitmapData");
    avm2::Class* img = vm.defineClass("art", "Img", native, nullptr);
    avm2::Class* sub = vm.defineClass("", "SubImg", img, nullptr);
    tree.classBitmaps.emplace("art.Img", pixels::BitmapPixels(3, 2, true, 0xFF123456));
    for (avm2::Class* cls : {img, sub}) {
        // The size asked for gives way to the symbol's.
        Args size{Value::number(0), Value::number(0)};
        const Value b = vm.construct(Value::object(cls->classObject), size);
        EXPECT_EQ(vm.toString(get(b, "width")), "3") << cls->name;
        EXPECT_EQ(vm.toString(get(b, "height")), "2") << cls->name;
        EXPECT_EQ(vm.toString(call(b, "getPixel", {Value::number(2), Value::number(1)})),
                  std::to_string(0x123456));
    }
    // Other bitmaps are made as asked.
    EXPECT_EQ(vm.toString(get(bitmap(5, 5), "width")), "5");
}

TEST_F(DrawingCalls, DrawHandsOverItsSourceAndSettings) {
    const Value target = bitmap(8, 8);
    const Value shape = make("flash.display::Shape");
    const Value colors =
        make("flash.geom::ColorTransform", {Value::number(0.5), Value::number(1), Value::number(1),
                                            Value::number(1), Value::number(10)});
    const Value clip = make("flash.geom::Rectangle", {Value::number(1.5), Value::number(2),
                                                      Value::number(3), Value::number(4)});
    call(target, "draw",
         {shape, matrix({1, 0, 0, 1, 5, 6}), colors, Value::string("multiply"), clip,
          Value::boolean(true)});
    ASSERT_EQ(tree.bitmapDraws.size(), 1u);
    const auto& d = tree.bitmapDraws[0];
    EXPECT_EQ(d.node, shape.asObject()->displayNode);
    EXPECT_EQ(d.bitmap, nullptr);
    EXPECT_EQ(d.matrix, (std::array<double, 6>{1, 0, 0, 1, 5, 6}));
    EXPECT_EQ(d.colors.mult[0], 0.5);
    EXPECT_EQ(d.colors.add[0], 10);
    EXPECT_EQ(d.blendMode, "multiply");
    ASSERT_TRUE(d.clipRect.has_value());
    EXPECT_EQ(d.clipRect->x, 2); // edges round half to even
    EXPECT_EQ(d.clipRect->width, 2);
    EXPECT_TRUE(d.smoothing);

    // A bitmap drawn into itself is read as it was: a copy, not the target's own pixels.
    call(target, "draw", {target});
    ASSERT_EQ(tree.bitmapDraws.size(), 2u);
    EXPECT_NE(tree.bitmapDraws[1].bitmap, nullptr);
    EXPECT_FALSE(tree.bitmapDraws[1].clipRect.has_value());
    EXPECT_EQ(tree.bitmapDraws[1].blendMode, "");

    // A matrix that maps nowhere draws nothing.
    call(target, "draw", {shape, matrix({std::nan(""), 0, 0, 1, 0, 0})});
    EXPECT_EQ(tree.bitmapDraws.size(), 2u);

    EXPECT_EQ(thrown([&] { call(target, "draw", {Value::null()}); }), "TypeError #2007");
    EXPECT_EQ(thrown([&] { call(target, "draw", {Value::object(vm.newObject())}); }),
              "TypeError #1034");
}

TEST_F(DrawingCalls, ApplyFilterNeedsEveryArgument) {
    const Value target = bitmap(4, 4);
    const Value rect = make("flash.geom::Rectangle", {Value::number(0), Value::number(0),
                                                      Value::number(4), Value::number(4)});
    const Value point = make("flash.geom::Point");
    const Value blur = make("flash.filters::BlurFilter");
    call(target, "applyFilter", {target, rect, point, blur});
    ASSERT_EQ(tree.bitmapFilters.size(), 1u);
    EXPECT_EQ(tree.bitmapFilters[0].kind, "BlurFilter");
    EXPECT_EQ(thrown([&] {
                  call(target, "applyFilter", {target, rect, point, Value::null()});
              }),
              "TypeError #2007");
    EXPECT_EQ(thrown([&] {
                  call(target, "applyFilter", {target, Value::null(), point, blur});
              }),
              "TypeError #2007");
    EXPECT_EQ(thrown([&] {
                  call(target, "applyFilter", {target, rect, point, Value::number(1)});
              }),
              "TypeError #1034");
    // Without a renderer's answer the rectangle comes back as it was.
    EXPECT_EQ(vm.toString(call(target, "generateFilterRect", {rect, blur})),
              "(x=0, y=0, w=4, h=4)");
}

TEST_F(DrawingCalls, BlendModesAreNamedAndCheckedAndReachTheTree) {
    const Value sprite = make("flash.display::Sprite");
    const Value modes = Value::object(vm.findClass("flash.display::BlendMode")->classObject);
    EXPECT_EQ(vm.toString(get(modes, "HARDLIGHT")), "hardlight");
    EXPECT_EQ(vm.toString(get(sprite, "blendMode")), "normal");
    vm.setProperty(sprite, Name::publicName("blendMode"), get(modes, "MULTIPLY"));
    EXPECT_EQ(vm.toString(get(sprite, "blendMode")), "multiply");
    EXPECT_EQ(tree.blendModes[sprite.asObject()->displayNode], "multiply");
    EXPECT_EQ(thrown([&] {
                  vm.setProperty(sprite, Name::publicName("blendMode"), Value::string("Multiply"));
              }),
              "ArgumentError #2008");
    EXPECT_EQ(vm.toString(get(sprite, "blendMode")), "multiply");
}

TEST_F(DrawingCalls, MasksWindowsAndBackgroundsReachTheTreeAndReadBack) {
    const Value sprite = make("flash.display::Sprite");
    const Value mask = make("flash.display::Shape");
    const avm2::NodeId node = sprite.asObject()->displayNode;
    vm.setProperty(sprite, Name::publicName("mask"), mask);
    EXPECT_EQ(tree.masks[node], mask.asObject()->displayNode);
    EXPECT_EQ(get(sprite, "mask").asObject(), mask.asObject());
    vm.setProperty(sprite, Name::publicName("mask"), Value::null());
    EXPECT_EQ(tree.masks[node], 0u);
    EXPECT_TRUE(get(sprite, "mask").isNull());
    EXPECT_EQ(thrown([&] {
                  vm.setProperty(sprite, Name::publicName("mask"), Value::object(vm.newObject()));
              }),
              "TypeError #1034");

    EXPECT_TRUE(get(sprite, "scrollRect").isNull());
    const Value window = make("flash.geom::Rectangle", {Value::number(5), Value::number(6),
                                                        Value::number(70), Value::number(80)});
    vm.setProperty(sprite, Name::publicName("scrollRect"), window);
    EXPECT_EQ(tree.windows[node], (std::array<double, 4>{5, 6, 70, 80}));
    // A copy reads back: changing it leaves the window as it was.
    const Value read = get(sprite, "scrollRect");
    EXPECT_NE(read.asObject(), window.asObject());
    vm.setProperty(read, Name::publicName("x"), Value::number(100));
    EXPECT_EQ(vm.toString(get(get(sprite, "scrollRect"), "x")), "5");
    vm.setProperty(sprite, Name::publicName("scrollRect"), Value::null());
    EXPECT_FALSE(tree.windows.contains(node));

    EXPECT_TRUE(get(sprite, "opaqueBackground").isNull());
    vm.setProperty(sprite, Name::publicName("opaqueBackground"), Value::number(0x1FF8040));
    EXPECT_EQ(vm.toString(get(sprite, "opaqueBackground")), std::to_string(0xFF8040));
    vm.setProperty(sprite, Name::publicName("opaqueBackground"), Value::null());
    EXPECT_TRUE(get(sprite, "opaqueBackground").isNull());
}

} // namespace
