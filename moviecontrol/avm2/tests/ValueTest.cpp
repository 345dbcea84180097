// Number and string conversions as ECMA-262 defines them for ActionScript 3.

#include "avm2/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(Value, NumbersPrintInTheirShortestEcmaForm) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {1.5, "1.5"},
        {-1, "-1"},
        {0.1, "0.1"},
        {1e21, "1e+21"},
        {1e20, "100000000000000000000"},
        {1e-7, "1e-7"},
        {0.000001, "0.000001"},
        {123456789.125, "123456789.125"},
        {1.0 / 3, "0.3333333333333333"},
        {16716550, "16716550"},
        {std::numeric_limits<double>::infinity(), "Infinity"},
        // Past 1e21 at most 15 digits, cut; small numbers keep all of theirs.
        {9.876543210987654e25, "9.87654321098765e+25"},
        {1.000000000000001e21, "1.00000000000000e+21"},
        {1e21, "1e+21"},
        {-1.2345678901234566e-9, "-1.2345678901234566e-9"},
    };
    for (auto [d, text] : cases) {
        EXPECT_EQ(avm2::numberToString(d), text) << d;
    }
    EXPECT_EQ(avm2::numberToString(std::nan("")), "NaN");
    EXPECT_EQ(avm2::numberToRadix(255, 16), "ff");
    EXPECT_EQ(avm2::numberToRadix(-5, 2), "-101");
}

TEST(Value, RadixDigitsComeFromDoubleDivision) {
    const std::pair<double, int> exact[] = {{255, 16}, {-255.9, 16}, {0.99, 2}, {36, 36}};
    const char* exactText[] = {"ff", "-ff", "0", "10"};
    for (std::size_t i = 0; i < std::size(exact); ++i) {
        EXPECT_EQ(avm2::numberToRadix(exact[i].first, exact[i].second), exactText[i]);
    }
    EXPECT_EQ(avm2::numberToRadix(std::ldexp(1.0, 60), 16), "1000000000000000");
    // Past 2^53 the remainders are what the rounded products leave: zeros, or characters
    // outside the digits ('0' - 2 is '.', INT_MIN + 'a' - 10 keeps 'W' as its low byte).
    EXPECT_EQ(avm2::numberToRadix(9.87e20, 7), "5103042241410330453000000");
    EXPECT_EQ(avm2::numberToRadix(9.87e20, 3), "1000001122112221202101010012210000.0000000000");
    EXPECT_EQ(avm2::numberToRadix(-9.87e20, 29), "-395h7epo55qo0W0");
    // A byte past ASCII is a Latin-1 character, here U+00D7.
    EXPECT_EQ(avm2::numberToRadix(9.87e20, 30), "21r6d500kh8g\xC3\x97"
                                                "00");
    // The largest number still ends.
    EXPECT_EQ(avm2::numberToRadix(std::numeric_limits<double>::max(), 2).size(), 1024u);
    EXPECT_EQ(avm2::numberToRadix(std::nan(""), 2), "NaN");
    EXPECT_EQ(avm2::numberToRadix(-std::numeric_limits<double>::infinity(), 2), "-Infinity");
}

TEST(Value, StringsReadAsNumbers) {
    EXPECT_EQ(avm2::stringToNumber(""), 0);
    EXPECT_EQ(avm2::stringToNumber("  12  "), 12);
    EXPECT_EQ(avm2::stringToNumber("0xFF1306"), 16716550);
    EXPECT_EQ(avm2::stringToNumber("-1.0"), -1);
    EXPECT_EQ(avm2::stringToNumber("-Infinity"), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(avm2::stringToNumber("str")));
    EXPECT_TRUE(std::isnan(avm2::stringToNumber("1x")));
}

TEST(Value, IntegerConversionsWrap) {
    EXPECT_EQ(avm2::toInt32(4294967295.0), -1);
    EXPECT_EQ(avm2::toInt32(2147483648.0), -2147483648);
    EXPECT_EQ(avm2::toUint32(-1), 4294967295u);
    EXPECT_EQ(avm2::toInt32(std::nan("")), 0);
    EXPECT_EQ(avm2::toInt32(-1.9), -1);
}

} // namespace
