#include "cardformat/DefaultBlessing.h"
#include "cardformat/TextCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cardformat {
namespace {

std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start)); // a line without its CR LF
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool endsWith(const std::string& line, std::string_view tail) {
    return line.ends_with(tail);
}

TEST(DefaultBlessingTest, FifteenLinesInStanzasOfThreeFiveAndFive) {
    const std::string_view text = defaultBlessingText();
    ASSERT_TRUE(text.ends_with("\r\n"));
    const auto lines = linesOf(text);
    ASSERT_EQ(lines.size(), 15u);
    const std::string separator = "\u3000 ";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool isSeparator = i == 3 || i == 9;
        EXPECT_EQ(lines[i] == separator, isSeparator) << "line " << i;
        EXPECT_EQ(lines[i].find('\n'), std::string::npos) << "line " << i;
        EXPECT_EQ(lines[i].find('\r'), std::string::npos) << "line " << i;
    }
}

TEST(DefaultBlessingTest, VerseLinesEndInOneBlankTheThirdStanzaOpensWithTwo) {
    const auto lines = linesOf(defaultBlessingText());
    ASSERT_EQ(lines.size(), 15u);
    for (std::size_t i : {0, 1, 2, 4, 5, 6, 7, 8, 12, 13, 14}) {
        EXPECT_TRUE(endsWith(lines[i], " ")) << "line " << i;
        EXPECT_FALSE(endsWith(lines[i], "  ")) << "line " << i;
    }
    for (std::size_t i : {10, 11}) {
        EXPECT_TRUE(endsWith(lines[i], "  ")) << "line " << i;
        EXPECT_FALSE(endsWith(lines[i], "   ")) << "line " << i;
    }
}

TEST(DefaultBlessingTest, TwoHundredFiftyBytesAsStored) {
    const std::string_view text = defaultBlessingText();
    EXPECT_EQ(ansiLength(text), 250u);
    EXPECT_EQ(toAnsi(text).size(), 250u);
    EXPECT_EQ(fromAnsi(toAnsi(text)), text);
}

} // namespace
} // namespace cardformat
