// The language core by movie version: the order and number of valueOf calls each operator
// makes, the shift that changed sign, the `this` of call and apply, addProperty's argument
// rules and the global functions called without arguments.

#include "FakeStage.h"

#include "moviemaker/ActionWriter.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace avm1test {
namespace {

namespace op = swf::op;
using avm1::CallArgs;
using avm1::Object;
using avm1::Str;
using avm1::Value;
using moviemaker::Actions;

class OperatorRules : public ::testing::TestWithParam<int> {
  protected:
    OperatorRules() : stage(GetParam()), vm(stage.vm) {}
    int version() const { return GetParam(); }
    static Value str(std::string_view s) { return Value(Str(s)); }

    // A root variable `name` holding an object whose valueOf gives `result` (the object
    // itself when `result` is unset) and whose toString gives the name; both calls are
    // written to `log`.
    Object* logged(const std::string& name, const std::optional<Value>& result) {
        Object* o = vm.newObject();
        vm.set(o, "valueOf", Value(vm.newFunction([this, name, result](CallArgs& c) -> Value {
                   log += name + ".valueOf ";
                   return result ? *result : c.thisValue;
               })));
        vm.set(o, "toString", Value(vm.newFunction([this, name](CallArgs&) -> Value {
                   log += name + ".toString ";
                   return str(name);
               })));
        vm.set(stage.rootClip, name, Value(o));
        return o;
    }
    // trace(left <action> right) for two root variables or literal texts.
    std::string binary(std::string_view left, std::uint8_t action, std::string_view right) {
        Actions a;
        a.push(left).code(op::GetVariable).push(right).code(op::GetVariable);
        a.code(action).code(op::Trace);
        auto lines = stage.run(a.bytes());
        return lines.empty() ? "(nothing)" : lines.front();
    }
    std::string text(const Value& v) { return vm.toString(v).str(); }

    FakeStage stage;
    avm1::Machine& vm;
    std::string log;
};

TEST_P(OperatorRules, AddConvertsTheRightOperandFirst) {
    logged("a", Value(1));
    logged("b", Value(2));
    EXPECT_EQ(binary("a", op::Add2, "b"), "3");
    EXPECT_EQ(log, "b.valueOf a.valueOf ");

    // Objects valueOf leaves objects: text on neither side, so each is asked for its
    // number once more, left first, and the sum is NaN.
    logged("p", std::nullopt);
    logged("q", std::nullopt);
    log.clear();
    EXPECT_EQ(binary("p", op::Add2, "q"), "NaN");
    EXPECT_EQ(log, "q.valueOf p.valueOf p.valueOf q.valueOf ");

    // Text on one side: the object gives its toString instead.
    vm.set(stage.rootClip, "s", str("x"));
    log.clear();
    EXPECT_EQ(binary("s", op::Add2, "p"), "xp");
    EXPECT_EQ(log, "p.valueOf p.toString ");
}

TEST_P(OperatorRules, ClipsAddAsTheirPathOrAsNaN) {
    FakeClip* mc = stage.addClip(stage.rootClip, "mc");
    vm.set(stage.rootClip, "s", str("x"));
    vm.set(stage.rootClip, "one", Value(1));
    auto valueOfGives = [&](const Value& answer) {
        vm.set(mc, "valueOf", Value(vm.newFunction([this, answer](CallArgs&) -> Value {
                   log += "valueOf ";
                   return answer;
               })));
    };
    // Any answer but undefined leaves the clip: its path to text, NaN to a number.
    valueOfGives(str("V"));
    EXPECT_EQ(binary("s", op::Add2, "mc"), "x_level0.mc");
    EXPECT_EQ(binary("mc", op::Add2, "mc"), "NaN");
    EXPECT_EQ(binary("mc", op::Add2, "one"), "NaN");
    EXPECT_EQ(log, "valueOf valueOf valueOf valueOf ");
    // Other arithmetic and comparisons never ask the clip.
    log.clear();
    EXPECT_EQ(binary("mc", op::Multiply, "one"), "NaN");
    EXPECT_EQ(binary("mc", op::Less2, "one"), "undefined");
    EXPECT_EQ(binary("mc", op::Equals2, "one"), "false");
    EXPECT_EQ(log, "");
    // An undefined answer makes the clip its path, so it joins a number as text.
    valueOfGives(Value());
    EXPECT_EQ(binary("mc", op::Add2, "one"), "_level0.mc1");
}

TEST_P(OperatorRules, Version5EqualityAsksBothOperandsForTheirValues) {
    const bool v5 = version() < 6;
    logged("a", Value(1));
    logged("b", Value(1));
    // Two objects: version 5 compares their values, the right one's asked first; later
    // versions compare identities without a call.
    EXPECT_EQ(binary("a", op::Equals2, "b"), v5 ? "true" : "false");
    EXPECT_EQ(log, v5 ? "b.valueOf a.valueOf " : "");
    log.clear();
    EXPECT_EQ(binary("a", op::Equals2, "a"), "true");
    EXPECT_EQ(log, v5 ? "a.valueOf a.valueOf " : "");

    // An object whose valueOf gives itself against a number: version 5 asks twice.
    logged("p", std::nullopt);
    vm.set(stage.rootClip, "one", Value(1));
    log.clear();
    EXPECT_EQ(binary("p", op::Equals2, "one"), "false");
    EXPECT_EQ(log, v5 ? "p.valueOf p.valueOf " : "p.valueOf ");

    // An object whose value is undefined equals undefined and null, in every version.
    logged("u", Value());
    EXPECT_EQ(binary("u", op::Equals2, "nothing"), "true");
}

TEST_P(OperatorRules, UnsignedShiftIsSignedForVersion8) {
    Actions a;
    a.push(-1.0).push(0.0).code(op::BitURShift).code(op::Trace);
    a.push(-1.0).push(28.0).code(op::BitURShift).code(op::Trace);
    a.push(-8.0).push(0.0).code(op::BitURShift).code(op::Trace);
    const bool signedResult = version() >= 8;
    EXPECT_EQ(stage.run(a.bytes()),
              (std::vector<std::string>{signedResult ? "-1" : "4294967295", "15",
                                        signedResult ? "-8" : "4294967288"}));
}

TEST_P(OperatorRules, WithBlocksNestOnlySoDeep) {
    // `depth` nested with blocks on an object holding `v`; the innermost traces v.
    auto nested = [&](int depth) {
        Actions inner;
        inner.push("v").code(op::GetVariable).code(op::Trace);
        for (int i = 0; i < depth; ++i) {
            Actions outer;
            outer.push("o").code(op::GetVariable).with(inner);
            inner = outer;
        }
        inner.push("after").code(op::Trace);
        return stage.run(inner.bytes());
    };
    Object* o = vm.newObject();
    vm.set(o, "v", str("inside"));
    vm.set(stage.rootClip, "o", Value(o));
    const int limit = version() < 6 ? 7 : 15;
    EXPECT_EQ(nested(limit), (std::vector<std::string>{"inside", "after"}));
    // One more and the innermost block is passed over whole.
    EXPECT_EQ(nested(limit + 1), (std::vector<std::string>{"after"}));
}

TEST_P(OperatorRules, CallAndApplyGiveGlobalForNoThisAndWrapPrimitives) {
    if (version() < 6) {
        GTEST_SKIP() << "call and apply came with version 6";
    }
    Value self = Value(vm.newFunction([](CallArgs& c) { return c.thisValue; }));
    Object* f = self.asObject();
    const Value global(vm.global());
    EXPECT_TRUE(strictEquals(vm.callMethod(f, "call", {}), global));
    EXPECT_TRUE(strictEquals(vm.callMethod(f, "call", std::vector{Value::null()}), global));
    EXPECT_TRUE(strictEquals(vm.callMethod(f, "apply", std::vector{Value()}), global));
    Object* o = vm.newObject();
    EXPECT_TRUE(strictEquals(vm.callMethod(f, "call", std::vector{Value(o)}), Value(o)));
    const struct {
        Value given;
        const char* type = nullptr;
        const char* value = nullptr;
    } primitives[] = {
        {Value(5), "object", "5"},
        {str("abc"), "object", "abc"},
        {Value(true), "object", "true"},
    };
    for (const auto& row : primitives) {
        for (const char* method : {"call", "apply"}) {
            Value got = vm.callMethod(f, method, std::vector{row.given});
            EXPECT_EQ(vm.typeOf(got), row.type) << method << " " << text(row.given);
            EXPECT_EQ(text(got), row.value) << method;
        }
    }
}

TEST_P(OperatorRules, AddPropertyNeedsAGetterObjectAndASetterOrNull) {
    Object* o = vm.newObject();
    if (version() < 6) {
        EXPECT_TRUE(vm.get(o, "addProperty").isUndefined());
        EXPECT_TRUE(vm.get(o, "watch").isUndefined());
        EXPECT_TRUE(vm.get(o, "unwatch").isUndefined());
        return;
    }
    const Value getter(vm.newFunction([](CallArgs&) { return Value(7); }));
    const Value setter(vm.newFunction([](CallArgs&) { return Value(); }));
    const Value plain(vm.newObject());
    const struct {
        std::vector<Value> args;
        bool accepted;
    } table[] = {
        {{str("p"), getter, setter}, true},
        {{str("p"), getter, Value::null()}, true},
        {{str("p"), plain, Value::null()}, true}, // any object reads as a getter
        {{str("p"), getter, plain}, true},
        {{str("p"), getter, Value()}, false},
        {{str("p"), getter}, false},
        {{str("p"), getter, Value(5)}, false},
        {{str("p"), Value(5), setter}, false},
        {{str(""), getter, setter}, false},
        {{str("p")}, false},
    };
    for (std::size_t i = 0; i < std::size(table); ++i) {
        Object* target = vm.newObject();
        Value got = vm.callMethod(target, "addProperty", table[i].args);
        EXPECT_TRUE(strictEquals(got, Value(table[i].accepted))) << "row " << i;
    }
    // Without a setter the property keeps its getter's value.
    vm.callMethod(o, "addProperty", std::vector{str("r"), getter, Value::null()});
    vm.set(o, "r", Value(1));
    EXPECT_EQ(text(vm.get(o, "r")), "7");
    // A getter that is no function reads the value the last assignment stored under it.
    vm.callMethod(o, "addProperty", std::vector{str("s"), plain, setter});
    EXPECT_TRUE(vm.get(o, "s").isUndefined());
    vm.set(o, "s", Value(3));
    EXPECT_EQ(text(vm.get(o, "s")), "3");
}

TEST_P(OperatorRules, WatcherMayUnwatchOrReplaceItselfWhileItRuns) {
    if (version() < 6) {
        GTEST_SKIP() << "watch came with version 6";
    }
    Object* o = vm.newObject();
    int calls = 0;
    // Unwatching from inside the callback holds once the callback is done.
    const Value once(vm.newFunction([&](CallArgs& c) -> Value {
        ++calls;
        vm.callMethod(c.thisObject(), "unwatch", std::vector{str("x")});
        return c.arg(2);
    }));
    EXPECT_TRUE(strictEquals(vm.callMethod(o, "watch", std::vector{str("x"), once}), Value(true)));
    vm.set(o, "x", Value(1));
    vm.set(o, "x", Value(2));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(text(vm.get(o, "x")), "2");
    EXPECT_TRUE(strictEquals(vm.callMethod(o, "unwatch", std::vector{str("x")}), Value(false)));

    // Its own assignment inside the callback is a plain one before version 7; later the
    // watcher runs again, 64 calls deep at most. The outermost callback's result wins.
    const int perSet = version() < 7 ? 1 : 65;
    calls = 0;
    const Value doubling(vm.newFunction([&](CallArgs& c) -> Value {
        ++calls;
        vm.set(c.thisObject(), "y", Value(100));
        return Value(vm.toNumber(c.arg(2)) * 2);
    }));
    vm.callMethod(o, "watch", std::vector{str("y"), doubling});
    vm.set(o, "y", Value(3));
    EXPECT_EQ(calls, perSet);
    EXPECT_EQ(text(vm.get(o, "y")), "6");
    vm.set(o, "y", Value(4));
    EXPECT_EQ(calls, 2 * perSet);
    EXPECT_EQ(text(vm.get(o, "y")), "8");
}

TEST_P(OperatorRules, IsPrototypeOfWrapsPrimitives) {
    if (version() < 6) {
        GTEST_SKIP() << "isPrototypeOf came with version 6";
    }
    auto proto = [&](std::string_view cls) {
        return vm.get(vm.get(vm.global(), cls).asObject(), "prototype").asObject();
    };
    const struct {
        const char* cls = nullptr;
        Value candidate;
        bool expected = false;
    } table[] = {
        {"Number", Value(5), true},       {"Object", Value(5), true},  {"String", str("a"), true},
        {"Boolean", Value(false), true},  {"String", Value(5), false}, {"Object", Value(), false},
        {"Object", Value::null(), false},
    };
    for (const auto& row : table) {
        Value got = vm.callMethod(proto(row.cls), "isPrototypeOf", std::vector{row.candidate});
        EXPECT_TRUE(strictEquals(got, Value(row.expected)))
            << row.cls << ".prototype.isPrototypeOf(" << text(row.candidate) << ")";
    }
}

TEST_P(OperatorRules, NewRecordsTheConstructorOnBuiltInInstancesToo) {
    for (const char* name : {"Number", "Boolean", "Object"}) {
        const Value ctor = vm.get(vm.global(), name);
        Object* made = vm.construct(ctor, {});
        ASSERT_NE(made, nullptr) << name;
        EXPECT_TRUE(strictEquals(vm.get(made, "__constructor__"), ctor)) << name;
        // Before version 7 `constructor` is the instance's own, later it is inherited.
        const bool own = made->properties().find(Str("constructor"), true) != nullptr;
        EXPECT_EQ(own, version() < 7) << name;
        EXPECT_TRUE(strictEquals(vm.get(made, "constructor"), ctor)) << name;
    }
}

TEST_P(OperatorRules, NumberRunByNewThroughAnotherFunctionMakesANumber) {
    const Value f =
        vm.call(vm.get(vm.global(), "ASconstructor"), Value(), std::vector{Value(106), Value(2)});
    ASSERT_TRUE(f.isObject());
    Object* proto = vm.get(f.asObject(), "prototype").asObject();
    ASSERT_NE(proto, nullptr);
    vm.set(proto, "toString", vm.get(vm.prototypeOf("Number"), "toString"));
    Object* made = vm.construct(f, std::vector{Value(6)});
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->proto(), proto);
    EXPECT_EQ(text(vm.callMethod(made, "toString", {})), "6");
    // Other built-ins leave the new object a plain one.
    Object* plain = vm.construct(vm.get(vm.global(), "Object"), {});
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(vm.callMethod(plain, "valueOf", {}).isObject());
}

TEST_P(OperatorRules, GlobalFunctionsWithoutArguments) {
    Object* g = vm.global();
    EXPECT_TRUE(strictEquals(vm.callMethod(g, "isNaN", {}), Value(true)));
    EXPECT_TRUE(strictEquals(vm.callMethod(g, "isFinite", {}), Value(false)));
    EXPECT_TRUE(vm.callMethod(g, "escape", {}).isUndefined());
    EXPECT_TRUE(vm.callMethod(g, "unescape", {}).isUndefined());
    // An undefined argument is still converted.
    EXPECT_TRUE(
        strictEquals(vm.callMethod(g, "isNaN", std::vector{Value()}), Value(version() >= 7)));
    // Object() and Function() with nothing to convert make objects that inherit nothing.
    for (const char* name : {"Object", "Function"}) {
        if (version() < 6 && std::string_view(name) == "Function") {
            continue;
        }
        Value made = vm.call(vm.get(g, name), Value(), {});
        ASSERT_TRUE(made.isObject()) << name;
        EXPECT_EQ(made.asObject()->proto(), nullptr) << name;
    }
}

TEST_P(OperatorRules, UnescapeReadsFormText) {
    const struct {
        const char* in;
        const char* out;
    } table[] = {
        {"a+b", "a b"},     {"%41%42", "AB"}, {"%2B", "+"},   {"100%", "100"},
        {"%4", ""},         {"%zz1", "z1"},   {"%4z1", "1"},  {"%%41", "A"},
        {"%u0041", "0041"}, {"%4%41", ""},    {"%0%41", "A"}, {"%C3%A9", "\xC3\xA9"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(text(vm.callMethod(vm.global(), "unescape", std::vector{str(row.in)})), row.out)
            << row.in;
    }
}

TEST_P(OperatorRules, NumberToStringRadixTruncatesAsTheProcessorDoes) {
    auto toString = [&](double n, Value radix) {
        return text(
            vm.callMethod(vm.toObject(Value(n)), "toString", std::vector{std::move(radix)}));
    };
    EXPECT_EQ(toString(5, Value(2)), "101");
    EXPECT_EQ(toString(-255, Value(16)), "-ff");
    EXPECT_EQ(toString(5.9, Value(2.9)), "101");
    // A radix past the 32-bit range is out of range, not wrapped into it.
    EXPECT_EQ(toString(5, Value(4294967298.0)), "5");
    // Numbers without a 32-bit integer print as NaN does.
    const std::string nan = toString(std::numeric_limits<double>::quiet_NaN(), Value(2));
    EXPECT_EQ(toString(4294967301.0, Value(2)), nan);
    EXPECT_EQ(toString(-1e20, Value(2)), nan);
    EXPECT_EQ(toString(2147483647.0, Value(16)), "7fffffff");
    EXPECT_EQ(toString(-2147483647.0, Value(16)), "-7fffffff");
}

TEST_P(OperatorRules, AnObjectMeetsAClipThroughValueOf) {
    // A clip is a type of its own for ==: the object on the other side is asked for its
    // valueOf, whichever side it is on, and equals the clip only when that gives the clip.
    logged("o", Value(7));
    vm.set(stage.rootClip, "clip", Value(stage.rootClip));
    EXPECT_EQ(binary("o", op::Equals2, "clip"), "false");
    EXPECT_EQ(binary("clip", op::Equals2, "o"), "false");
    EXPECT_EQ(log, "o.valueOf o.valueOf ");
    logged("same", Value(stage.rootClip));
    EXPECT_EQ(binary("same", op::Equals2, "clip"), "true");
    EXPECT_EQ(binary("clip", op::Equals2, "clip"), "true");
}

TEST_P(OperatorRules, SubstrEndsAtStartPlusLength) {
    // The end is the start plus the length, counted back from the text's end when negative;
    // both go through ToInt32 first.
    constexpr double Inf = std::numeric_limits<double>::infinity();
    const struct {
        double start;
        double length;
        const char* out;
    } table[] = {
        {2, -5, "llo, Wo"},
        {0, -1, "Hello, Worl"},
        {2, -1, ""},
        {-3, -10, "rl"},
        {-3, -9, ""},
        {0, -12, ""},
        {0, 4294967295.0, "Hello, Worl"},
        {2, 3, "llo"},
        {2, 100, "llo, World"},
        {2, Inf, ""},
        {-100, 2, "He"},
    };
    Object* s = vm.toObject(str("Hello, World"));
    for (const auto& row : table) {
        EXPECT_EQ(
            text(vm.callMethod(s, "substr", std::vector{Value(row.start), Value(row.length)})),
            row.out)
            << row.start << ", " << row.length;
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, OperatorRules, ::testing::Values(5, 6, 7, 8));

// Version 4 code reaches a clip's properties through GetProperty alone: a variable path
// ending in a property name reads a variable of that name.
TEST(Version4Paths, PropertyNamesInVariablePathsAreVariables) {
    for (int version : {4, 5}) {
        FakeStage stage(version);
        FakeClip* mc = stage.addClip(stage.rootClip, "mc");
        mc->x = 30;
        Actions a;
        a.push("/mc:_x").code(op::GetVariable).code(op::Trace);
        a.push("/mc").push(0.0).code(op::GetProperty).code(op::Trace);
        const auto lines = stage.run(a.bytes());
        EXPECT_EQ(lines, (std::vector<std::string>{version < 5 ? "undefined" : "30", "30"}))
            << "version " << version;
    }
}

} // namespace
} // namespace avm1test
