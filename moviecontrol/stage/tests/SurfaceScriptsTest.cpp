#include <gtest/gtest.h>

#include "ScriptedMovie.h"

namespace mc {
namespace {

using moviemaker::Actions;

// object[member] = value, the value's actions given.
Actions& assign(Actions& a, std::string_view object, std::string_view member,
                const Actions& value) {
    return a.push(object).code(0x1C).push(member).raw(value.body()).code(0x4F);
}

// new flash.geom.Rectangle(x, y, width, height)
Actions newRectangle(double x, double y, double width, double height) {
    Actions a;
    a.push(height).push(width).push(y).push(x).pushInt(4).push("flash.geom");
    a.code(0x1C).push("Rectangle").code(0x53);
    return a;
}

TEST(SurfaceScriptsTest, OpaqueBackgroundAndScrollRectReadBackAsSetAndClear) {
    Actions a;
    a.callMethod("this", "createEmptyMovieClip", {"c", "1"})
        .traceValue("c.opaqueBackground")
        .traceValue("c.scrollRect")
        // The top byte of a colour is dropped.
        .setVariable("c.opaqueBackground", 0x01FF00FF)
        .traceValue("c.opaqueBackground");
    assign(a, "c", "opaqueBackground", Actions().pushNull()).traceValue("c.opaqueBackground");
    const Actions rectangle = newRectangle(1, 2, 30, 40);
    assign(a, "c", "scrollRect", rectangle)
        .traceValue("c.scrollRect.x")
        .traceValue("c.scrollRect.height");
    assign(a, "c", "scrollRect", Actions().pushUndefined()).traceValue("c.scrollRect");
    moviemaker::SwfWriter movie(version(8));
    movie.doAction(a);
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    EXPECT_EQ(m.traced,
              (Lines{"undefined", "undefined", "16711935", "undefined", "1", "40", "undefined"}));
    auto c = m.player->childByName(m.player->rootObject(), "c", true);
    ASSERT_NE(c, nullptr);
    EXPECT_FALSE(c->opaqueBackground.has_value());
    EXPECT_FALSE(c->scrollRect.has_value());
}

TEST(SurfaceScriptsTest, AScalingGridReadsInPixelsFromItsSymbolAndAsSet) {
    moviemaker::SwfWriter movie(version(8));
    moviemaker::Sprite symbol;
    symbol.showFrame();
    const uint16_t id = movie.defineSprite(symbol);
    movie.defineScalingGrid(id, moviemaker::Rect{200, 600, 100, 300});
    movie.rawTag(56, exportTag(id, "Skin"));
    Actions a;
    a.callMethod("this", "attachMovie", {"Skin", "s", "1"})
        .callMethod("this", "createEmptyMovieClip", {"c", "2"})
        .traceValue("s.scale9Grid.x")
        .traceValue("s.scale9Grid.height")
        .traceValue("c.scale9Grid");
    const Actions rectangle = newRectangle(1, 2, 30, 40);
    assign(a, "c", "scale9Grid", rectangle)
        .traceValue("c.scale9Grid.y")
        .traceValue("c.scale9Grid.width");
    assign(a, "s", "scale9Grid", Actions().pushUndefined()).traceValue("s.scale9Grid");
    movie.doAction(a);
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    EXPECT_EQ(m.traced, (Lines{"10", "10", "undefined", "2", "30", "undefined"}));
    auto c = m.player->childByName(m.player->rootObject(), "c", true);
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(c->scalingGrid.has_value());
    EXPECT_DOUBLE_EQ(c->scalingGrid->xMin, 20.0);
    EXPECT_DOUBLE_EQ(c->scalingGrid->yMax, 840.0);
}

TEST(SurfaceScriptsTest, ARegisteredClassFollowsItsSymbolUnderEveryNameItIsExportedBy) {
    moviemaker::SwfWriter movie(version(8));
    moviemaker::Sprite symbol;
    symbol.showFrame();
    const uint16_t id = movie.defineSprite(symbol);
    movie.rawTag(56, exportTag(id, "First"));
    movie.rawTag(56, exportTag(id, "Second"));
    Actions a;
    a.function(Actions().trace("made"))
        .push("Second")
        .pushInt(2)
        .push("Object")
        .code(0x1C)
        .push("registerClass")
        .code(0x52)
        .code(0x17)
        .callMethod("this", "attachMovie", {"First", "x", "1"})
        .traceValue("x._name");
    movie.doAction(a);
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    EXPECT_EQ(m.traced, (Lines{"made", "x"}));
}

TEST(SurfaceScriptsTest, AFieldGivenAStyleSheetReadsHtmlTextAsHtmlWithItsFlagOff) {
    Actions a;
    a.callMethod("this", "createTextField", {"t", "1", "0", "0", "100", "20"})
        .setVariable("t.htmlText", "<b>x</b>")
        .traceValue("t.text");
    Actions sheet;
    sheet.pushInt(0).push("TextField").code(0x1C).push("StyleSheet").code(0x53);
    assign(a, "t", "styleSheet", sheet)
        .traceValue("t.html")
        .setVariable("t.htmlText", "<b>y</b>")
        .traceValue("t.text");
    assign(a, "t", "styleSheet", Actions().pushNull())
        .traceValue("t.html")
        .setVariable("t.htmlText", "<b>z</b>")
        .traceValue("t.text");
    moviemaker::SwfWriter movie(version(8));
    movie.doAction(a);
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    EXPECT_EQ(m.traced, (Lines{"<b>x</b>", "false", "y", "false", "<b>z</b>"}));
}

} // namespace
} // namespace mc
