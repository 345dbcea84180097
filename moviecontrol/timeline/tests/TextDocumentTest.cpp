#include <gtest/gtest.h>

#include "StyleSheet.h"
#include "TextDocument.h"
#include "TextFieldState.h"
#include "unicode/Utf16Text.h"

namespace mc {
namespace {

std::string plain(const TextDocument& d) {
    return unicode::fromUtf16(d.text());
}

TextFormat base() {
    TextFormat f;
    f.font = "Noto Sans";
    f.size = 6;
    return f;
}

const std::string kOpen = "<P ALIGN=\"LEFT\"><FONT FACE=\"Noto Sans\" SIZE=\"6\" COLOR=\"#000000\" "
                          "LETTERSPACING=\"0\" KERNING=\"0\">";
const std::string kClose = "</FONT></P>";

TEST(TextDocumentTest, FormatsFollowEditsAndRangesShareOnlyWhatIsCommon) {
    TextDocument d;
    TextFormat red;
    red.color = 0xFF0000;
    d.append(u"abc", TextFormat{});
    d.append(u"def", red);
    ASSERT_EQ(d.runs().size(), 2u);
    EXPECT_EQ(d.formatOf(0, 3)->color, 0u);
    const auto mixed = d.formatOf(2, 4);
    ASSERT_TRUE(mixed);
    EXPECT_FALSE(mixed->color);
    EXPECT_EQ(mixed->font, "Times New Roman");

    PartialFormat bold;
    bold.bold = true;
    d.apply(1, 5, bold);
    EXPECT_EQ(d.runs().size(), 4u);
    EXPECT_FALSE(d.formatAt(0)->bold);
    EXPECT_TRUE(d.formatAt(4)->bold);
    EXPECT_FALSE(d.formatAt(5)->bold);

    // Replacing joins equal neighbours again; indexes past the end are clamped.
    d.replace(1, 100, u"x", TextFormat{});
    EXPECT_EQ(plain(d), "ax");
    EXPECT_EQ(d.runs().size(), 1u);
}

TEST(TextDocumentTest, ParagraphAttributesChangeWholeParagraphs) {
    TextDocument d;
    d.append(u"one\rtwo\rthree", TextFormat{});
    PartialFormat right;
    right.align = "right";
    right.bold = true;
    d.apply(5, 6, right); // inside "two"
    EXPECT_EQ(d.formatAt(2)->align, "left");
    EXPECT_EQ(d.formatAt(4)->align, "right");
    EXPECT_EQ(d.formatAt(7)->align, "right"); // its '\r'
    EXPECT_EQ(d.formatAt(8)->align, "left");
    EXPECT_FALSE(d.formatAt(4)->bold);
    EXPECT_TRUE(d.formatAt(5)->bold);
}

TEST(HtmlMarkupTest, PrintsParagraphsFontsAndStylesAsPlayersDo) {
    const TextDocument d = parseHtml("a<b>b</b>\nc", base(), HtmlOptions{});
    EXPECT_EQ(plain(d), "ab\rc");
    EXPECT_EQ(printHtml(d), kOpen + "a<B>b</B>" + kClose + kOpen + "c" + kClose);

    // A last empty paragraph is not printed; an empty one in between is.
    EXPECT_EQ(printHtml(parseHtml("x\n\n", base(), HtmlOptions{})),
              kOpen + "x" + kClose + kOpen + kClose);
    EXPECT_EQ(printHtml(parseHtml("", base(), HtmlOptions{})), "");

    // Runs that differ from the paragraph's first character get a nested FONT.
    const TextDocument f = parseHtml("x<font color='#aaaaaa' kerning='1'><i>y &amp; z</i></font>",
                                     base(), HtmlOptions{});
    EXPECT_EQ(printHtml(f),
              kOpen + "x<FONT COLOR=\"#AAAAAA\" KERNING=\"1\"><I>y &amp; z</I></FONT>" + kClose);

    // Paragraph attributes other than the alignment sit in a TEXTFORMAT around each one.
    const TextDocument t = parseHtml(
        "<textformat leading='1' tabstops='1,2'><li>x</li></textformat>", base(), HtmlOptions{});
    EXPECT_EQ(printHtml(t), "<TEXTFORMAT LEADING=\"1\" TABSTOPS=\"1,2\"><LI><FONT FACE=\"Noto "
                            "Sans\" SIZE=\"6\" COLOR=\"#000000\" LETTERSPACING=\"0\" "
                            "KERNING=\"0\">x</FONT></LI></TEXTFORMAT>");
}

TEST(HtmlMarkupTest, ParagraphTagsBreakLinesOnlyInMultilineFields) {
    HtmlOptions single;
    HtmlOptions multi;
    multi.multiline = true;
    EXPECT_EQ(plain(parseHtml("<p>test</p>\n", base(), single)), "test\r");
    EXPECT_EQ(plain(parseHtml("<p>test</p>\n", base(), multi)), "test\r\r");
    EXPECT_EQ(plain(parseHtml("\n<p>test</p>\n", base(), multi)), "\rtest\r\r");
    // A paragraph only ends a line; a list item also starts one.
    EXPECT_EQ(plain(parseHtml(" <p>a</p> <p>b</p> ", base(), multi)), " a\r b\r ");
    EXPECT_EQ(plain(parseHtml(" <li>a</li>", base(), multi)), " \ra\r");
    EXPECT_EQ(plain(parseHtml("a<br>b", base(), single)), "ab");
    EXPECT_EQ(plain(parseHtml("a<br>b", base(), multi)), "a\rb");
    // The first character decides a paragraph's attributes.
    const TextDocument aligned =
        parseHtml("<p align='center'>a</p><p align='right'>b</p>", base(), single);
    EXPECT_EQ(aligned.formatAt(1)->align, "center");
    EXPECT_EQ(parseHtml("a<p align='center'>b</p>", base(), single).formatAt(1)->align, "left");
    // Its end takes the font last closed in it.
    const TextDocument ended = parseHtml("<p><font color='#010203'>a</font></p>", base(), multi);
    EXPECT_EQ(plain(ended), "a\r");
    EXPECT_EQ(ended.formatAt(1)->color, 0x010203u);
}

TEST(HtmlMarkupTest, ParagraphEndsTakeTheLastClosedFontAndListItemsTheirOwn) {
    HtmlOptions multi;
    multi.multiline = true;
    // Neither the font still open nor the bold inside: the font closed last, with the
    // paragraph's own alignment.
    const TextDocument p = parseHtml("<font color='#333333'><p align='right'><font "
                                     "color='#222222'></font><b>a</b></p></font>",
                                     base(), multi);
    ASSERT_EQ(plain(p), "a\r");
    EXPECT_EQ(p.formatAt(0)->color, 0x333333u);
    EXPECT_TRUE(p.formatAt(0)->bold);
    EXPECT_EQ(p.formatAt(1)->color, 0x222222u);
    EXPECT_FALSE(p.formatAt(1)->bold);
    EXPECT_EQ(p.formatAt(1)->align, "right");
    // Without a closed font, the field's own format.
    const TextDocument bare = parseHtml("<b><p align='right'></p></b>", base(), multi);
    ASSERT_EQ(plain(bare), "\r");
    EXPECT_FALSE(bare.formatAt(0)->bold);
    EXPECT_EQ(bare.formatAt(0)->align, "right");
    // A list item ends as it began, whatever fonts closed in it.
    const TextDocument item = parseHtml("<li><font color='#010101'>a</font></li>", base(), multi);
    ASSERT_EQ(plain(item), "a\r");
    EXPECT_EQ(item.formatAt(0)->color, 0x010101u);
    EXPECT_EQ(item.formatAt(1)->color, 0u);
    EXPECT_TRUE(item.formatAt(1)->bullet);
    // A paragraph inside an item stays part of the item.
    EXPECT_TRUE(parseHtml("<li><p>b</p></li>", base(), HtmlOptions{}).formatAt(0)->bullet);
    // A paragraph opened again inside an item is an item too, up to its end; the inner end
    // tag closes nothing while the item is open.
    const TextDocument nested = parseHtml("<p><li><p>a</p></li></p>", base(), multi);
    ASSERT_EQ(plain(nested), "a\r\r");
    EXPECT_TRUE(nested.formatAt(2)->bullet);
    const TextDocument plainEnd = parseHtml("<p align='right'>a<li></li></p>", base(), multi);
    ASSERT_EQ(plain(plainEnd), "a\r\r\r");
    EXPECT_TRUE(plainEnd.formatAt(2)->bullet);
    EXPECT_FALSE(plainEnd.formatAt(3)->bullet);
    EXPECT_EQ(plainEnd.formatAt(3)->align, "right");
}

TEST(HtmlMarkupTest, AnEndTagClosesOnlyTheInnermostTag) {
    const TextDocument d = parseHtml("<b>a<i>b</b>c</i>d</b>e", base(), HtmlOptions{});
    ASSERT_EQ(plain(d), "abcde");
    EXPECT_TRUE(d.formatAt(2)->bold); // "</b>" inside the italic is dropped
    EXPECT_TRUE(d.formatAt(2)->italic);
    EXPECT_TRUE(d.formatAt(3)->bold);
    EXPECT_FALSE(d.formatAt(3)->italic);
    EXPECT_FALSE(d.formatAt(4)->bold);
    // Images and empty tags stay open for no end tag.
    HtmlOptions multi;
    multi.multiline = true;
    EXPECT_EQ(plain(parseHtml("<p>a<img src='x'>b<x/>c</p>d", base(), multi)), "abc\rd");
}

TEST(HtmlMarkupTest, FontSizesStayWithinOneTo127) {
    const TextDocument d =
        parseHtml("<font size='200'>a</font><font size='0'>b</font><font size='-20'>c</font>",
                  base(), HtmlOptions{});
    ASSERT_EQ(plain(d), "abc");
    EXPECT_EQ(d.formatAt(0)->size, 127);
    EXPECT_EQ(d.formatAt(1)->size, 1);
    EXPECT_EQ(d.formatAt(2)->size, 1);
}

// Letter spacing keeps a fraction of a pixel, and prints it back; sizes are whole.
TEST(HtmlMarkupTest, LetterSpacingKeepsItsFraction) {
    const struct {
        const char* given;
        double spacing;
    } rows[] = {{"2.5", 2.5}, {"-1.25", -1.25}, {"-0.5", -0.5}, {"3", 3},
                {"4.", 4},    {"1.5px", 1.5},   {".5", 0},      {"x", 0}};
    for (const auto& row : rows) {
        const TextDocument d =
            parseHtml(std::string("<font letterspacing='") + row.given + "' size='12.7'>a</font>",
                      base(), HtmlOptions{});
        ASSERT_EQ(plain(d), "a");
        EXPECT_EQ(d.formatAt(0)->letterSpacing, row.spacing) << row.given;
        EXPECT_EQ(d.formatAt(0)->size, 12) << row.given;
    }
    const TextDocument d = parseHtml("<font letterspacing='2.5'>a</font>", base(), HtmlOptions{});
    EXPECT_NE(printHtml(d).find("LETTERSPACING=\"2.5\""), std::string::npos) << printHtml(d);
}

TEST(HtmlMarkupTest, VersionSevenDropsBlankTextAndKnowsNoKerning) {
    HtmlOptions now;
    now.multiline = true;
    HtmlOptions seven = now;
    seven.version7 = true;
    const std::string html = "<p>a</p>\n <b> </b>x y\n<font kerning='1'>k</font>";
    EXPECT_EQ(plain(parseHtml(html, base(), now)), "a\r\r  x y\rk");
    const TextDocument old = parseHtml(html, base(), seven);
    EXPECT_EQ(plain(old), "a\rx y\rk");
    EXPECT_FALSE(old.formatAt(6)->kerning);
    EXPECT_TRUE(parseHtml(html, base(), now).formatAt(9)->kerning);
    EXPECT_EQ(plain(parseHtml("\n\n", base(), seven)), "");
}

TEST(HtmlMarkupTest, CondensedWhiteSpaceKeepsOneSpaceBetweenWords) {
    HtmlOptions condense;
    condense.condenseWhite = true;
    EXPECT_EQ(plain(parseHtml("\n \tasdf \t  \n", base(), condense)), "asdf ");
    EXPECT_EQ(plain(parseHtml("test \ntest\n\ntest", base(), condense)), "test test test");
    EXPECT_EQ(plain(parseHtml(" \n", base(), condense)), "");
}

TEST(HtmlMarkupTest, VersionSevenCondensesWhiteSpaceOnlyWithinEachPieceOfText) {
    const struct {
        const char* html;
        const char* seven;
        const char* eight;
    } cases[] = {
        {"  spaced   out  \n line ", " spaced out line ", "spaced out line "},
        {"a <b> b</b>", "a  b", "a b"},
        {"<p> x</p><p>\ty </p>", " x y ", "x y "},
        {"a\n\nb", "a b", "a b"},
    };
    for (const auto& c : cases) {
        HtmlOptions condense;
        condense.condenseWhite = true;
        EXPECT_EQ(plain(parseHtml(c.html, base(), condense)), c.eight) << c.html;
        condense.version7 = true;
        EXPECT_EQ(plain(parseHtml(c.html, base(), condense)), c.seven) << c.html;
    }
}

TEST(HtmlMarkupTest, ColoursTakeTheLastSixDigitsBeforeAnythingElse) {
    EXPECT_EQ(parseHtmlColor("#202020"), 0x202020u);
    EXPECT_EQ(parseHtmlColor("#2345678"), 0x345678u);
    EXPECT_EQ(parseHtmlColor("#abfg"), 0xabfu);
    EXPECT_EQ(parseHtmlColor("#   234567  "), 0x234567u);
    EXPECT_FALSE(parseHtmlColor("202020"));
    EXPECT_FALSE(parseHtmlColor(" #234567"));
    EXPECT_FALSE(parseHtmlColor("#g101010"));
    EXPECT_FALSE(parseHtmlColor("# "));
}

HtmlOptions styledBy(const StyleSheet& styles) {
    HtmlOptions options;
    options.styles = &styles;
    return options;
}

TEST(HtmlMarkupTest, StyleSheetsStyleTagsAndClasses) {
    StyleSheet styles;
    styles.styles["p"].size = 20;
    styles.styles[".red"].color = 0xFF0000;
    const HtmlOptions options = styledBy(styles);
    const TextDocument d =
        parseHtml("<p>a<span class='red'>b</span></p><font size='+2'>c</font>", base(), options);
    EXPECT_EQ(plain(d), "abc");
    EXPECT_EQ(d.formatAt(0)->size, 20);
    EXPECT_EQ(d.formatAt(1)->color, 0xFF0000u);
    EXPECT_EQ(d.formatAt(1)->size, 20);
    EXPECT_EQ(d.formatAt(2)->size, 8); // relative to the base
}

TEST(HtmlMarkupTest, SheetsNameOnlyParagraphsItemsAndLinksByTagAndTheirAttributesWin) {
    StyleSheet styles;
    for (const char* tag : {"span", "font", "textformat", "p", "a", "li"}) {
        styles.styles[tag].color = 0x0000FF;
    }
    styles.styles["p"].align = "center";
    const HtmlOptions options = styledBy(styles);
    const TextDocument d =
        parseHtml("<span>a</span><font>b</font><textformat>c</textformat><a>d</a><li>e</li>",
                  base(), options);
    EXPECT_EQ(plain(d), "abcde");
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(d.formatAt(i)->color, 0u) << i;
    }
    EXPECT_EQ(d.formatAt(3)->color, 0x0000FFu);
    EXPECT_EQ(d.formatAt(4)->color, 0x0000FFu);
    EXPECT_EQ(parseHtml("<p>a</p>", base(), options).formatAt(0)->align, "center");
    const TextDocument right =
        parseHtml("<p align='right'><font color='#00FF00'>a</font></p>", base(), options);
    EXPECT_EQ(right.formatAt(0)->align, "right");
    EXPECT_EQ(right.formatAt(0)->color, 0x00FF00u);
}

TEST(HtmlMarkupTest, ClassesMatchWithoutCaseAsOneWholeNameAndNestInsideOtherFormats) {
    StyleSheet styles;
    styles.styles[".red"].color = 0xFF0000;
    styles.styles[".small"].size = 3;
    const HtmlOptions options = styledBy(styles);
    const TextDocument names = parseHtml(
        "<span class='RED'>a</span><span class='red small'>b</span><span class=' red'>c</span>",
        base(), options);
    EXPECT_EQ(names.formatAt(0)->color, 0xFF0000u);
    EXPECT_EQ(names.formatAt(1)->color, 0u);
    EXPECT_EQ(names.formatAt(2)->color, 0u);
    const TextDocument nested =
        parseHtml("<font color='#00FF00'>a<span class='red'>b</span></font>"
                  "<span class='red'>c<font color='#00FF00'>d</font><p class='small'>e</p></span>",
                  base(), options);
    EXPECT_EQ(plain(nested), "abcde");
    const std::uint32_t colors[] = {0x00FF00, 0xFF0000, 0xFF0000, 0x00FF00, 0xFF0000};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(nested.formatAt(i)->color, colors[i]) << i;
    }
    EXPECT_EQ(nested.formatAt(4)->size, 3);
    EXPECT_EQ(nested.formatAt(3)->size, 6);
}

TEST(HtmlMarkupTest, TagsOfTheSheetsOwnTakeTheirStyleAndShowAsItsDisplaySays) {
    StyleSheet styles;
    for (const char* tag : {"head", "note", "gone", "b"}) {
        styles.styles[tag].color = 0x0000FF;
    }
    styles.displays = {{"head", "block"}, {"note", "inline"}, {"gone", "none"}, {"b", "block"}};
    HtmlOptions options = styledBy(styles);
    options.multiline = true;
    const struct {
        const char* html;
        const char* text;
        const char* blue; // 'b' where the style colours a character
    } cases[] = {
        {"<HEAD>t</HEAD>x", "t\rx", "bb."},
        {"a<note>n</note>b", "anb", ".b."},
        {"a<gone>hidden<b>too</b></gone>b", "ab", ".."},
        {"<other>o</other>", "o", "."},
        {"<b>bold</b>x", "boldx", "....."},
    };
    for (const auto& c : cases) {
        const TextDocument d = parseHtml(c.html, base(), options);
        EXPECT_EQ(plain(d), c.text) << c.html;
        std::string blue;
        for (std::size_t i = 0; i < d.size(); ++i) {
            blue += d.formatAt(i)->color == 0x0000FFu ? 'b' : '.';
        }
        EXPECT_EQ(blue, c.blue) << c.html;
    }
    // A single-line field keeps a block on the line.
    options.multiline = false;
    EXPECT_EQ(plain(parseHtml("<head>t</head>x", base(), options)), "tx");
}

TEST(HtmlMarkupTest, HostileMarkupStaysBounded) {
    std::string deep;
    for (int i = 0; i < 5000; ++i) {
        deep += "<b><font size='9'>x";
    }
    deep += "<unclosed";
    const TextDocument d = parseHtml(deep, base(), HtmlOptions{});
    EXPECT_EQ(d.size(), 5000u);
    EXPECT_LE(d.runs().size(), 70u);
    EXPECT_EQ(plain(parseHtml("&#x41;&#66;&bogus;&#xZZ;", base(), HtmlOptions{})),
              "AB&bogus;&#xZZ;");
}

TEST(TextFieldStateTest, PlainTextTakesTheNewFormatAndOneKindOfLineEnd) {
    TextFieldState t;
    swf::EditText def;
    def.fontHeight = 400;
    def.color = swf::Rgba{1, 2, 3, 255};
    def.html = true;
    def.initialText = "<b>x</b>";
    t.define(def, "Embedded");
    EXPECT_EQ(t.plainText(), "x");
    EXPECT_TRUE(t.document.formatAt(0)->bold);
    EXPECT_EQ(t.newFormat.font, "Embedded");
    EXPECT_EQ(t.newFormat.size, 20);
    EXPECT_EQ(t.newFormat.color, 0x010203u);
    t.setPlainText("a\r\nb\nc");
    // Each line end character ends a paragraph of its own.
    EXPECT_EQ(t.plainText(), "a\r\rb\rc");
    EXPECT_FALSE(t.document.formatAt(0)->bold);
}

TEST(TextDocumentTest, MaskingKeepsParagraphEndsFormatsAndOneStarACharacter) {
    TextFormat bold = base();
    bold.bold = true;
    TextDocument d;
    d.append(u"ab\r", base());
    d.append(u"c\U0001F600", bold);
    const TextDocument masked = maskedDocument(d, u'*');
    EXPECT_EQ(masked.text(), u"**\r**");
    EXPECT_FALSE(masked.formatAt(0)->bold);
    EXPECT_TRUE(masked.formatAt(3)->bold);
    EXPECT_TRUE(masked.formatAt(4)->bold);
    EXPECT_TRUE(maskedDocument(TextDocument{}, u'*').empty());
}

TEST(TextDocumentTest, MarkupGivesParagraphsTheirFirstCharactersSettingsUnlessStyled) {
    // A single-line field: the paragraph's tags make no paragraph end, so the text around
    // the tag shares its paragraph.
    HtmlOptions plain;
    const TextDocument attributed = parseHtml(" <p align=\"center\">a</p> ", base(), plain);
    ASSERT_EQ(attributed.size(), 3u);
    for (std::size_t i = 0; i < attributed.size(); ++i) {
        EXPECT_EQ(attributed.formatAt(i)->align, "left") << i;
    }
    // Through a style sheet each character keeps what its tag's style gave it.
    StyleSheet sheet;
    PartialFormat centred;
    centred.align = "center";
    sheet.styles["p"] = centred;
    HtmlOptions styled;
    styled.styles = &sheet;
    const TextDocument d = parseHtml(" <p>a</p> ", base(), styled);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d.formatAt(0)->align, "left");
    EXPECT_EQ(d.formatAt(1)->align, "center");
    EXPECT_EQ(d.formatAt(2)->align, "left");
}

} // namespace
} // namespace mc
