// DisplayObject.transform over a display tree: matrices taken apart into x, y, scales and
// rotation and put together again, colour transforms whose alpha is the object's, and the
// values concatenated up the containers.

#include "FakeDisplayHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

class Transform : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value make(const std::string& cls, Args args = {}) {
        return vm.construct(Value::object(vm.findClass(cls)->classObject), args);
    }
    Value get(const Value& v, const std::string& name) {
        return vm.getProperty(v, Name::publicName(name));
    }
    void set(const Value& v, const std::string& name, const Value& x) {
        vm.setProperty(v, Name::publicName(name), x);
    }
    static Args numbers(std::initializer_list<double> values) {
        Args out;
        for (double v : values) {
            out.push_back(Value::number(v));
        }
        return out;
    }
};

TEST_F(Transform, MatricesBecomePositionScaleAndRotation) {
    struct Case {
        std::vector<double> matrix;
        const char* x;
        const char* scaleX;
        const char* scaleY;
        const char* rotation;
        const char* readBack;
    };
    const std::vector<Case> table = {
        {{2, 0, 0, 3, 10, 20}, "10", "2", "3", "0", "(a=2, b=0, c=0, d=3, tx=10, ty=20)"},
        {{0, 1, -1, 0, 5, 0}, "5", "1", "1", "90", nullptr},
        {{1, 0, 0, -1, 0, 0}, "0", "1", "-1", "0", "(a=1, b=0, c=0, d=-1, tx=0, ty=0)"},
        // A skewed matrix reads back as set while the object keeps the shape it gave.
        {{2, 0, 4, 0, 5, 6}, "5", "2", "4", "0", "(a=2, b=0, c=4, d=0, tx=5, ty=6)"},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.readBack != nullptr ? c.readBack : "rotation");
        Value sprite = make("flash.display::Sprite");
        Value t = get(sprite, "transform");
        Args m;
        for (double v : c.matrix) {
            m.push_back(Value::number(v));
        }
        set(t, "matrix", make("flash.geom::Matrix", m));
        EXPECT_EQ(vm.toString(get(sprite, "x")), c.x);
        EXPECT_EQ(vm.toString(get(sprite, "scaleX")), c.scaleX);
        EXPECT_EQ(vm.toString(get(sprite, "scaleY")), c.scaleY);
        EXPECT_EQ(vm.toString(get(sprite, "rotation")), c.rotation);
        if (c.readBack != nullptr) {
            EXPECT_EQ(vm.toString(get(get(sprite, "transform"), "matrix")), c.readBack);
        }
    }
}

TEST_F(Transform, ColorsKeepTheirChannelsAndAlphaIsTheObjects) {
    Value outer = make("flash.display::Sprite");
    Value inner = make("flash.display::Sprite");
    Args child{inner};
    vm.callProperty(outer, Name::publicName("addChild"), child);
    set(get(outer, "transform"), "colorTransform",
        make("flash.geom::ColorTransform", numbers({0.5, 1, 1, 0.5, 10, 0, 0, 0})));
    EXPECT_EQ(vm.toString(get(outer, "alpha")), "0.5");
    // The tree gets the whole transform to draw with.
    ASSERT_EQ(host.tree.colors.count(outer.asObject()->displayNode), 1u);
    EXPECT_EQ(host.tree.colors[outer.asObject()->displayNode][4], 10);
    set(inner, "x", Value::number(3));
    set(outer, "x", Value::number(4));
    set(outer, "scaleX", Value::number(2));
    Value t = get(inner, "transform");
    EXPECT_EQ(vm.toString(get(t, "concatenatedMatrix")), "(a=2, b=0, c=0, d=1, tx=10, ty=0)");
    EXPECT_EQ(vm.toString(get(get(t, "concatenatedColorTransform"), "redOffset")), "10");
    EXPECT_EQ(vm.toString(get(get(t, "concatenatedColorTransform"), "alphaMultiplier")), "0.5");
    // Changing a scale stretches its own column of the matrix that was set: the skew stays.
    set(get(inner, "transform"), "matrix", make("flash.geom::Matrix", numbers({1, 0, 1, 1, 0, 0})));
    set(inner, "scaleX", Value::number(3));
    EXPECT_EQ(vm.toString(get(get(inner, "transform"), "matrix")),
              "(a=3, b=0, c=1, d=1, tx=0, ty=0)");
    // A quarter turn turns both columns; a NaN scale empties its column. The entries are
    // single precision: the cosine left of a quarter turn reads as a float holds it.
    set(inner, "rotation", Value::number(90));
    set(inner, "scaleY", Value::number(std::nan("")));
    EXPECT_EQ(vm.toString(get(get(inner, "transform"), "matrix")),
              "(a=1.8369701465288538e-16, b=3, c=0, d=0, tx=0, ty=0)");
    // A new Transform at each read.
    EXPECT_FALSE(vm.strictEquals(get(inner, "transform"), get(inner, "transform")));
}

// Filters set on a display object reach the tree with every property by name.
TEST_F(Transform, FiltersReachTheDisplayTreeByName) {
    Value sprite = make("flash.display::Sprite");
    Value glow = make("flash.filters::GlowFilter", numbers({0x00FF00, 0.5, 8}));
    Value matrix = make("flash.filters::ColorMatrixFilter");
    set(sprite, "filters", Value::object(vm.newArray({glow, matrix})));
    const auto& drawn = host.tree.filters[sprite.asObject()->displayNode];
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].kind, "GlowFilter");
    std::map<std::string, double> glowFields;
    for (const auto& f : drawn[0].fields) {
        glowFields[f.name] = f.number;
    }
    EXPECT_EQ(glowFields["color"], 0x00FF00);
    EXPECT_EQ(glowFields["alpha"], 0.5);
    EXPECT_EQ(glowFields["blurX"], 8);
    EXPECT_EQ(glowFields["blurY"], 6);
    EXPECT_EQ(glowFields["inner"], 0);
    ASSERT_EQ(drawn[1].fields.size(), 1u);
    EXPECT_EQ(drawn[1].fields[0].list.size(), 20u);
    set(sprite, "filters", Value::null());
    EXPECT_TRUE(host.tree.filters[sprite.asObject()->displayNode].empty());
}

// Until a script sets them, an object's filters are those it was placed with.
TEST_F(Transform, PlacedFiltersReadAsFilterObjects) {
    Value sprite = make("flash.display::Sprite");
    avm2::FilterValue bevel;
    bevel.kind = "BevelFilter";
    bevel.fields = {{"blurX", 7, "", {}}, {"type", 0, "outer", {}}, {"knockout", 1, "", {}}};
    host.tree.filters[sprite.asObject()->displayNode] = {bevel,
                                                         avm2::FilterValue{"NoSuchFilter", {}}};
    Value read = get(sprite, "filters");
    EXPECT_EQ(vm.toString(read), "[object BevelFilter]");
    Value first = get(read, "0");
    EXPECT_EQ(vm.toString(get(first, "blurX")), "7");
    EXPECT_EQ(vm.toString(get(first, "blurY")), "4"); // not given: the default
    EXPECT_EQ(vm.toString(get(first, "type")), "outer");
    EXPECT_EQ(vm.toString(get(first, "knockout")), "true");
}

} // namespace
