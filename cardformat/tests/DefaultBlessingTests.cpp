#include "cardformat/DefaultBlessing.h"
#include "cardformat/TextCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cardformat {
namespace {

// The poem's shape is what cards made before it show: stanzas of three, five and five lines
// between separator lines, each line closed by CR LF and one blank, the third stanza's first
// two by two blanks.
TEST(DefaultBlessingTest, StanzasLineEndsAndStoredLengthAreAsCardsCarryThem) {
    const std::string_view text = defaultBlessingText();
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string_view::npos) << "the last line lacks its CR LF";
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 15u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        EXPECT_EQ(line == "\u3000 ", i == 3 || i == 9) << "line " << i;
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "line " << i;
        const std::size_t blanks = line.size() - line.find_last_not_of(' ') - 1;
        EXPECT_EQ(blanks, i == 10 || i == 11 ? 2u : 1u) << "line " << i;
    }
    EXPECT_EQ(ansiLength(text), 250u);
    EXPECT_EQ(toAnsi(text).size(), 250u);
    EXPECT_EQ(fromAnsi(toAnsi(text)), text);
}

} // namespace
} // namespace cardformat
