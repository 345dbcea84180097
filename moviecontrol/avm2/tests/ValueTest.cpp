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
    };
    for (auto [d, text] : cases) {
        EXPECT_EQ(avm2::numberToString(d), text) << d;
    }
    EXPECT_EQ(avm2::numberToString(std::nan("")), "NaN");
    EXPECT_EQ(avm2::numberToRadix(255, 16), "ff");
    EXPECT_EQ(avm2::numberToRadix(-5, 2), "-101");
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
