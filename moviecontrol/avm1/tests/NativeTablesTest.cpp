// Numbered native tables (ASnative, ASSetNative), __proto__ under case-insensitive names and
// the debugger warning of Delete2 on a path through a primitive.

#include "FakeStage.h"

#include "moviemaker/ActionWriter.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

namespace avm1test {
namespace {

namespace op = swf::op;
using avm1::Object;
using avm1::Property;
using avm1::Str;
using avm1::Value;
using moviemaker::Actions;

class NativeTables : public ::testing::Test {
  protected:
    explicit NativeTables(int version = 7) : stage(version), vm(stage.vm) {}
    Value global(std::string_view name, std::vector<Value> args) {
        return vm.callMethod(vm.global(), name, args);
    }
    Value path(std::string_view owner, std::string_view name) {
        Object* o = vm.get(vm.global(), owner).asObject();
        return vm.get(o, name);
    }
    std::string names(Object* o) {
        std::string out;
        for (const Str& n : vm.enumerate(o)) {
            out += n.str() + ",";
        }
        return out;
    }
    // A numbered native is a new function object on each request, with no prototype, that
    // answers as the named built-in does.
    void expectSameNative(const Value& numbered, const Value& builtin, const Value& self,
                          std::vector<Value> args, std::string_view what) {
        ASSERT_TRUE(numbered.isObject() && numbered.asObject()->asFunction()) << what;
        EXPECT_NE(numbered.asObject(), builtin.asObject()) << what;
        EXPECT_TRUE(vm.get(numbered.asObject(), "prototype").isUndefined()) << what;
        EXPECT_EQ(vm.toString(vm.call(numbered, self, args)).str(),
                  vm.toString(vm.call(builtin, self, args)).str())
            << what;
    }
    static Value num(double n) { return Value(n); }
    static Value str(std::string_view s) { return Value(Str(s)); }

    FakeStage stage;
    avm1::Machine& vm;
};

// Table 666 pairs a getter and a setter for each of the Stage's scaleMode, align, width and
// height from 1 on; they reach the global Stage whatever `this` is.
TEST_F(NativeTables, Table666ReadsAndWritesTheStage) {
    Object* stageObject = vm.newObject();
    vm.set(vm.global(), "Stage", Value(stageObject));
    vm.set(stageObject, "width", num(640));
    vm.set(stageObject, "height", num(480));
    const struct {
        int getter;
        std::string_view name;
    } rows[] = {{1, "scaleMode"}, {3, "align"}, {5, "width"}, {7, "height"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Value get = global("ASnative", {num(666), num(row.getter)});
        const Value set = global("ASnative", {num(666), num(row.getter + 1)});
        ASSERT_TRUE(get.isObject() && set.isObject());
        const std::vector<Value> args{str("v")};
        vm.call(set, Value(), args);
        EXPECT_EQ(vm.toString(vm.get(stageObject, row.name)).str(), "v");
        EXPECT_EQ(vm.toString(vm.call(get, Value(vm.newObject()), std::vector<Value>{})).str(),
                  "v");
    }
    EXPECT_TRUE(global("ASnative", {num(666), num(9)}).isUndefined());
    EXPECT_TRUE(global("ASnative", {num(666), num(0)}).isUndefined());
}

TEST_F(NativeTables, NumbersNameTheBuiltIns) {
    expectSameNative(global("ASnative", {num(200), num(0)}), path("Math", "abs"), Value(),
                     {num(-3)}, "abs");
    expectSameNative(global("ASnative", {num(200), num(17)}), path("Math", "pow"), Value(),
                     {num(2), num(10)}, "pow");
    expectSameNative(global("ASnative", {num(200), num(18)}), vm.get(vm.global(), "isNaN"), Value(),
                     {str("x")}, "isNaN");
    Object* arrayProto = vm.arrayPrototype();
    const std::vector<Value> items{num(1), num(2)};
    Object* array = vm.newArray(items);
    expectSameNative(global("ASnative", {num(252), num(7)}), vm.get(arrayProto, "join"),
                     Value(array), {str("-")}, "join");
    // The class library's own helpers and constructors have numbers too: ASSetPropFlags is
    // 1,0, ASSetNative and ASSetNativeAccessor 4,0 and 4,1, registerClass 101,8, Array 252,0.
    const std::pair<double, double> helpers[] = {{1, 0}, {4, 0}, {4, 1}, {101, 8}, {252, 0}};
    const Value named[] = {vm.get(vm.global(), "ASSetPropFlags"),
                           vm.get(vm.global(), "ASSetNative"),
                           vm.get(vm.global(), "ASSetNativeAccessor"),
                           path("Object", "registerClass"), vm.get(vm.global(), "Array")};
    for (std::size_t i = 0; i < std::size(helpers); ++i) {
        const Value f = global("ASnative", {num(helpers[i].first), num(helpers[i].second)});
        ASSERT_TRUE(f.isObject() && f.asObject()->asFunction()) << i;
        ASSERT_TRUE(named[i].isObject()) << i;
    }
    expectSameNative(global("ASnative", {num(252), num(0)}), vm.get(vm.global(), "Array"), Value(),
                     {num(3)}, "Array");
    // Two requests for one number are two functions.
    EXPECT_NE(global("ASnative", {num(200), num(0)}).asObject(),
              global("ASnative", {num(200), num(0)}).asObject());
    // Unknown tables, gaps, negative and out-of-range numbers give nothing.
    EXPECT_TRUE(global("ASnative", {num(101), num(20)}).isUndefined());
    EXPECT_TRUE(global("ASnative", {num(200), num(-1)}).isUndefined());
    EXPECT_TRUE(global("ASnative", {num(200), num(99)}).isUndefined());
    EXPECT_TRUE(global("ASnative", {num(4242), num(0)}).isUndefined());
    EXPECT_TRUE(global("ASnative", {}).isUndefined());
}

TEST_F(NativeTables, SetNativeNamesByPositionWithVersionMarks) {
    Object* o = vm.newObject();
    EXPECT_TRUE(
        global("ASSetNative", {Value(o), num(200), str("1a,2b,,7g,8h,10j,11k")}).isUndefined());
    // "1" and "7" marks are taken off and allowed here; "2" is part of the name.
    EXPECT_EQ(vm.get(o, "a").asObject(), path("Math", "abs").asObject());
    EXPECT_EQ(vm.get(o, "2b").asObject(), path("Math", "min").asObject());
    EXPECT_EQ(vm.get(o, "g").asObject(), path("Math", "sin").asObject());
    EXPECT_EQ(vm.get(o, "1k").asObject(), path("Math", "tan").asObject()); // the 7th
    // Marks above the movie's version hide the name, yet for..in still lists it.
    EXPECT_TRUE(vm.get(o, "h").isUndefined());
    EXPECT_TRUE(vm.get(o, "j").isUndefined());
    EXPECT_EQ(names(o), "1k,j,h,g,2b,a,");
}

TEST_F(NativeTables, SetNativeKeepsAnExistingPropertysFlags) {
    Object* base = vm.newObject();
    vm.set(base, "h", str("base"));
    Object* o = vm.make<Object>(base);
    vm.set(o, "i", str("own"));
    global("ASSetNative", {Value(o), num(200), str("8h,9i")});
    // The hidden own "h" lets the prototype's show through; the visible "i" is replaced.
    EXPECT_EQ(vm.toString(vm.get(o, "h")).str(), "base");
    EXPECT_EQ(vm.get(o, "i").asObject(), path("Math", "min").asObject());
    // Without an object or a list nothing happens.
    EXPECT_TRUE(global("ASSetNative", {num(1), num(200), str("x")}).isUndefined());
    EXPECT_TRUE(global("ASSetNative", {Value(o), num(200)}).isUndefined());
    EXPECT_TRUE(vm.get(o, "x").isUndefined());
}

TEST_F(NativeTables, DateTableSpreadsOverThreeRows) {
    Object* proto = vm.get(vm.get(vm.global(), "Date").asObject(), "prototype").asObject();
    const struct {
        double index;
        const char* name;
    } table[] = {{0, "getFullYear"},
                 {1, "getYear"},
                 {8, "getMilliseconds"},
                 {16, "getTime"},
                 {17, "setTime"},
                 {18, "getTimezoneOffset"},
                 {19, "toString"},
                 {128, "getUTCFullYear"},
                 {136, "getUTCMilliseconds"},
                 {143, "setUTCMilliseconds"}};
    Object* date = vm.construct(vm.get(vm.global(), "Date"), std::vector<Value>{num(123456789)});
    ASSERT_NE(date, nullptr);
    for (const auto& row : table) {
        expectSameNative(global("ASnative", {num(103), num(row.index)}), vm.get(proto, row.name),
                         Value(date), {}, row.name);
    }
    expectSameNative(global("ASnative", {num(103), num(257)}), path("Date", "UTC"), Value(),
                     {num(2000), num(1)}, "UTC");
    // The constructor as a plain native: `new` on it makes no Date.
    Value ctor = global("ASnative", {num(103), num(256)});
    ASSERT_TRUE(ctor.isObject());
    Object* made = vm.construct(ctor, std::vector<Value>{num(0)});
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(vm.get(made, "getMilliseconds").isUndefined());
    // Between the rows there is nothing.
    EXPECT_TRUE(global("ASnative", {num(103), num(21)}).isUndefined());
    EXPECT_TRUE(global("ASnative", {num(103), num(144)}).isUndefined());
    EXPECT_TRUE(global("ASnative", {num(103), num(258)}).isUndefined());
}

TEST_F(NativeTables, AsciiCaseLeavesOtherLettersAlone) {
    Value upper = global("ASnative", {num(102), num(0)});
    Value lower = global("ASnative", {num(102), num(1)});
    ASSERT_TRUE(upper.isObject() && lower.isObject());
    // Each request makes a function of its own.
    EXPECT_NE(upper.asObject(), global("ASnative", {num(102), num(0)}).asObject());
    Value text = str("Gr\u00FC\u00DFe aus Z\u00DCrich");
    EXPECT_EQ(vm.toString(vm.call(upper, text, {})).str(), "GR\u00FC\u00DFE AUS Z\u00DCRICH");
    EXPECT_EQ(vm.toString(vm.call(lower, text, {})).str(), "gr\u00FC\u00DFe aus z\u00DCrich");
}

TEST_F(NativeTables, AsConstructorGivesANativeAPrototype) {
    Value ctor = global("ASconstructor", {num(106), num(2)});
    ASSERT_TRUE(ctor.isObject());
    Object* proto = vm.get(ctor.asObject(), "prototype").asObject();
    ASSERT_NE(proto, nullptr);
    EXPECT_NE(proto, path("Number", "prototype").asObject());
    Object* made = vm.construct(ctor, std::vector<Value>{num(6)});
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->proto(), proto);
    // The plain native answers as Number does; an unknown number gives nothing to make.
    expectSameNative(global("ASnative", {num(106), num(2)}), vm.get(vm.global(), "Number"), Value(),
                     {str("12")}, "Number");
    EXPECT_TRUE(global("ASconstructor", {num(106), num(99)}).isUndefined());
}

TEST_F(NativeTables, AsNewTellsAConstructorCall) {
    // function f() { r = ASnative(2, 0)(); }  f(); trace(r); new f(); trace(r);
    Actions body;
    body.push("r").push(0.0).push(2.0).push(2.0).push("ASnative").code(op::CallFunction);
    body.push(0.0).code(op::StackSwap).pushUndefined().code(op::CallMethod);
    body.code(op::SetVariable);
    Actions a;
    a.push("f").function(body).code(op::SetVariable);
    a.push(0.0).push("f").code(op::CallFunction).code(op::Pop);
    a.push("r").code(op::GetVariable).code(op::Trace);
    a.push(0.0).push("f").code(op::NewObject).code(op::Pop);
    a.push("r").code(op::GetVariable).code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (std::vector<std::string>{"false", "true"}));
}

class NativeTables6 : public NativeTables {
  protected:
    NativeTables6() : NativeTables(6) {}
};

TEST_F(NativeTables6, ProtoNameFollowsTheCaseRule) {
    Object* o = vm.newObject();
    EXPECT_EQ(vm.get(o, "__PROTO__").asObject(), vm.objectPrototype());
    Object* other = vm.newObject();
    vm.set(o, "__Proto__", Value(other));
    EXPECT_EQ(o->proto(), other);
    EXPECT_TRUE(vm.deleteProperty(o, Str("__PROTO__")));
    EXPECT_TRUE(vm.get(o, "__proto__").isUndefined());
}

TEST_F(NativeTables, ProtoNameIsExactFromVersion7) {
    Object* o = vm.newObject();
    EXPECT_TRUE(vm.get(o, "__PROTO__").isUndefined());
    vm.set(o, "__PROTO__", num(1));
    EXPECT_EQ(o->proto(), vm.objectPrototype());
}

TEST(Delete2, WarnsOnPathsThroughPrimitives) {
    FakeStage stage(7);
    const std::string warning =
        "Parameters of primitive types are no longer coerced into the required type - Object.";
    Actions a;
    a.push("o").push(0.0).code(op::InitObject).code(op::SetVariable);
    a.push("o").code(op::GetVariable).push("t").push("text").code(op::SetMember);
    a.push("o.t.y").code(op::Delete2).code(op::Trace);
    a.push("o").code(op::GetVariable).push("t").pushNull().code(op::SetMember);
    a.push("o.t.y").code(op::Delete2).code(op::Trace);
    a.push("o").code(op::GetVariable).push("t").push(2.0).code(op::SetMember);
    a.push("o.t.y").code(op::Delete2).code(op::Trace);
    a.push("o").code(op::GetVariable).push("y").push(1.0).code(op::SetMember);
    a.push("o.y").code(op::Delete2).code(op::Trace);
    a.push("o").code(op::GetVariable).push("y").code(op::GetMember).code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (std::vector<std::string>{warning, "false", "false", warning,
                                                              "false", "true", "undefined"}));
}

TEST_F(NativeTables, SetNativeAccessorTakesGetterAndSetterInPairs) {
    Object* o = vm.newObject();
    // Table 101 from 3: valueOf reads, toString takes the assignment.
    global("ASSetNativeAccessor", {Value(o), num(101), str("self,7later"), num(3)});
    EXPECT_EQ(vm.get(o, "self").asObject(), o);
    vm.set(o, "self", num(5));
    EXPECT_EQ(vm.get(o, "self").asObject(), o);
    // The next name takes the next pair (5, 6: hasOwnProperty, isPrototypeOf) under its mark.
    const Property* later = o->properties().find(vm.str("later"), true);
    ASSERT_NE(later, nullptr);
    EXPECT_TRUE(later->isAccessor());
    // Starting numbers out of range, a missing object or list define nothing.
    Object* other = vm.newObject();
    global("ASSetNativeAccessor", {Value(other), num(101), str("x"), num(-1)});
    global("ASSetNativeAccessor", {Value(other), num(101), str("y"), num(1e300)});
    global("ASSetNativeAccessor", {Value(other), num(101)});
    EXPECT_EQ(names(other), "");
}

TEST_F(NativeTables, BuiltInMethodsResistDeleteUntilTheirFlagIsCleared) {
    for (std::string_view owner : {"String", "Object", "Array"}) {
        Object* proto = path(owner, "prototype").asObject();
        ASSERT_NE(proto, nullptr);
        EXPECT_FALSE(vm.deleteProperty(proto, vm.str("toString"))) << owner;
        global("ASSetPropFlags", {Value(proto), str("toString"), num(0), num(2)});
        EXPECT_TRUE(vm.deleteProperty(proto, vm.str("toString"))) << owner;
        EXPECT_TRUE(vm.get(proto, "toString").isUndefined() || owner != "Object") << owner;
    }
}

} // namespace
} // namespace avm1test
