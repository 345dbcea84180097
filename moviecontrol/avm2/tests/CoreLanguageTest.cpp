// The language core's rules by table: Number's fixed, exponential and precision layouts;
// Dictionary keys (objects by identity, the rest by their string); the names for-in gives;
// Array.removeAt/insertAt; signed integers in the ABC constant pool.

#include "AbcBuilder.h"
#include "FakeHost.h"

#include "avm2/AbcReader.h"
#include "avm2/ByteArrayData.h"
#include "avm2/DictionaryStore.h"
#include "avm2/Enumeration.h"
#include "avm2/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

struct FormatCase {
    double value;
    int digits;
    const char* fixed;
    const char* exponential;
    const char* precision;
};

TEST(NumberLayouts, FixedExponentialAndPrecision) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<FormatCase> table = {
        {123.456, 2, "123.46", "1.23e+2", "1.2e+2"},
        {0, 2, "0.00", "0.00e+0", "0.0"},
        {-1.5, 0, "-2", "-2e+0", ""},
        {0.000001234, 3, "0.000", "1.234e-6", "0.00000123"},
        {1e-7, 1, "0.0", "1.0e-7", "1e-7"},
        {-0.0001, 2, "0.00", "-1.00e-4", "-0.00010"},
        {1e21, 2, "1000000000000000000000.00", "1.00e+21", "1.0e+21"},
        {123456, 6, "123456.000000", "1.234560e+5", "123456"},
        {99.99, 1, "100.0", "1.0e+2", "1e+2"},
        // Exact ties round up, away from zero.
        {2.5, 0, "3", "3e+0", ""},
        {-0.125, 2, "-0.13", "-1.25e-1", "-0.13"},
        {0.5, 0, "1", "5e-1", ""},
        {0.0004, 2, "0.00", "4.00e-4", "0.00040"},
        {0.005, 2, "0.01", "5.00e-3", "0.0050"},
        {std::nan(""), 2, "NaN", "NaN", "NaN"},
        {-inf, 2, "-Infinity", "-Infinity", "-Infinity"},
    };
    for (const FormatCase& c : table) {
        EXPECT_EQ(avm2::numberToFixedText(c.value, c.digits), c.fixed) << c.value;
        EXPECT_EQ(avm2::numberToExponentialText(c.value, c.digits), c.exponential) << c.value;
        if (c.digits > 0) {
            EXPECT_EQ(avm2::numberToPrecisionText(c.value, c.digits), c.precision) << c.value;
        }
    }
    // No digit count: the digits it takes to tell the number apart.
    EXPECT_EQ(avm2::numberToExponentialText(123.456, -1), "1.23456e+2");
    EXPECT_EQ(avm2::numberToExponentialText(5, -1), "5e+0");
}

class Core : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    std::string call(const Value& target, const std::string& method, Args args) {
        try {
            return vm.toString(vm.callProperty(target, Name::publicName(method), args));
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
    }
    Value dictionary() {
        Args none;
        return vm.construct(Value::object(vm.findClass("flash.utils::Dictionary")->classObject),
                            none);
    }
    // A key as `d[key]` passes it: its string, and the object itself when it is one.
    Name key(const Value& k) { return avm2::dictionaryName(vm.toString(k), k); }
};

TEST_F(Core, NumberMethodsCheckTheirDigitCounts) {
    const std::string range =
        "RangeError: Error #1002: Number.toPrecision has a range of 1 to 21. Number.toFixed and "
        "Number.toExponential have a range of 0 to 20. Specified value is not within expected "
        "range.";
    const Value n = Value::number(12.5);
    const std::vector<std::tuple<const char*, Value, std::string>> table = {
        {"toFixed", Value::integer(21), range},
        {"toFixed", Value::integer(-1), range},
        {"toFixed", Value(), "13"},
        {"toFixed", Value::number(std::nan("")), "13"},
        {"toExponential", Value::integer(21), range},
        {"toExponential", Value::number(1.9), "1.3e+1"},
        {"toPrecision", Value::integer(0), range},
        {"toPrecision", Value::integer(22), range},
        {"toPrecision", Value(), "12.5"},
        {"toPrecision", Value::integer(21), "12.5000000000000000000"},
    };
    for (const auto& [method, digits, expected] : table) {
        EXPECT_EQ(call(n, method, {digits}), expected) << method << " " << vm.toString(digits);
    }
    // The digit count defaults to 0 and is read as an int: undefined and a missing count ask
    // toExponential for no fraction digits, and a missing count is out of toPrecision's range,
    // which prints the number as toString does only for an argument equal to undefined.
    const std::vector<std::tuple<const char*, Args, std::string>> defaults = {
        {"toExponential", {}, "1e+1"},
        {"toExponential", {Value()}, "1e+1"},
        {"toExponential", {Value::null()}, "1e+1"},
        {"toPrecision", {}, range},
        {"toPrecision", {Value::null()}, "12.5"},
        {"toFixed", {}, "13"},
    };
    for (const auto& [method, args, expected] : defaults) {
        EXPECT_EQ(call(n, method, args), expected) << method << " " << args.size();
    }
}

TEST_F(Core, DictionaryKeysObjectsByIdentityAndTheRestByString) {
    const Value d = dictionary();
    const Value first = Value::object(vm.newObject());
    const Value second = Value::object(vm.newObject()); // prints the same as `first`
    vm.setProperty(d, key(first), Value::string("first"));
    vm.setProperty(d, key(second), Value::string("second"));
    vm.setProperty(d, key(Value::string("[object Object]")), Value::string("text"));
    vm.setProperty(d, key(Value::integer(13)), Value::string("int"));
    vm.setProperty(d, key(Value::string("13")), Value::string("string 13"));
    vm.setProperty(d, key(Value::null()), Value::string("null"));
    const std::vector<std::pair<Value, std::string>> table = {
        {first, "first"},
        {second, "second"},
        {Value::string("[object Object]"), "text"},
        {Value::integer(13), "string 13"},
        {Value::number(13), "string 13"},
        {Value::string("null"), "null"},
        {Value::object(vm.newObject()), "undefined"},
    };
    for (const auto& [k, expected] : table) {
        EXPECT_EQ(vm.toString(vm.getProperty(d, key(k))), expected) << vm.toString(k);
    }
    EXPECT_TRUE(vm.hasProperty(d, key(second)));
    EXPECT_TRUE(vm.deleteProperty(d, key(first)));
    EXPECT_FALSE(vm.hasProperty(d, key(first)));
    EXPECT_EQ(vm.toString(vm.getProperty(d, key(second))), "second");
    // hasOwnProperty asks by the key's string.
    EXPECT_EQ(call(d, "hasOwnProperty", {second}), "true");
    EXPECT_EQ(call(d, "hasOwnProperty", {Value::string("13")}), "true");
}

TEST_F(Core, DictionaryDeletionsLeaveGapsUntilTheNextNewKey) {
    const Value d = dictionary();
    avm2::Object* o = d.asObject();
    for (int i = 0; i < 10; ++i) {
        vm.setProperty(d, key(Value::integer(i)), Value::integer(i));
    }
    for (int i = 0; i < 10; i += 2) {
        vm.deleteProperty(d, key(Value::integer(i)));
    }
    // Positions hold still while only deletions happen, so an enumeration carries on.
    ASSERT_EQ(o->entries.size(), 10u);
    EXPECT_TRUE(o->entries[0].first.isHole());
    EXPECT_EQ(vm.toString(o->entries[1].second), "1");
    vm.setProperty(d, key(Value::string("new")), Value::integer(99));
    EXPECT_EQ(o->entries.size(), 6u); // packed: the five left and the new one
    for (int i = 1; i < 10; i += 2) {
        EXPECT_EQ(vm.toString(vm.getProperty(d, key(Value::integer(i)))), std::to_string(i));
    }
    EXPECT_EQ(vm.toString(vm.getProperty(d, key(Value::string("new")))), "99");
}

TEST(EnumeratedNames, IndexNamesReadBackAsNumbers) {
    const std::vector<std::pair<std::string, Value::Type>> table = {
        {"0", Value::Type::Int},
        {"42", Value::Type::Int},
        {"4294967294", Value::Type::Number},
        {"4294967295", Value::Type::String},
        {"01", Value::Type::String},
        {"-1", Value::Type::String},
        {"1.5", Value::Type::String},
        {"", Value::Type::String},
        {"99999999999", Value::Type::String},
    };
    for (const auto& [name, type] : table) {
        EXPECT_EQ(avm2::enumeratedName(name).type(), type) << name;
    }
}

TEST_F(Core, RemoveAtAndInsertAtTakePositionsAsSpliceDoes) {
    const std::vector<std::tuple<const char*, Args, std::string, std::string>> table = {
        {"removeAt", {Value::integer(1)}, "b", "a,c"},
        {"removeAt", {Value::integer(-1)}, "c", "a,b"},
        {"removeAt", {Value::integer(3)}, "undefined", "a,b,c"},
        {"removeAt", {Value::number(std::nan(""))}, "a", "b,c"},
        {"removeAt", {Value::integer(-9)}, "a", "b,c"},
        {"insertAt", {Value::integer(1), Value::string("x")}, "undefined", "a,x,b,c"},
        {"insertAt", {Value::integer(-1), Value::string("x")}, "undefined", "a,b,x,c"},
        {"insertAt", {Value::integer(99), Value::string("x")}, "undefined", "a,b,c,x"},
    };
    for (const auto& [method, args, result, after] : table) {
        const Value a = Value::object(
            vm.newArray({Value::string("a"), Value::string("b"), Value::string("c")}));
        EXPECT_EQ(call(a, method, args), result) << method << " " << vm.toString(args[0]);
        EXPECT_EQ(vm.toString(a), after) << method << " " << vm.toString(args[0]);
    }
}

TEST(AbcIntegers, ShortEncodingsAreNeverSignExtended) {
    const std::vector<std::pair<avm2test::Bytes, std::int32_t>> table = {
        {{0x7F}, 127},
        {{0x40}, 64},
        {{0x87, 0xAD, 0x4B}, 1234567},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0x0F}, -1},
        {{0x80, 0x80, 0x80, 0x80, 0x08}, std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& [encoding, value] : table) {
        avm2test::AbcBuilder abc;
        abc.rawInts = {encoding};
        const avm2::AbcFile f = avm2::readAbc(abc.build());
        ASSERT_EQ(f.ints.size(), 2u);
        EXPECT_EQ(f.ints[1], value);
    }
}

} // namespace

namespace {

TEST_F(Core, EnumerationPassesOverHolesHiddenPropertiesAndGaps) {
    avm2::Object* a = vm.newArray({Value::integer(1), Value::hole(), Value::integer(3)});
    a->setProp("shown", Value::integer(4));
    a->setProp("hidden", Value::integer(5));
    a->dontEnum.back() = true;
    a->setProp("last", Value::integer(6));
    std::vector<std::int64_t> seen;
    for (std::int64_t i = avm2::nextEnumerableIndex(a, 0); i != 0;
         i = avm2::nextEnumerableIndex(a, i)) {
        seen.push_back(i);
    }
    EXPECT_EQ(seen, (std::vector<std::int64_t>{1, 3, 4, 6}));
    EXPECT_EQ(avm2::nextEnumerableIndex(a, -5), 1);
    EXPECT_EQ(avm2::nextEnumerableIndex(a, 99), 0);

    const Value d = dictionary();
    vm.setProperty(d, key(Value::string("a")), Value::integer(1));
    vm.setProperty(d, key(Value::string("b")), Value::integer(2));
    vm.deleteProperty(d, key(Value::string("a")));
    EXPECT_EQ(avm2::nextEnumerableIndex(d.asObject(), 0), 2);
}

int calls = 0;
Value countCall(avm2::Machine&, const Value&, Args&) {
    ++calls;
    return Value::integer(calls);
}

TEST_F(Core, OnlyWhatForInVisitsIsEnumerable) {
    avm2::Object* o = vm.newObject();
    o->setProp("shown", Value::integer(1));
    o->setProp("hidden", Value::integer(2));
    o->dontEnum.back() = true;
    const Value obj = Value::object(o);
    EXPECT_EQ(call(obj, "propertyIsEnumerable", {Value::string("shown")}), "true");
    EXPECT_EQ(call(obj, "propertyIsEnumerable", {Value::string("hidden")}), "false");
    EXPECT_EQ(call(obj, "propertyIsEnumerable", {Value::string("absent")}), "false");
    // An array's elements are; past its end and its length (an accessor) are not.
    const Value arr = Value::object(vm.newArray({Value::integer(1), Value::integer(2)}));
    EXPECT_EQ(call(arr, "propertyIsEnumerable", {Value::string("1")}), "true");
    EXPECT_EQ(call(arr, "propertyIsEnumerable", {Value::string("2")}), "false");
    EXPECT_EQ(call(arr, "propertyIsEnumerable", {Value::string("length")}), "false");
    // A class's statics are traits.
    const Value date = Value::object(vm.findClass("Date")->classObject);
    EXPECT_EQ(call(date, "propertyIsEnumerable", {Value::string("length")}), "false");
}

// What a value's class binds publicly is the value's own, primitives included; a class
// object is also a Class and any function a Function, each with its prototype.
TEST_F(Core, HasOwnPropertyAnswersForBoundNames) {
    const Value date = Value::object(vm.findClass("Date")->classObject);
    const Value f = Value::object(vm.newNative(countCall, "f"));
    const Value arr = Value::object(vm.newArray({Value::integer(1)}));
    const struct {
        Value target;
        const char* name;
        const char* expected;
    } cases[] = {
        {Value::string("s"), "length", "true"},
        {Value::string("s"), "0", "false"},
        {Value::string("s"), "nope", "false"},
        {Value::integer(5), "length", "false"},
        {Value::boolean(true), "length", "false"},
        {date, "prototype", "true"},
        {date, "length", "true"},
        {date, "nope", "false"},
        {f, "prototype", "true"},
        {f, "nope", "false"},
        {arr, "length", "true"},
        {arr, "0", "true"},
        {arr, "1", "false"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(call(c.target, "hasOwnProperty", {Value::string(c.name)}), c.expected)
            << vm.toString(c.target) << "." << c.name;
    }
}

TEST_F(Core, ClassAndFunctionLengths) {
    const std::pair<const char*, const char*> lengths[] = {
        {"Object", "1"}, {"Array", "1"}, {"Date", "7"},     {"Namespace", "2"},
        {"QName", "2"},  {"Error", "1"}, {"TypeError", "1"}};
    for (const auto& [cls, length] : lengths) {
        const Value c = Value::object(vm.findClass(cls)->classObject);
        EXPECT_EQ(vm.toString(vm.getProperty(c, Name::publicName("length"))), length) << cls;
    }
    // Read-only.
    const Value date = Value::object(vm.findClass("Date")->classObject);
    EXPECT_THROW(vm.setProperty(date, Name::publicName("length"), Value::integer(3)),
                 avm2::ScriptThrow);
    // A built-in function declares no parameters of its own.
    const Value f = Value::object(vm.newNative(countCall, "f"));
    EXPECT_EQ(vm.toString(vm.getProperty(f, Name::publicName("length"))), "0");
}

TEST_F(Core, FunctionPrototypeIsAFunctionAndPrimitivesHaveTheirPrototypes) {
    const Value proto = Value::object(vm.functionClass->prototype);
    EXPECT_TRUE(vm.isType(proto, vm.functionClass));
    EXPECT_FALSE(vm.isType(Value::object(vm.classClass->prototype), vm.classClass));
    // A number on the scope chain has what Number.prototype has.
    EXPECT_TRUE(vm.hasProperty(Value::integer(4), Name::publicName("toFixed")));
    EXPECT_FALSE(vm.hasProperty(Value::integer(4), Name::publicName("noSuchThing")));
    EXPECT_TRUE(vm.hasProperty(Value::string("s"), Name::publicName("hasOwnProperty")));
}

TEST_F(Core, CallAndApplyStayBoundToTheirFunction) {
    const Value f = Value::object(vm.newNative(countCall, "f"));
    for (const char* method : {"call", "apply"}) {
        calls = 0;
        // f.call read off f, then called with nothing: f runs.
        const Value bound = vm.getProperty(f, Name::publicName(method));
        Args none;
        vm.call(bound, Value(), none);
        EXPECT_EQ(calls, 1) << method;
        // f.call.call(): the outer call calls the bound inner one, which calls f.
        EXPECT_EQ(call(bound, "call", {}), "2") << method;
    }
    // Function.prototype is a function that does nothing, and call on it does nothing too.
    const Value proto = Value::object(vm.functionClass->prototype);
    Args none;
    EXPECT_TRUE(vm.call(proto, Value(), none).isUndefined());
    EXPECT_EQ(call(proto, "call", {}), "undefined");
    // A built-in's prototype object is made once and kept.
    const Value p1 = vm.getProperty(f, Name::publicName("prototype"));
    EXPECT_TRUE(p1.isObject());
    EXPECT_TRUE(vm.strictEquals(p1, vm.getProperty(f, Name::publicName("prototype"))));
}

} // namespace

namespace {

TEST_F(Core, QualifiedSuperclassNames) {
    const Value fn = vm.getProperty(
        Value::object(vm.globalObject()),
        Name::qualified(avm2::Namespace::publicNs("flash.utils"), "getQualifiedSuperclassName"));
    const std::vector<std::pair<Value, std::string>> table = {
        {Value::object(vm.newArray()), "Object"},
        {Value::object(vm.newObject()), "null"},
        {Value::object(vm.findClass("Object")->classObject), "null"},
        {Value::object(vm.findClass("TypeError")->classObject), "Error"},
        {Value::object(avm2::newByteArray(vm)), "Object"},
        {Value::integer(3), "Object"},
        {Value::string("s"), "Object"},
        {Value(), "null"},
        {Value::null(), "null"},
    };
    for (const auto& [v, expected] : table) {
        Args args{v};
        EXPECT_EQ(vm.toString(vm.call(fn, Value(), args)), expected) << vm.toString(v);
    }
}

} // namespace

namespace {

TEST_F(Core, VectorsCoerceWhatTheyAreGiven) {
    Args intType{Value::object(vm.intClass->classObject)};
    const Value vectorOfInt = vm.applyType(Value::object(vm.vectorClass->classObject), intType);
    const auto fresh = [&] {
        Args none;
        return vm.construct(vectorOfInt, none);
    };
    const std::vector<std::tuple<const char*, Args, std::string>> table = {
        {"push", {Value::number(2.7), Value::string("5"), Value::string("x")}, "2,5,0"},
        {"unshift", {Value::boolean(true), Value::null()}, "1,0"},
        {"insertAt", {Value::integer(0), Value::number(-1.5)}, "-1"},
    };
    for (const auto& [method, args, expected] : table) {
        const Value v = fresh();
        call(v, method, args);
        EXPECT_EQ(vm.toString(v), expected) << method;
    }
    const Value spliced = fresh();
    call(spliced, "push", {Value::integer(1), Value::integer(2)});
    call(spliced, "splice", {Value::integer(1), Value::integer(0), Value::string("7.9")});
    EXPECT_EQ(vm.toString(spliced), "1,7,2");

    // Vector.<int>(array) converts each element; a Vector.<int> passes through as itself.
    Args fromArray{Value::object(
        vm.newArray({Value::integer(6), Value::string("hi"), Value::hole(), Value::number(3.5)}))};
    const Value converted = vm.call(vectorOfInt, Value(), fromArray);
    EXPECT_EQ(vm.toString(converted), "6,0,0,3");
    Args same{converted};
    EXPECT_TRUE(vm.strictEquals(vm.call(vectorOfInt, Value(), same), converted));
}

} // namespace

namespace {

// The iterating methods take a Function: without one each gives what an empty array gives,
// anything else fails to convert, and a method of an object must not come with a `this`.
TEST_F(Core, IteratingMethodsCheckTheirCallback) {
    const Value array = Value::object(vm.newArray({Value::integer(1), Value::integer(2)}));
    // A method taken from its object: bound to it, as reading a method trait gives it.
    avm2::Object* bound = vm.newFunction(
        avm2::MethodRef{nullptr, 0,
                        [](avm2::Machine&, const Value&, Args&) { return Value::boolean(true); }},
        nullptr);
    bound->boundThis = array;
    const Value closure = Value::object(bound);
    const std::string notAFunction =
        "TypeError: Error #1034: Type Coercion failed: cannot convert \"x\" to Function.";
    const std::string closureWithThis =
        "TypeError: Error #1510: When the callback argument is a method of a class, the "
        "optional this argument must be null.";
    struct Row {
        const char* method;
        Value callback;
        Value thisObject;
        std::string outcome;
    };
    const std::vector<Row> table = {
        {"every", Value::null(), Value(), "true"},
        {"some", Value::null(), Value(), "false"},
        {"map", Value::null(), Value(), ""},
        {"filter", Value(), Value(), ""},
        {"forEach", Value::null(), Value(), "undefined"},
        {"every", Value::string("x"), Value(), notAFunction},
        {"map", Value::integer(3), Value(),
         "TypeError: Error #1034: Type Coercion failed: cannot convert 3 to Function."},
        {"forEach", closure, Value::object(vm.newObject()), closureWithThis},
        {"some", closure, Value::null(), "true"},
    };
    for (const Row& r : table) {
        EXPECT_EQ(call(array, r.method, {r.callback, r.thisObject}), r.outcome) << r.method;
    }
}

} // namespace

namespace {

// A Vector.<T> looks for the item as a T, and removeAt outside it (or on a fixed one) is an
// error where an array would give undefined.
TEST_F(Core, VectorSearchesAndRemovalsTakeTheirArgumentsAsTheElementType) {
    Args intType{Value::object(vm.intClass->classObject)};
    const Value vectorOfInt = vm.applyType(Value::object(vm.vectorClass->classObject), intType);
    const auto make = [&](bool fixed) {
        Args args{Value::integer(3), Value::boolean(fixed)};
        Value v = vm.construct(vectorOfInt, args);
        vm.setProperty(v, Name::publicName("1"), Value::integer(5));
        return v;
    };
    const std::string outOfRange = "RangeError: Error #1125: The index ";
    const std::vector<std::tuple<const char*, Args, bool, std::string>> table = {
        {"indexOf", {Value::string("5")}, false, "1"},
        {"indexOf", {Value::number(5.7)}, false, "1"},
        {"indexOf", {Value::null()}, false, "0"},
        {"lastIndexOf", {Value::string("0")}, false, "2"},
        {"removeAt", {Value::integer(1)}, false, "5"},
        {"removeAt", {Value::integer(-2)}, false, "5"},
        {"removeAt", {Value::number(std::nan(""))}, false, "0"},
        {"removeAt", {Value::integer(3)}, false, outOfRange + "3 is out of range 3."},
        {"removeAt", {Value::integer(-4)}, false, outOfRange + "-4 is out of range 3."},
        {"removeAt",
         {Value::integer(0)},
         true,
         "RangeError: Error #1126: Cannot change the length of a fixed Vector."},
    };
    for (const auto& [method, args, fixed, expected] : table) {
        EXPECT_EQ(call(make(fixed), method, args), expected)
            << method << " " << vm.toString(args[0]);
    }
    // An array keeps its own rules: nothing converted, undefined past the end.
    const Value array = Value::object(vm.newArray({Value::integer(5)}));
    EXPECT_EQ(call(array, "indexOf", {Value::string("5")}), "-1");
    EXPECT_EQ(call(array, "removeAt", {Value::integer(4)}), "undefined");
}

} // namespace
