// flash.geom.Vector3D by table: each row builds a vector, calls one method with numbers or
// a second vector, and prints the answer or the vector afterwards with its w, which
// toString leaves out.

#include "PlayerClassTest.h"

#include <cmath>

namespace {

using avm2::Args;
using avm2::Value;

const double kNaN = std::nan("");

struct Vector3DCase {
    std::vector<double> made;
    const char* method;
    bool vectorArg; // the numbers make a second vector rather than being the arguments
    std::vector<double> args;
    bool printSelf;
    const char* expected;
};

class Vector3D : public avm2test::PlayerClassTest {
  protected:
    Value vector(const std::vector<double>& parts) {
        Args args;
        for (double v : parts) {
            args.push_back(Value::number(v));
        }
        return make("flash.geom::Vector3D", args);
    }
    std::string withW(const Value& v) {
        return v.isObject() && vm.className(v) == "Vector3D" ? text(v) + " w=" + get(v, "w")
                                                             : text(v);
    }
    std::string run(const Vector3DCase& c) {
        Value self = vector(c.made);
        Args args;
        if (c.vectorArg) {
            args.push_back(vector(c.args));
        } else {
            for (double v : c.args) {
                args.push_back(Value::number(v));
            }
        }
        Value result = call(self, c.method, args);
        return withW(c.printSelf ? self : result);
    }
};

TEST_F(Vector3D, MethodsWorkOnThreeAxesAndCarryW) {
    const std::vector<Vector3DCase> table = {
        {{1, 2, 3, 4}, "toString", false, {}, false, "Vector3D(1, 2, 3)"},
        {{1, 2, 3, 4}, "clone", false, {}, false, "Vector3D(1, 2, 3) w=4"},
        // New vectors from two have w 0, whatever the two had.
        {{6, -7, 8, -9}, "add", true, {-10, 20, -30, 40}, false, "Vector3D(-4, 13, -22) w=0"},
        {{6, -7, 8, -9}, "subtract", true, {-10, 20, -30, 40}, false, "Vector3D(16, -27, 38) w=0"},
        // Changing ones leave w alone.
        {{3, -4, 5, 6}, "incrementBy", true, {1, 2, -3, 4}, true, "Vector3D(4, -2, 2) w=6"},
        {{3, -4, 5, 6}, "decrementBy", true, {1, 2, -3, 4}, true, "Vector3D(2, -6, 8) w=6"},
        {{1, 2, 3, 4}, "copyFrom", true, {4, 5, 6, 7}, true, "Vector3D(4, 5, 6) w=4"},
        {{1, 2, 3, 4}, "setTo", false, {6, 7, 8}, true, "Vector3D(6, 7, 8) w=4"},
        {{2, -4, 0, 5}, "scaleBy", false, {-0.5}, true, "Vector3D(-1, 2, 0) w=5"},
        {{2, -4, 0, 5}, "negate", false, {}, true, "Vector3D(-2, 4, 0) w=5"},
        // normalize answers the old length; a zero vector stays zero.
        {{-9, 12, 20, -100}, "normalize", false, {}, false, "25"},
        {{30, 40}, "normalize", false, {}, true, "Vector3D(0.6, 0.8, 0) w=0"},
        {{}, "normalize", false, {}, true, "Vector3D(0, 0, 0) w=0"},
        {{kNaN, 100, 100, 100}, "normalize", false, {}, true, "Vector3D(NaN, NaN, NaN) w=100"},
        {{20, 30, 40, 10}, "project", false, {}, true, "Vector3D(2, 3, 4) w=10"},
        {{1, 2, 3}, "project", false, {}, true, "Vector3D(Infinity, Infinity, Infinity) w=0"},
        {{}, "project", false, {}, true, "Vector3D(NaN, NaN, NaN) w=0"},
        {{1, 0, 0}, "dotProduct", true, {0, 1, 0}, false, "0"},
        {{2, 4, 6, 8}, "dotProduct", true, {1, 1, 1, 100}, false, "12"},
        // The cross product's w is always 1.
        {{1, 0, 0}, "crossProduct", true, {0, 1, 0}, false, "Vector3D(0, 0, 1) w=1"},
        {{0, -1, 0, 7}, "crossProduct", true, {0, 0, 1}, false, "Vector3D(-1, 0, 0) w=1"},
    };
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(run(table[i]), table[i].expected) << table[i].method << " row " << i;
    }
}

// equals and nearEquals compare x, y and z, and w only when asked. nearEquals wants each
// difference strictly under the tolerance, and for w measures the other vector's w alone,
// writing it into this one.
TEST_F(Vector3D, ComparisonsAndTheirAllFourQuirk) {
    struct Row {
        std::vector<double> self, other;
        const char* method;
        double tolerance;
        bool allFour;
        const char* expected;
        const char* wAfter;
    };
    const std::vector<Row> table = {
        {{1, 2, 3}, {1, 2, 3, 4}, "equals", 0, false, "true", "0"},
        {{1, 2, 3}, {1, 2, 3, 4}, "equals", 0, true, "false", "0"},
        {{100, 200, 300}, {100, 200, 300}, "nearEquals", 0, false, "false", "0"},
        {{100, 200, 300}, {100, 200, 300}, "nearEquals", 1, false, "true", "0"},
        {{100, 200, 300, 400}, {100, 200, 350, 400}, "nearEquals", 100, false, "true", "400"},
        {{100, 200, 300, 400}, {100, 200, 300, 400}, "nearEquals", 10, true, "false", "400"},
        {{100, 200, 300, 10}, {100, 200, 300, 20}, "nearEquals", 100, true, "true", "20"},
        {{100, 200, 300, 200}, {100, 200, 300, 0}, "nearEquals", 100, true, "true", "0"},
        {{100, 200, 300, 0}, {100, 200, 300, -200}, "nearEquals", 100, true, "false", "-200"},
        // A failed axis stops before w is touched.
        {{100, 200, 300, 5}, {100, 200, 900, 7}, "nearEquals", 100, true, "false", "5"},
    };
    for (const Row& r : table) {
        Value self = vector(r.self);
        Args args{vector(r.other)};
        if (std::string(r.method) == "nearEquals") {
            args.push_back(Value::number(r.tolerance));
        }
        args.push_back(Value::boolean(r.allFour));
        EXPECT_EQ(text(call(self, r.method, args)), r.expected) << r.method << " " << r.tolerance;
        EXPECT_EQ(get(self, "w"), r.wAfter) << r.method << " " << r.tolerance;
    }
}

TEST_F(Vector3D, StaticsAndLengths) {
    const Value cls = classNamed("flash.geom::Vector3D");
    EXPECT_EQ(withW(vm.getProperty(cls, avm2::Name::publicName("Y_AXIS"))),
              "Vector3D(0, 1, 0) w=0");
    EXPECT_EQ(text(call(cls, "distance",
                        {vector({-100, 200, 300, -400}), vector({-102, 210, 311, -420})})),
              "15");
    EXPECT_EQ(text(call(cls, "angleBetween", {vector({}), vector({1, 0, 0})})), "NaN");
    EXPECT_EQ(text(call(cls, "angleBetween", {vector({0, -20, 0}), vector({0, 0, 0.1})})),
              text(Value::number(std::acos(0.0))));
    EXPECT_EQ(get(vector({2, -10, 11, -20}), "length"), "15");
    EXPECT_EQ(get(vector({100, -200, 300, -400}), "lengthSquared"), "140000");
    // Arguments that are not numbers turn into NaN; a missing vector is the null error.
    EXPECT_EQ(text(make("flash.geom::Vector3D", {Value::object(vm.newObject())})),
              "Vector3D(NaN, 0, 0)");
    EXPECT_EQ(thrown([&] { call(vector({}), "add", {Value::null()}); }), "TypeError #1009");
    EXPECT_EQ(thrown([&] { call(vector({}), "add", {Value::string("x")}); }), "TypeError #1034");
}

} // namespace
