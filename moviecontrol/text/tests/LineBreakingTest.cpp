#include <gtest/gtest.h>

#include <string_view>

#include "LineBreaking.h"

namespace mc {
namespace {

// Every letter 10 wide, every space 5.
std::vector<LineItem> itemsOf(std::string_view text) {
    std::vector<LineItem> items;
    for (char c : text) {
        items.push_back(c == ' ' ? LineItem{5.0, true} : LineItem{10.0, false});
    }
    return items;
}

TEST(LineBreakingTest, WordsThatDoNotFitStartTheNextLineAndSpacesHang) {
    const auto items = itemsOf("ab cd ef");
    // "ab cd" is 45 wide; "ef" does not fit after it in 60.
    const auto lines = breakLines(items, 60.0, 60.0, true);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].begin, 0u);
    EXPECT_EQ(lines[0].end, 6u); // the space after "cd" stays on the first line
    EXPECT_EQ(lines[0].width, 45.0);
    EXPECT_EQ(lines[0].innerSpaces, 1u);
    EXPECT_EQ(lines[1].begin, 6u);
    EXPECT_EQ(lines[1].width, 20.0);
    EXPECT_EQ(lines[1].innerSpaces, 0u);
}

TEST(LineBreakingTest, TheFirstLineMayBeNarrower) {
    const auto items = itemsOf("ab cd");
    EXPECT_EQ(breakLines(items, 40.0, 100.0, true).size(), 2u);
    EXPECT_EQ(breakLines(items, 45.0, 100.0, true).size(), 1u);
}

TEST(LineBreakingTest, AWordLongerThanALineBreaksBetweenCharacters) {
    const auto items = itemsOf("abcdefg hi");
    const auto lines = breakLines(items, 30.0, 30.0, true);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].end, 3u);
    EXPECT_EQ(lines[1].end, 6u);
    EXPECT_EQ(lines[2].begin, 6u); // "g " then "hi" on its own line
    EXPECT_EQ(lines[2].width, 10.0);
    EXPECT_EQ(lines[3].begin, 8u);
    for (const LineSpan& l : lines) {
        EXPECT_LE(l.width, 30.0);
    }
}

TEST(LineBreakingTest, WithoutWrapEverythingIsOneLine) {
    const auto items = itemsOf("ab cd ef  ");
    const auto lines = breakLines(items, 10.0, 10.0, false);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].end, items.size());
    EXPECT_EQ(lines[0].width, 70.0); // the trailing spaces do not count
    EXPECT_EQ(lines[0].innerSpaces, 2u);
    EXPECT_EQ(breakLines({}, 10.0, 10.0, true).size(), 1u);
}

TEST(LineBreakingTest, AWordIsSplitOnlyWhereTheLineKeepsTwoOfItsCharacters) {
    const struct {
        std::string_view text;
        double width;
        std::vector<std::size_t> ends;
    } cases[] = {
        {"abcde", 19.0, {5}},       // one letter fits: the word runs past the edge whole
        {"abcde", 5.0, {5}},        // not even one fits
        {"abcde", 20.0, {2, 4, 5}}, // two fit: split after every two
        {"abcde", 30.0, {3, 5}},    // the rest may be a single letter
        {"ab cdefg", 19.0, {3, 8}}, // after a word, a break before the next one
        {"x abcdefg hi", 25.0, {2, 4, 6, 8, 10, 12}},
        {"abcde fghij", 15.0, {6, 11}}, // each word whole, each on its own line
    };
    for (const auto& c : cases) {
        const auto lines = breakLines(itemsOf(c.text), c.width, c.width, true);
        std::vector<std::size_t> ends;
        ends.reserve(lines.size());
        for (const LineSpan& l : lines) {
            ends.push_back(l.end);
        }
        EXPECT_EQ(ends, c.ends) << c.text << " in " << c.width;
    }
}

} // namespace
} // namespace mc
