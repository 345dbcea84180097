// Array's length and index rules: a stored length reads back as given while the methods
// count with its 32-bit value, and the edit methods' argument edge cases.

#include "FakeStage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace avm1test {
namespace {

using avm1::Object;
using avm1::Value;

const double NaN = std::numeric_limits<double>::quiet_NaN();

class ArrayRules : public ::testing::Test {
  protected:
    ArrayRules() : stage(7), vm(stage.vm) {}
    Object* array(std::initializer_list<double> values) {
        std::vector<Value> v;
        for (double d : values) {
            v.emplace_back(d);
        }
        return vm.newArray(v);
    }
    Object* fresh(std::vector<Value> args) {
        return vm.construct(vm.get(vm.global(), "Array"), args);
    }
    std::string text(const Value& v) { return vm.toString(v).str(); }
    std::string text(Object* o) { return text(Value(o)); }
    Value call(Object* o, std::string_view method, std::vector<Value> args = {}) {
        return vm.callMethod(o, method, args);
    }

    FakeStage stage;
    avm1::Machine& vm;
};

TEST_F(ArrayRules, StoredLengthReadsBackAsGiven) {
    const struct {
        Value length;
        const char* reads = nullptr;
        const char* elements = nullptr;
    } cases[] = {
        {Value(2.0), "2", "1,2"},
        {Value(2.7), "2.7", "1,2"},
        {Value(-1.0), "-1", ""},
        {Value(NaN), "NaN", ""},
        {Value(vm.str("x")), "x", ""},
        {Value(vm.str("3")), "3", "1,2,3"},
        {Value(4294967297.0), "4294967297", "1"}, // counts as 1
        {Value(6.0), "6", "1,2,3,4,undefined,undefined"},
    };
    for (const auto& c : cases) {
        Object* a = array({1, 2, 3, 4});
        vm.set(a, "length", c.length);
        EXPECT_EQ(text(vm.get(a, "length")), c.reads) << c.reads;
        EXPECT_EQ(text(a), c.elements) << c.reads;
    }
    // Cut elements are gone for good, and a later index sets a plain count again.
    Object* a = array({1, 2, 3});
    vm.set(a, "length", Value(-5.0));
    EXPECT_FALSE(vm.hasOwnProperty(a, vm.str("0")));
    vm.set(a, "1", Value(9.0));
    EXPECT_EQ(text(vm.get(a, "length")), "2");
    EXPECT_EQ(text(a), "undefined,9");
    EXPECT_EQ(vm.toNumber(call(a, "push", {Value(5.0)})), 3);
}

TEST_F(ArrayRules, ConstructorLengthIsA32BitInteger) {
    const std::pair<double, const char*> cases[] = {
        {3, "3"}, {2.9, "2"}, {-1, "-1"}, {NaN, "-2147483648"}, {1e10, "-2147483648"},
    };
    for (const auto& [n, reads] : cases) {
        Object* a = fresh({Value(n)});
        EXPECT_EQ(text(vm.get(a, "length")), reads) << n;
    }
    EXPECT_EQ(text(fresh({Value(vm.str("3"))})), "3"); // a string is an element
    EXPECT_EQ(text(fresh({Value(3.0)})), "undefined,undefined,undefined");
}

TEST_F(ArrayRules, SpliceArguments) {
    const struct {
        std::vector<Value> args;
        const char* removed;
        const char* left;
    } cases[] = {
        {{Value(1.0)}, "2,3,4", "1"},
        {{Value(-1.0)}, "4", "1,2,3"},
        {{Value(-9.0), Value(1.0)}, "1", "2,3,4"},
        {{Value(9.0), Value(1.0), Value(0.0)}, "", "1,2,3,4,0"},
        {{Value(1.5), Value(1.9)}, "2", "1,3,4"},
        {{Value(NaN), Value(NaN), Value(0.0)}, "", "0,1,2,3,4"},
        {{Value(1.0), Value::null(), Value(0.0)}, "", "1,0,2,3,4"},
        {{Value(4294967297.0), Value(1.0)}, "2", "1,3,4"},
    };
    for (const auto& c : cases) {
        Object* a = array({1, 2, 3, 4});
        EXPECT_EQ(text(call(a, "splice", c.args)), c.removed) << c.left;
        EXPECT_EQ(text(a), c.left);
    }
    // A negative count, an undefined start or count, or no arguments at all is no splice;
    // null is a start of 0.
    Object* a = array({1, 2, 3});
    EXPECT_TRUE(call(a, "splice", {Value(0.0), Value(-1.0), Value(7.0)}).isUndefined());
    EXPECT_TRUE(call(a, "splice").isUndefined());
    EXPECT_TRUE(call(a, "splice", {Value()}).isUndefined());
    EXPECT_TRUE(call(a, "splice", {Value(), Value(1.0), Value(7.0)}).isUndefined());
    EXPECT_TRUE(call(a, "splice", {Value(1.0), Value()}).isUndefined());
    EXPECT_TRUE(call(a, "splice", {Value(1.0), Value(), Value(7.0)}).isUndefined());
    EXPECT_EQ(text(a), "1,2,3");
    EXPECT_EQ(text(call(a, "splice", {Value::null(), Value(1.0)})), "1");
    EXPECT_EQ(text(a), "2,3");
}

TEST_F(ArrayRules, JoinTakesAnySeparatorGiven) {
    Object* a = array({1, 2});
    EXPECT_EQ(text(call(a, "join")), "1,2");
    EXPECT_EQ(text(call(a, "join", {Value()})), "1undefined2");
    EXPECT_EQ(text(call(a, "join", {Value::null()})), "1null2");
    EXPECT_EQ(text(call(a, "join", {Value(vm.str(""))})), "12");
    // Nested arrays print their elements; a hole prints as undefined.
    Object* outer = vm.newArray(std::vector<Value>{Value(a), Value(array({3}))});
    vm.set(outer, "length", Value(3.0));
    EXPECT_EQ(text(outer), "1,2,3,undefined");
}

TEST_F(ArrayRules, SliceIndexesWrapAt32Bits) {
    Object* a = array({1, 2, 3, 4});
    EXPECT_EQ(text(call(a, "slice", {Value(4294967295.0)})), "4"); // -1
    EXPECT_EQ(text(call(a, "slice", {Value(1.0), Value()})), "2,3,4");
    EXPECT_EQ(text(call(a, "slice", {Value(NaN), Value(-2.5)})), "1,2");
    EXPECT_EQ(text(call(a, "slice", {Value(3.0), Value(1.0)})), "");
}

TEST_F(ArrayRules, SortOnArguments) {
    auto item = [&](double v) {
        Object* o = vm.newObject();
        vm.set(o, "v", Value(v));
        return Value(o);
    };
    auto order = [&](Object* a) {
        std::string out;
        double n = vm.toNumber(vm.get(a, "length"));
        for (double i = 0; i < n; ++i) {
            Value e = vm.get(a, std::to_string(static_cast<int>(i)));
            out += (out.empty() ? "" : ",") +
                   (e.isObject() ? text(vm.get(e.asObject(), "v")) : "=" + text(e));
        }
        return out;
    };
    Object* a = vm.newArray(std::vector<Value>{item(10), item(9), item(100)});
    call(a, "sortOn", {Value(vm.str("v")), Value(vm.str("16"))}); // a string is no flag
    EXPECT_EQ(order(a), "10,100,9");
    call(a, "sortOn", {Value(vm.str("v")), Value(16.0)});
    EXPECT_EQ(order(a), "9,10,100");
    // No names, no sort.
    EXPECT_EQ(call(a, "sortOn", {Value(vm.newArray())}).asObject(), a);
    EXPECT_EQ(order(a), "9,10,100");
    // An element that is no object compares itself.
    Object* mixed = vm.newArray(std::vector<Value>{item(5), Value(vm.str("a")), item(1)});
    call(mixed, "sortOn", {Value(vm.str("v"))});
    EXPECT_EQ(order(mixed), "1,5,=a");
    // Names given as an object that is no array: the elements sort as they are.
    Object* words = vm.newArray(std::vector<Value>{Value(vm.str("b")), Value(vm.str("a"))});
    call(words, "sortOn", {Value(vm.newObject())});
    EXPECT_EQ(text(words), "a,b");
}

TEST_F(ArrayRules, MethodsOnObjectsThatAreNoArrays) {
    Object* o = vm.newObject();
    Object* proto = vm.get(vm.get(vm.global(), "Array").asObject(), "prototype").asObject();
    vm.set(o, "push", vm.get(proto, "push"));
    vm.set(o, "join", vm.get(proto, "join"));
    vm.set(o, "length", Value(vm.str("1")));
    EXPECT_EQ(vm.toNumber(call(o, "push", {Value(5.0)})), 2);
    EXPECT_EQ(text(vm.get(o, "length")), "2");
    EXPECT_EQ(text(call(o, "join", {Value(vm.str("-"))})), "undefined-5");
    // pop, shift and unshift move elements but leave such an object's length alone.
    vm.set(o, "pop", vm.get(proto, "pop"));
    vm.set(o, "unshift", vm.get(proto, "unshift"));
    EXPECT_EQ(text(call(o, "pop")), "5");
    EXPECT_FALSE(vm.hasOwnProperty(o, vm.str("1")));
    EXPECT_EQ(vm.toNumber(call(o, "unshift", {Value(7.0)})), 3);
    EXPECT_EQ(text(vm.get(o, "length")), "2");
    EXPECT_EQ(text(vm.get(o, "0")), "7");
}

// Flash's quicksort takes the first element of each range as its pivot and compares it
// first, so equal elements, ties under CASEINSENSITIVE and NaN under NUMERIC land where
// it leaves them; DESCENDING reverses the ascending result.
TEST_F(ArrayRules, SortLeavesTiesWhereTheFirstElementPivotPutsThem) {
    const struct {
        std::vector<const char*> words;
        double flags;
        const char* result;
    } cases[] = {
        {{"b", "A", "a"}, 1, "a,A,b"},
        {{"b", "A", "a"}, 1 | 8, "2,1,0"},
        {{"x", "X", "y", "Y", "x"}, 1, "x,X,x,y,Y"},
        {{"x", "X", "y", "Y", "x"}, 1 | 2, "Y,y,x,X,x"},
        {{"x", "X", "y", "Y", "x"}, 1 | 2 | 8, "3,2,4,1,0"},
        {{"x", "X", "y", "Y", "x"}, 1 | 4, "0"},
        {{"b", "a", "c"}, 2 | 4, "c,b,a"},
    };
    for (const auto& c : cases) {
        std::vector<Value> v;
        for (const char* w : c.words) {
            v.emplace_back(vm.str(w));
        }
        Object* a = vm.newArray(v);
        EXPECT_EQ(text(call(a, "sort", {Value(c.flags)})), c.result) << c.flags;
    }
    // NaN equals every number: as the pivot it stays first.
    EXPECT_EQ(text(call(array({NaN, 2, 1}), "sort", {Value(16.0)})), "NaN,1,2");
    EXPECT_EQ(text(call(array({2, NaN, 1}), "sort", {Value(16.0)})), "1,2,NaN");
}

TEST_F(ArrayRules, SortComparatorsAndUniqueness) {
    std::string log;
    auto comparator = [&](double answer) {
        return Value(static_cast<Object*>(vm.newFunction([&log, answer](avm1::CallArgs& c) {
            log +=
                c.machine.toString(c.arg(0)).str() + ":" + c.machine.toString(c.arg(1)).str() + " ";
            return std::isnan(answer)
                       ? Value(c.machine.toNumber(c.arg(0)) - c.machine.toNumber(c.arg(1)))
                       : Value(answer);
        })));
    };
    // The pivot is the comparator's first argument; the lower part is sorted first.
    Object* a = array({3, 1, 2});
    call(a, "sort", {comparator(NaN)});
    EXPECT_EQ(log, "3:1 3:2 2:1 ");
    EXPECT_EQ(text(a), "1,2,3");
    // UNIQUESORT asks the plain comparison, whatever the comparator said.
    log.clear();
    EXPECT_EQ(text(call(array({1, 1}), "sort", {comparator(-1), Value(4.0)})), "0");
    EXPECT_EQ(text(call(array({2, 1}), "sort", {comparator(0), Value(4.0)})), "2,1");
    // An object that is no function finds every pair equal: the flags still apply.
    EXPECT_EQ(text(call(array({1, 3, 2}), "sort", {Value(vm.newObject()), Value(2.0)})), "2,3,1");
    EXPECT_EQ(text(call(array({1, 3, 2}), "sort", {Value(vm.newObject())})), "1,3,2");
}

// Array.prototype's methods on an object {0: a, 1: b, 2: c, 3: d} with a given length: they
// count with its 32-bit value, negative ones included, change the length only where the
// table says, and leave the elements past it (shift and splice delete none of them).
TEST_F(ArrayRules, MethodsCountAnObjectsLengthAsA32BitInteger) {
    const struct {
        Value length;
        const char* method;
        std::vector<Value> args;
        const char* result;
        const char* after; // length, then elements 0 to 4
    } cases[] = {
        {Value(3.0), "shift", {}, "a", "3 b c c d undefined"},
        {Value(vm.str("2")), "shift", {}, "a", "2 b b c d undefined"},
        {Value(-1.0), "shift", {}, "a", "-1 a b c d undefined"},
        {Value(3.0), "pop", {}, "c", "3 a b undefined d undefined"},
        {Value(-1.0), "push", {}, "-1", "-1 a b c d undefined"},
        {Value(2.7), "push", {Value(vm.str("q"))}, "3", "3 a b q d undefined"},
        {Value(-1.0), "unshift", {}, "-1", "-1 a b c d undefined"},
        {Value(2.0), "unshift", {Value(0.0)}, "3", "2 0 a b d undefined"},
        {Value(2.0), "splice", {Value(0.0)}, "a,b", "0 a b c d undefined"},
        {Value(4294967298.0), "slice", {}, "a,b", "4294967298 a b c d undefined"},
        {Value(-1.0), "sort", {}, "[object Object]", "-1 a b c d undefined"},
        {Value(2.0), "concat", {Value(vm.str("z"))}, "a,b,z", "2 a b c d undefined"},
    };
    Object* proto = vm.get(vm.get(vm.global(), "Array").asObject(), "prototype").asObject();
    for (const auto& c : cases) {
        Object* o = vm.newObject();
        for (const char* k : {"0", "1", "2", "3"}) {
            vm.set(o, k, Value(vm.str(std::string(1, static_cast<char>('a' + (k[0] - '0'))))));
        }
        vm.set(o, "length", c.length);
        vm.set(o, "m", vm.get(proto, c.method));
        EXPECT_EQ(text(call(o, "m", c.args)), c.result) << c.method << " " << text(c.length);
        std::string after = text(vm.get(o, "length"));
        for (const char* k : {"0", "1", "2", "3", "4"}) {
            after += " " + text(vm.get(o, k));
        }
        EXPECT_EQ(after, c.after) << c.method << " " << text(c.length);
    }
    // A Number or String object is one value to concat; its length is not looked at.
    Value wrapped = Value(vm.toObject(Value(vm.str("abc"))));
    vm.set(wrapped.asObject(), "c", vm.get(proto, "concat"));
    EXPECT_EQ(text(call(wrapped.asObject(), "c", {Value(vm.str("-"))})), "abc,-");
    // An array whose length is -1 pushes at -1 and counts up to 0.
    Object* a = array({1, 2});
    vm.set(a, "length", Value(-1.0));
    EXPECT_EQ(vm.toNumber(call(a, "push", {Value(9.0)})), 0);
    EXPECT_EQ(text(a), "");
    EXPECT_EQ(text(vm.get(a, "-1")), "9");
}

// splice, shift and unshift move each element to its new place: a hole moves as a hole.
TEST_F(ArrayRules, EditsMoveHolesAsHoles) {
    const struct {
        const char* method;
        std::vector<Value> args;
        const char* indexes; // the indexes the array holds afterwards
        double length;
    } cases[] = {
        {"splice", {Value(0.0), Value(1.0)}, "2", 3},
        {"splice", {Value(1.0), Value(0.0), Value(vm.str("x"))}, "0 1 4", 5},
        {"splice", {Value(0.0), Value(0.0), Value(1.0), Value(2.0)}, "0 1 2 5", 6},
        {"shift", {}, "2", 3},
        {"unshift", {Value(0.0)}, "0 1 4", 5},
    };
    for (const auto& c : cases) {
        Object* a = array({1});
        vm.set(a, "3", Value(4.0));
        call(a, c.method, c.args);
        std::string held;
        for (int i = 0; i < 8; ++i) {
            if (vm.hasOwnProperty(a, vm.str(std::to_string(i)))) {
                held += (held.empty() ? "" : " ") + std::to_string(i);
            }
        }
        EXPECT_EQ(held, c.indexes) << c.method << " " << c.args.size();
        EXPECT_EQ(vm.toNumber(vm.get(a, "length")), c.length) << c.method;
    }
}

} // namespace
} // namespace avm1test
