#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "CharacterCache.h"
#include "MovieView.h"
#include "ParagraphFrame.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "ScriptedRender.h"
#include "TextDocument.h"
#include "TextLayout.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using namespace moviemaker;

// A font whose 'a' is a box half an em wide and high, advancing 0.6 em; a space advances
// 0.3 em. Ascent 0.8 em, descent 0.2 em: at 20 px a line is 20 px high, the box 10 px.
Font boxFont() {
    Font f;
    f.name = "Boxes";
    f.ascent = 16384;
    f.descent = 4096;
    Glyph a;
    a.code = 'a';
    a.outline.rectangle(0, -10240, 10240, 10240);
    a.advance = 12288;
    Glyph space;
    space.code = ' ';
    space.advance = 6144;
    // A bullet: a 5 px square from 7.5 to 2.5 px over the baseline at 20 px.
    Glyph bullet;
    bullet.code = 0x2022;
    bullet.outline.rectangle(0, -7680, 5120, 5120);
    bullet.advance = 6144;
    f.glyphs = {a, space, bullet};
    return f;
}

struct FieldSetup {
    int align = 0; // left, right, center, justify
    std::uint16_t indent = 0;
    bool html = false;
    std::string text;
};

// A 200x100 px word-wrapping field at the stage's corner, red 20 px text in the box font.
QImage renderField(const FieldSetup& setup) {
    SwfWriter movie = whiteStage(240, 120);
    const std::uint16_t font = movie.defineFont(boxFont(), 3);
    BitWriter body;
    const std::uint16_t id = movie.nextId();
    body.u16(id);
    writeRect(body, Rect::pixels(200, 100));
    body.u8(0x80 | 0x40 | 0x20 | 0x04 | 0x01);      // text, word wrap, multiline, colour, font
    body.u8(0x20 | 0x01 | (setup.html ? 0x02 : 0)); // layout, outlines
    body.u16(font);
    body.u16(400);
    body.u8(255);
    body.u8(0);
    body.u8(0);
    body.u8(255);
    body.u8(static_cast<std::uint8_t>(setup.align));
    body.u16(0);
    body.u16(0);
    body.u16(setup.indent);
    body.u16(0);
    body.string("");
    body.string(setup.text);
    movie.rawTag(37, body.data());
    movie.place(id, 1);
    return firstFrame(movie, QSize(240, 120), RenderQuality::High);
}

bool inked(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

bool blank(const QImage& image, int x, int y) {
    return image.pixelColor(x, y) == QColor(255, 255, 255);
}

// Three words of 48 px with their spaces take 156 px; a fourth does not fit in the 196 px
// between the gutters and goes to the second line, whose boxes span rows 28..37.
constexpr const char* kFourWords = "aaaa aaaa aaaa aaaa";

TEST(FieldLayoutTest, WordsThatDoNotFitWrapToTheNextLine) {
    const QImage image = renderField({0, 0, false, kFourWords});
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(inked(image, 7, 13));   // first line, first box
    EXPECT_TRUE(inked(image, 7, 33));   // the fourth word, wrapped
    EXPECT_TRUE(inked(image, 43, 33));  // its last box
    EXPECT_TRUE(blank(image, 55, 33));  // nothing after it
    EXPECT_TRUE(blank(image, 180, 13)); // and nothing past the third word
    EXPECT_TRUE(blank(image, 7, 53));   // no third line
}

TEST(FieldLayoutTest, JustifiedLinesReachTheRightGutterButTheLastLineDoesNot) {
    const QImage justified = renderField({3, 0, false, kFourWords});
    ASSERT_FALSE(justified.isNull());
    // The first line's last box now ends at the right gutter (198 px less its 2 px gap).
    EXPECT_TRUE(inked(justified, 192, 13));
    EXPECT_TRUE(blank(justified, 198, 13));
    EXPECT_TRUE(inked(justified, 7, 13));
    // The last line keeps its natural spacing.
    EXPECT_TRUE(inked(justified, 43, 33));
    EXPECT_TRUE(blank(justified, 55, 33));
    const QImage right = renderField({1, 0, false, kFourWords});
    EXPECT_TRUE(inked(right, 192, 33)); // right-aligned: the last line ends at the gutter too
    EXPECT_TRUE(blank(right, 7, 33));
}

TEST(FieldLayoutTest, IndentMovesTheFirstLineOfEachParagraphOnly) {
    // 10 px indent: a first line of 186 px keeps three words; the second paragraph starts
    // indented again, the wrapped line does not.
    const QImage image = renderField({0, 200, false, std::string(kFourWords) + "\raaaa"});
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(blank(image, 8, 13));
    EXPECT_TRUE(inked(image, 14, 13));
    EXPECT_TRUE(inked(image, 7, 33)); // the wrapped line starts at the margin
    EXPECT_TRUE(blank(image, 8, 53)); // the next paragraph's first line is indented
    EXPECT_TRUE(inked(image, 14, 53));
}

TEST(FieldLayoutTest, UnderlinedTextHasARuleUnderTheBaseline) {
    const QImage image = renderField({0, 0, true, "<p><u>aa</u> aa</p>"});
    ASSERT_FALSE(image.isNull());
    // Baseline at row 18: the rule covers row 20 under the underlined boxes only.
    EXPECT_TRUE(inked(image, 5, 20));
    EXPECT_TRUE(inked(image, 20, 20));
    EXPECT_TRUE(blank(image, 5, 19));
    EXPECT_TRUE(blank(image, 40, 20)); // under the plain word
    EXPECT_TRUE(inked(image, 40, 13));
}

bool blueInk(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return c.blue() > 200 && c.red() < 60 && c.green() < 60;
}

TEST(FieldLayoutTest, ListItemsAreIndentedBehindABulletInTheirFirstCharactersStyle) {
    // Text 36 px right of the margin (at 38 px), the bullet half as far (20..25 px), on the
    // first line's baseline (row 18), coloured like the item's first character.
    const QImage image =
        renderField({0, 0, true, "<li><font color='#0000FF'>aa</font>aa aa</li><p>a</p>"});
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(blueInk(image, 22, 13));
    EXPECT_TRUE(blank(image, 22, 9)); // a bullet, not a box
    EXPECT_TRUE(blank(image, 18, 13));
    EXPECT_TRUE(blank(image, 7, 13)); // nothing at the margin
    EXPECT_TRUE(blank(image, 36, 13));
    EXPECT_TRUE(blueInk(image, 40, 13));
    EXPECT_TRUE(inked(image, 65, 13)); // the item's later text keeps its own colour
    // The next paragraph is no list item: at the margin, no bullet.
    EXPECT_TRUE(inked(image, 7, 33));
    EXPECT_TRUE(blank(image, 22, 33));
    EXPECT_TRUE(blank(image, 7, 53)); // no line after it

    // A wrapped item's later lines stay indented, without a bullet; the line after a last
    // item's end is an item of its own.
    const QImage wrapped = renderField({0, 0, true, "<li>aaaa aaaa aaaa aaaa</li>"});
    ASSERT_FALSE(wrapped.isNull());
    EXPECT_TRUE(inked(wrapped, 40, 33));
    EXPECT_TRUE(blank(wrapped, 7, 33));
    EXPECT_TRUE(blank(wrapped, 22, 33));
    EXPECT_TRUE(inked(wrapped, 22, 51));
    EXPECT_TRUE(blank(wrapped, 40, 51));
}

// Draws a script-made, autosized field of "aa" in the box font, red, with the format's
// paragraph lengths `lengths` ("leftMargin", 10...), and what the script read of its size.
// The script traces _width, textWidth and textHeight.
PlayedScript autosizedField(const std::vector<std::pair<std::string, double>>& lengths) {
    SwfWriter movie = whiteStage(240, 60);
    movie.defineFont(boxFont(), 3);
    Actions a;
    a.callMethod("this", "createTextField", {"tf", "1", "0", "0", "10", "10"});
    a.setVariable("tf.embedFonts", 1);
    a.push("fmt").push(0.0).push("TextFormat").code(0x40).code(0x1D);
    a.setVariable("fmt.font", "Boxes")
        .setVariable("fmt.size", 20)
        .setVariable("fmt.color", 0xFF0000);
    for (const auto& [name, value] : lengths) {
        a.setVariable("fmt." + name, value);
    }
    a.push("fmt").code(0x1C).push(1.0).push("tf").code(0x1C);
    a.push("setNewTextFormat").code(0x52).code(0x17);
    a.setVariable("tf.text", "aa").setVariable("tf.autoSize", "left");
    a.traceValue("tf._width").traceValue("tf.textWidth").traceValue("tf.textHeight");
    return playScript(movie, a, QSize(240, 60));
}

// The rightmost column with red ink on a row, or -1.
int lastInk(const QImage& image, int y) {
    for (int x = image.width() - 1; x >= 0; --x) {
        if (inked(image, x, y)) {
            return x;
        }
    }
    return -1;
}

TEST(FieldLayoutTest, RunsInAFontTheMovieDoesNotEmbedAreNotDrawnAndTakeNoRoom) {
    // Boxes 12 px apart from the 2 px gutter: the last of n ends at 2 + (n - 1) * 12 + 9.
    const struct {
        const char* markup;
        int lastInk;
    } cases[] = {
        {"<p>aa<font face='Nowhere'>aa</font>aa</p>", 2 + 3 * 12 + 9},
        {"<p>aa<font face='BOXES'>aa</font>aa</p>", 2 + 5 * 12 + 9},
        {"<p>aa<font face='Boxes'>aa</font>aa</p>", 2 + 5 * 12 + 9},
        {"<p><font face='Nowhere'>aaaa</font></p>", -1},
    };
    for (const auto& c : cases) {
        const QImage image = renderField({0, 0, true, c.markup});
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(lastInk(image, 13), c.lastInk) << c.markup;
    }
}

TEST(FieldLayoutTest, AutosizedFieldsAreAsWideAsTheLinesTheyDraw) {
    // Two boxes 12 px apart take 24 px; the field adds its 2 px gutters on both sides.
    const PlayedScript plain = autosizedField({});
    ASSERT_FALSE(plain.image.isNull());
    EXPECT_EQ(plain.traced, (std::vector<std::string>{"28", "24", "20"}));
    EXPECT_EQ(lastInk(plain.image, 13), 2 + 12 + 9);

    // Margins, block indent and indent move the text right by 22 px and reserve 6 px after
    // it; a list item adds its 36 px bullet column. The field grows by just as much, and the
    // ink ends where the width says the line does.
    const PlayedScript lengths =
        autosizedField({{"leftMargin", 10}, {"blockIndent", 8}, {"indent", 4}, {"rightMargin", 6}});
    ASSERT_FALSE(lengths.image.isNull());
    EXPECT_EQ(lengths.traced, (std::vector<std::string>{"56", "52", "20"}));
    EXPECT_EQ(lastInk(lengths.image, 13), 2 + 22 + 12 + 9);
    EXPECT_TRUE(blank(lengths.image, 2 + 22 - 1, 13));

    const PlayedScript item = autosizedField({{"leftMargin", 10}, {"bullet", 1}});
    ASSERT_FALSE(item.image.isNull());
    EXPECT_EQ(item.traced, (std::vector<std::string>{"74", "70", "20"}));
    EXPECT_EQ(lastInk(item.image, 13), 2 + 10 + 36 + 12 + 9);
    // The bullet sits halfway into its column, inside the field.
    EXPECT_TRUE(inked(item.image, 2 + 10 + 18 + 2, 13));
}

TEST(FieldLayoutTest, LengthsScriptsSetOutOfReachStayFinite) {
    // A system-font field whose text format a script filled with nonsense.
    renderTestApp();
    swf::Movie movie;
    CharacterCache characters(movie);
    swf::EditText field;
    field.bounds = swf::Rect{0, 4000, 0, 2000};
    field.wordWrap = true;
    field.multiline = true;
    TextFormat format;
    format.font = "_sans";
    format.leftMargin = std::numeric_limits<double>::quiet_NaN();
    format.indent = -std::numeric_limits<double>::infinity();
    format.leading = 1e300;
    format.letterSpacing = std::numeric_limits<double>::quiet_NaN();
    format.size = std::numeric_limits<double>::infinity();
    TextDocument document;
    document.append(u"ab cd\ref", format);
    const TextOutlines runs = layoutEditText(characters, movie, field, document);
    ASSERT_FALSE(runs.empty());
    for (const TextRun& run : runs) {
        const QRectF box = run.path.boundingRect();
        EXPECT_TRUE(std::isfinite(box.left()) && std::isfinite(box.right()));
        EXPECT_TRUE(QRectF(0, 0, 4000, 2000).contains(box));
        EXPECT_FALSE(box.isEmpty()); // the first line still shows
    }
}

TEST(FieldLayoutTest, FieldsDrawTheirScrolledViewAndPasswordsAsStars) {
    renderTestApp();
    swf::Movie movie;
    CharacterCache characters(movie);
    swf::EditText field;
    field.bounds = swf::Rect{0, 4000, 0, 2000};
    field.multiline = true;
    TextFormat format;
    format.font = "_sans";
    format.size = 20;
    const auto inkOf = [&](const std::u16string& text, const FieldScroll& scroll) {
        TextDocument document;
        document.append(text, format);
        QRectF ink;
        for (const TextRun& run : layoutEditText(characters, movie, field, document, scroll)) {
            ink = ink.united(run.path.boundingRect());
        }
        return ink;
    };
    // Scrolled down a line, the text shows as if the first line were not there.
    const QRectF unscrolled = inkOf(u"W\rWW\rW", {});
    EXPECT_EQ(inkOf(u"x\rW\rWW\rW", {2, 0.0}), unscrolled);
    // A password field draws as many stars as it has characters.
    field.password = true;
    const QRectF hidden = inkOf(u"Wi\rW", {});
    field.password = false;
    EXPECT_EQ(hidden, inkOf(u"**\r*", {}));
    EXPECT_NE(hidden, inkOf(u"Wi\rW", {}));
    // Moved sideways, its lines move left by as much, cut at the box's edge.
    const QRectF moved = inkOf(u"W\rWW\rW", {1, 100.0});
    EXPECT_NEAR(moved.right(), unscrolled.right() - 100.0, 0.5);
    EXPECT_GE(moved.left(), 0.0);
}

} // namespace
TEST(FieldLayoutTest, SelectedTextIsWhiteOnABoxAsTallAsItsLine) {
    renderTestApp();
    swf::Movie movie;
    CharacterCache characters(movie);
    swf::EditText field;
    field.bounds = swf::Rect{0, 8000, 0, 4000};
    field.multiline = true;
    TextFormat small;
    small.font = "_sans";
    small.size = 10;
    small.color = 0xFF00FF;
    TextFormat big = small;
    big.size = 40;
    TextDocument document;
    document.append(u"ab", small);
    document.append(u"CD\rgh", big);
    const auto boxOf = [](const TextOutlines& runs, const swf::Rgba& color) {
        QRectF box;
        for (const TextRun& run : runs) {
            if (run.color == color) {
                box = box.united(run.path.boundingRect());
            }
        }
        return box;
    };
    const swf::Rgba black{0, 0, 0, 255};
    const swf::Rgba white{255, 255, 255, 255};
    const TextOutlines plain = layoutEditText(characters, movie, field, document);
    EXPECT_TRUE(boxOf(plain, black).isEmpty());
    EXPECT_TRUE(boxOf(plain, white).isEmpty());
    // "bC" selected: the small "b" gets a box as tall as the big letters' line.
    const TextOutlines selected = layoutEditText(characters, movie, field, document, {1, 0, 1, 3});
    ASSERT_FALSE(selected.empty());
    EXPECT_EQ(selected.front().color, black); // drawn first, under every glyph
    const QRectF box = boxOf(selected, black);
    EXPECT_DOUBLE_EQ(box.top(), kFieldGutter);
    const QRectF glyphs = boxOf(selected, white);
    ASSERT_FALSE(glyphs.isEmpty());
    EXPECT_TRUE(box.contains(glyphs));
    EXPECT_GT(box.height(), 40 * 20 * 0.9); // the big size's line, not the small one's
    EXPECT_GT(box.left(), kFieldGutter);    // "a" is left out
    // The second line is not touched.
    EXPECT_LT(box.bottom(), boxOf(selected, swf::Rgba{255, 0, 255, 255}).bottom());
}

TEST(FieldLayoutTest, GlyphsStayBetweenTheSideGutters) {
    renderTestApp();
    swf::Movie movie;
    CharacterCache characters(movie);
    swf::EditText field;
    field.multiline = true;
    TextFormat format;
    format.font = "_sans";
    format.size = 20;
    TextDocument document;
    document.append(u"WWWWWWWW", format);
    const auto inkOf = [&](std::int32_t width) {
        field.bounds = swf::Rect{0, width, 0, 1000};
        QRectF ink;
        for (const TextRun& run : layoutEditText(characters, movie, field, document)) {
            ink = ink.united(run.path.boundingRect());
        }
        return ink;
    };
    // Text running past the box is cut at the right gutter, not at the border.
    const QRectF cut = inkOf(1000);
    ASSERT_FALSE(cut.isEmpty());
    EXPECT_LE(cut.right(), 1000 - kFieldGutter + 0.5);
    EXPECT_GE(cut.left(), kFieldGutter - 0.5);
    // A box no wider than its two gutters shows nothing.
    EXPECT_TRUE(inkOf(80).isEmpty());
    EXPECT_TRUE(inkOf(60).isEmpty());
}

} // namespace mc
