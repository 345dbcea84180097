#include <gtest/gtest.h>

#include "HtmlText.h"

namespace mc {
namespace {

std::vector<StyledParagraph> painted(const std::string& html, bool multiline = true) {
    HtmlOptions options;
    options.multiline = multiline;
    return paragraphsOf(parseHtml(html, TextFormat{}, options));
}

TEST(HtmlTextTest, ParagraphsRunsAndNestedStyles) {
    const auto paragraphs = painted(
        "<p align=\"center\"><font face=\"Arial\" size=\"20\" color=\"#ff0000\">a<b>b<i>c</i>"
        "</b>d</font></p><P>e&amp;f<br>g</P>");
    ASSERT_EQ(paragraphs.size(), 3u);
    EXPECT_EQ(paragraphs[0].align, swf::TextAlign::Center);
    const auto& runs = paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, QStringLiteral("a"));
    EXPECT_FALSE(runs[0].bold);
    ASSERT_TRUE(runs[0].color);
    EXPECT_EQ(runs[0].color->r, 255);
    EXPECT_EQ(runs[0].color->g, 0);
    EXPECT_EQ(runs[0].sizePx, 20.0);
    EXPECT_EQ(runs[0].face, QStringLiteral("Arial"));
    EXPECT_TRUE(runs[1].bold);
    EXPECT_FALSE(runs[1].italic);
    EXPECT_TRUE(runs[2].bold);
    EXPECT_TRUE(runs[2].italic);
    EXPECT_FALSE(runs[3].bold); // </b> ends the bold run
    EXPECT_EQ(runs[3].sizePx, 20.0);
    EXPECT_EQ(paragraphs[1].runs.at(0).text, QStringLiteral("e&f"));
    EXPECT_EQ(paragraphs[1].runs.at(0).color->r, 0);
    EXPECT_EQ(paragraphs[1].align, swf::TextAlign::Left);
    EXPECT_EQ(paragraphs[2].runs.at(0).text, QStringLiteral("g"));
}

TEST(HtmlTextTest, KerningIsInheritedUntilTheFontEnds) {
    const auto paragraphs =
        painted("<font kerning=\"1\">a<b>b</b><font kerning=\"0\">c</font></font>d");
    ASSERT_EQ(paragraphs.size(), 1u);
    const auto& runs = paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 3u); // "c" and "d" look the same: one run
    EXPECT_TRUE(runs[0].kerning);
    EXPECT_TRUE(runs[1].kerning);
    EXPECT_FALSE(runs[2].kerning);
    EXPECT_EQ(runs[2].text, QStringLiteral("cd"));
}

TEST(HtmlTextTest, BrokenMarkupKeepsTheTextAndStaysBounded) {
    std::string deep;
    for (int i = 0; i < 500; ++i) {
        deep += "<b>";
    }
    deep += "x</b></b></b></b>y<unclosed";
    const auto paragraphs = painted(deep);
    ASSERT_EQ(paragraphs.size(), 1u);
    ASSERT_EQ(paragraphs[0].runs.size(), 1u); // both bold: the deep tags never closed
    EXPECT_EQ(paragraphs[0].runs[0].text, QStringLiteral("xy"));
    EXPECT_TRUE(paragraphs[0].runs[0].bold);
}

TEST(HtmlTextTest, AnEmptyLastParagraphIsNotPainted) {
    EXPECT_EQ(painted("a\n").size(), 1u);
    EXPECT_EQ(painted("a\n\n").size(), 2u);
    EXPECT_EQ(painted("<p>a</p><p>b</p>", false).size(), 1u);
}

TEST(HtmlTextTest, ListItemsCarryTheirBulletInTheFirstCharactersStyle) {
    const auto items = painted("<li><font size=\"30\" color=\"#00ff00\">a</font>b</li><p>c</p>");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_TRUE(items[0].bullet);
    EXPECT_EQ(items[0].mark.text, QStringLiteral("\u2022"));
    EXPECT_EQ(items[0].mark.sizePx, 30.0);
    EXPECT_EQ(items[0].mark.color->g, 255);
    EXPECT_FALSE(items[1].bullet);
    // After a last item's end an empty item remains, in the format of that end.
    const auto last = painted("<p>a</p><font size=\"30\"><li>b</li></font>");
    ASSERT_EQ(last.size(), 3u);
    EXPECT_FALSE(last[0].bullet);
    EXPECT_TRUE(last[2].bullet);
    EXPECT_TRUE(last[2].runs.empty());
    EXPECT_EQ(last[2].mark.sizePx, 30.0);
}

TEST(HtmlTextTest, ParagraphsKeepTheirMarginsAndRunsTheirUnderline) {
    const auto paragraphs = painted(
        "<textformat leftmargin=\"7\" rightmargin=\"2\" indent=\"3\" blockindent=\"5\" "
        "leading=\"4\"><p>a</p></textformat><p><u>b</u><font letterspacing=\"2\">c</font></p>");
    ASSERT_EQ(paragraphs.size(), 2u);
    EXPECT_EQ(paragraphs[0].leftMargin, 7.0);
    EXPECT_EQ(paragraphs[0].rightMargin, 2.0);
    EXPECT_EQ(paragraphs[0].indent, 3.0);
    EXPECT_EQ(paragraphs[0].blockIndent, 5.0);
    EXPECT_EQ(paragraphs[0].leading, 4.0);
    EXPECT_EQ(paragraphs[1].leftMargin, 0.0);
    EXPECT_EQ(paragraphs[1].leading, 0.0);
    ASSERT_EQ(paragraphs[1].runs.size(), 2u);
    EXPECT_TRUE(paragraphs[1].runs[0].underline);
    EXPECT_FALSE(paragraphs[1].runs[1].underline);
    EXPECT_EQ(paragraphs[1].runs[1].letterSpacing, 2.0);
}

} // namespace
} // namespace mc
