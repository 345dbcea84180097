// Conversions between values as each movie version defines them, and Flash's number printing.

#include "FakeStage.h"

#include "avm1/Convert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace avm1test {
namespace {

using avm1::Str;
using avm1::Value;

TEST(NumberText, PrintsFifteenSignificantDigitsAndFlashExponents) {
    EXPECT_EQ(avm1::numberToText(0.1 + 0.2), "0.3");
    EXPECT_EQ(avm1::numberToText(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(avm1::numberToText(123456789012345.0), "123456789012345");
    EXPECT_EQ(avm1::numberToText(1e15), "1e+15");
    EXPECT_EQ(avm1::numberToText(1e21), "1e+21");
    EXPECT_EQ(avm1::numberToText(-2.5e20), "-2.5e+20");
    EXPECT_EQ(avm1::numberToText(1.5e-7), "1.5e-7");
    EXPECT_EQ(avm1::numberToText(0.0001), "0.0001");
    // The layout follows the exponent before rounding: fixed from 1e-5 up to 1e15.
    EXPECT_EQ(avm1::numberToText(0.00001), "0.00001");
    EXPECT_EQ(avm1::numberToText(-0.0000123), "-0.0000123");
    EXPECT_EQ(avm1::numberToText(0.000001), "1e-6");
    EXPECT_EQ(avm1::numberToText(0.0000099999999999999), "9.9999999999999e-6");
    EXPECT_EQ(avm1::numberToText(-0.0), "0");
    EXPECT_EQ(avm1::numberToText(std::nan("")), "NaN");
    EXPECT_EQ(avm1::numberToText(-std::numeric_limits<double>::infinity()), "-Infinity");
    EXPECT_EQ(avm1::numberToText(4.94065645841247e-324), "4.94065645841247e-324");
    // Rounding to 15 digits may carry into a new exponent, but not into the other layout.
    EXPECT_EQ(avm1::numberToText(999999999999999.9), "1000000000000000");
    EXPECT_EQ(avm1::numberToText(-999999999999999.9), "-1000000000000000");
    EXPECT_EQ(avm1::numberToText(9999999999999999.0), "1e+16");
    // Digits come from multiplying the rest by ten, not from the exact value, and a tie
    // rounds away from zero.
    EXPECT_EQ(avm1::numberToText(std::sqrt(1001.0)), "31.6385840391127");
    EXPECT_EQ(avm1::numberToText(990000000000000.5), "990000000000001");
    EXPECT_EQ(avm1::numberToText(4294967296.5), "4294967296.5");
    EXPECT_EQ(avm1::numberToText(-2147483649.0), "-2147483649");
}

TEST(NumberText, OtherRadixesPrintTheIntegerPart) {
    EXPECT_EQ(avm1::numberToText(255, 16), "ff");
    EXPECT_EQ(avm1::numberToText(-10, 2), "-1010");
    EXPECT_EQ(avm1::numberToText(35.9, 36), "z");
    EXPECT_EQ(avm1::numberToText(10, 1), "10"); // an invalid radix prints decimal
    // NaN is the smallest integer there, whose digits fall below '0'.
    EXPECT_EQ(avm1::numberToText(std::nan(""), 2), "-/0000000000000000000000000000000");
    EXPECT_EQ(avm1::numberToText(std::nan(""), 8), "-.0000000000");
    // Rounding the largest number to 15 digits would overflow: its digits are cut.
    EXPECT_EQ(avm1::numberToText(std::numeric_limits<double>::max()), "1.79769313486231e+308");
}

TEST(StringToNumber, FollowsTheMovieVersion) {
    EXPECT_TRUE(std::isnan(avm1::stringToNumber("", 7)));
    EXPECT_EQ(avm1::stringToNumber("", 4), 0);
    EXPECT_TRUE(std::isnan(avm1::stringToNumber("12abc", 6)));
    EXPECT_EQ(avm1::stringToNumber("12abc", 4), 12); // version 4 reads the leading number
    EXPECT_EQ(avm1::stringToNumber("  -3.5e2", 7), -350);
    EXPECT_EQ(avm1::stringToNumber("0x1F", 6), 31);
    EXPECT_EQ(avm1::stringToNumber("0xFFFFFFFF", 6), -1); // hexadecimal is a 32-bit integer
    EXPECT_TRUE(std::isnan(avm1::stringToNumber("0x1F", 5)));
    EXPECT_TRUE(std::isnan(avm1::stringToNumber("Infinity", 7)));
    // A point alone is a number without digits: zero, as are a signed one and one with an
    // exponent.
    EXPECT_EQ(avm1::stringToNumber(".", 7), 0);
    EXPECT_EQ(avm1::stringToNumber("-.", 6), 0);
    EXPECT_EQ(avm1::stringToNumber(".e1", 8), 0);
    EXPECT_TRUE(std::isnan(avm1::stringToNumber(". 1", 7)));
    EXPECT_TRUE(std::isnan(avm1::stringToNumber("-", 7)));
}

TEST(StringToNumber, PrefixesCountOnlyWhereFlashLooksForThem) {
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* text;
        double from6; // versions 6 on
        double in5;
    } table[] = {
        // Octal: a leading zero, only octal digits after it, no space before.
        {"0123", 83, 123},
        {"-0123", -83, -123},
        {"   0123", 123, 123},
        {"01238", 1238, 1238},
        {"0123.6", 123.6, 123.6},
        // Both prefixed forms are 32-bit signed integers, however many digits they have.
        {"037777777777", -1, 37777777777},
        {"0777777777777", -1, 777777777777},
        {"-020000000000", 2147483648, -20000000000},
        {"0x1FFFFFFFF", -1, NaN},
        {"0x123456789ABCDEF01", -1412567295, NaN},
        // Hexadecimal: only at the very start, its sign after the prefix.
        {"0x-10", -16, NaN},
        {"0X+10", 16, NaN},
        {"-0x10", NaN, NaN},
        {" 0x10", NaN, NaN},
        {"0x10 ", NaN, NaN},
        {"0x10.8", NaN, NaN},
        {"0x", NaN, NaN},
        // Anything after the number spoils it.
        {"7 ", NaN, NaN},
        {"   0-123", NaN, NaN},
        {"1e2x", NaN, NaN},
        // An exponent marker without digits is still part of the number.
        {"1e", 1, 1},
        {"2.5E+", 2.5, 2.5},
        {"1e-2", 0.01, 0.01},
        {"e5", NaN, NaN},
    };
    for (const auto& row : table) {
        for (int version : {5, 6, 7}) {
            double expected = version >= 6 ? row.from6 : row.in5;
            double got = avm1::stringToNumber(row.text, version);
            if (std::isnan(expected)) {
                EXPECT_TRUE(std::isnan(got)) << row.text << " v" << version;
            } else {
                EXPECT_EQ(got, expected) << row.text << " v" << version;
            }
        }
    }
}

TEST(GlobalParsing, ParseIntTakesPrefixesOnlyAtTheStart) {
    const struct {
        const char* text;
        int radix;
        double value; // NaN: no number
    } table[] = {
        {"0x111", 0, 273},
        {"0x-111", 0, -273},
        {"0X+111", 0, 273},
        {"-0x111", 0, NAN},
        {"+0x111", 0, NAN},
        {" 0x111", 0, 0},
        {"0x123", 8, 83},
        {" 0x123", 8, 0},
        {"0352", 0, 234},
        {"-0352", 0, -234},
        {"+0352", 0, 234},
        {"07658", 0, 7658},
        {"   0352", 0, 352},
        {"  -0352", 0, -352},
        {"0352A", 0, 352},
        {"0352 ", 0, 352},
        {"03529A", 0, 3529},
        {"8589934592", 5, NAN},
        {"2GA", 36, 3178},
        {" 6 7 8", 8, 6},
        // Spaces and a sign may follow "0x"; a signed "0x" counts only where 'x' is a digit,
        // and the sign is then passed over.
        {"0x  -10", 0, -16},
        {"0x 1f", 16, 31},
        {"+0x10", 36, 42804},
        {"-0x10", 34, 38182},
        {"-0x10", 33, NAN},
    };
    for (const auto& row : table) {
        double got = avm1::parseIntText(row.text, row.radix);
        if (std::isnan(row.value)) {
            EXPECT_TRUE(std::isnan(got)) << row.text;
        } else {
            EXPECT_EQ(got, row.value) << row.text << " radix " << row.radix;
        }
    }
}

TEST(GlobalParsing, ParseIntAndParseFloat) {
    EXPECT_EQ(avm1::parseIntText("  42px", 0), 42);
    EXPECT_EQ(avm1::parseIntText("0x1f", 0), 31);
    EXPECT_EQ(avm1::parseIntText("010", 0), 8);
    EXPECT_EQ(avm1::parseIntText("019", 0), 19);
    EXPECT_EQ(avm1::parseIntText("-z", 36), -35);
    EXPECT_TRUE(std::isnan(avm1::parseIntText("g", 16)));
    EXPECT_DOUBLE_EQ(avm1::parseFloatText("0000.12345GIBBERISH"), 0.12345);
    EXPECT_EQ(avm1::parseFloatText("  -1e3x"), -1000);
    EXPECT_TRUE(std::isnan(avm1::parseFloatText("e5")));
    EXPECT_TRUE(std::isnan(avm1::parseFloatText("-")));
    EXPECT_EQ(avm1::parseFloatText("."), 0);
    EXPECT_EQ(avm1::parseFloatText("-.x"), 0);
    // A second point is passed over and ends the exponent; the exponent wraps at 32 bits.
    EXPECT_DOUBLE_EQ(avm1::parseFloatText("1.2345.678"), 1.2345678);
    EXPECT_DOUBLE_EQ(avm1::parseFloatText("-2.123123.123219e20"), -2.123123123219);
    EXPECT_EQ(avm1::parseFloatText("1e4294967297"), 10);
    EXPECT_EQ(avm1::parseFloatText("10e-"), 10);
    EXPECT_TRUE(std::isnan(avm1::parseFloatText("Infinity")));
    // Fraction digits are scaled one by one, off the nearest double in the last bit.
    EXPECT_EQ(avm1::parseFloatText(".1499999"), 0.14999990000000005);
}

TEST(Int32, WrapsModulo2To32) {
    EXPECT_EQ(avm1::toInt32(4294967296.0 + 5), 5);
    EXPECT_EQ(avm1::toInt32(2147483648.0), -2147483647 - 1);
    EXPECT_EQ(avm1::toInt32(-1.9), -1);
    EXPECT_EQ(avm1::toInt32(std::nan("")), 0);
    EXPECT_EQ(avm1::toUint32(-1), 4294967295u);
}

TEST(ValueConversion, UndefinedAndBooleansByVersion) {
    FakeStage v6(6), v7(7), v4(4);
    EXPECT_EQ(v6.vm.toString(Value()).view(), "");
    EXPECT_EQ(v7.vm.toString(Value()).view(), "undefined");
    EXPECT_EQ(v6.vm.toNumber(Value()), 0);
    EXPECT_TRUE(std::isnan(v7.vm.toNumber(Value::null())));
    EXPECT_EQ(v4.vm.toString(Value(true)).view(), "1");
    EXPECT_EQ(v6.vm.toString(Value(true)).view(), "true");
    // Text is true from version 7 when not empty; before, when its number is not zero.
    EXPECT_TRUE(v7.vm.toBoolean(Value(Str("0"))));
    EXPECT_FALSE(v6.vm.toBoolean(Value(Str("0"))));
    EXPECT_FALSE(v6.vm.toBoolean(Value(Str("abc"))));
    EXPECT_TRUE(v6.vm.toBoolean(Value(Str("2"))));
    EXPECT_FALSE(v7.vm.toBoolean(Value(std::nan(""))));
}

TEST(ValueConversion, ObjectsUseValueOfAndToString) {
    FakeStage stage(7);
    avm1::Machine& vm = stage.vm;
    avm1::Object* o = vm.newObject();
    EXPECT_EQ(vm.toString(Value(o)).view(), "[object Object]");
    vm.defineMethod(o, "valueOf", [](avm1::CallArgs&) { return Value(41.0); });
    vm.defineMethod(o, "toString", [](avm1::CallArgs&) { return Value(Str("forty")); });
    EXPECT_EQ(vm.toNumber(Value(o)), 41);
    EXPECT_EQ(vm.toString(Value(o)).view(), "forty");
    EXPECT_EQ(vm.typeOf(Value(o)), "object");
    EXPECT_EQ(vm.typeOf(Value(static_cast<avm1::Object*>(stage.rootClip))), "movieclip");
    EXPECT_EQ(vm.toString(Value(static_cast<avm1::Object*>(stage.rootClip))).view(), "_level0");
    EXPECT_EQ(vm.typeOf(Value::null()), "null");
    // A bare object has no valueOf: it converts as undefined does.
    avm1::Object* bare = vm.make<avm1::Object>(nullptr);
    EXPECT_TRUE(vm.toPrimitive(Value(bare)).isUndefined());
    EXPECT_EQ(vm.toString(Value(bare)).view(), "[type Object]");
}

TEST(Names, CaseInsensitiveUpToVersion6) {
    FakeStage v6(6), v7(7);
    avm1::Object* g6 = v6.vm.newObject();
    v6.vm.set(g6, "Name", Value(1.0));
    EXPECT_EQ(v6.vm.toNumber(v6.vm.get(g6, "NAME")), 1);
    v6.vm.set(g6, "nAmE", Value(5.0));
    EXPECT_EQ(v6.vm.enumerate(g6).size(), 1u);
    // Letters beyond ASCII fold too.
    v6.vm.set(g6, "\xC3\x84pfel", Value(3.0));                   // Äpfel
    EXPECT_EQ(v6.vm.toNumber(v6.vm.get(g6, "\xC3\xA4PFEL")), 3); // äPFEL
    EXPECT_TRUE(avm1::equalsFolded("\xD3\xA4", "\xD3\xA5"));     // Ӥ ӥ
    // Digraphs come in three cases, all one name: Ǳ ǲ ǳ, and Ǆ ǅ ǆ apart from them.
    EXPECT_TRUE(avm1::equalsFolded("\xC7\xB1\xC7\xB2", "\xC7\xB3\xC7\xB3"));
    EXPECT_TRUE(avm1::equalsFolded("\xC7\x84", "\xC7\x85"));
    EXPECT_FALSE(avm1::equalsFolded("\xC7\x86", "\xC7\x89"));
    avm1::Object* g7 = v7.vm.newObject();
    v7.vm.set(g7, "Name", Value(1.0));
    EXPECT_TRUE(v7.vm.get(g7, "NAME").isUndefined());
}

} // namespace
} // namespace avm1test
