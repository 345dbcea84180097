// The core classes' methods by table, with the arguments scripts get wrong: negative,
// fractional, NaN, infinite and huge positions and counts. Each must give Flash's answer,
// and none may crash, hang or allocate without bound.

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

class Builtins : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    std::string call(const Value& target, const std::string& method, Args args) {
        return vm.toString(vm.callProperty(target, Name::publicName(method), args));
    }
    Value numbers(std::initializer_list<int> values) {
        std::vector<Value> elements;
        for (int v : values) {
            elements.push_back(Value::integer(v));
        }
        return Value::object(vm.newArray(elements));
    }
    // The class and error number a call throws, or "" when it returns.
    std::string thrown(const Value& target, const std::string& method, Args args) {
        try {
            vm.callProperty(target, Name::publicName(method), args);
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
        return "";
    }
};

struct StringCase {
    const char* method;
    std::vector<double> args;
    const char* result;
};

TEST_F(Builtins, StringPositionsAndCounts) {
    const Value hello = Value::string("hello");
    const std::vector<StringCase> table = {
        {"charAt", {1}, "e"},
        {"charAt", {1.9}, "e"},
        {"charAt", {kNaN}, "h"},
        {"charAt", {-1}, ""},
        {"charAt", {5}, ""},
        {"charAt", {kInf}, ""},
        {"charAt", {4294967296.0}, ""},
        {"charCodeAt", {0}, "104"},
        {"charCodeAt", {9}, "NaN"},
        {"charCodeAt", {-kInf}, "NaN"},
        {"substr", {-3}, "llo"},
        {"substr", {1, 3}, "ell"},
        {"substr", {1, -1}, ""},
        {"substr", {kNaN, 2}, "he"},
        {"substr", {1, kInf}, "ello"},
        {"substr", {-kInf, 2}, "he"},
        {"substr", {99, 2}, ""},
        {"substring", {3, 1}, "el"},
        {"substring", {-5, 2}, "he"},
        {"substring", {kNaN, kInf}, "hello"},
        {"substring", {2, kNaN}, "he"},
        {"slice", {-2}, "lo"},
        {"slice", {1, -1}, "ell"},
        {"slice", {3, 1}, ""},
        {"slice", {-kInf, kInf}, "hello"},
        {"slice", {kNaN, 2}, "he"},
    };
    for (const StringCase& c : table) {
        Args args;
        for (double d : c.args) {
            args.push_back(Value::number(d));
        }
        EXPECT_EQ(call(hello, c.method, args), c.result) << c.method << " " << c.args[0];
    }
}

TEST_F(Builtins, StringSearchesAndSplits) {
    const Value hello = Value::string("hello");
    const Value l = Value::string("l");
    EXPECT_EQ(call(hello, "indexOf", {l}), "2");
    EXPECT_EQ(call(hello, "indexOf", {l, Value::number(-10)}), "2");
    EXPECT_EQ(call(hello, "indexOf", {l, Value::number(kInf)}), "-1");
    EXPECT_EQ(call(hello, "indexOf", {Value::string("z")}), "-1");
    EXPECT_EQ(call(hello, "lastIndexOf", {l}), "3");
    EXPECT_EQ(call(hello, "lastIndexOf", {l, Value::integer(2)}), "2");
    EXPECT_EQ(call(hello, "lastIndexOf", {l, Value::integer(-1)}), "-1");
    EXPECT_EQ(call(hello, "lastIndexOf", {l, Value::number(kNaN)}), "3");
    // Before the start even the empty string is not found; between -1 and 0 counts as 0.
    for (const auto& [from, found] :
         std::initializer_list<std::pair<double, const char*>>{{-1, "-1"},
                                                               {-2.7, "-1"},
                                                               {-kInf, "-1"},
                                                               {-0.5, "0"},
                                                               {0, "0"},
                                                               {2, "2"},
                                                               {kInf, "5"},
                                                               {kNaN, "5"}}) {
        EXPECT_EQ(call(hello, "lastIndexOf", {Value::string(""), Value::number(from)}), found)
            << from;
    }

    const Value list = Value::string("a,b,,c");
    const Value comma = Value::string(",");
    EXPECT_EQ(call(list, "split", {comma}), "a,b,,c");
    EXPECT_EQ(call(Value::string("a,b,,c"), "split", {comma, Value::integer(2)}), "a,b");
    EXPECT_EQ(call(list, "split", {comma, Value::integer(0)}), "");
    EXPECT_EQ(call(Value::string("abc"), "split", {Value::string("")}), "a,b,c");
    // The limit is a uint: -1 is every piece.
    Args limitless{comma, Value::integer(-1)};
    const Value pieces = vm.callProperty(list, Name::publicName("split"), limitless);
    EXPECT_EQ(vm.toString(vm.getProperty(pieces, Name::publicName("length"))), "4");
}

TEST_F(Builtins, ArraySlicesSplicesAndSearches) {
    struct ArrayCase {
        const char* method;
        std::vector<double> args;
        const char* result; // what the call returns
        const char* after;  // the array afterwards
    };
    const std::vector<ArrayCase> table = {
        {"slice", {-2}, "4,5", "1,2,3,4,5"},         {"slice", {1, -1}, "2,3,4", "1,2,3,4,5"},
        {"slice", {kNaN}, "1,2,3,4,5", "1,2,3,4,5"}, {"slice", {kInf}, "", "1,2,3,4,5"},
        {"slice", {-kInf, 2}, "1,2", "1,2,3,4,5"},   {"slice", {3, 1}, "", "1,2,3,4,5"},
        {"splice", {1, 2}, "2,3", "1,4,5"},          {"splice", {-1, kInf}, "5", "1,2,3,4"},
        {"splice", {kNaN, 1}, "1", "2,3,4,5"},       {"splice", {99, 1}, "", "1,2,3,4,5"},
        {"splice", {1, -3}, "", "1,2,3,4,5"},        {"indexOf", {3}, "2", "1,2,3,4,5"},
        {"indexOf", {3, -2}, "-1", "1,2,3,4,5"},     {"indexOf", {5, -2}, "4", "1,2,3,4,5"},
        {"indexOf", {1, kInf}, "0", "1,2,3,4,5"},    {"lastIndexOf", {1, -10}, "-1", "1,2,3,4,5"},
        {"lastIndexOf", {5, -1}, "4", "1,2,3,4,5"},
    };
    for (const ArrayCase& c : table) {
        const Value a = numbers({1, 2, 3, 4, 5});
        Args args;
        for (double d : c.args) {
            args.push_back(Value::number(d));
        }
        EXPECT_EQ(call(a, c.method, args), c.result) << c.method << " " << c.args[0];
        EXPECT_EQ(vm.toString(a), c.after) << c.method << " " << c.args[0];
    }
}

TEST_F(Builtins, ArrayLengthsOutOfRange) {
    const Value arrayClass = Value::object(vm.arrayClass->classObject);
    struct LengthCase {
        double length;
        const char* outcome; // the length made, or the error's number
    };
    const std::vector<LengthCase> table = {
        {3, "3"}, {0, "0"}, {-1, "#1005"}, {2.5, "#1005"}, {kNaN, "#1005"}, {kInf, "#1005"},
    };
    for (const LengthCase& c : table) {
        Args args{Value::number(c.length)};
        try {
            const Value a = vm.construct(arrayClass, args);
            EXPECT_EQ(vm.toString(vm.getProperty(a, Name::publicName("length"))), c.outcome)
                << c.length;
        } catch (const avm2::ScriptThrow& t) {
            EXPECT_NE(vm.toString(t.value).find(c.outcome), std::string::npos) << c.length;
        }
    }

    // Setting length takes a uint: NaN empties the array, -1 is four billion slots, all
    // holes, which take no room.
    const Value a = numbers({1, 2, 3});
    vm.setProperty(a, Name::publicName("length"), Value::number(kNaN));
    EXPECT_EQ(vm.toString(vm.getProperty(a, Name::publicName("length"))), "0");
    vm.setProperty(a, Name::publicName("length"), Value::number(2.9));
    EXPECT_EQ(vm.toString(a), ",");
    vm.setProperty(a, Name::publicName("length"), Value::integer(-1));
    EXPECT_EQ(vm.toString(vm.getProperty(a, Name::publicName("length"))), "4294967295");
}

TEST_F(Builtins, VectorsKeepTheirBoundsAndFixedLength) {
    const Value intClass = Value::object(vm.intClass->classObject);
    const Value vectorOfInt = vm.applyType(Value::object(vm.vectorClass->classObject), {intClass});
    Args two{Value::integer(2), Value::boolean(true)};
    const Value fixed = vm.construct(vectorOfInt, two);
    EXPECT_EQ(vm.toString(fixed), "0,0");
    EXPECT_EQ(vm.toString(vm.getProperty(fixed, Name::publicName("fixed"))), "true");
    EXPECT_NE(thrown(fixed, "push", {Value::integer(1)}).find("#1126"), std::string::npos);
    EXPECT_EQ(vm.toString(fixed), "0,0");

    Args none;
    const Value open = vm.construct(vectorOfInt, none);
    // Writing at the length appends; past it is a RangeError.
    vm.setProperty(open, Name::publicName("0"), Value::integer(7));
    EXPECT_EQ(vm.toString(open), "7");
    try {
        vm.setProperty(open, Name::publicName("5"), Value::integer(1));
        ADD_FAILURE() << "a vector grew past its length";
    } catch (const avm2::ScriptThrow& t) {
        EXPECT_NE(vm.toString(t.value).find("#1125"), std::string::npos);
    }
    // Elements keep the vector's type, as they are written and as it grows.
    vm.setProperty(open, Name::publicName("1"), Value::string("2.7"));
    EXPECT_EQ(vm.toString(open), "7,2");
    vm.setProperty(open, Name::publicName("length"), Value::integer(3));
    EXPECT_EQ(vm.toString(open), "7,2,0");
    const Value stringClass = Value::object(vm.stringClass->classObject);
    const Value vectorOfString =
        vm.applyType(Value::object(vm.vectorClass->classObject), {stringClass});
    Args one{Value::integer(1)};
    const Value strings = vm.construct(vectorOfString, one);
    EXPECT_TRUE(vm.getProperty(strings, Name::publicName("0")).isNull());
    vm.setProperty(strings, Name::publicName("0"), Value::integer(5));
    EXPECT_TRUE(vm.getProperty(strings, Name::publicName("0")).isString());

    Args negative{Value::integer(-1)};
    EXPECT_THROW(vm.construct(vectorOfInt, negative), avm2::ScriptThrow);
    // The same element type gives the same class.
    EXPECT_EQ(vm.applyType(Value::object(vm.vectorClass->classObject), {intClass}).asObject(),
              vectorOfInt.asObject());
}

// Vectors of any class but the numeric ones are built on Vector.<*> and pass as one.
// splice takes a negative count as where to stop, from the end, and never minds `fixed`.
TEST_F(Builtins, VectorFamiliesAndSplice) {
    const Value generic = Value::object(vm.vectorClass->classObject);
    auto vectorOf = [&](avm2::Class* element) {
        const Value param =
            element != nullptr ? Value::object(element->classObject) : Value::null();
        return vm.applyType(generic, {param}).asObject()->builds;
    };
    avm2::Class* any = vectorOf(nullptr);
    EXPECT_TRUE(vectorOf(vm.stringClass)->isSubclassOf(any));
    EXPECT_TRUE(vectorOf(vm.booleanClass)->isSubclassOf(any));
    EXPECT_TRUE(vectorOf(vm.objectClass)->isSubclassOf(any));
    EXPECT_FALSE(vectorOf(vm.intClass)->isSubclassOf(any));
    EXPECT_FALSE(vectorOf(vm.numberClass)->isSubclassOf(any));
    EXPECT_TRUE(vectorOf(vm.intClass)->isSubclassOf(vm.vectorClass));

    struct Case {
        std::vector<int> args;
        const char* removed;
        const char* left;
    };
    const Case table[] = {
        {{1, 2}, "1,2", "0,3,4,5"},   {{2, -3}, "2", "0,1,3,4,5"}, {{-2, -1}, "4", "0,1,2,3,5"},
        {{4, -4}, "", "0,1,2,3,4,5"}, {{1, 99}, "1,2,3,4,5", "0"}, {{-9, -5}, "0", "1,2,3,4,5"},
    };
    const Value vectorOfInt = Value::object(vectorOf(vm.intClass)->classObject);
    for (const Case& c : table) {
        Args six{Value::integer(6), Value::boolean(true)};
        const Value v = vm.construct(vectorOfInt, six);
        for (int i = 0; i < 6; ++i) {
            vm.setProperty(v, Name::publicName(std::to_string(i)), Value::integer(i));
        }
        Args args;
        for (int n : c.args) {
            args.push_back(Value::integer(n));
        }
        const Value removed = vm.callProperty(v, Name::publicName("splice"), args);
        EXPECT_EQ(vm.toString(removed), c.removed) << c.args[0] << "," << c.args[1];
        EXPECT_EQ(vm.toString(v), c.left) << c.args[0] << "," << c.args[1];
    }
    // Inserting into a fixed vector is let through too.
    Args two{Value::integer(2), Value::boolean(true)};
    const Value fixed = vm.construct(vectorOfInt, two);
    Args insert{Value::integer(1), Value::integer(0), Value::integer(9)};
    vm.callProperty(fixed, Name::publicName("splice"), insert);
    EXPECT_EQ(vm.toString(fixed), "0,9,0");
    // An Array keeps its own rule: a negative count removes nothing.
    const Value array = Value::object(vm.newArray({Value::integer(1), Value::integer(2)}));
    Args negative{Value::integer(0), Value::integer(-1)};
    EXPECT_EQ(vm.toString(vm.callProperty(array, Name::publicName("splice"), negative)), "");
}

// Vector.<T>(value) reads any object as value[0] .. value[length - 1]; a primitive, or
// the wrong number of arguments, is an error.
TEST_F(Builtins, VectorCalledAsAFunction) {
    const Value intClass = Value::object(vm.intClass->classObject);
    const Value vectorOfInt = vm.applyType(Value::object(vm.vectorClass->classObject), {intClass});
    auto convert = [&](Args args) { return vm.call(vectorOfInt, Value::null(), args); };
    avm2::Object* like = vm.newObject();
    like->setProp("length", Value::integer(3));
    like->setProp("0", Value::string("1"));
    like->setProp("2", Value::number(9.5));
    EXPECT_EQ(vm.toString(convert({Value::object(like)})), "1,0,9");
    EXPECT_EQ(vm.toString(convert({Value::object(vm.newObject())})), "");
    avm2::Object* negative = vm.newObject();
    negative->setProp("length", Value::integer(-4));
    EXPECT_EQ(vm.toString(convert({Value::object(negative)})), "");
    const Value array = Value::object(vm.newArray({Value::integer(4), Value::hole()}));
    const Value made = convert({array});
    EXPECT_EQ(vm.toString(made), "4,0");
    EXPECT_EQ(convert({made}).asObject(), made.asObject()) << "already one: itself";
    EXPECT_THROW(convert({Value::integer(5)}), avm2::ScriptThrow);
    EXPECT_THROW(convert({}), avm2::ScriptThrow);
    EXPECT_THROW(convert({array, array}), avm2::ScriptThrow);
}

// The log takes lines: a carriage return or a line feed inside a message ends one, each on
// its own (a text field's paragraphs end in carriage returns).
TEST_F(Builtins, TraceBreaksLinesAtEveryLineEnd) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {{"one"}, {"one"}},         {{"a\rb"}, {"a", "b"}},      {{"a\r\nb"}, {"a", "", "b"}},
        {{"para\r"}, {"para", ""}}, {{"x\n", "y"}, {"x", " y"}}, {{""}, {""}},
    };
    const Value trace = vm.getProperty(Value::object(vm.globalObject()), Name::publicName("trace"));
    for (const Case& c : cases) {
        host.lines.clear();
        Args args;
        for (const std::string& a : c.args) {
            args.push_back(Value::string(a));
        }
        vm.call(trace, Value::null(), args);
        EXPECT_EQ(host.lines, c.lines) << c.args[0];
    }
}

} // namespace
