// flash.geom.Matrix on objects that only look like matrices, and on fields that are no
// numbers.

#include "FakeStage.h"
#include "avm1/Packages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace avm1test {
namespace {

using avm1::Object;
using avm1::Str;
using avm1::Value;

class GeomRules : public ::testing::Test {
  protected:
    GeomRules() : stage(8), vm(stage.vm) {}
    Value matrixClass() {
        Object* geom = vm.get(vm.get(vm.global(), "flash").asObject(), "geom").asObject();
        return vm.get(geom, "Matrix");
    }
    Object* matrix(std::vector<Value> fields) { return vm.construct(matrixClass(), fields); }
    // A plain object with the fields of a matrix and its methods borrowed.
    Object* lookalike() {
        Object* fake = vm.newObject();
        const char* names[] = {"a", "b", "c", "d", "tx", "ty"};
        const double values[] = {3, 2, 5, 3, 5, 5};
        for (int i = 0; i < 6; ++i) {
            vm.set(fake, names[i], Value(values[i]));
        }
        vm.set(fake, "toString",
               vm.get(vm.get(matrixClass().asObject(), "prototype").asObject(), "toString"));
        return fake;
    }
    std::string text(Object* o) { return vm.toString(Value(o)).str(); }
    Value call(Object* o, std::string_view method, std::vector<Value> args) {
        Object* proto = vm.get(matrixClass().asObject(), "prototype").asObject();
        return vm.call(vm.get(proto, method), Value(o), args);
    }

    FakeStage stage;
    avm1::Machine& vm;
};

TEST_F(GeomRules, RotateScaleAndBoxesChangeOnlyMatrices) {
    const std::string untouched = "(a=3, b=2, c=5, d=3, tx=5, ty=5)";
    Object* fake = lookalike();
    call(fake, "rotate", {Value(1)});
    call(fake, "scale", {Value(4), Value(5)});
    call(fake, "createGradientBox", {Value(20), Value(30), Value(1), Value(2), Value(3)});
    EXPECT_EQ(text(fake), untouched);
    // createBox sets the offsets of anything, the rest only of a matrix.
    call(fake, "createBox", {Value(5), Value(4), Value(3), Value(2), Value(3)});
    EXPECT_EQ(text(fake), "(a=3, b=2, c=5, d=3, tx=2, ty=3)");

    Object* real = matrix({Value(2), Value(0), Value(0), Value(2), Value(100), Value(100)});
    call(real, "scale", {Value(3), Value(4)});
    EXPECT_EQ(text(real), "(a=6, b=0, c=0, d=8, tx=300, ty=400)");
}

TEST_F(GeomRules, BoxOffsetsKeepTheirValues) {
    Object* m = matrix({});
    call(m, "createBox", {Value(4), Value(3), Value(vm.newObject()), Value(Str("a string"))});
    EXPECT_EQ(text(m), "(a=NaN, b=NaN, c=NaN, d=NaN, tx=a string, ty=0)");
    call(m, "createGradientBox", {Value(40), Value(49), Value(0), Value(Str("string")), Value()});
    EXPECT_EQ(text(m), "(a=0.0244140625, b=0, c=0, d=0.0299072265625, tx=string20, ty=NaN)");
}

TEST_F(GeomRules, ASingularMatrixInvertsToTheIdentity) {
    Object* m = matrix({Value(4), Value(5), Value(44), Value(55), Value(2), Value(4)});
    call(m, "invert", {});
    EXPECT_EQ(text(m), "(a=1, b=0, c=0, d=1, tx=0, ty=0)");
    Object* twice = matrix({Value(2), Value(0), Value(0), Value(4), Value(2), Value(4)});
    call(twice, "invert", {});
    EXPECT_EQ(text(twice), "(a=0.5, b=0, c=0, d=0.25, tx=-1, ty=-1)");
}

// What an undefined offset or rotation becomes as a number differs by version.
TEST(GeomVersionRules, UndefinedOffsetsAndRotationsFollowTheVersion) {
    struct Case {
        int version;
        const char* inverted; // a lookalike's fields after invert
        const char* box;      // createBox with scales that are no numbers and no rotation
    };
    const Case cases[] = {
        {5, "(a=-3, b=2, c=5, d=-3, tx=0, ty=0)", "(a=NaN, b=0, c=0, d=NaN, tx=0, ty=0)"},
        {6, "(a=-3, b=2, c=5, d=-3, tx=0, ty=0)", "(a=NaN, b=0, c=0, d=NaN, tx=0, ty=0)"},
        {7, "(a=-3, b=2, c=5, d=-3, tx=NaN, ty=NaN)", "(a=NaN, b=NaN, c=NaN, d=NaN, tx=0, ty=0)"},
        {8, "(a=-3, b=2, c=5, d=-3, tx=NaN, ty=NaN)", "(a=NaN, b=NaN, c=NaN, d=NaN, tx=0, ty=0)"},
        {10, "(a=-3, b=2, c=5, d=-3, tx=NaN, ty=NaN)", "(a=NaN, b=NaN, c=NaN, d=NaN, tx=0, ty=0)"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.version);
        FakeStage stage(k.version);
        avm1::Machine& vm = stage.vm;
        // Before version 8 the package is hidden, not absent (movies reach it through
        // ASSetPropFlags).
        Value cls = vm.get(avm1::packageObject(vm, "flash.geom"), "Matrix");
        Object* proto = vm.get(cls.asObject(), "prototype").asObject();
        Object* fake = vm.newObject();
        const char* names[] = {"a", "b", "c", "d", "tx", "ty"};
        const double values[] = {3, 2, 5, 3, 5, 5};
        for (int i = 0; i < 6; ++i) {
            vm.set(fake, names[i], Value(values[i]));
        }
        auto run = [&](Object* self, const char* method, std::vector<Value> args) {
            vm.call(vm.get(proto, method), Value(self), args);
            return vm.toString(vm.call(vm.get(proto, "toString"), Value(self), {})).str();
        };
        EXPECT_EQ(run(fake, "invert", {}), k.inverted);
        Object* m = vm.construct(cls, {});
        EXPECT_EQ(run(m, "createBox", {Value(Str("a")), Value(Str("b"))}), k.box);
        // A gradient box still takes the documented rotation of 0.
        EXPECT_EQ(run(m, "createGradientBox", {Value(1638.4), Value(3276.8)}),
                  "(a=1, b=0, c=0, d=2, tx=819.2, ty=1638.4)");
    }
}

TEST_F(GeomRules, PointsAddTheirFieldsAsTheScriptsPlus) {
    Object* geom = vm.get(vm.get(vm.global(), "flash").asObject(), "geom").asObject();
    Value pointClass = vm.get(geom, "Point");
    auto point = [&](const Value& x, const Value& y) {
        return vm.construct(pointClass, std::vector<Value>{x, y});
    };
    Object* letters = point(Value(Str("x")), Value(Str("y")));
    Object* three = point(Value(3), Value());
    EXPECT_EQ(text(vm.callMethod(letters, "add", std::vector<Value>{Value(three)}).asObject()),
              "(x=x3, y=yundefined)");
    // interpolate: the second point plus the way towards the first.
    Object* a = point(Value(-20), Value(0));
    Object* b = point(Value(Str("10")), Value(Str("0")));
    Value ret = vm.callMethod(pointClass.asObject(), "interpolate",
                              std::vector<Value>{Value(a), Value(b), Value(1)});
    EXPECT_EQ(text(ret.asObject()), "(x=10-30, y=00)");
    // distance needs a point first.
    Object* plain = vm.newObject();
    EXPECT_TRUE(
        vm.callMethod(pointClass.asObject(), "distance", std::vector<Value>{Value(plain), Value(a)})
            .isUndefined());
    EXPECT_TRUE(vm.callMethod(pointClass.asObject(), "distance", std::vector<Value>{Value(a)})
                    .isUndefined());
    EXPECT_EQ(vm.toNumber(
                  vm.callMethod(pointClass.asObject(), "distance",
                                std::vector<Value>{Value(a), Value(point(Value(-20), Value(5)))})),
              5);
    // for..in lists x, y and the prototype's members.
    EXPECT_EQ(vm.enumerate(a).size(), 10u);
}

// Point reads its argument's fields as the script's `.` does, and compares the stored
// coordinates without converting them.
TEST_F(GeomRules, APointsCoordinatesEnumerateByHowItWasMade) {
    Object* geom = vm.get(vm.get(vm.global(), "flash").asObject(), "geom").asObject();
    const Value point = vm.get(geom, "Point");
    const struct {
        std::vector<Value> args;
        const char* own;
    } table[] = {
        {{}, "x,y"},
        {{Value(1)}, "y,x"},
        {{Value(1), Value(2)}, "y,x"},
    };
    for (const auto& row : table) {
        Object* p = vm.construct(point, row.args);
        ASSERT_NE(p, nullptr);
        // The prototype's members come before the point's own two, which end the list.
        const auto names = vm.enumerate(p);
        ASSERT_GE(names.size(), 2u);
        const std::size_t n = names.size();
        EXPECT_EQ(names[n - 2].str() + "," + names[n - 1].str(), row.own) << row.args.size();
    }
}

TEST_F(GeomRules, PointReadsFieldsOfAnyValueAndComparesStrictly) {
    Object* geom = vm.get(vm.get(vm.global(), "flash").asObject(), "geom").asObject();
    Value pointClass = vm.get(geom, "Point");
    auto point = [&](const Value& x, const Value& y) {
        return vm.construct(pointClass, std::vector<Value>{x, y});
    };
    Object* stringProto = vm.get(vm.get(vm.global(), "String").asObject(), "prototype").asObject();
    vm.set(stringProto, "x", Value(3));
    Object* origin = point(Value(Str("x")), Value(Str("y")));
    Value sum = vm.callMethod(origin, "add", std::vector<Value>{Value(Str("1"))});
    EXPECT_EQ(vm.toString(sum).str(), "(x=x3, y=yundefined)");
    const struct {
        Value x1, x2;
        bool equal = false;
    } table[] = {{Value(1), Value(1), true},
                 {Value(1), Value(Str("1")), false},
                 {Value(Str("a")), Value(Str("a")), true},
                 {Value(), Value(), true},
                 // Flash finds NaN equal to itself here too.
                 {Value(std::nan("")), Value(std::nan("")), true}};
    for (const auto& row : table) {
        Object* a = point(row.x1, Value(0));
        Object* b = point(row.x2, Value(0));
        EXPECT_EQ(vm.toBoolean(vm.callMethod(a, "equals", std::vector<Value>{Value(b)})), row.equal)
            << vm.toString(row.x1).str() << " " << vm.toString(row.x2).str();
    }
}

// Rectangle.contains compares as the script's operators do: texts as texts, NaN giving
// undefined.
TEST_F(GeomRules, RectangleContainsComparesAsScripts) {
    Object* geom = vm.get(vm.get(vm.global(), "flash").asObject(), "geom").asObject();
    Value rectangleClass = vm.get(geom, "Rectangle");
    auto contains = [&](std::vector<Value> box, std::vector<Value> at) {
        Object* r = vm.construct(rectangleClass, box);
        return vm.toString(vm.callMethod(r, "contains", at)).str();
    };
    const Value ten(Str("10")), d(Str("d")), e(Str("e"));
    const Value numbers[] = {Value(0), Value(0), Value(10), Value(10)};
    const std::vector<Value> box(std::begin(numbers), std::end(numbers));
    EXPECT_EQ(contains(box, {Value(5), Value(5)}), "true");
    EXPECT_EQ(contains(box, {Value(10), Value(5)}), "false");
    EXPECT_EQ(contains(box, {Value(std::nan("")), Value(5)}), "undefined");
    // "e" >= "10" as texts, and "e" < "10d" fails.
    EXPECT_EQ(contains({ten, ten, d, d}, {e, e}), "false");
    EXPECT_EQ(contains({ten, ten, d, d}, {Value(10), Value(10)}), "undefined");
}

// Rectangle's members were written in script: their operators are the script's (a text
// size grows by joining), and they all show in for-in.
TEST_F(GeomRules, RectangleEdgesMoveWithTheScriptsOperators) {
    Object* geom = vm.get(vm.get(vm.global(), "flash").asObject(), "geom").asObject();
    Value rectangleClass = vm.get(geom, "Rectangle");
    auto rect = [&](const Value& x, const Value& y, const Value& w, const Value& h) {
        return vm.construct(rectangleClass, std::vector<Value>{x, y, w, h});
    };
    auto str = [](const char* t) { return Value(Str(t)); };
    const struct {
        const char* member = nullptr;
        Value value;
        const char* expected = nullptr;
    } setters[] = {
        // width += x - left: "w" joined with NaN.
        {"left", Value(10), "(x=10, y=y, w=wNaN, h=h)"},
        {"top", Value(5), "(x=x, y=5, w=w, h=hNaN)"},
        // width = right - x: always a number.
        {"right", Value(10), "(x=x, y=y, w=NaN, h=h)"},
        {"bottom", str("7"), "(x=x, y=y, w=w, h=NaN)"},
    };
    for (const auto& row : setters) {
        Object* r = rect(str("x"), str("y"), str("w"), str("h"));
        vm.set(r, row.member, row.value);
        EXPECT_EQ(text(r), row.expected) << row.member;
    }
    Object* numbers = rect(Value(1), Value(2), Value(3), Value(4));
    vm.set(numbers, "left", Value(0));
    EXPECT_EQ(text(numbers), "(x=0, y=2, w=4, h=4)");

    // offset: x += dx joins texts; inflate: x -= dx is a number, width += dx * 2 joins.
    Object* moved = rect(str("1"), Value(2), str("3"), Value(4));
    vm.callMethod(moved, "offset", std::vector<Value>{Value(5), str("6")});
    EXPECT_EQ(text(moved), "(x=15, y=26, w=3, h=4)");
    vm.callMethod(moved, "inflate", std::vector<Value>{Value(1), Value(1)});
    EXPECT_EQ(text(moved), "(x=14, y=25, w=32, h=6)");

    // x, y, width, height and the prototype's twenty-two members.
    EXPECT_EQ(vm.enumerate(numbers).size(), 26u);
}

// `x >= left` is !(x < left): a NaN passes it and stops at the following `<` with undefined,
// having converted the argument twice.
TEST_F(GeomRules, RectangleContainsPassesNaNAtItsGreaterOrEqualTests) {
    Object* geom = vm.get(vm.get(vm.global(), "flash").asObject(), "geom").asObject();
    Object* r = vm.construct(vm.get(geom, "Rectangle"),
                             std::vector<Value>{Value(0), Value(0), Value(10), Value(10)});
    int calls = 0;
    Object* counted = vm.newObject();
    vm.set(counted, "valueOf",
           Value(static_cast<Object*>(vm.newFunction([&calls](avm1::CallArgs&) -> Value {
               ++calls;
               return Value(std::nan(""));
           }))));
    Value ret = vm.callMethod(r, "contains", std::vector<Value>{Value(counted), Value(5)});
    EXPECT_TRUE(ret.isUndefined());
    EXPECT_EQ(calls, 2);
    Object* pt = vm.newObject();
    vm.set(pt, "x", Value(std::nan("")));
    vm.set(pt, "y", Value(5));
    EXPECT_TRUE(vm.callMethod(r, "containsPoint", std::vector<Value>{Value(pt)}).isUndefined());
    // A rectangle ending exactly at the far edge is inside; one starting there is not, even
    // when it has no width.
    auto inside = [&](double x, double y, double w, double h) {
        Object* other = vm.construct(vm.get(geom, "Rectangle"),
                                     std::vector<Value>{Value(x), Value(y), Value(w), Value(h)});
        return vm.toString(vm.callMethod(r, "containsRectangle", std::vector<Value>{Value(other)}))
            .str();
    };
    EXPECT_EQ(inside(5, 5, 5, 5), "true");
    EXPECT_EQ(inside(10, 5, 0, 1), "false");
    EXPECT_EQ(inside(5, 5, 0, 1), "true");
    EXPECT_EQ(inside(5, 5, 6, 1), "false");
}

} // namespace
} // namespace avm1test
