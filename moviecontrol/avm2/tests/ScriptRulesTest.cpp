// Rules of the core language and the built-in classes by table, each row one case the player
// answers in its own way: reading numbers out of text, `+` with text on one side, -0 as an
// int, the AS3 namespace reaching a built-in's own method, player methods read off an object,
// split by a pattern, Array's int positions, sortOn with missing fields, JSON of built-ins
// and class instances, the argument counts Math, Date.UTC and JSON.parse insist on.

#include "FakeHost.h"

#include "avm2/NumberParsing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

const double kNaN = std::nan("");
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string number(double d) {
    if (d == 0 && std::signbit(d)) {
        return "-0";
    }
    return avm2::numberToString(d);
}

struct NumberText {
    const char* text;
    const char* asNumber;     // Number(text)
    const char* asParseFloat; // parseFloat(text)
    const char* asParseInt;   // parseInt(text)
};

TEST(NumberParsing, TextToNumberParseFloatAndParseInt) {
    const std::vector<NumberText> table = {
        {"", "0", "NaN", "NaN"},
        {"  ", "0", "NaN", "NaN"},
        {" 12 ", "12", "12", "12"},
        {"1e", "1", "1", "1"},      // an exponent without digits is e0
        {"1e+", "1", "1", "1"},     //
        {"1e-", "NaN", "NaN", "1"}, // but "e-" alone spoils the number
        {"1e-x", "NaN", "1", "1"},
        {"1e400", "Infinity", "Infinity", "1"},
        {"-1e-400", "-0", "-0", "-1"},
        {".5", "0.5", "0.5", "NaN"},
        {"5.", "5", "5", "5"},
        {".", "NaN", "NaN", "NaN"},
        {"0x1F", "31", "0", "31"}, // hexadecimal is Number's and parseInt's, not parseFloat's
        {"-0x10", "-16", "-0", "-16"},
        {"0x", "NaN", "0", "NaN"},
        {"077", "77", "77", "77"},
        {"Infinity", "Infinity", "Infinity", "NaN"},
        {"-Infinity ", "-Infinity", "-Infinity", "NaN"},
        {"infinity", "NaN", "NaN", "NaN"},
        {"Infinityx", "NaN", "NaN", "NaN"},
        {"12abc", "NaN", "12", "12"},
        {"\xE3\x80\x80 7", "7", "7", "7"}, // U+3000 is a blank
        {"\xE2\x80\x8B"
         "7",
         "7", "7", "7"}, // so is U+200B
        {"\xC2\xA0"
         "12",
         "NaN", "NaN", "NaN"}, // U+00A0 is not
        {"1_0", "NaN", "1", "1"},
    };
    for (const NumberText& c : table) {
        EXPECT_EQ(number(avm2::stringToNumber(c.text)), c.asNumber) << c.text;
        EXPECT_EQ(number(avm2::parseDecimal(c.text, false).value_or(kNaN)), c.asParseFloat)
            << c.text;
        EXPECT_EQ(number(avm2::parseInteger(c.text, 0, false)), c.asParseInt) << c.text;
    }
    EXPECT_EQ(number(avm2::parseInteger("1f", 16, false)), "31");
    EXPECT_EQ(number(avm2::parseInteger("1f", 37, false)), "NaN");
    EXPECT_EQ(number(avm2::parseInteger("0x1f", 10, false)), "0");
    // A huge exponent neither overflows nor takes long.
    EXPECT_EQ(number(avm2::stringToNumber("1e99999999999999999999")), "Infinity");
    EXPECT_EQ(number(avm2::stringToNumber("1" + std::string(5000, '0') + "e-5000")), "1");
}

std::string describeNumber(const Value& v) {
    return v.isNumeric() ? number(v.asNumber()) : "not a number";
}

class ScriptRules : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value classValue(const std::string& name) {
        return Value::object(vm.findClass(name)->classObject);
    }
    Value make(const std::string& className, Args args = {}) {
        return vm.construct(classValue(className), args);
    }
    std::string call(const Value& target, const std::string& method, Args args) {
        return vm.toString(vm.callProperty(target, Name::publicName(method), args));
    }
    std::string thrown(const Value& target, const std::string& method, Args args) {
        try {
            vm.callProperty(target, Name::publicName(method), args);
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
        return "";
    }
    Value array(std::vector<Value> items) { return Value::object(vm.newArray(std::move(items))); }
};

// Which conversion `+` asked an object for.
std::string asked;

TEST_F(ScriptRules, PlusWithTextTurnsTheOtherSideIntoText) {
    const Value o = Value::object(vm.newObject());
    vm.setProperty(o, Name::publicName("valueOf"),
                   Value::object(vm.newNative([](avm2::Machine&, const Value&, Args&) {
                       asked += "valueOf ";
                       return Value::integer(7);
                   })));
    vm.setProperty(o, Name::publicName("toString"),
                   Value::object(vm.newNative([](avm2::Machine&, const Value&, Args&) {
                       asked += "toString ";
                       return Value::string("obj");
                   })));
    struct Case {
        Value a;
        Value b;
        const char* sum;
        const char* conversions;
    };
    const std::vector<Case> table = {
        {Value::string("x"), o, "xobj", "toString "},
        {o, Value::string(""), "obj", "toString "},
        {o, Value::integer(1), "8", "valueOf "},
        {o, o, "14", "valueOf valueOf "},
        {Value::string("1"), Value::integer(2), "12", ""},
        {Value::boolean(true), Value::integer(2), "3", ""},
    };
    for (const Case& c : table) {
        asked.clear();
        EXPECT_EQ(vm.toString(vm.add(c.a, c.b)), c.sum);
        EXPECT_EQ(asked, c.conversions) << c.sum;
    }
}

TEST_F(ScriptRules, MinusZeroIsAnInt) {
    avm2::Class* ic = vm.intClass;
    EXPECT_TRUE(vm.isType(Value::number(-0.0), ic));
    EXPECT_TRUE(vm.isType(Value::number(3.0), ic));
    EXPECT_FALSE(vm.isType(Value::number(0.5), ic));
    EXPECT_FALSE(vm.isType(Value::number(2147483648.0), ic));
    EXPECT_FALSE(vm.isType(Value::number(kNaN), ic));
}

TEST_F(ScriptRules, TheAs3NamespaceReachesTheBuiltInMethod) {
    // A script that replaces String.prototype.charCodeAt with a function of its own still
    // reaches the original through AS3::charCodeAt (Haxe's boot code does just that).
    const Value stringProto = vm.getProperty(classValue("String"), Name::publicName("prototype"));
    vm.setProperty(stringProto, Name::publicName("charCodeAt"),
                   Value::object(vm.newNative([](avm2::Machine&, const Value&, Args&) {
                       return Value::string("replaced");
                   })));
    const Value hello = Value::string("hello");
    Args one{Value::integer(1)};
    EXPECT_EQ(
        vm.toString(vm.callProperty(
            hello, Name::qualified(avm2::Namespace::publicNs(avm2::kAs3Uri), "charCodeAt"), one)),
        "101");
    EXPECT_EQ(call(hello, "charCodeAt", {Value::integer(1)}), "replaced");
    // The conversions are not AS3 methods: the prototype's answer stands.
    vm.setProperty(stringProto, Name::publicName("toString"),
                   Value::object(vm.newNative(
                       [](avm2::Machine&, const Value&, Args&) { return Value::string("mine"); })));
    Args none;
    EXPECT_EQ(
        vm.toString(vm.callProperty(
            hello, Name::qualified(avm2::Namespace::publicNs(avm2::kAs3Uri), "toString"), none)),
        "mine");
}

TEST_F(ScriptRules, PlayerMethodsReadOffAnObjectStayBoundToIt) {
    const Value bytes = make("flash.utils::ByteArray");
    const Value writeByte = vm.getProperty(bytes, Name::publicName("writeByte"));
    Args args{Value::integer(300)};
    vm.call(writeByte, Value(), args);
    EXPECT_EQ(vm.toString(vm.getProperty(bytes, Name::publicName("length"))), "1");
    // Read twice, it is the same function.
    EXPECT_TRUE(vm.strictEquals(writeByte, vm.getProperty(bytes, Name::publicName("writeByte"))));
    // The core classes' methods are prototype functions: `this` is whatever the call gives.
    const Value join = vm.getProperty(array({Value::integer(1)}), Name::publicName("join"));
    Args none;
    EXPECT_EQ(vm.toString(vm.call(join, array({Value::integer(2), Value::integer(3)}), none)),
              "2,3");
}

TEST_F(ScriptRules, SplitByAPattern) {
    struct Case {
        const char* subject;
        const char* pattern;
        double limit;
        const char* pieces; // joined with "|"; undefined shows as "u"
    };
    const double all = 4294967295.0;
    const std::vector<Case> table = {
        {"a,b,,c", ",", all, "a|b||c"},
        {"a,b,,c", "(,)", all, "a|,|b|,||,|c"},
        // The limit met among a match's groups ends them; the next piece still comes.
        {"a,b,,c", "(,)", 2, "a|,|b"},
        {"a,b,,c", ",", 2, "a|b"},
        // An empty match ends the splitting: the rest is one piece.
        {"abc", "x*", all, "abc"},
        {"a b", "\\s*", all, "a b"},
        {"axxb", "x*", all, "axxb"},
        // An empty pattern cuts the text into its characters.
        {"abc", "", all, "a|b|c"},
        {"", ",", all, ""},
        {",a,", ",", all, "|a|"},
    };
    for (const Case& c : table) {
        Args reArgs{Value::string(c.pattern)};
        const Value re = make("RegExp", reArgs);
        Args splitArgs{re, Value::number(c.limit)};
        const Value pieces =
            vm.callProperty(Value::string(c.subject), Name::publicName("split"), splitArgs);
        std::string joined;
        const auto& items = pieces.asObject()->elements;
        for (std::size_t i = 0; i < items.size(); ++i) {
            joined += (i ? "|" : "") +
                      (items[i].isUndefined() ? std::string("u") : vm.toString(items[i]));
        }
        EXPECT_EQ(joined, c.pieces) << c.subject << " / " << c.pattern << " / " << c.limit;
    }
}

TEST_F(ScriptRules, ArrayPositionsAreInts) {
    const Value a =
        array({Value::integer(3), Value::integer(1), Value::integer(2), Value::integer(1)});
    struct Case {
        const char* method;
        Args args;
        const char* found;
    };
    const std::vector<Case> table = {
        {"indexOf", {Value::integer(1)}, "1"},
        {"indexOf", {Value::integer(1), Value::integer(2)}, "3"},
        {"indexOf", {Value::integer(1), Value::integer(-1)}, "3"},
        {"indexOf", {Value::integer(1), Value::number(kInf)}, "1"}, // Infinity as an int is 0
        {"indexOf", {Value::integer(1), Value()}, "1"},
        {"lastIndexOf", {Value::integer(1)}, "3"},
        {"lastIndexOf", {Value::integer(1), Value()}, "-1"}, // undefined as an int is 0
        {"lastIndexOf", {Value::integer(1), Value::number(kInf)}, "-1"},
        {"lastIndexOf", {Value::integer(1), Value::number(kNaN)}, "-1"},
        {"lastIndexOf", {Value::integer(1), Value::integer(2)}, "1"},
        {"lastIndexOf", {Value::integer(3), Value::integer(-4)}, "0"},
        {"lastIndexOf", {Value::integer(3), Value::integer(-5)}, "-1"},
    };
    for (const Case& c : table) {
        EXPECT_EQ(call(a, c.method, c.args), c.found) << c.method << " " << c.args.size();
    }
}

TEST_F(ScriptRules, SortOnComparesAMissingFieldAsItsText) {
    auto item = [&](const char* n, Value v) {
        const Value o = Value::object(vm.newObject());
        vm.setProperty(o, Name::publicName("n"), Value::string(n));
        if (!v.isUndefined()) {
            vm.setProperty(o, Name::publicName("v"), v);
        }
        return o;
    };
    struct Case {
        int flags;
        const char* order;
    };
    // Array.DESCENDING 2, NUMERIC 16, CASEINSENSITIVE 1. As text "10" < "100" < "9" <
    // "undefined".
    for (const Case& c : std::vector<Case>{
             {0, "b B a c"}, {2, "c a B b"}, {16, "a b B c"}, {18, "c B b a"}, {1, "b B a c"}}) {
        const Value list = array({item("a", Value::integer(9)), item("b", Value::integer(10)),
                                  item("c", Value()), item("B", Value::integer(100))});
        call(list, "sortOn", {Value::string("v"), Value::integer(c.flags)});
        std::string order;
        for (const Value& e : list.asObject()->elements) {
            order +=
                (order.empty() ? "" : " ") + vm.toString(vm.getProperty(e, Name::publicName("n")));
        }
        EXPECT_EQ(order, c.order) << c.flags;
    }
}

TEST_F(ScriptRules, JsonWritesDatesByteArraysAndDictionariesByToJson) {
    const Value json = classValue("JSON");
    Args epoch{Value::integer(0)};
    const Value date = make("Date", epoch);
    const Value parts =
        array({make("flash.utils::ByteArray"), make("flash.utils::Dictionary"), date});
    const std::string written = call(json, "stringify", {parts});
    EXPECT_EQ(written, "[\"ByteArray\",\"Dictionary\",\"" + vm.toString(date) + "\"]");
    EXPECT_EQ(call(json, "stringify", {date}), "\"" + vm.toString(date) + "\"");
    // A class's instance shows its public variables, then its readable accessors.
    Args message{Value::string("m")};
    EXPECT_EQ(call(json, "stringify", {make("Error", message)}),
              "{\"message\":\"m\",\"name\":\"Error\",\"errorID\":0}");
    EXPECT_EQ(thrown(json, "parse", {}),
              "ArgumentError: Error #1063: Argument count mismatch on JSON$/parse(). Expected 1, "
              "got 0.");
}

TEST_F(ScriptRules, MathSignedZerosPowersAndArgumentCounts) {
    const Value math = classValue("Math");
    const Value minusZero = Value::number(-0.0);
    const Value zero = Value::integer(0);
    auto numberOf = [&](const char* method, Args args) {
        return number(vm.toNumber(vm.callProperty(math, Name::publicName(method), args)));
    };
    EXPECT_EQ(numberOf("max", {minusZero, zero}), "0");
    EXPECT_EQ(numberOf("max", {zero, minusZero}), "0");
    EXPECT_EQ(numberOf("min", {zero, minusZero}), "-0");
    EXPECT_EQ(numberOf("min", {minusZero, zero}), "-0");
    EXPECT_EQ(numberOf("max", {}), "-Infinity");
    EXPECT_EQ(numberOf("max", {Value::integer(1), Value::number(kNaN), Value::integer(3)}), "NaN");
    EXPECT_EQ(numberOf("pow", {Value::integer(1), Value::number(kInf)}), "NaN");
    EXPECT_EQ(numberOf("pow", {Value::integer(-1), Value::number(-kInf)}), "NaN");
    EXPECT_EQ(numberOf("pow", {Value::integer(1), Value::number(kNaN)}), "NaN");
    EXPECT_EQ(numberOf("pow", {Value::number(kNaN), zero}), "1");
    EXPECT_EQ(numberOf("pow", {Value::integer(2), Value::number(kInf)}), "Infinity");
    EXPECT_EQ(thrown(math, "abs", {}),
              "ArgumentError: Error #1063: Argument count mismatch on Math$/abs(). Expected 1, "
              "got 0.");
    EXPECT_EQ(thrown(math, "atan2", {Value::integer(1)}),
              "ArgumentError: Error #1063: Argument count mismatch on Math$/atan2(). Expected 2, "
              "got 1.");
    EXPECT_EQ(thrown(math, "round", {Value::integer(1), Value::integer(2)}),
              "ArgumentError: Error #1063: Argument count mismatch on Math$/round(). Expected 1, "
              "got 2.");
}

TEST_F(ScriptRules, ToFixedWritesLargeNumbersInFull) {
    const Value big = Value::number(1e21);
    EXPECT_EQ(call(big, "toFixed", {Value::integer(2)}), "1000000000000000000000.00");
    EXPECT_EQ(call(Value::number(-1e100), "toFixed", {}),
              "-10000000000000000159028911097599180468360808563945281389781327557747838772170381"
              "060813469985856815104");
    EXPECT_EQ(call(Value::number(1.5e300), "toFixed", {}).size(), 301U);
}

TEST_F(ScriptRules, StringReplaceCompareAndCase) {
    const Value text = Value::string("John Smith");
    const Value group = make("RegExp", Args{Value::string("(\\w+) (x)?")});
    struct Case {
        Value pattern;
        const char* with;
        const char* result;
    };
    // A string pattern's replacement is literal; a RegExp's reads its $-patterns.
    for (const Case& c : std::vector<Case>{{Value::string("Smith"), "[$&]", "John [$&]"},
                                           {Value::string("Smith"), "$$", "John $$"},
                                           {group, "[$1]", "[John]Smith"},
                                           {group, "$$", "$Smith"}}) {
        EXPECT_EQ(call(text, "replace", {c.pattern, Value::string(c.with)}), c.result) << c.with;
    }
    // A function gets a group that did not take part as empty text.
    const Value show = Value::object(vm.newNative([](avm2::Machine& m, const Value&, Args& a) {
        std::string out = "<";
        for (const Value& v : a) {
            out += (v.isUndefined() ? std::string("u") : m.toString(v)) + ";";
        }
        return Value::string(out + ">");
    }));
    EXPECT_EQ(call(text, "replace", {group, show}), "<John ;John;;0;John Smith;>Smith");
    EXPECT_EQ(call(text, "replace", {Value::string("Sm"), show}), "John <Sm;5;John Smith;>ith");

    struct Order {
        const char* a;
        const char* b;
        int result;
    };
    for (const Order& c : std::vector<Order>{
             {"", "aa", -1}, {"ab", "", 1}, {"a", "a", 0}, {"B", "a", -31}, {"ab", "b", -1}}) {
        EXPECT_EQ(call(Value::string(c.a), "localeCompare", {Value::string(c.b)}),
                  std::to_string(c.result))
            << c.a << " " << c.b;
    }
    EXPECT_EQ(call(Value::string("\xC4\xB1"), "toUpperCase", {}), "I"); // dotless i
    EXPECT_EQ(call(Value::string("\xC4\xB0"), "toLowerCase", {}), "i"); // capital dotted I
    EXPECT_EQ(call(Value::string("\xC3\xA9"), "toUpperCase", {}), "\xC3\x89");
}

TEST_F(ScriptRules, ADateAskedForANumberTriesValueOfFirst) {
    Args ten{Value::integer(10)};
    const Value date = make("Date", ten);
    EXPECT_EQ(number(vm.toNumber(date)), "10");
    EXPECT_EQ(vm.toString(vm.add(date, Value::integer(1))).substr(0, 3),
              vm.toString(date).substr(0, 3));
    Args nan{Value::number(kNaN)};
    EXPECT_EQ(call(make("Date", nan), "getTimezoneOffset", {}), "NaN");
}

TEST_F(ScriptRules, ApplyTakesAnArrayOrNothing) {
    const Value join = vm.getProperty(array({}), Name::publicName("join"));
    const Value list = array({Value::integer(1), Value::integer(2)});
    EXPECT_EQ(call(join, "apply", {list, array({Value::string("-")})}), "1-2");
    EXPECT_EQ(call(join, "apply", {list, Value::null()}), "1,2");
    EXPECT_EQ(call(join, "apply", {list}), "1,2");
    EXPECT_EQ(thrown(join, "apply", {list, Value::integer(5)}),
              "TypeError: Error #1116: second argument to Function.prototype.apply must be an "
              "array.");
    EXPECT_EQ(thrown(join, "apply", {list, Value::object(vm.newObject())}).substr(0, 21),
              "TypeError: Error #111");
}

TEST_F(ScriptRules, VectorsWriteNullsReadNothingPastTheEndAndPopTheirDefault) {
    const Value intClass = Value::object(vm.intClass->classObject);
    const Value stringClass = Value::object(vm.stringClass->classObject);
    const Value vectorClass = Value::object(vm.vectorClass->classObject);
    Args two{Value::integer(2)};
    const Value strings = vm.construct(vm.applyType(vectorClass, {stringClass}), two);
    call(strings, "push", {Value::integer(5)});
    EXPECT_EQ(call(strings, "join", {}), "null,null,5");
    EXPECT_EQ(vm.toString(strings), "null,null,5");
    EXPECT_EQ(call(array({Value::null(), Value(), Value::integer(5)}), "join", {}), ",,5");
    try {
        vm.getProperty(strings, Name::publicName("3"));
        ADD_FAILURE() << "a read past the end returned";
    } catch (const avm2::ScriptThrow& t) {
        EXPECT_EQ(vm.toString(t.value), "RangeError: Error #1125: The index 3 is out of range 3.");
    }
    Args none;
    const Value ints = vm.construct(vm.applyType(vectorClass, {intClass}), none);
    EXPECT_EQ(describeNumber(vm.callProperty(ints, Name::publicName("pop"), none)), "0");
    EXPECT_EQ(describeNumber(vm.callProperty(ints, Name::publicName("shift"), none)), "0");
    const Value anything = vm.construct(vm.applyType(vectorClass, {Value::null()}), none);
    EXPECT_TRUE(vm.callProperty(anything, Name::publicName("pop"), none).isUndefined());
}

TEST_F(ScriptRules, DateUtcWantsYearAndMonth) {
    const Value date = classValue("Date");
    EXPECT_EQ(thrown(date, "UTC", {}),
              "ArgumentError: Error #1063: Argument count mismatch on Date$/UTC(). Expected 2, "
              "got 0.");
    EXPECT_EQ(thrown(date, "UTC", {Value::integer(2000)}),
              "ArgumentError: Error #1063: Argument count mismatch on Date$/UTC(). Expected 2, "
              "got 1.");
    EXPECT_EQ(call(date, "UTC", {Value::integer(1970), Value::integer(0), Value::integer(2)}),
              "86400000");
}

} // namespace
