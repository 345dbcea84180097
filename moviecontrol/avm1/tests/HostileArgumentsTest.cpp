// Numbers no index can hold (NaN, the infinities, huge and negative ones) reach the
// built-ins from any movie. Each follows the language's conversions (ToInteger, ToInt32,
// TimeClip); none may crash, hang or allocate without bound.

#include "FakeStage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace avm1test {
namespace {

using avm1::Object;
using avm1::Str;
using avm1::Value;

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

class HostileArguments : public ::testing::TestWithParam<int> {
  protected:
    HostileArguments() : stage(GetParam(), limits()), vm(stage.vm) {}
    static avm1::Limits limits() {
        avm1::Limits l;
        l.msPerFrame = 5000;
        return l;
    }
    Object* construct(std::string_view cls, std::vector<Value> args = {}) {
        return vm.construct(vm.get(vm.global(), cls), args);
    }
    Value call(Object* o, std::string_view method, std::vector<Value> args = {}) {
        return vm.callMethod(o, method, args);
    }
    std::string text(const Value& v) { return vm.toString(v).str(); }
    Object* string(std::string_view s) { return vm.toObject(Value(Str(s))); }

    FakeStage stage;
    avm1::Machine& vm;
};

TEST_P(HostileArguments, DatesBeyondTheRangeReadSaturatedFields) {
    // A time that is not finite has no calendar; the constructor keeps it as given.
    for (double t : {Inf, -Inf, NaN}) {
        Object* d = construct("Date", {Value(t)});
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(text(call(d, "toString")), "Invalid Date") << t;
        double kept = vm.toNumber(call(d, "getTime"));
        EXPECT_TRUE(kept == t || (std::isnan(kept) && std::isnan(t))) << t;
        EXPECT_TRUE(std::isnan(vm.toNumber(call(d, "getFullYear")))) << t;
        EXPECT_TRUE(std::isnan(vm.toNumber(call(d, "getDay")))) << t;
        EXPECT_TRUE(std::isnan(vm.toNumber(call(d, "setUTCHours", {Value(1)})))) << t;
    }
    // A finite one past 8.64e15 ms either way is kept and read, its year and day within the
    // year saturating at the lowest 32-bit integer; setting any field clips it away.
    for (double t : {8.64e15 + 1, -8.64e15 - 1, 1e20, -1e20, 1e300, -1e300}) {
        Object* d = construct("Date", {Value(t)});
        EXPECT_EQ(vm.toNumber(call(d, "getTime")), t);
        EXPECT_NE(text(call(d, "toString")), "Invalid Date") << t;
        for (const char* getter : {"getUTCFullYear", "getUTCMonth", "getUTCDate", "getUTCDay",
                                   "getUTCHours", "getUTCMilliseconds"}) {
            EXPECT_TRUE(std::isfinite(vm.toNumber(call(d, getter)))) << getter << " " << t;
        }
        EXPECT_TRUE(std::isnan(vm.toNumber(call(d, "setUTCHours", {Value(1)})))) << t;
    }
    Object* far = construct("Date", {Value(1e20)});
    EXPECT_EQ(vm.toNumber(call(far, "getUTCFullYear")), -2147481678.0);
    EXPECT_EQ(vm.toNumber(call(far, "getUTCYear")), -2147483578.0);
    EXPECT_EQ(vm.toNumber(call(far, "getUTCMonth")), 0);
    EXPECT_EQ(vm.toNumber(call(far, "getUTCDate")), -2147483647.0);
    EXPECT_EQ(vm.toNumber(call(far, "getUTCDay")), 3);
    EXPECT_EQ(vm.toNumber(call(far, "getUTCHours")), 9);
    EXPECT_EQ(vm.toNumber(call(far, "getUTCMinutes")), 46);
    EXPECT_EQ(vm.toNumber(call(far, "getUTCSeconds")), 40);
    Object* edge = construct("Date", {Value(8.64e15)});
    EXPECT_EQ(vm.toNumber(call(edge, "getTime")), 8.64e15);
    EXPECT_EQ(vm.toNumber(call(edge, "getUTCFullYear")), 275760);

    // The setters clip.
    Object* d = construct("Date", {Value(0.0)});
    EXPECT_TRUE(std::isnan(vm.toNumber(call(d, "setTime", {Value(Inf)}))));
    EXPECT_EQ(text(call(d, "toString")), "Invalid Date");
    call(d, "setTime", {Value(0.0)});
    EXPECT_TRUE(std::isnan(vm.toNumber(call(d, "setUTCFullYear", {Value(1e10)}))));
    call(d, "setTime", {Value(0.0)});
    EXPECT_EQ(vm.toNumber(call(d, "setUTCMilliseconds", {Value(8.64e15)})), 8.64e15);
    EXPECT_TRUE(std::isnan(vm.toNumber(call(d, "setUTCMilliseconds", {Value(8.64e15 + 1)}))));
    Object* fields = construct("Date", {Value(2000), Value(Inf), Value(1)});
    EXPECT_EQ(text(call(fields, "toString")), "Invalid Date");
    // Huge years saturate at 32 bits instead of failing.
    Value utc = call(vm.get(vm.global(), "Date").asObject(), "UTC", {Value(1e300), Value(0)});
    EXPECT_TRUE(std::isfinite(vm.toNumber(utc)));
    EXPECT_LT(vm.toNumber(utc), -6e19);
}

TEST_P(HostileArguments, StringIndexesWrapAsInt32) {
    // Index arguments go through ToInt32: NaN and the infinities read 0, 2^32 + 1 reads 1.
    Object* s = string("abc");
    EXPECT_EQ(text(call(s, "charAt", {Value(NaN)})), "a");
    EXPECT_EQ(text(call(s, "charAt", {Value(Inf)})), "a");
    EXPECT_EQ(text(call(s, "charAt", {Value(4294967297.0)})), "b");
    EXPECT_EQ(text(call(s, "charAt", {Value(-1)})), "");
    // Past the end version 5 reads the closing zero; later versions give NaN.
    if (GetParam() < 6) {
        EXPECT_EQ(vm.toNumber(call(s, "charCodeAt", {Value(3)})), 0);
    } else {
        EXPECT_TRUE(std::isnan(vm.toNumber(call(s, "charCodeAt", {Value(3)}))));
    }
    EXPECT_TRUE(std::isnan(vm.toNumber(call(s, "charCodeAt", {Value(-1)}))));
    EXPECT_EQ(text(call(s, "substr", {Value(-Inf)})), "abc");
    EXPECT_EQ(text(call(s, "substr", {Value(1), Value(4294967297.0)})), "b");
    EXPECT_EQ(text(call(s, "substr", {Value(1), Value(1e300)})), ""); // a multiple of 2^32
    EXPECT_EQ(text(call(s, "substring", {Value(1), Value(NaN)})), "a");
    EXPECT_EQ(text(call(s, "slice", {Value(-2), Value(Inf)})), "");
    EXPECT_EQ(text(call(s, "slice", {Value(-2147483649.0)})), "");
    EXPECT_EQ(vm.toNumber(call(s, "indexOf", {Value(Str("c")), Value(-Inf)})), 2);
    EXPECT_EQ(vm.toNumber(call(s, "lastIndexOf", {Value(Str("a")), Value(NaN)})), 0);
    EXPECT_EQ(text(call(vm.get(vm.global(), "String").asObject(), "fromCharCode",
                        {Value(65536 + 66), Value(NaN), Value(67)})),
              "B");
    // Version 5 players left the text whole at an empty separator. The limit is a 32-bit
    // integer too: the infinities allow no part, 2^32 + 2 two.
    Value parts = call(s, "split", {Value(Str("")), Value(Inf)});
    EXPECT_EQ(text(parts), GetParam() < 6 ? "abc" : "");
    parts = call(s, "split", {Value(Str("")), Value(4294967298.0)});
    EXPECT_EQ(text(parts), GetParam() < 6 ? "abc" : "a,b");
}

TEST_P(HostileArguments, NumbersPrintInAnyRadix) {
    Object* n = vm.toObject(Value(255));
    EXPECT_EQ(text(call(n, "toString", {Value(16)})), "ff");
    EXPECT_EQ(text(call(n, "toString", {Value(Inf)})), "255");
    EXPECT_EQ(text(call(n, "toString", {Value(NaN)})), "255");
    EXPECT_EQ(text(call(n, "toString", {Value(37)})), "255");
    EXPECT_EQ(text(call(vm.toObject(Value(-Inf)), "toString", {Value(2)})).size(), 33u);
}

TEST_P(HostileArguments, ArraysKeepTheirLengthWithinBounds) {
    // A length that is no count reads back as given and counts as its 32-bit value, a
    // negative one too: push then stores at -1 and counts up to 0.
    const std::pair<double, double> pushes[] = {{NaN, 1}, {-Inf, 1},  {-1.0, 0},
                                                {Inf, 1}, {1e300, 1}, {4294967296.0, 1}};
    for (const auto& [n, pushed] : pushes) {
        Object* a = construct("Array");
        vm.set(a, "length", Value(n));
        double kept = vm.toNumber(vm.get(a, "length"));
        EXPECT_TRUE(kept == n || (std::isnan(kept) && std::isnan(n))) << n;
        EXPECT_EQ(vm.toNumber(call(a, "push", {Value(1)})), pushed) << n;
        EXPECT_EQ(text(call(a, "slice", {Value(-Inf), Value(NaN)})), "") << n;
        EXPECT_EQ(text(call(a, "splice", {Value(Inf), Value(Inf)})), "") << n;
    }
    // The largest count is kept; working through it stops at the budget.
    Object* huge = construct("Array");
    vm.set(huge, "length", Value(2147483647.0));
    EXPECT_EQ(vm.toNumber(vm.get(huge, "length")), 2147483647.0);
    EXPECT_TRUE(call(huge, "reverse").isUndefined());
    Object* a = vm.newArray(std::vector<Value>{Value(1), Value(2), Value(3)});
    EXPECT_EQ(text(call(a, "slice", {Value(-Inf)})), "1,2,3");
    EXPECT_EQ(text(call(a, "splice", {Value(NaN), Value(1)})), "1");
    EXPECT_EQ(text(Value(a)), "2,3");
}

// Every method of every class on _global, called plain and as a constructor, on a
// fresh instance and on the prototype, with each list of hostile arguments. Nothing is
// expected of the results but that they come.
TEST_P(HostileArguments, EveryBuiltinTakesThemAll) {
    avm1::Root cycle(vm, vm.newObject());
    vm.set(cycle.get(), "self", Value(cycle.get()));
    avm1::Root cyclicArray(vm, vm.newArray());
    vm.set(cyclicArray.get(), "0", Value(cyclicArray.get()));
    const std::vector<std::vector<Value>> argumentLists = {
        {},
        {Value(NaN), Value(NaN), Value(NaN)},
        {Value(Inf), Value(-Inf), Value(Inf), Value(-Inf)},
        {Value(-1e300), Value(1e300), Value(-2147483649.0), Value(4294967296.0)},
        {Value(-0.5), Value(-1), Value(8.64e15 + 1)},
        {Value(Str(std::string(1 << 16, 'x'))), Value(1e9)},
        {Value(cycle.get()), Value(cyclicArray.get()), Value(Str("")), Value::null()},
    };
    std::vector<std::pair<Str, Object*>> classes;
    vm.global()->properties().forEach([&](const avm1::Property& p) {
        if (Object* o = p.value.asObject(); o && o->asFunction()) {
            classes.emplace_back(p.name, o);
        }
    });
    ASSERT_GT(classes.size(), 20u);
    std::size_t calls = 0;
    for (const auto& [name, cls] : classes) {
        std::vector<Object*> receivers = {cls};
        Object* proto = vm.get(cls, "prototype").asObject();
        if (proto) {
            receivers.push_back(proto);
        }
        if (Object* instance = vm.construct(Value(cls), {})) {
            receivers.push_back(instance);
        }
        for (const auto& args : argumentLists) {
            vm.beginFrame();
            vm.call(Value(cls), Value(), args);
            vm.construct(Value(cls), args);
            for (Object* receiver : receivers) {
                std::vector<Str> methods;
                Object* holder = receiver == cls || !proto ? receiver : proto;
                holder->properties().forEach([&](const avm1::Property& p) {
                    if (Object* f = p.value.asObject(); f && f->asFunction()) {
                        methods.push_back(p.name);
                    }
                });
                for (const Str& method : methods) {
                    vm.callMethod(receiver, method.view(), args);
                    ++calls;
                }
            }
        }
        vm.collectGarbage();
    }
    EXPECT_GT(calls, 1000u);
    // The machine still works afterwards.
    EXPECT_EQ(text(call(string("abc"), "toUpperCase")), "ABC");
}

INSTANTIATE_TEST_SUITE_P(Versions, HostileArguments, ::testing::Values(5, 6, 7, 8));

} // namespace
} // namespace avm1test
