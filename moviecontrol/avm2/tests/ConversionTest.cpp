// Conversions and type checks through the machine: every kind of value to every primitive
// target and to Object and Array, `is` against classes and their subclasses, and the
// coercion errors a script sees.

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using avm2::Value;

// What a value is and holds, as one string a table can compare.
std::string describe(avm2::Machine& vm, const Value& v) {
    switch (v.type()) {
    case Value::Type::Undefined:
        return "undefined";
    case Value::Type::Null:
        return "null";
    case Value::Type::Boolean:
        return v.asBoolean() ? "Boolean true" : "Boolean false";
    case Value::Type::Int:
        return "int " + std::to_string(v.asInt());
    case Value::Type::Number:
        return "Number " + avm2::numberToString(v.asNumber());
    case Value::Type::String:
        return "String '" + v.asString() + "'";
    case Value::Type::Object:
        return "Object " + vm.className(v);
    }
    return "?";
}

struct Conversion {
    const char* from;
    const char* toInt;
    const char* toUint;
    const char* toNumber;
    const char* toBoolean;
    const char* toString;
    const char* toObject;
};

class Conversions : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value sample(const std::string& what) {
        const double inf = std::numeric_limits<double>::infinity();
        if (what == "undefined") {
            return Value();
        }
        if (what == "null") {
            return Value::null();
        }
        if (what == "true") {
            return Value::boolean(true);
        }
        if (what == "false") {
            return Value::boolean(false);
        }
        if (what == "[1,2]") {
            return Value::object(vm.newArray({Value::integer(1), Value::integer(2)}));
        }
        if (what == "{}") {
            return Value::object(vm.newObject());
        }
        if (what == "NaN") {
            return Value::number(std::nan(""));
        }
        if (what == "Infinity") {
            return Value::number(inf);
        }
        if (what == "-Infinity") {
            return Value::number(-inf);
        }
        if (what[0] == '\'') {
            return Value::string(what.substr(1, what.size() - 2));
        }
        if (what.find_first_of(".e") != std::string::npos || what.size() > 9) {
            return Value::number(std::stod(what));
        }
        return Value::integer(std::stoi(what));
    }
};

TEST_F(Conversions, EveryKindOfValueToEveryTarget) {
    const std::vector<Conversion> table = {
        {"undefined", "int 0", "int 0", "Number NaN", "Boolean false", "null", "null"},
        {"null", "int 0", "int 0", "Number 0", "Boolean false", "null", "null"},
        {"true", "int 1", "int 1", "Number 1", "Boolean true", "String 'true'", "Boolean true"},
        {"false", "int 0", "int 0", "Number 0", "Boolean false", "String 'false'", "Boolean false"},
        {"0", "int 0", "int 0", "Number 0", "Boolean false", "String '0'", "int 0"},
        {"-1", "int -1", "Number 4294967295", "Number -1", "Boolean true", "String '-1'", "int -1"},
        {"2.75", "int 2", "int 2", "Number 2.75", "Boolean true", "String '2.75'", "Number 2.75"},
        {"-2.75", "int -2", "Number 4294967294", "Number -2.75", "Boolean true", "String '-2.75'",
         "Number -2.75"},
        {"NaN", "int 0", "int 0", "Number NaN", "Boolean false", "String 'NaN'", "Number NaN"},
        {"Infinity", "int 0", "int 0", "Number Infinity", "Boolean true", "String 'Infinity'",
         "Number Infinity"},
        {"-Infinity", "int 0", "int 0", "Number -Infinity", "Boolean true", "String '-Infinity'",
         "Number -Infinity"},
        // 2^32 + 5 wraps; 2^31 turns negative as an int.
        {"4294967301.0", "int 5", "int 5", "Number 4294967301", "Boolean true",
         "String '4294967301'", "Number 4294967301"},
        {"2147483648.0", "int -2147483648", "Number 2147483648", "Number 2147483648",
         "Boolean true", "String '2147483648'", "Number 2147483648"},
        {"1e21", "int -559939584", "Number 3735027712", "Number 1e+21", "Boolean true",
         "String '1e+21'", "Number 1e+21"},
        {"''", "int 0", "int 0", "Number 0", "Boolean false", "String ''", "String ''"},
        {"'0'", "int 0", "int 0", "Number 0", "Boolean true", "String '0'", "String '0'"},
        {"' 12 '", "int 12", "int 12", "Number 12", "Boolean true", "String ' 12 '",
         "String ' 12 '"},
        {"'0x1A'", "int 26", "int 26", "Number 26", "Boolean true", "String '0x1A'",
         "String '0x1A'"},
        {"'1e3'", "int 1000", "int 1000", "Number 1000", "Boolean true", "String '1e3'",
         "String '1e3'"},
        {"'abc'", "int 0", "int 0", "Number NaN", "Boolean true", "String 'abc'", "String 'abc'"},
        {"[1,2]", "int 0", "int 0", "Number NaN", "Boolean true", "String '1,2'", "Object Array"},
        {"{}", "int 0", "int 0", "Number NaN", "Boolean true", "String '[object Object]'",
         "Object Object"},
    };
    for (const Conversion& c : table) {
        const Value v = sample(c.from);
        EXPECT_EQ(describe(vm, vm.coerce(v, vm.intClass)), c.toInt) << c.from;
        EXPECT_EQ(describe(vm, vm.coerce(v, vm.uintClass)), c.toUint) << c.from;
        EXPECT_EQ(describe(vm, vm.coerce(v, vm.numberClass)), c.toNumber) << c.from;
        EXPECT_EQ(describe(vm, vm.coerce(v, vm.booleanClass)), c.toBoolean) << c.from;
        EXPECT_EQ(describe(vm, vm.coerce(v, vm.stringClass)), c.toString) << c.from;
        EXPECT_EQ(describe(vm, vm.coerce(v, vm.objectClass)), c.toObject) << c.from;
    }
}

TEST_F(Conversions, CoercingToAnUnrelatedClassIsATypeError) {
    // The message shows the value as Flash's error text does: a string in quotes, an object
    // by its class's qualified name and its address.
    const std::pair<std::string, std::string> refused[] = {{"0", "0 to"},
                                                           {"'abc'", "\"abc\" to"},
                                                           {"''", "\"\" to"},
                                                           {"true", "true to"},
                                                           {"{}", "Object@"}};
    for (const auto& [what, shown] : refused) {
        try {
            vm.coerce(sample(what), vm.arrayClass);
            ADD_FAILURE() << what << " became an Array";
        } catch (const avm2::ScriptThrow& t) {
            EXPECT_EQ(vm.className(t.value), "TypeError") << what;
            EXPECT_NE(
                vm.toString(t.value).find("#1034: Type Coercion failed: cannot convert " + shown),
                std::string::npos)
                << what << ": " << vm.toString(t.value);
        }
    }
    // A player class's instance shows by its package-qualified name.
    avm2::Args none;
    const Value bytes =
        vm.construct(Value::object(vm.findClass("flash.utils::ByteArray")->classObject), none);
    try {
        vm.coerce(bytes, vm.arrayClass);
        ADD_FAILURE() << "a ByteArray became an Array";
    } catch (const avm2::ScriptThrow& t) {
        EXPECT_NE(vm.toString(t.value).find("cannot convert flash.utils::ByteArray@"),
                  std::string::npos)
            << vm.toString(t.value);
    }
    // null and undefined pass as null; an array stays itself.
    EXPECT_TRUE(vm.coerce(Value(), vm.arrayClass).isNull());
    EXPECT_TRUE(vm.coerce(Value::null(), vm.arrayClass).isNull());
    const Value array = sample("[1,2]");
    EXPECT_EQ(vm.coerce(array, vm.arrayClass).asObject(), array.asObject());
}

TEST_F(Conversions, IsChecksByValueForNumbersAndByClassForObjects) {
    struct IsCase {
        const char* value;
        bool isInt, isUint, isNumber, isString, isObject, isArray;
    };
    const std::vector<IsCase> table = {
        {"5", true, true, true, false, true, false},
        {"-5", true, false, true, false, true, false},
        {"5.0", true, true, true, false, true, false},
        {"5.5", false, false, true, false, true, false},
        {"4294967295.0", false, true, true, false, true, false},
        {"NaN", false, false, true, false, true, false},
        {"'5'", false, false, false, true, true, false},
        {"null", false, false, false, false, false, false},
        {"undefined", false, false, false, false, false, false},
        {"[1,2]", false, false, false, false, true, true},
        {"{}", false, false, false, false, true, false},
    };
    for (const IsCase& c : table) {
        const Value v = sample(c.value);
        EXPECT_EQ(vm.isType(v, vm.intClass), c.isInt) << c.value;
        EXPECT_EQ(vm.isType(v, vm.uintClass), c.isUint) << c.value;
        EXPECT_EQ(vm.isType(v, vm.numberClass), c.isNumber) << c.value;
        EXPECT_EQ(vm.isType(v, vm.stringClass), c.isString) << c.value;
        EXPECT_EQ(vm.isType(v, vm.objectClass), c.isObject) << c.value;
        EXPECT_EQ(vm.isType(v, vm.arrayClass), c.isArray) << c.value;
    }
    // An error made by the machine is an instance of its class and of every class above.
    const Value error = Value::object(vm.makeError("RangeError", 1, "x"));
    EXPECT_TRUE(vm.isType(error, vm.findClass("RangeError")));
    EXPECT_TRUE(vm.isType(error, vm.errorClass));
    EXPECT_FALSE(vm.isType(error, vm.findClass("TypeError")));
}

TEST_F(Conversions, EqualityFollowsTheLanguageNotTheRepresentation) {
    // An int and a Number holding the same value are one value.
    EXPECT_TRUE(vm.strictEquals(Value::integer(3), Value::number(3.0)));
    EXPECT_FALSE(vm.strictEquals(Value::integer(3), Value::string("3")));
    EXPECT_TRUE(vm.looseEquals(Value::integer(3), Value::string("3")));
    EXPECT_TRUE(vm.looseEquals(Value::boolean(true), Value::string("1")));
    EXPECT_FALSE(vm.looseEquals(Value::null(), Value::integer(0)));
    EXPECT_FALSE(vm.looseEquals(sample("NaN"), sample("NaN")));
    EXPECT_TRUE(vm.looseEquals(sample("[1,2]"), Value::string("1,2")));
    const Value a = sample("{}");
    EXPECT_TRUE(vm.strictEquals(a, a));
    EXPECT_FALSE(vm.strictEquals(a, sample("{}")));
}

} // namespace
