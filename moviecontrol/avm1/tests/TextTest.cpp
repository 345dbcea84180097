#include <gtest/gtest.h>

#include "unicode/Utf16Text.h"

namespace avm1 {
namespace {

TEST(TextTest, HalvesOfASurrogatePairJoinIntoOneCharacter) {
    const std::u16string face = unicode::toUtf16("\xF0\x9F\x98\x9C"); // one character, two units
    ASSERT_EQ(face.size(), 2u);
    const std::string high = unicode::fromUtf16(face.substr(0, 1));
    const std::string low = unicode::fromUtf16(face.substr(1, 1));
    EXPECT_EQ(unicode::utf16Length(high), 1u);
    EXPECT_EQ(unicode::joinText("a" + high, low + "b"), "a\xF0\x9F\x98\x9C"
                                                        "b");
    // Halves in the wrong order, or apart, stay as they are.
    EXPECT_EQ(unicode::joinText(low, high), low + high);
    EXPECT_EQ(unicode::joinText("x", "y"), "xy");
    EXPECT_EQ(unicode::toUtf16(low + high), std::u16string({face[1], face[0]}));
    // Printed, a half alone is the replacement character; a whole pair and other text stay.
    EXPECT_EQ(unicode::withoutLoneSurrogates("a" + high + "b"), "a\xEF\xBF\xBD"
                                                                "b");
    EXPECT_EQ(unicode::withoutLoneSurrogates(low), "\xEF\xBF\xBD");
    EXPECT_EQ(unicode::withoutLoneSurrogates("\xF0\x9F\x98\x9C\xED"), "\xF0\x9F\x98\x9C\xED");
}

} // namespace
} // namespace avm1
