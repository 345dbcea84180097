// Date's argument rules: the list ends at the first undefined argument, two-digit and
// negative years count from 1900, fields saturate instead of failing, and setters fill in
// what they were not given from the date itself.

#include "FakeStage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace avm1test {
namespace {

using avm1::Object;
using avm1::Value;

constexpr double Day = 86400000.0;
const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

class DateRules : public ::testing::TestWithParam<int> {
  protected:
    DateRules() : stage(GetParam()), vm(stage.vm) {
        stage.offsetMinutes = 0;
        stage.wallClock = 1234567.0;
        date = vm.get(vm.global(), "Date").asObject();
    }
    Object* make(std::vector<Value> args) { return vm.construct(Value(date), args); }
    double time(Object* d) { return vm.toNumber(vm.callMethod(d, "getTime", {})); }
    double call(Object* o, std::string_view method, std::vector<Value> args = {}) {
        return vm.toNumber(vm.callMethod(o, method, args));
    }
    std::string text(Object* d) { return vm.toString(Value(d)).str(); }

    FakeStage stage;
    avm1::Machine& vm;
    Object* date = nullptr;
};

// Compares numbers with NaN equal to NaN.
void expectSame(double actual, double expected, const std::string& what) {
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual)) << what << " gave " << actual;
    } else {
        EXPECT_EQ(actual, expected) << what;
    }
}

TEST_P(DateRules, ConstructorForms) {
    const Value u;
    const struct {
        const char* what;
        std::vector<Value> args;
        double time;
    } cases[] = {
        {"no arguments", {}, 1234567},
        {"undefined is no argument", {u}, 1234567},
        {"undefined ends the list", {Value(5.0), u, Value(7.0)}, 5},
        {"one number is kept as given", {Value(1.5)}, 1.5},
        {"one infinity is kept", {Value(Inf)}, Inf},
        {"one string is a number", {Value(vm.str("86400000"))}, Day},
        {"years 0-99 are 19xx", {Value(70.0), Value(0.0)}, 0},
        {"negative years count from 1900", {Value(-1830.0), Value(0.0)}, -59958144000000.0},
        {"months roll into years", {Value(1969.0), Value(12.0), Value(2.0)}, Day},
        {"negative months roll back", {Value(1971.0), Value(-12.0)}, 0},
        {"fractions are floored", {Value(1970.0), Value(0.0), Value(1.9), Value(0.5)}, 0},
        {"a NaN month is no date", {Value(1970.0), Value(NaN)}, NaN},
        {"an infinite day is infinite", {Value(1970.0), Value(0.0), Value(Inf)}, Inf},
        {"both infinities are no date", {Value(1970.0), Value(0.0), Value(Inf), Value(-Inf)}, NaN},
    };
    for (const auto& c : cases) {
        expectSame(time(make(c.args)), c.time, c.what);
    }
    // The year 70 AD can only be had as 70 - 1900.
    EXPECT_EQ(call(make({Value(-1830.0), Value(0.0)}), "getUTCFullYear"), 70);
    // A NaN year lands at the far end of the 32-bit years instead of failing.
    double farAway = time(make({Value(NaN), Value(0.0)}));
    EXPECT_TRUE(std::isfinite(farAway));
    EXPECT_LT(farAway, -6e19);
}

TEST_P(DateRules, UtcNeedsYearAndMonth) {
    Object* utc = date;
    EXPECT_TRUE(vm.callMethod(utc, "UTC", std::vector<Value>{}).isUndefined());
    EXPECT_TRUE(vm.callMethod(utc, "UTC", std::vector<Value>{Value(2000.0)}).isUndefined());
    EXPECT_TRUE(
        vm.callMethod(utc, "UTC", std::vector<Value>{Value(2000.0), Value()}).isUndefined());
    EXPECT_EQ(call(utc, "UTC", {Value(70.0), Value(0.0), Value(2.0)}), Day);
    EXPECT_EQ(call(utc, "UTC", {Value(2000.0), Value(1.0), Value(29.0), Value(12.0)}),
              951825600000.0);
}

TEST_P(DateRules, FieldsBeforeAndAfter1970) {
    Object* d = make({Value(-1.0)});
    EXPECT_EQ(call(d, "getUTCFullYear"), 1969);
    EXPECT_EQ(call(d, "getUTCMonth"), 11);
    EXPECT_EQ(call(d, "getUTCDate"), 31);
    EXPECT_EQ(call(d, "getUTCHours"), 23);
    EXPECT_EQ(call(d, "getUTCMilliseconds"), 999);
    EXPECT_EQ(call(d, "getUTCDay"), 3);
    EXPECT_EQ(call(d, "getYear"), 69);
    Object* leap = make({Value(951782400000.0)}); // 29 Feb 2000
    EXPECT_EQ(call(leap, "getUTCMonth"), 1);
    EXPECT_EQ(call(leap, "getUTCDate"), 29);
}

TEST_P(DateRules, SettersTakeWhatTheyAreGiven) {
    const struct {
        const char* method;
        std::vector<Value> args;
        double time;
    } cases[] = {
        {"setUTCFullYear", {Value(1971.0)}, 365 * Day},
        {"setUTCFullYear", {Value(1970.0), Value(1.0), Value(1.0)}, 31 * Day},
        {"setUTCFullYear", {Value(1970.0), Value(), Value(5.0)}, 0},
        {"setUTCMonth", {Value(NaN)}, 0},
        {"setUTCMonth", {}, 0},
        {"setUTCMonth", {Value(1.0), Value(NaN)}, NaN},
        {"setUTCMonth", {Value(13.0)}, 396 * Day},
        {"setUTCDate", {}, NaN},
        {"setUTCDate", {Value(32.0)}, 31 * Day},
        {"setUTCDate", {Value(0.0)}, -Day},
        {"setUTCHours", {Value(25.0)}, 25 * 3600000.0},
        {"setUTCHours", {Value(1.0), Value(-1.0)}, 3540000},
        {"setUTCSeconds", {Value(1.0), Value(1.5)}, 1001},
        {"setUTCMilliseconds", {Value(-1.0)}, -1},
        {"setUTCMilliseconds", {Value(Inf)}, NaN},
        {"setUTCMinutes", {Value(NaN)}, -2147483648.0 * 60000}, // saturates
        {"setTime", {Value(8.64e15 + 1)}, NaN},
        {"setTime", {Value(2.7)}, 2},
        {"setTime", {Value(-0.5)}, -1},
        {"setTime", {Value(-1.7)}, -2},
        {"setTime", {}, NaN},
        {"setYear", {Value(99.0)}, 915148800000.0},
        {"setYear", {Value(100.0)}, -59011459200000.0},
    };
    for (const auto& c : cases) {
        Object* d = make({Value(0.0)});
        double returned = call(d, c.method, c.args);
        expectSame(returned, c.time, c.method);
        expectSame(time(d), c.time, std::string(c.method) + " stored");
    }
}

TEST_P(DateRules, InvalidDatesStayInvalidWhateverIsSet) {
    for (const char* s : {"setUTCMonth", "setUTCDate", "setUTCHours", "setMinutes",
                          "setUTCFullYear", "setFullYear", "setYear"}) {
        Object* d = make({Value(NaN)});
        EXPECT_TRUE(std::isnan(call(d, s, {Value(1971.0)}))) << s;
        EXPECT_TRUE(std::isnan(time(d))) << s;
    }
}

TEST_P(DateRules, TimeOfDayBefore1970DependsOnVersion) {
    // 23:00 on 31 December 1969: moving it to the 15th keeps the hour from version 8 on;
    // before, the time of day counts back from midnight and the date lands a day early.
    Object* d = make({Value(-3600000.0)});
    call(d, "setUTCDate", {Value(15.0)});
    double expected = GetParam() > 7 ? -17 * Day + 82800000.0 : -17 * Day - 3600000.0;
    EXPECT_EQ(time(d), expected);
}

// Date's methods work on dates only: on any other object, Date.prototype included, they
// answer undefined and change nothing; an object that inherits Date's toString prints as
// an object without a usable toString.
TEST_P(DateRules, MethodsOnWhatIsNoDateAnswerUndefined) {
    Object* proto = vm.get(date, "prototype").asObject();
    Object* plain = vm.newObject();
    Object* heir = vm.newObject();
    heir->setProto(proto);
    for (Object* self : {proto, plain, heir}) {
        for (const char* method : {"toString", "getTime", "valueOf", "getUTCFullYear", "getDay",
                                   "setTime", "setUTCHours", "getTimezoneOffset"}) {
            Value fn = vm.get(proto, method);
            ASSERT_TRUE(fn.isObject()) << method;
            EXPECT_TRUE(vm.call(fn, Value(self), std::vector<Value>{Value(5.0)}).isUndefined())
                << method;
        }
    }
    EXPECT_EQ(text(heir), "[type Object]");
    EXPECT_EQ(text(make({Value(0.0)})).empty(), false);
}

INSTANTIATE_TEST_SUITE_P(Versions, DateRules, ::testing::Values(6, 8));

} // namespace
} // namespace avm1test
