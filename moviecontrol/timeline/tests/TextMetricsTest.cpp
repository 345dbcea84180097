#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "TextFieldState.h"
#include "TextMetrics.h"

namespace mc {
namespace {

// A movie holding one embedded font, "Box": 1024 units to the em, every glyph half an em
// wide, ascent 800 and descent 200.
class OneFont final : public CharacterCatalog {
  public:
    OneFont() {
        font_.name = "Box";
        font_.hasLayout = true;
        font_.ascent = 800;
        font_.descent = 200;
        for (char16_t c : std::u16string(u"ab ")) {
            swf::Glyph g;
            g.code = c;
            g.advance = 512;
            font_.glyphs.push_back(g);
        }
    }
    CharacterKind kind(std::uint16_t) const override { return CharacterKind::None; }
    const swf::Timeline* spriteTimeline(std::uint16_t) const override { return nullptr; }
    const swf::Button* button(std::uint16_t) const override { return nullptr; }
    const swf::Font* fontNamed(std::string_view name, bool, bool) const override {
        return name == font_.name ? &font_ : nullptr;
    }

  private:
    swf::Font font_;
};

TextDocument textIn(const std::u16string& text, double size, double leading = 0) {
    TextFormat f;
    f.font = "Box";
    f.size = size;
    f.leading = leading;
    TextDocument d;
    d.append(text, f);
    return d;
}

TEST(TextMetricsTest, EmbeddedFontsMeasureByTheirAdvancesAndLineMetrics) {
    const OneFont fonts;
    // 20 pixels = 400 twips: half an em is 200 twips a glyph; ascent and descent are cut
    // to whole twips.
    TextExtent e = measureText(fonts, textIn(u"aab", 20), true, 0);
    EXPECT_DOUBLE_EQ(e.width, 600);
    EXPECT_DOUBLE_EQ(e.ascent, 312);
    EXPECT_DOUBLE_EQ(e.height, 312 + 78);
    // Lines stack with their leading; the widest line counts; a last empty line does not.
    e = measureText(fonts, textIn(u"a\rab\r", 20, 2), true, 0);
    EXPECT_DOUBLE_EQ(e.width, 400);
    EXPECT_DOUBLE_EQ(e.height, 2 * (312 + 78 + 40));
    // Without the font embedded (or asked for), device metrics stand in.
    EXPECT_DOUBLE_EQ(measureText(fonts, textIn(u"a b", 20), true, 0).width, 600);
    EXPECT_NE(measureText(fonts, textIn(u"a b", 20), false, 0).width, 600);
    EXPECT_DOUBLE_EQ(measureText(fonts, TextDocument{}, true, 0).height, 0);
}

TEST(TextMetricsTest, DeviceFontLinesTakeTheFacesAscentAndDescentInWholeTwips) {
    const OneFont fonts;
    TextDocument d = textIn(u"ab", 12);
    PartialFormat device;
    device.font = "_sans";
    d.apply(0, d.size(), device);
    // 1901 and 483 units of a 2048-unit em, cut to whole twips; lines stack without rounding.
    const struct {
        double size;
        double ascent;
        double descent;
    } cases[] = {{12, 222, 56}, {20, 371, 94}, {10, 185, 47}, {37, 686, 174}};
    for (const auto& c : cases) {
        PartialFormat sized;
        sized.size = c.size;
        d.apply(0, d.size(), sized);
        const TextExtent e = measureText(fonts, d, false, 0);
        EXPECT_EQ(e.ascent, c.ascent) << c.size;
        EXPECT_EQ(e.descent, c.descent) << c.size;
        EXPECT_EQ(e.height, c.ascent + c.descent) << c.size;
    }
    TextDocument lines = textIn(u"a\ra\ra", 12);
    lines.apply(0, lines.size(), device);
    EXPECT_EQ(measureText(fonts, lines, false, 0).height, 3 * (222 + 56));
}

TEST(TextMetricsTest, WordWrapBreaksAfterSpaces) {
    const OneFont fonts;
    const TextExtent e = measureText(fonts, textIn(u"ab ab ab", 20), true, 1000);
    // "ab ab" fits 1000 twips; the third word wraps, and the space left hanging at the
    // first line's end counts in the width measured.
    EXPECT_DOUBLE_EQ(e.width, 1200);
    // The last line's trailing spaces do not.
    EXPECT_DOUBLE_EQ(measureText(fonts, textIn(u"ab  ", 20), true, 1000).width, 400);
    EXPECT_DOUBLE_EQ(e.height, 2 * (312 + 78));
}

TEST(TextMetricsTest, ParagraphLengthsCountAsTheyAreDrawn) {
    const OneFont fonts;
    TextDocument d = textIn(u"ab\rab ab", 20);
    PartialFormat lengths;
    lengths.leftMargin = 5;
    lengths.blockIndent = 4;
    lengths.indent = 2;
    lengths.rightMargin = 3;
    d.apply(0, d.size(), lengths);
    // Margins and indents (11 px before the first line, 9 before later ones, 3 after).
    EXPECT_DOUBLE_EQ(measureText(fonts, d, true, 0).width, 220 + 1000 + 60);
    // Wrapping: the indented first line of the second paragraph holds "ab " only, its
    // space counted.
    const TextExtent wrapped = measureText(fonts, d, true, 900);
    EXPECT_DOUBLE_EQ(wrapped.width, 220 + 600 + 60);
    EXPECT_DOUBLE_EQ(wrapped.height, 3 * (312 + 78));
    // A list item's text moves right by the bullet's column.
    PartialFormat bullet;
    bullet.bullet = true;
    d.apply(0, d.size(), bullet);
    EXPECT_DOUBLE_EQ(measureText(fonts, d, true, 0).width, 720 + 220 + 1000 + 60);
    // A list item's empty last line counts; an ordinary one's does not.
    EXPECT_DOUBLE_EQ(measureText(fonts, textIn(u"ab\r", 20), true, 0).height, 312 + 78);
    TextDocument item = textIn(u"ab\r", 20);
    item.apply(0, item.size(), bullet);
    EXPECT_DOUBLE_EQ(measureText(fonts, item, true, 0).height, 2 * (312 + 78));
}

TEST(TextMetricsTest, AutoSizeKeepsTheEdgeItNames) {
    const OneFont fonts;
    for (const char* mode : {"left", "right", "center"}) {
        TextFieldState t;
        t.field.useOutlines = true;
        t.bounds = Bounds{100, 0, 1100, 100, true};
        t.newFormat.font = "Box";
        t.newFormat.size = 20;
        t.setPlainText("ab");
        t.autoSize = mode;
        fitToText(fonts, t);
        // 400 twips of text and two pixels of gutter on each side.
        EXPECT_DOUBLE_EQ(t.bounds.xMax - t.bounds.xMin, 480) << mode;
        EXPECT_DOUBLE_EQ(t.bounds.yMax - t.bounds.yMin, std::round(390) + 80) << mode;
        const double expectedLeft = std::string(mode) == "left"    ? 100
                                    : std::string(mode) == "right" ? 620
                                                                   : 360;
        EXPECT_DOUBLE_EQ(t.bounds.xMin, expectedLeft) << mode;
    }
}

TEST(TextMetricsTest, ScrollLimitsFollowTheLinesThatFitTheView) {
    const OneFont fonts;
    // Five lines of 390 twips each (plus any leading); the view is the box less 80.
    struct Case {
        double boxHeight;
        double leading;
        std::size_t maxScroll;
        std::size_t bottomFromFirst;
        std::size_t bottomFromMax;
    };
    const Case cases[] = {
        {1080, 0, 4, 2, 5},  // room for two and a half lines
        {5080, 0, 1, 5, 5},  // everything fits
        {180, 0, 5, 1, 5},   // not even one line fits: the last is as far as it goes
        {1080, 2, 4, 2, 5},  // leading between lines, none counted below the last
        {2080, 20, 3, 3, 5}, // tall leading: three lines from the third fit, not from the second
    };
    for (const Case& c : cases) {
        TextFieldState t;
        t.field.useOutlines = true;
        t.field.multiline = true;
        t.bounds = Bounds{0, 0, 4000, c.boxHeight, true};
        t.newFormat.font = "Box";
        t.newFormat.size = 20;
        t.newFormat.leading = c.leading;
        t.setPlainText("a\ra\ra\ra\ra");
        const ScrollLimits limits = scrollLimits(fonts, t);
        EXPECT_EQ(limits.lineCount, 5u) << c.boxHeight;
        EXPECT_EQ(limits.maxScroll, c.maxScroll) << c.boxHeight << " " << c.leading;
        EXPECT_EQ(bottomScroll(limits, 1), c.bottomFromFirst) << c.boxHeight << " " << c.leading;
        EXPECT_EQ(bottomScroll(limits, c.maxScroll), c.bottomFromMax) << c.boxHeight;
        // Positions past the limits come back to them.
        t.scroll = 99;
        clampScroll(fonts, t);
        EXPECT_EQ(t.scroll, c.maxScroll);
        // A box that follows its text shows every line, whatever height it was given.
        t.autoSize = "left";
        EXPECT_EQ(scrollLimits(fonts, t).maxScroll, 1u);
        EXPECT_EQ(bottomScroll(scrollLimits(fonts, t), 1), 5u);
    }
}

TEST(TextMetricsTest, HorizontalScrollReachesTheWidestLineUnlessLinesWrap) {
    const OneFont fonts;
    TextFieldState t;
    t.field.useOutlines = true;
    t.bounds = Bounds{0, 0, 1000, 600, true};
    t.newFormat.font = "Box";
    t.newFormat.size = 20;
    t.setPlainText("ababab"); // 1,200 twips in a 920-twip view: 14 pixels past it
    EXPECT_DOUBLE_EQ(scrollLimits(fonts, t).maxHScroll, 14);
    t.hscroll = 50;
    clampScroll(fonts, t);
    EXPECT_DOUBLE_EQ(t.hscroll, 14);
    t.setPlainText("ab");
    clampScroll(fonts, t);
    EXPECT_DOUBLE_EQ(t.hscroll, 0);
    t.field.wordWrap = true;
    t.setPlainText("ab ab ab ab");
    EXPECT_DOUBLE_EQ(scrollLimits(fonts, t).maxHScroll, 0);
    // An empty field has its one line and nowhere to scroll.
    t.setPlainText("");
    EXPECT_EQ(scrollLimits(fonts, t).maxScroll, 1u);
    EXPECT_EQ(bottomScroll(scrollLimits(fonts, t), 1), 1u);
}

TEST(TextMetricsTest, DeviceGlyphsStepWholePixelsRoundedUpFromWholeTwips) {
    const OneFont fonts;
    const struct {
        std::u16string text;
        double size;
        bool bold;
        double pixels;
    } cases[] = {
        // 1540 units of 2048 at 240 twips an em: 180.47 twips, cut to 180, is 9 pixels whole.
        {u"H", 12, false, 9},       {u"Hello", 12, false, 33}, {u"aaa", 12, false, 24},
        {u"ool", 12, false, 20},    {u"ool", 20, false, 32},   {u"a a", 12, false, 20},
        {u"H", 12, true, 10},       {u"\u00e9", 12, false, 8}, {u"\u4e2d", 12, false, 12},
        {u"\u4e2d", 13, false, 13},
    };
    for (const auto& c : cases) {
        TextFormat f;
        f.font = "NotEmbedded";
        f.size = c.size;
        f.bold = c.bold;
        TextDocument d;
        d.append(c.text, f);
        EXPECT_DOUBLE_EQ(measureText(fonts, d, false, 0).width, c.pixels * 20)
            << c.size << (c.bold ? " bold" : "");
    }
}

} // namespace
TEST(TextMetricsTest, LinesKnowTheirCharactersPlaceAndTheEmptyLineAfterTheText) {
    const OneFont fonts;
    TextFieldState t;
    t.field.useOutlines = true;
    t.bounds = Bounds{0, 0, 1080, 2000, true}; // 1,000 twips between the gutters
    t.newFormat.font = "Box";
    t.newFormat.size = 20;
    t.newFormat.leading = 5;
    struct Case {
        const char* text;
        const char* align;
        std::vector<std::size_t> ends; // of each line, its paragraph end counted
        double x;                      // of the first line
    };
    const Case cases[] = {
        {"ab\rb\r", "left", {3, 5, 5}, 0}, // the empty line after the last paragraph end
        {"ab\rb", "right", {3, 4}, 600},   // 400 twips of text pushed to the right gutter
        {"ab", "center", {2}, 300},        // halfway
        {"", "left", {0}, 0},              // an empty field still has its line
        {"\r", "left", {1, 1}, 0},         // two empty lines
    };
    for (const Case& c : cases) {
        t.newFormat.align = c.align;
        t.setPlainText(c.text);
        const std::vector<LineBox> lines = fieldLines(fonts, t);
        ASSERT_EQ(lines.size(), c.ends.size()) << c.text;
        std::size_t begin = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].begin, begin) << c.text << " line " << i;
            EXPECT_EQ(lines[i].end, c.ends[i]) << c.text << " line " << i;
            // Each line starts below the one before, its leading included.
            EXPECT_DOUBLE_EQ(lines[i].top, static_cast<double>(i) * (312 + 78 + 100)) << c.text;
            EXPECT_DOUBLE_EQ(lines[i].ascent, 312) << c.text;
            EXPECT_DOUBLE_EQ(lines[i].leading, 100) << c.text;
            begin = c.ends[i];
        }
        EXPECT_DOUBLE_EQ(lines.front().x, c.x) << c.text;
    }
    // A single-line field breaks its lines at paragraph ends all the same.
    t.field.multiline = false;
    t.newFormat.align = "left";
    t.setPlainText("ab\rb");
    EXPECT_EQ(fieldLines(fonts, t).size(), 2u);
    EXPECT_EQ(scrollLimits(fonts, t).lineCount, 2u);
}

TEST(TextMetricsTest, AutoSizeDropsTheLastLeadingOfSeveralLinesOnly) {
    const OneFont fonts;
    TextFieldState t;
    t.field.useOutlines = true;
    t.field.multiline = true;
    t.bounds = Bounds{0, 0, 1080, 100, true};
    t.newFormat.font = "Box";
    t.newFormat.size = 20;
    t.newFormat.leading = 5;
    t.autoSize = "left";
    // One line keeps the leading below it; of several, the last line's leading goes. The
    // empty line after a last paragraph end does not count.
    const std::pair<const char*, double> cases[] = {
        {"ab", 390 + 100},           {"ab\r", 390 + 100},     {"ab\rab", 2 * 390 + 100},
        {"ab\rab\r", 2 * 390 + 100}, {"\r\r", 2 * 390 + 100}, {"", 0},
    };
    for (const auto& [text, height] : cases) {
        t.setPlainText(text);
        fitToText(fonts, t);
        EXPECT_DOUBLE_EQ(t.bounds.yMax - t.bounds.yMin, height + 80) << text;
    }
}

TEST(TextMetricsTest, CharactersTheEmbeddedFontLacksTakeNoRoom) {
    const OneFont fonts;
    // "?" and "z" are not in the font: only a and b count, 200 twips each.
    EXPECT_DOUBLE_EQ(measureText(fonts, textIn(u"a?zb", 20), true, 0).width, 400);
    TextDocument spaced = textIn(u"a?b", 20);
    PartialFormat spacing;
    spacing.letterSpacing = 1;
    spaced.apply(0, spaced.size(), spacing);
    // Letter spacing still follows every character.
    EXPECT_DOUBLE_EQ(measureText(fonts, spaced, true, 0).width, 400 + 3 * 20);
}

} // namespace mc
