#include <gtest/gtest.h>

#include "HtmlText.h"

namespace mc {
namespace {

TEST(HtmlTextTest, ParagraphsRunsAndNestedStyles) {
    const auto paragraphs = parseHtmlText(QStringLiteral(
        "<p align=\"center\"><font face=\"Arial\" size=\"20\" color=\"#ff0000\">a<b>b<i>c</i>"
        "</b>d</font></p><P>e&amp;f<br>g</P>"));
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
    EXPECT_FALSE(paragraphs[1].runs.at(0).color);
    EXPECT_EQ(paragraphs[2].runs.at(0).text, QStringLiteral("g"));
}

TEST(HtmlTextTest, KerningIsInheritedUntilTheFontEnds) {
    const auto paragraphs = parseHtmlText(
        QStringLiteral("<font kerning=\"1\">a<b>b</b><font kerning=\"0\">c</font></font>d"));
    ASSERT_EQ(paragraphs.size(), 1u);
    const auto& runs = paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_TRUE(runs[0].kerning);
    EXPECT_TRUE(runs[1].kerning);
    EXPECT_FALSE(runs[2].kerning);
    EXPECT_FALSE(runs[3].kerning);
}

TEST(HtmlTextTest, BrokenMarkupKeepsTheTextAndStaysBounded) {
    QString deep;
    for (int i = 0; i < 500; ++i) {
        deep += QStringLiteral("<b>");
    }
    deep += QStringLiteral("x</b></b></b></b>y<unclosed");
    const auto paragraphs = parseHtmlText(deep);
    ASSERT_EQ(paragraphs.size(), 1u);
    ASSERT_EQ(paragraphs[0].runs.size(), 2u);
    EXPECT_EQ(paragraphs[0].runs[0].text, QStringLiteral("x"));
    EXPECT_EQ(paragraphs[0].runs[1].text, QStringLiteral("y"));
    EXPECT_TRUE(paragraphs[0].runs[1].bold);
}

} // namespace
} // namespace mc
