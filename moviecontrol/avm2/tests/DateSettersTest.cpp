// Date's setters by table: every setter given no argument, undefined, NaN or Infinity, on a
// valid date and on an invalid one.

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

TEST(DateSetters, MissingAndNonFiniteArguments) {
    avm2test::FakeHost host;
    avm2::Machine vm{host};
    vm.beginFrame();
    const Value dateClass = Value::object(vm.findClass("Date")->classObject);
    const double start = 86400000.0 * 400 + 3723004;
    const double nan = std::nan("");
    struct Case {
        Args args;
        bool unchanged; // otherwise the date becomes invalid
    };
    const Case table[] = {{{}, true},
                          {{Value()}, false},
                          {{Value::number(nan)}, false},
                          {{Value::number(INFINITY)}, false},
                          {{Value::number(-INFINITY)}, false}};
    for (const char* setter :
         {"setFullYear", "setMonth", "setDate", "setHours", "setMinutes", "setSeconds",
          "setMilliseconds", "setUTCFullYear", "setUTCMonth", "setUTCDate", "setUTCHours",
          "setUTCMinutes", "setUTCSeconds", "setUTCMilliseconds"}) {
        for (const Case& c : table) {
            Args ctor{Value::number(start)};
            const Value d = vm.construct(dateClass, ctor);
            Args args = c.args;
            const double answer = vm.toNumber(vm.callProperty(d, Name::publicName(setter), args));
            Args none;
            const double time = vm.toNumber(vm.callProperty(d, Name::publicName("getTime"), none));
            if (c.unchanged) {
                EXPECT_EQ(answer, start) << setter << " with " << c.args.size();
                EXPECT_EQ(time, start) << setter;
            } else {
                EXPECT_TRUE(std::isnan(answer) && std::isnan(time)) << setter;
            }
        }
        Args ctor{Value::number(nan)};
        const Value invalid = vm.construct(dateClass, ctor);
        Args none;
        EXPECT_TRUE(
            std::isnan(vm.toNumber(vm.callProperty(invalid, Name::publicName(setter), none))))
            << setter << " leaves an invalid date invalid";
    }
}

} // namespace
