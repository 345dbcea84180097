#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TextRestrict.h"

namespace mc {
namespace {

struct RestrictCase {
    std::string pattern;
    std::string typed;
    std::string taken;
};

TEST(TextRestrictTest, PatternsAcceptRefuseAndTurnLettersRound) {
    const std::vector<RestrictCase> cases = {
        {"", "abc", ""},                     // nothing may be typed
        {"abc", "aXbcd", "abc"},             // only what is named
        {"A-Z 0-9", "Hello 42", "HELLO 42"}, // a letter of the wrong case turns round
        {"a-z", "ABC!", "abc"},
        {"^a-z", "ab1!", "AB1!"},        // a caret first: all but what follows
        {"A-Z^Q", "aqQz", "AZ"},         // a caret later refuses what follows it
        {"^0-9^5", "1569", "5"},         // and the next one accepts again
        {"\\-\\^\\\\", "-^\\a", "-^\\"}, // backslashes take the next character as it is
        {"a-", "a-b", "a"},              // a hyphen with nothing after it adds nothing
        {"ab^-", "abc", "a"},            // ...but repeats the character before it
        {"-b", "-aBc~", "-aBC"},         // a range without a start starts at the first unit
        {"--b", "!b~", "!b"},            // hyphens in a row are one
        {"-", "-a", ""},                 // a lone hyphen holds only the first unit
        {"a-c-e", "!bd~", "!bd"},        // a character ending a range starts none
        {"a-c^-b", "abc", "c"},          // ...nor does one before a caret that ends a range
        {"z-a", "amz", "z"},             // a range running backwards holds nothing
        {"a-\\-", "a-", "a"},            // an escaped end is only a character
        {"\\\\-a", "\\^a{", "\\^a"},     // an escaped start is one too
        {"0-9", "1\r2", "1\r2"},         // a new line is no character to refuse
        {"é", "eéÉ", "é"},               // beyond ASCII letters keep their case
        {"a\\", "\\a", "a"},             // a lone backslash at the end is nothing
    };
    for (const RestrictCase& c : cases) {
        EXPECT_EQ(restrictTyped(c.pattern, c.typed), c.taken) << c.pattern << " / " << c.typed;
    }
}

} // namespace
} // namespace mc
