// Rule tables for display objects and the stage over a display tree in memory: how
// rotation and sizes take odd values, the 3D properties, the stage's settings and the
// properties it refuses, names fixed by the timeline and removeChildren's range.

#include "FakeDisplayHost.h"
#include "avm2/DisplayClasses.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::NodeId;
using avm2::Value;
using avm2test::FakeDisplayHost;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class DisplayRules : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    FakeDisplayHost& tree = host.tree;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value object(NodeId node) { return Value::object(avm2::scriptObjectOf(vm, node)); }
    Value stage() { return object(FakeDisplayHost::kStage); }
    Value child(const std::string& name) {
        return object(tree.place(FakeDisplayHost::kRoot, name));
    }
    Value get(const Value& target, const std::string& property) {
        return vm.getProperty(target, Name::publicName(property));
    }
    void set(const Value& target, const std::string& property, const Value& v) {
        vm.setProperty(target, Name::publicName(property), v);
    }
    std::string text(const Value& target, const std::string& property) {
        return vm.toString(get(target, property));
    }
    // The error setting a property throws, or "" when it takes the value.
    std::string setThrows(const Value& target, const std::string& property, const Value& v) {
        try {
            set(target, property, v);
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
        return "";
    }
    std::string callThrows(const Value& target, const std::string& method, Args args) {
        try {
            vm.callProperty(target, Name::publicName(method), args);
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value).substr(0, 23);
        }
        return "";
    }
};

TEST_F(DisplayRules, RotationWrapsByWholeTurnsKeepingAHalfTurnsSign) {
    struct Case {
        double given;
        const char* read;
    };
    const Case cases[] = {{0, "0"},      {90, "90"},     {180, "180"},   {-180, "-180"},
                          {181, "-179"}, {-181, "179"},  {270, "-90"},   {360, "0"},
                          {540, "180"},  {-540, "-180"}, {720.5, "0.5"}, {1e9, "-80"},
                          {kNaN, "NaN"}, {kInf, "NaN"},  {-kInf, "NaN"}};
    const Value s = child("s");
    for (const Case& c : cases) {
        set(s, "rotation", Value::number(c.given));
        EXPECT_EQ(text(s, "rotation"), c.read) << c.given;
        // rotationZ is the same turn under another name.
        set(s, "rotationZ", Value::number(c.given));
        EXPECT_EQ(text(s, "rotation"), c.read) << c.given;
    }
}

TEST_F(DisplayRules, SizesBelowZeroOrNaNAreNotTaken) {
    const Value s = child("s");
    for (const char* size : {"width", "height"}) {
        set(s, size, Value::number(40));
        const std::string before = text(s, size);
        for (const double bad : {-1.0, -0.001, -kInf, kNaN}) {
            set(s, size, Value::number(bad));
            EXPECT_EQ(text(s, size), before) << size << " " << bad;
        }
        set(s, size, Value::number(0));
        EXPECT_EQ(text(s, size), "0") << size;
    }
}

TEST_F(DisplayRules, DepthPropertiesKeepWhatIsSetAndTakeTheMatrixAway) {
    const Value s = child("s");
    const Value transform = get(s, "transform");
    // In the plane: no matrix3D, a 2D matrix, and the defaults.
    EXPECT_TRUE(get(transform, "matrix3D").isNull());
    EXPECT_FALSE(get(transform, "matrix").isNull());
    EXPECT_EQ(text(s, "z") + " " + text(s, "rotationX") + " " + text(s, "rotationY") + " " +
                  text(s, "scaleZ"),
              "0 0 0 1");
    struct Case {
        const char* property;
        double given;
        const char* read;
    };
    const Case cases[] = {{"z", 12.5, "12.5"},        {"z", -3, "-3"},
                          {"rotationX", 190, "-170"}, {"rotationY", -180, "-180"},
                          {"rotationY", 540, "180"},  {"scaleZ", 2, "2"},
                          {"scaleZ", kNaN, "NaN"}};
    for (const Case& c : cases) {
        set(s, c.property, Value::number(c.given));
        EXPECT_EQ(text(s, c.property), c.read) << c.property << " " << c.given;
    }
    // Placed in 3D: the Transform answers matrix3D (z as its translation out of the plane)
    // and no 2D matrix.
    EXPECT_TRUE(get(transform, "matrix").isNull());
    const Value m3 = get(transform, "matrix3D");
    ASSERT_TRUE(m3.isObject());
    const Value raw = get(m3, "rawData");
    EXPECT_EQ(vm.toString(vm.getProperty(raw, Name::publicName("14"))), "-3");
    // A 2D matrix set takes the object back to the plane.
    set(transform, "matrix", get(get(child("t"), "transform"), "matrix"));
    EXPECT_TRUE(get(transform, "matrix3D").isNull());
    EXPECT_EQ(text(s, "z"), "0");
    // And a matrix3D set places it again, its z read from the translation.
    set(transform, "matrix3D", m3);
    EXPECT_EQ(text(s, "z"), "-3");
    set(transform, "matrix3D", Value::null());
    EXPECT_FALSE(get(transform, "matrix").isNull());
}

TEST_F(DisplayRules, StageSettingsReadBackInTheirOwnSpelling) {
    const Value st = stage();
    struct Case {
        const char* property;
        const char* given;
        const char* read; // nullptr: refused with ArgumentError #2008
    };
    const Case cases[] = {
        {"scaleMode", "noScale", "noScale"},
        {"scaleMode", "NOSCALE", "noScale"},
        {"scaleMode", "exactfit", "exactFit"},
        {"scaleMode", "noBorder", "noBorder"},
        {"scaleMode", "bogus", nullptr},
        {"scaleMode", "", nullptr},
        {"align", "TL", "TL"},
        {"align", "lt", "TL"},
        {"align", "RB", "BR"},
        {"align", "bogus", "B"},
        {"align", "TOP_LEFT", "TL"},
        {"align", "tbrl", "TBLR"},
        {"align", "", ""},
        {"quality", "low", "LOW"},
        {"quality", "16x16linear", "16X16LINEAR"},
        {"quality", "bogus", "16X16LINEAR"},
        {"quality", "Best", "BEST"},
    };
    for (const Case& c : cases) {
        const std::string error = setThrows(st, c.property, Value::string(c.given));
        if (c.read == nullptr) {
            EXPECT_EQ(error.substr(0, 26), "ArgumentError: Error #2008") << c.given;
        } else {
            EXPECT_EQ(error, "") << c.given;
            EXPECT_EQ(text(st, c.property), c.read) << c.property << " " << c.given;
        }
    }
}

TEST_F(DisplayRules, TheStageRefusesItsInheritedPlacement) {
    const Value st = stage();
    for (const char* property : {"x", "y", "z", "rotation", "scaleX", "alpha", "visible", "name",
                                 "mask", "width", "height", "transform"}) {
        EXPECT_EQ(setThrows(st, property, Value::number(1)).substr(0, 18), "Error: Error #2071")
            << property;
        // They may still be read.
        EXPECT_NO_THROW(get(st, property)) << property;
    }
    EXPECT_EQ(text(st, "x"), "0");
}

TEST_F(DisplayRules, InvalidateAsksForOneRenderEvent) {
    const Value st = stage();
    EXPECT_FALSE(avm2::takeRenderRequest(st.asObject()));
    Args none;
    vm.callProperty(st, Name::publicName("invalidate"), none);
    vm.callProperty(st, Name::publicName("invalidate"), none);
    EXPECT_TRUE(avm2::takeRenderRequest(st.asObject()));
    EXPECT_FALSE(avm2::takeRenderRequest(st.asObject()));
    EXPECT_FALSE(avm2::takeRenderRequest(nullptr));
}

TEST_F(DisplayRules, TimelinePlacedObjectsKeepTheirNames) {
    const NodeId placed = tree.place(FakeDisplayHost::kRoot, "placed");
    tree.timelinePlaced.insert(placed);
    const Value p = object(placed);
    EXPECT_EQ(setThrows(p, "name", Value::string("other")).substr(0, 18), "Error: Error #2078");
    EXPECT_EQ(text(p, "name"), "placed");
    const Value made = child("made");
    EXPECT_EQ(setThrows(made, "name", Value::string("other")), "");
    EXPECT_EQ(text(made, "name"), "other");
}

TEST_F(DisplayRules, RemoveChildrenToTheEndChecksNoIndex) {
    struct Case {
        std::vector<double> range; // empty: no arguments
        const char* left;          // the names left, or nullptr for RangeError #2006
    };
    const double toEnd = std::numeric_limits<std::int32_t>::max();
    const Case cases[] = {
        {{}, ""},           {{1}, "a"},       {{3}, "a,b,c"},        {{-1}, "a,b,c"},
        {{0, 1}, "c"},      {{1, 1}, "a,c"},  {{2, 1}, nullptr},     {{1, 5}, nullptr},
        {{-1, 1}, nullptr}, {{0, toEnd}, ""}, {{5, toEnd}, "a,b,c"}, {{kNaN, 0}, "b,c"},
    };
    for (const Case& c : cases) {
        const Value p = object(tree.createNode(avm2::NodeKind::Sprite));
        for (const char* name : {"a", "b", "c"}) {
            Value s = object(tree.createNode(avm2::NodeKind::Shape));
            set(s, "name", Value::string(name));
            Args add{s};
            vm.callProperty(p, Name::publicName("addChild"), add);
        }
        Args args;
        for (const double v : c.range) {
            args.push_back(Value::number(v));
        }
        const std::string error = callThrows(p, "removeChildren", args);
        std::string left;
        for (const NodeId n : tree.nodes[p.asObject()->displayNode].children) {
            left += (left.empty() ? "" : ",") + tree.nodes[n].name;
        }
        if (c.left == nullptr) {
            EXPECT_EQ(error, "RangeError: Error #2006") << c.range.size();
        } else {
            EXPECT_EQ(error, "");
            EXPECT_EQ(left, c.left);
        }
    }
}

TEST_F(DisplayRules, MasksGridsCachingAndBlendsReadBackByTheirRules) {
    const Value a = child("a");
    const Value b = child("b");
    const Value m = child("m");
    // A mask masks one object: set on another, it leaves the first.
    set(a, "mask", m);
    set(b, "mask", m);
    EXPECT_TRUE(get(a, "mask").isNull());
    EXPECT_EQ(get(b, "mask").asObject(), m.asObject());
    EXPECT_EQ(tree.masks[a.asObject()->displayNode], 0u);
    EXPECT_EQ(tree.masks[b.asObject()->displayNode], m.asObject()->displayNode);
    // Taken away from b, it is free to mask a again without touching b.
    set(b, "mask", Value::null());
    set(a, "mask", m);
    EXPECT_TRUE(get(b, "mask").isNull());
    EXPECT_EQ(get(a, "mask").asObject(), m.asObject());

    // Filters turn cacheAsBitmap on while they are there; without them it reads as set.
    Args none;
    const Value blur =
        vm.construct(Value::object(vm.findClass("flash.filters::BlurFilter")->classObject), none);
    struct Step {
        const char* what;
        bool cache;
        int filters;
        const char* read;
    };
    const Step steps[] = {{"start", false, 0, "false"},
                          {"a filter", false, 1, "true"},
                          {"filters cleared", false, 0, "false"},
                          {"set true", true, 0, "true"},
                          {"set true with a filter", true, 1, "true"}};
    for (const Step& s : steps) {
        set(a, "cacheAsBitmap", Value::boolean(s.cache));
        std::vector<Value> list(static_cast<std::size_t>(s.filters), blur);
        set(a, "filters", Value::object(vm.newArray(list)));
        EXPECT_EQ(text(a, "cacheAsBitmap"), s.read) << s.what;
    }

    EXPECT_EQ(setThrows(a, "blendMode", Value::null()),
              "TypeError: Error #2007: Parameter blendMode must be non-null.");
    EXPECT_EQ(setThrows(a, "blendMode", Value::string("bogus")).substr(0, 26),
              "ArgumentError: Error #2008");

    // scale9Grid reaches the display and reads back a copy of what was set; null takes it
    // away.
    EXPECT_TRUE(get(a, "scale9Grid").isNull());
    Args box{Value::number(10), Value::number(20), Value::number(30), Value::number(40)};
    const Value rect =
        vm.construct(Value::object(vm.findClass("flash.geom::Rectangle")->classObject), box);
    set(a, "scale9Grid", rect);
    set(rect, "x", Value::number(99));
    const Value read = get(a, "scale9Grid");
    EXPECT_NE(read.asObject(), rect.asObject());
    EXPECT_EQ(vm.toString(read), "(x=10, y=20, w=30, h=40)");
    EXPECT_EQ(tree.grids.at(a.asObject()->displayNode), (std::array<double, 4>{10, 20, 30, 40}));
    set(a, "scale9Grid", Value::null());
    EXPECT_TRUE(get(a, "scale9Grid").isNull());
}

} // namespace
