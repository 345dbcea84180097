// Strings as scripts see them: sequences of UTF-16 code units. Characters beyond the first
// plane count two, a surrogate cut from its partner stays a code unit of its own, and the
// halves of a pair meet again when joined. Positions, comparisons and case follow the same
// units.

#include "FakeHost.h"
#include "avm2/StringPositions.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

const std::string kSmile = "\xF0\x9F\x98\x80"; // U+1F600, two code units
const std::string kHan = "\xE4\xBD\xA0";       // U+4F60, one code unit

class StringUnits : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value call(const Value& target, const std::string& method, Args args) {
        return vm.callProperty(target, Name::publicName(method), args);
    }
    std::string text(const Value& target, const std::string& method, Args args) {
        return vm.toString(call(target, method, std::move(args)));
    }
    Value fromCodes(std::initializer_list<int> codes) {
        Args args;
        for (int c : codes) {
            args.push_back(Value::integer(c));
        }
        return call(Value::object(vm.stringClass->classObject), "fromCharCode", args);
    }
};

TEST_F(StringUnits, LengthAndCharacterCodesCountCodeUnits) {
    const Value s = Value::string("a" + kHan + kSmile + "b");
    EXPECT_EQ(vm.toString(vm.getProperty(s, Name::publicName("length"))), "5");
    EXPECT_EQ(text(s, "charCodeAt", {Value::integer(1)}), "20320");
    EXPECT_EQ(text(s, "charCodeAt", {Value::integer(2)}), "55357"); // 0xD83D
    EXPECT_EQ(text(s, "charCodeAt", {Value::integer(3)}), "56832"); // 0xDE00
    EXPECT_EQ(text(s, "charAt", {Value::integer(4)}), "b");
    EXPECT_EQ(text(s, "indexOf", {Value::string("b")}), "4");
    EXPECT_EQ(text(s, "lastIndexOf", {Value::string(kSmile)}), "2");
    EXPECT_EQ(text(s, "substring", {Value::integer(1), Value::integer(4)}), kHan + kSmile);
}

TEST_F(StringUnits, HalvesOfAPairStayApartAndJoinAgain) {
    const Value s = Value::string(kSmile);
    const Value high = call(s, "charAt", {Value::integer(0)});
    const Value low = call(s, "slice", {Value::integer(1)});
    EXPECT_EQ(vm.toString(vm.getProperty(high, Name::publicName("length"))), "1");
    EXPECT_EQ(text(low, "charCodeAt", {}), "56832");
    // Joined by +, by concat and by fromCharCode, the halves are one character again.
    EXPECT_EQ(vm.toString(vm.add(high, low)), kSmile);
    EXPECT_EQ(text(high, "concat", {low}), kSmile);
    EXPECT_EQ(vm.toString(fromCodes({0xD83D, 0xDE00})), kSmile);
    // fromCharCode keeps the low 16 bits of each code.
    EXPECT_EQ(vm.toString(fromCodes({65 + 65536, 66 - 65536})), "AB");
    const Value pieces = call(s, "split", {Value::string("")});
    EXPECT_EQ(vm.toString(vm.getProperty(pieces, Name::publicName("length"))), "2");
}

TEST_F(StringUnits, SubstrReadsItsEndLikeSlice) {
    struct Case {
        double start;
        double count;
        const char* result;
    };
    const Case table[] = {
        {3, 5, "defg"}, {0, -2, "abcde"}, {1, -2, "bcdef"}, {2, -2, ""},  {1, -4, "bcd"},
        {2, -1, ""},    {2, 9, "cdefg"},  {-3, 2, "ef"},    {5, -10, ""},
    };
    const Value s = Value::string("abcdefg");
    for (const Case& c : table) {
        EXPECT_EQ(text(s, "substr", {Value::number(c.start), Value::number(c.count)}), c.result)
            << c.start << ", " << c.count;
    }
    // Undefined given is not the same as nothing given: it reads as 0.
    EXPECT_EQ(text(s, "slice", {Value::integer(2), Value()}), "");
    EXPECT_EQ(text(s, "slice", {Value::integer(2)}), "cdefg");
    EXPECT_EQ(text(s, "substring", {Value::integer(2), Value()}), "ab");
    EXPECT_EQ(text(s, "substr", {Value::integer(2), Value()}), "");
}

TEST_F(StringUnits, ComparisonsFollowCodeUnits) {
    const Value abc = Value::string("abc");
    EXPECT_EQ(text(abc, "localeCompare", {Value::string("abc")}), "0");
    EXPECT_EQ(text(abc, "localeCompare", {Value::string("abd")}), "-1");
    EXPECT_EQ(text(Value::string("aaaaa"), "localeCompare", {Value::string("aaaaaa")}), "-1");
    EXPECT_EQ(text(abc, "localeCompare", {}), "-20"); // against "undefined"
    EXPECT_EQ(text(Value::string(kSmile), "localeCompare", {Value::string("a")}), "55260");
    // A character beyond the first plane (0xD83D...) sorts before U+FF41, as in UTF-16,
    // though its UTF-8 bytes sort after.
    const Value fullwidth = Value::string("\xEF\xBD\x81");
    EXPECT_EQ(vm.lessThan(Value::string(kSmile), fullwidth), 1);
    EXPECT_EQ(vm.lessThan(fullwidth, Value::string(kSmile)), 0);
    EXPECT_EQ(vm.lessThan(Value::string("a"), Value::string("b")), 1);
}

TEST_F(StringUnits, CaseChangesEachLetterItsOwnWay) {
    struct Case {
        char16_t lower;
        char16_t upper;
    };
    // Latin, Greek, Cyrillic, Armenian, Vietnamese, Greek extended, number forms, circled
    // and full-width letters all pair off.
    const Case pairs[] = {{u'a', u'A'},     {0xE9, 0xC9},     {0xFF, 0x178},    {0x101, 0x100},
                          {0x13A, 0x139},   {0x14B, 0x14A},   {0x17E, 0x17D},   {0x1CC, 0x1CA},
                          {0x219, 0x218},   {0x3B1, 0x391},   {0x3C9, 0x3A9},   {0x430, 0x410},
                          {0x451, 0x401},   {0x461, 0x460},   {0x4F9, 0x4F8},   {0x561, 0x531},
                          {0x1EA1, 0x1EA0}, {0x1F00, 0x1F08}, {0x2170, 0x2160}, {0x24D0, 0x24B6},
                          {0xFF41, 0xFF21}};
    for (const Case& c : pairs) {
        EXPECT_EQ(avm2::upperUnit(c.lower), c.upper) << static_cast<int>(c.lower);
        EXPECT_EQ(avm2::lowerUnit(c.upper), c.lower) << static_cast<int>(c.upper);
    }
    // What has no other case stays: digits, the multiplication sign, sharp s, kra, CJK.
    for (char16_t c : {u'1', char16_t{0xD7}, char16_t{0xDF}, char16_t{0x138}, char16_t{0x4F60}}) {
        EXPECT_EQ(avm2::upperUnit(c), c);
        EXPECT_EQ(avm2::lowerUnit(c), c);
    }
    // One way only: title-case and iota-subscript letters take the capital (the latter its
    // title form), final sigma the empty place before capital sigma, Georgian capitals the
    // letters of the ordinary alphabet; micro sign stays.
    const Case oneWay[] = {{0x1C5, 0x1C4},   {0x1C6, 0x1C4}, {0x1F80, 0x1F88},
                           {0x1FB3, 0x1FBC}, {0x3C2, 0x3A2}, {0xB5, 0xB5}};
    for (const Case& c : oneWay) {
        EXPECT_EQ(avm2::upperUnit(c.lower), c.upper) << static_cast<int>(c.lower);
    }
    EXPECT_EQ(avm2::lowerUnit(0x10A0), 0x10D0);
    EXPECT_EQ(avm2::lowerUnit(0x130), u'i');
    EXPECT_EQ(text(Value::string("stra\xC3\x9F"
                                 "e " +
                                 kHan),
                   "toUpperCase", {}),
              "STRA\xC3\x9F"
              "E " +
                  kHan);
}

} // namespace
