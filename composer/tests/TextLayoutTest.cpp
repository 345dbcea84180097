// Words broken into lines that stay inside the stage.

#include "composer/TextLayout.h"

#include <gtest/gtest.h>

namespace composer {
namespace {

// CJK characters are one em wide, everything else half.
double advance(char32_t c) {
    return c >= 0x2E80 ? 1.0 : 0.5;
}

std::vector<std::u32string> texts(const TextBlock& block) {
    std::vector<std::u32string> out;
    for (const LaidLine& line : block.lines) {
        out.push_back(line.text);
    }
    return out;
}

TEST(TextLayout, CjkBreaksBetweenCharactersKeepingPunctuationWithItsWord) {
    const TextBox box{4, 100, 1, 1, 1.5};
    const TextBlock block = layoutText(U"新年快乐，万事如意", advance, box);
    EXPECT_EQ(texts(block), (std::vector<std::u32string>{U"新年快", U"乐，万事", U"如意"}));
    for (const LaidLine& line : block.lines) {
        EXPECT_LE(line.width, box.maxWidth);
    }
    EXPECT_FALSE(block.cut);
}

TEST(TextLayout, LatinBreaksAtSpacesAndCutsAWordLongerThanALine) {
    const TextBox box{3, 100, 1, 1, 1.5};
    const TextBlock block = layoutText(U"a happy year abcdefghijkl", advance, box);
    EXPECT_EQ(texts(block),
              (std::vector<std::u32string>{U"a", U"happy", U"year", U"abcdef", U"ghijkl"}));
    EXPECT_DOUBLE_EQ(block.lines[1].width, 2.5);
}

TEST(TextLayout, ExplicitLineEndsAndEmptyLinesAreKept) {
    const TextBox box{100, 100, 1, 1, 1.5};
    const TextBlock block = layoutText(U"一\r\n\n二\n", advance, box);
    EXPECT_EQ(texts(block), (std::vector<std::u32string>{U"一", U"", U"二"}));
}

TEST(TextLayout, ShrinksToFitTheHeightThenCuts) {
    const std::u32string many = U"一二三四五六七八九十一二三四五六七八九十";
    const TextBox roomy{10, 6, 2, 1, 1.0};
    const TextBlock fits = layoutText(many, advance, roomy);
    EXPECT_LT(fits.size, 2.0);
    EXPECT_GE(fits.size, 1.0);
    EXPECT_LE(static_cast<double>(fits.lines.size()) * fits.lineHeight, roomy.maxHeight);
    EXPECT_FALSE(fits.cut);

    const TextBox tight{10, 1.5, 2, 1, 1.0};
    const TextBlock cut = layoutText(many, advance, tight);
    EXPECT_DOUBLE_EQ(cut.size, 1.0);
    EXPECT_EQ(cut.lines.size(), 1u);
    EXPECT_TRUE(cut.cut);
}

TEST(TextLayout, NothingToLayOut) {
    EXPECT_TRUE(layoutText(U" \n", advance, {10, 10, 1, 1, 1}).lines.empty());
    EXPECT_TRUE(layoutText(U"字", advance, {0, 10, 1, 1, 1}).lines.empty());
}

TEST(TextLayout, Utf8BothWaysAndDamagedBytes) {
    const std::string text = "祝福 ok 🎉";
    EXPECT_EQ(fromUtf8(text), U"祝福 ok 🎉");
    EXPECT_EQ(toUtf8(fromUtf8(text)), text);
    EXPECT_EQ(fromUtf8("a\xE4\xB8"), U"a\uFFFD\uFFFD");
    EXPECT_EQ(fromUtf8("\xFF"
                       "b"),
              U"\uFFFDb");
}

} // namespace
} // namespace composer
