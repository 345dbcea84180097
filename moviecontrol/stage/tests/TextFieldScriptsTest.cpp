#include <gtest/gtest.h>

#include "ScriptCalls.h"
#include "ScriptedMovie.h"
#include "TextFieldState.h"
#include "swf/ActionCodes.h"

namespace mc {
namespace {

Lines run(int version, const moviemaker::Actions& script) {
    moviemaker::SwfWriter movie(mc::version(version));
    movie.doAction(script);
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    return m.traced;
}

moviemaker::Actions withField() {
    moviemaker::Actions a;
    a.callMethod("this", "createTextField", {"tf", "1", "0", "0", "100", "20"});
    return a;
}

TEST(TextFieldScriptsTest, MadeFieldsTakeWholePixelsAndAnyDepth) {
    moviemaker::Actions a;
    // Below the script depths and past the 32-bit range, fractions dropped.
    a.callMethod("this", "createTextField", {"low", "-20000", "10.9", "20.5", "100.7", "30.2"});
    a.callMethod("this", "createTextField", {"high", "1e12", "-3.7", "0", "50", "10"});
    a.traceValue("low._x").traceValue("low._y").traceValue("low._width");
    a.traceValue("low._height");
    callInto(a, "lowDepth", "low", "getDepth");
    callInto(a, "highDepth", "high", "getDepth");
    a.traceValue("lowDepth").traceValue("highDepth").traceValue("high._x");
    EXPECT_EQ(run(8, a), (Lines{"10", "20", "100", "30", "-20000", "2147483647", "-3"}));
}

TEST(TextFieldScriptsTest, HtmlTextReadsIntoFormatsThatRangesReport) {
    moviemaker::Actions a = withField();
    a.setVariable("tf.html", "1");
    a.setVariable("tf.htmlText",
                  "<font color=\"#123456\">x<font color=\"#2345678\">inner</font>x</font>");
    callInto(a, "inner", "tf", "getTextFormat", {"2", "5"});
    callInto(a, "all", "tf", "getTextFormat");
    a.traceValue("tf.text")
        .traceValue("tf.length")
        .traceValue("inner.color")
        .traceValue("all.color");
    a.traceValue("all.font");
    // A newly set plain text takes the new text format again.
    a.setVariable("tf.text", "plain");
    callInto(a, "after", "tf", "getTextFormat");
    a.traceValue("after.color").traceValue("tf.htmlText");
    const std::string plainHtml =
        "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" "
        "COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">plain</FONT></P>";
    EXPECT_EQ(run(8, a),
              (Lines{"xinnerx", "7", "3430008", "null", "Times New Roman", "0", plainHtml}));
}

TEST(TextFieldScriptsTest, SetTextFormatChangesOnlyItsRangeAndNewTextFormatLater) {
    moviemaker::Actions a = withField();
    a.setVariable("tf.text", "abcdef");
    newInto(a, "bold", "TextFormat");
    a.setVariable("bold.bold", "1");
    // tf.setTextFormat(1, 3, bold)
    a.push("bold").code(0x1C).push("3").push("1").push(3.0);
    pushPath(a, "tf").push("setTextFormat").code(0x52).code(0x17);
    callInto(a, "mixed", "tf", "getTextFormat", {"0", "6"});
    callInto(a, "inside", "tf", "getTextFormat", {"1", "3"});
    callInto(a, "one", "tf", "getTextFormat", {"0"});
    a.traceValue("mixed.bold").traceValue("inside.bold").traceValue("one.bold");
    a.push("bold").code(0x1C).push(1.0);
    pushPath(a, "tf").push("setNewTextFormat").code(0x52).code(0x17);
    a.callMethod("tf", "replaceSel", {"!"});
    callInto(a, "head", "tf", "getTextFormat", {"0"});
    a.traceValue("head.bold").traceValue("tf.text");
    a.callMethod("tf", "replaceText", {"0", "2", "XY"});
    a.traceValue("tf.text");
    EXPECT_EQ(run(8, a), (Lines{"null", "true", "false", "true", "!abcdef", "XYbcdef"}));
}

TEST(TextFieldScriptsTest, FromVersionSixThePropertiesAreAccessorsOfThePrototype) {
    const auto script = [] {
        moviemaker::Actions a = withField();
        a.setVariable("tf.text", "hi");
        // hasOwnProperty by its native number: version 5 movies do not see it by name.
        pushPath(a, "tf").push("ownProperty").push(5.0).push(101.0).push(2.0).push("ASnative");
        a.code(swf::op::CallFunction).code(swf::op::SetMember);
        callInto(a, "own", "tf", "ownProperty", {"text"});
        a.traceValue("own").traceValue("tf.text").traceValue("TextField.prototype.text");
        return a;
    };
    EXPECT_EQ(run(6, script()), (Lines{"false", "hi", "undefined"}));
    // Before, each field holds them itself.
    EXPECT_EQ(run(5, script()), (Lines{"true", "hi", "undefined"}));
}

// Version 5 code sees the TextField class but not its prototype, and takes its fields for
// clips made from MovieClip's prototype; an object made by `new TextField()` there has an empty
// prototype that inherits nothing, as the class shows none, and so is an instance of it.
TEST(TextFieldScriptsTest, VersionFiveSeesTheClassButNotItsPrototypeAndFieldsAsClips) {
    moviemaker::Actions a = withField();
    for (const char* path : {"TextField", "TextField.prototype", "tf", "tf.setTextFormat"}) {
        pushPath(a, path).code(swf::op::TypeOf).code(swf::op::Trace);
    }
    a.push("made").push(0.0).push("TextField").code(swf::op::NewObject);
    a.code(swf::op::SetVariable);
    a.push("plain").push(0.0).push("Object").code(swf::op::NewObject);
    a.code(swf::op::SetVariable);
    for (const char* object : {"tf", "made", "plain"}) {
        for (const char* cls : {"MovieClip", "TextField", "Object"}) {
            pushPath(a, object).push(cls).code(swf::op::GetVariable);
            a.code(swf::op::InstanceOf).code(swf::op::Trace);
        }
    }
    // A plain object's chain reaches Object.prototype: no instance of a hidden prototype.
    EXPECT_EQ(run(5, a), (Lines{"function", "undefined", "movieclip", "undefined", "true", "false",
                                "true", "false", "true", "false", "false", "false", "true"}));
    EXPECT_EQ(run(6, a), (Lines{"function", "object", "object", "function", "false", "true", "true",
                                "false", "true", "true", "false", "false", "true"}));
}

TEST(TextFieldScriptsTest, StyleSheetsParseCssAndStyleTheHtmlOfTheirFields) {
    moviemaker::Actions a = withField();
    newInto(a, "css", "TextField.StyleSheet");
    callInto(a, "ok", "css", "parseCSS", {".red { color: #FF0000; font-weight: bold }"});
    callInto(a, "bad", "css", "parseCSS", {"long key { color: blue }"});
    callInto(a, "style", "css", "getStyle", {".red"});
    // Values keep the space before the closing brace, yet still make the text bold.
    a.traceValue("ok").traceValue("bad").traceValue("style.color").traceValue("style.fontWeight");
    a.setVariable("tf.html", "1");
    a.push("tf.styleSheet").push("css").code(0x1C).code(0x1D);
    a.setVariable("tf.htmlText", "a<span class=\"red\">b</span>");
    callInto(a, "b", "tf", "getTextFormat", {"1"});
    a.traceValue("b.color").traceValue("b.bold");
    callInto(a, "names", "css", "getStyleNames");
    a.traceValue("names");
    EXPECT_EQ(run(8, a), (Lines{"true", "false", "#FF0000", "bold ", "16711680", "true", ".red"}));
}

TEST(TextFieldScriptsTest, AssigningASheetStylesTheMarkupItKeptWithWhatTheSheetHoldsNow) {
    moviemaker::Actions a = withField();
    newInto(a, "css", "TextField.StyleSheet");
    a.push("tf.styleSheet").push("css").code(0x1C).code(0x1D);
    a.setVariable("tf.htmlText", "<span class=\"c\">a</span>");
    callInto(a, "before", "tf", "getTextFormat", {"0"});
    callInto(a, "ok", "css", "parseCSS", {".c { color: #FF0000 }"});
    // A change to the sheet shows once the sheet is assigned again.
    a.push("tf.styleSheet").push("css").code(0x1C).code(0x1D);
    callInto(a, "after", "tf", "getTextFormat", {"0"});
    a.traceValue("before.color").traceValue("after.color").traceValue("tf.htmlText");
    // With a sheet, plain text is markup too.
    a.setVariable("tf.text", "<span class=\"C\">b</span>");
    callInto(a, "plain", "tf", "getTextFormat", {"0"});
    a.traceValue("tf.text").traceValue("plain.color");
    // Without it the formats stay and the markup is forgotten.
    a.setVariable("tf.styleSheet", "none");
    callInto(a, "kept", "tf", "getTextFormat", {"0"});
    a.traceValue("tf.styleSheet").traceValue("kept.color").traceValue("tf.htmlText");
    // A clip is no sheet.
    a.push("tf.styleSheet").push("_root").code(0x1C).code(0x1D);
    a.traceValue("tf.styleSheet");
    EXPECT_EQ(run(8, a), (Lines{"0", "16711680", "<span class=\"c\">a</span>", "b", "16711680",
                                "undefined", "16711680", "b", "undefined"}));
}

TEST(TextFieldScriptsTest, FieldSettingsReadBackAsScriptsLeftThem) {
    moviemaker::Actions a = withField();
    a.setVariable("tf.type", "DYNAMIC").traceValue("tf.type");
    a.setVariable("tf.type", "input").traceValue("tf.type");
    a.setVariable("tf.type", "bogus").traceValue("tf.type");
    a.setVariable("tf.condenseWhite", "yes").traceValue("tf.condenseWhite");
    a.setVariable("tf.gridFitType", "subpixel").traceValue("tf.gridFitType");
    a.setVariable("tf.gridFitType", "bogus").traceValue("tf.gridFitType");
    a.setVariable("tf.restrict", "abc").traceValue("tf.restrict");
    a.setVariable("tf._width", 30).traceValue("tf._width").traceValue("tf._xscale");
    a.traceValue("tf.textColor");
    a.setVariable("tf.textColor", 0x404040).traceValue("tf.textColor");
    callInto(a, "nf", "tf", "getNewTextFormat");
    a.traceValue("nf.color");
    EXPECT_EQ(run(8, a), (Lines{"dynamic", "input", "input", "true", "subpixel", "subpixel", "abc",
                                "30", "100", "0", "4210752", "4210752"}));
}

TEST(TextFieldScriptsTest, TextColorFollowsTheNewTextFormatNotTheText) {
    moviemaker::Actions a = withField();
    a.setVariable("tf.text", "abc");
    a.setVariable("tf.textColor", 0xFFFFFF);
    // Recolouring the text itself leaves textColor where it was...
    newInto(a, "fmt", "TextFormat");
    a.setVariable("fmt.color", 0x808080);
    a.push("fmt").code(0x1C).push(1.0);
    pushPath(a, "tf").push("setTextFormat").code(0x52).code(0x17);
    callInto(a, "first", "tf", "getTextFormat", {"0"});
    a.traceValue("tf.textColor").traceValue("first.color");
    // ...while the format new text takes moves it.
    a.setVariable("fmt.color", 0x404040);
    a.push("fmt").code(0x1C).push(1.0);
    pushPath(a, "tf").push("setNewTextFormat").code(0x52).code(0x17);
    callInto(a, "first", "tf", "getTextFormat", {"0"});
    a.traceValue("tf.textColor").traceValue("first.color");
    EXPECT_EQ(run(8, a), (Lines{"16777215", "8421504", "4210752", "8421504"}));
}

TEST(TextFieldScriptsTest, ScrollPositionsStayWithinWhatTheTextAllows) {
    moviemaker::Actions a = withField(); // 20 pixels high: one line in view
    a.traceValue("tf.scroll").traceValue("tf.maxscroll").traceValue("tf.bottomScroll");
    a.setVariable("tf.scroll", 3).traceValue("tf.scroll");
    a.setVariable("tf.hscroll", 5).traceValue("tf.hscroll").traceValue("tf.maxhscroll");
    a.setVariable("tf.multiline", "1");
    a.setVariable("tf.text", "a\rb\rc\rd");
    a.traceValue("tf.maxscroll").traceValue("tf.bottomScroll");
    a.setVariable("tf.scroll", "2.9").traceValue("tf.scroll").traceValue("tf.bottomScroll");
    a.setVariable("tf.scroll", "x").traceValue("tf.scroll");
    a.setVariable("tf.scroll", 99).traceValue("tf.scroll");
    a.setVariable("tf.scroll", -4).traceValue("tf.scroll");
    a.setVariable("tf.scroll", 4);
    // A text set anew, even one as long, is shown from its first line.
    a.setVariable("tf.text", "a\rb\rc\rd").traceValue("tf.scroll");
    a.setVariable("tf.scroll", 4);
    a.setVariable("tf.text", "a\rb").traceValue("tf.scroll").traceValue("tf.maxscroll");
    // A long line scrolls sideways, by whole pixels up to the end of the line.
    a.setVariable("tf.text", "a long line that runs well past a field of a hundred pixels");
    a.setVariable("tf.hscroll", 12.7).traceValue("tf.hscroll");
    a.setVariable("tf.hscroll", 100000);
    a.push("atEnd");
    pushPath(a, "tf.hscroll");
    pushPath(a, "tf.maxhscroll").code(0x49).code(0x1D);
    a.traceValue("atEnd");
    EXPECT_EQ(run(8, a), (Lines{"1", "1", "1", "1", "0", "0", "4", "1", "2", "2", "1", "4", "1",
                                "1", "1", "2", "12", "true"}));
}

// A line to scroll to is cut to a whole number, and what is no number, negative or past
// where the player's position overflows goes to the first line; sideways positions are
// 32-bit whole numbers of pixels, NaN and infinities 0.
TEST(TextFieldScriptsTest, ScrollPositionsReadOddNumbersAsPlayersDo) {
    const std::pair<double, const char*> lines[] = {{NAN, "1"},      {-0.5, "1"},     {2.9, "2"},
                                                    {INFINITY, "1"}, {1e21, "1"},     {7.6e14, "8"},
                                                    {7.7e14, "1"},   {-INFINITY, "1"}};
    const std::pair<double, const char*> pixels[] = {{NAN, "0"},          {INFINITY, "0"},
                                                     {4294967298.0, "2"}, {-4294967290.0, "6"},
                                                     {3.9, "3"},          {-1, "0"}};
    for (int version : {6, 8}) {
        for (const auto& [given, read] : lines) {
            moviemaker::Actions a = withField();
            a.setVariable("tf.multiline", "1");
            a.setVariable("tf.text", "1\r2\r3\r4\r5\r6\r7\r8");
            a.setVariable("tf.scroll", 3).setVariable("tf.scroll", given).traceValue("tf.scroll");
            EXPECT_EQ(run(version, a), Lines{read}) << given;
        }
        for (const auto& [given, read] : pixels) {
            moviemaker::Actions a = withField();
            a.setVariable("tf.text", "a long line that runs well past a field of a hundred pixels");
            a.setVariable("tf.hscroll", 7).setVariable("tf.hscroll", given);
            a.traceValue("tf.hscroll");
            EXPECT_EQ(run(version, a), Lines{read}) << given;
        }
    }
}

TEST(TextFieldScriptsTest, BoundFieldsAndTheirVariablesFollowEachOtherAtOnce) {
    moviemaker::Actions a = withField();
    a.setVariable("v", "first");
    a.setVariable("tf.variable", "v").traceValue("tf.text");
    a.setVariable("v", "second").traceValue("tf.text");
    a.setVariable("_root.v", 5).traceValue("tf.text");
    // Text a script gives the field goes back into the variable.
    a.setVariable("tf.text", "typed").traceValue("v");
    // A path names the clip holding the variable; an unset one leaves the text.
    a.callMethod("this", "createEmptyMovieClip", {"mc", "2"});
    a.setVariable("tf.variable", "mc.z").traceValue("tf.text");
    a.setVariable("mc.y", "other").setVariable("v", "unbound").traceValue("tf.text");
    a.setVariable("mc.z", "inner").traceValue("tf.text");
    EXPECT_EQ(run(8, a), (Lines{"first", "second", "5", "typed", "typed", "typed", "inner"}));
    // Before version 7 the variable's name is found whatever its case.
    moviemaker::Actions b = withField();
    b.setVariable("tf.variable", "Shown");
    b.setVariable("shown", "folded").traceValue("tf.text");
    EXPECT_EQ(run(6, b), Lines{"folded"});
}

TEST(TextFieldScriptsTest, FieldsBroadcastToThemselvesAndTheirListeners) {
    moviemaker::Actions a = withField();
    // The prototype is the broadcaster, with no listener of its own; a field hears itself.
    a.traceValue("TextField.prototype._listeners.length").traceValue("tf._listeners.length");
    a.push("self");
    pushPath(a, "tf._listeners.0");
    pushPath(a, "tf").code(0x49).code(0x1D);
    a.traceValue("self");
    // Handlers take the field that changed.
    moviemaker::Actions own;
    own.push("heard").push("field").code(0x1C).push("_name").code(0x4E).code(0x1D);
    a.push("tf").code(0x1C).push("onChanged");
    a.defineFunction("", {"field"}, own).code(0x4F);
    a.setVariable("other", "0").setVariable("heard", "nothing");
    moviemaker::Actions counted;
    counted.push("other").push("other").code(0x1C).code(0x50).code(0x1D);
    newInto(a, "listener", "Object");
    a.push("listener").code(0x1C).push("onChanged").function(counted).code(0x4F);
    a.push("listener").code(0x1C).push(1.0);
    pushPath(a, "tf").push("addListener").code(0x52).code(0x17);
    a.callMethod("tf", "broadcastMessage", {"onChanged"});
    a.traceValue("other");
    a.push("tf").code(0x1C).push("onChanged").push(2.0);
    pushPath(a, "tf").push("broadcastMessage").code(0x52).code(0x17);
    a.traceValue("heard").traceValue("other");
    EXPECT_EQ(run(8, a), (Lines{"0", "1", "true", "1", "tf", "2"}));
}

TEST(TextFieldScriptsTest, AnAutoSizedBoxFollowsEveryChangeToItsText) {
    moviemaker::Actions a = withField();
    a.setVariable("tf.autoSize", "left");
    a.setVariable("tf.text", "abc");
    a.push("before");
    pushPath(a, "tf._width").code(0x1D);
    // A larger format over the text widens the box, keeping its left edge...
    newInto(a, "big", "TextFormat");
    a.setVariable("big.size", 40);
    a.push("big").code(0x1C).push(1.0);
    pushPath(a, "tf").push("setTextFormat").code(0x52).code(0x17);
    a.push("grew").push("before").code(0x1C);
    pushPath(a, "tf._width").code(0x48).code(0x1D);
    a.traceValue("grew").traceValue("tf._x");
    // ...and a box given another width by a script fits the text again on the next change.
    a.setVariable("tf._width", 300);
    a.callMethod("tf", "replaceSel", {"d"});
    a.push("fits").push(300.0);
    pushPath(a, "tf._width").code(0x48).code(0x1D);
    a.traceValue("fits").traceValue("tf.maxscroll");
    EXPECT_EQ(run(8, a), (Lines{"true", "0", "false", "1"}));
}

// replaceSel gives the focused field's selection way to its text and puts the caret after
// it; a field without the focus takes the text at its start. A missing text reads as
// undefined does in the movie's version.
TEST(TextFieldScriptsTest, ReplacedSelectionsAreTheFocusedFieldsOwn) {
    for (const auto& [version, missing] : {std::pair{6, ""}, std::pair{8, "undefined"}}) {
        moviemaker::Actions a = withField();
        a.setVariable("tf.text", "hello world");
        a.callMethod("tf", "replaceSel", {"<"});
        a.traceValue("tf.text");
        a.callMethod("Selection", "setFocus", {"tf"});
        a.callMethod("Selection", "setSelection", {"4", "2"});
        a.callMethod("tf", "replaceSel", {"--"});
        callInto(a, "begin", "Selection", "getBeginIndex");
        callInto(a, "end", "Selection", "getEndIndex");
        a.traceValue("tf.text").traceValue("begin").traceValue("end");
        a.callMethod("tf", "replaceSel");
        a.traceValue("tf.text");
        EXPECT_EQ(run(version, a), (Lines{"<hello world", "<h--lo world", "4", "4",
                                          std::string("<h--") + missing + "lo world"}))
            << version;
    }
}

// replaceText takes its text as text whatever it is; a missing one reads as undefined does.
TEST(TextFieldScriptsTest, ReplacedTextIsReadAsText) {
    moviemaker::Actions a = withField();
    a.setVariable("tf.text", "abcdef");
    a.callMethod("tf", "replaceText", {"1", "3"});
    a.traceValue("tf.text");
    a.push(7.0).push(2.0).push(1.0).push(3.0);
    pushPath(a, "tf").push("replaceText").code(0x52).code(0x17);
    a.traceValue("tf.text");
    EXPECT_EQ(run(7, a), (Lines{"aundefineddef", "a7ndefineddef"}));
}

// maxChars reads back as the 32-bit whole number it was given; 0 (and what converts to
// it) reads null.
TEST(TextFieldScriptsTest, MaxCharsReadsBackAsAWholeNumber) {
    const struct {
        double given;
        const char* read;
    } rows[] = {{5, "5"},    {2.7, "2"},    {-3, "-3"},   {70000, "70000"}, {1e21, "-559939584"},
                {0, "null"}, {0.5, "null"}, {NAN, "null"}};
    for (const auto& row : rows) {
        moviemaker::Actions a = withField();
        a.setVariable("tf.maxChars", row.given).traceValue("tf.maxChars");
        EXPECT_EQ(run(8, a), Lines{row.read}) << row.given;
    }
}

// autoSize takes its three names whatever their case, true as "left", and anything else as
// "none".
TEST(TextFieldScriptsTest, AutoSizeNamesAreMatchedWithoutCase) {
    const std::pair<const char*, const char*> rows[] = {{"LEFT", "left"},   {"Center", "center"},
                                                        {"rIGHT", "right"}, {"garbage", "none"},
                                                        {"", "none"},       {"1", "none"}};
    for (int version : {6, 8}) {
        for (const auto& [given, read] : rows) {
            moviemaker::Actions a = withField();
            a.setVariable("tf.autoSize", given).traceValue("tf.autoSize");
            EXPECT_EQ(run(version, a), Lines{read}) << given;
        }
        moviemaker::Actions a = withField();
        a.push("tf.autoSize").pushBool(true).code(0x1D).traceValue("tf.autoSize");
        EXPECT_EQ(run(version, a), Lines{"left"});
    }
}

// sharpness and thickness are kept in single precision, NaN and infinities included.
TEST(TextFieldScriptsTest, GlyphSettingsAreSinglePrecision) {
    const std::pair<double, const char*> rows[] = {
        {1e21, "1.00000002004088e+21"}, {0.1, "0.100000001490116"}, {-150, "-150"}, {NAN, "NaN"},
        {-INFINITY, "-Infinity"},       {1e300, "Infinity"}};
    for (const char* name : {"tf.sharpness", "tf.thickness"}) {
        for (const auto& [given, read] : rows) {
            moviemaker::Actions a = withField();
            a.setVariable(name, given).traceValue(name);
            EXPECT_EQ(run(8, a), Lines{read}) << name << " " << given;
        }
    }
}

// Every line end character of a text is a paragraph end: "\r\n" makes two.
TEST(TextFieldScriptsTest, EachLineEndCharacterEndsAParagraph) {
    moviemaker::Actions a = withField();
    a.setVariable("tf.multiline", "1");
    a.setVariable("tf.text", "a\nb\r\nc\n\rd");
    a.traceValue("tf.length");
    a.push("same").push("tf.text").code(0x1C).push("a\rb\r\rc\r\rd").code(0x49).code(0x1D);
    a.traceValue("same");
    EXPECT_EQ(run(8, a), (Lines{"9", "true"}));
}

// Style sheets came with Flash Player 7 and version 6 movies do not see the class; text
// snapshots came with it too but reach version 6 movies.
TEST(TextFieldScriptsTest, StyleSheetsFromVersionSevenSnapshotsFromSix) {
    moviemaker::Actions a = withField();
    for (const char* path : {"TextField.StyleSheet", "_root.getTextSnapshot"}) {
        pushPath(a, path).code(swf::op::TypeOf).code(swf::op::Trace);
    }
    EXPECT_EQ(run(6, a), (Lines{"undefined", "function"}));
    EXPECT_EQ(run(7, a), (Lines{"function", "function"}));
}

// A bound variable set to undefined shows it as text as any value does; one deleted leaves
// the text.
TEST(TextFieldScriptsTest, ABoundVariableSetToUndefinedShowsIt) {
    for (const auto& [version, shown] : {std::pair{6, ""}, std::pair{7, "undefined"}}) {
        moviemaker::Actions a = withField();
        a.setVariable("v", "first");
        a.setVariable("tf.variable", "v");
        a.push("v").pushUndefined().code(0x1D).traceValue("tf.text");
        a.setVariable("v", "again").push("v").code(0x3B).code(0x17).traceValue("tf.text");
        EXPECT_EQ(run(version, a), (Lines{shown, "again"})) << version;
    }
}

// Version 6 movies have the multiline setting, but their markup ends lines at paragraphs
// and breaks in every field; from version 7 a single-line field runs them together.
TEST(TextFieldScriptsTest, VersionSixMarkupBreaksLinesInEveryField) {
    moviemaker::Actions a = withField();
    a.setVariable("tf.html", "1");
    for (const char* markup : {"<p>one</p><p>two</p>", "a<br>b", "<li>x</li>y"}) {
        a.setVariable("tf.htmlText", markup);
        a.push("shown").push("tf.text").code(0x1C).push(1.0).push("escape");
        a.code(swf::op::CallFunction).code(0x1D).traceValue("shown");
    }
    EXPECT_EQ(run(6, a), (Lines{"one%0Dtwo%0D", "a%0Db", "x%0Dy"}));
    EXPECT_EQ(run(5, a), (Lines{"one%0Dtwo%0D", "a%0Db", "x%0Dy"}));
    EXPECT_EQ(run(7, a), (Lines{"onetwo", "ab", "xy"}));
}

TEST(TextFieldScriptsTest, AnEmptyRestrictionRestrictsNothing) {
    for (const int version : {6, 7, 8}) {
        moviemaker::Actions a = withField();
        a.setVariable("tf.restrict", "a-z").traceValue("tf.restrict");
        a.setVariable("tf.restrict", "").traceValue("tf.restrict");
        a.setVariable("tf.restrict", "0").traceValue("tf.restrict");
        EXPECT_EQ(run(version, a), (Lines{"a-z", "null", "0"})) << version;
    }
}

TEST(TextFieldScriptsTest, AFieldBoxIsKeptInWholeTwipsMeasuredFromEitherSide) {
    moviemaker::Actions a = withField();
    for (const char* size : {"10.37", "10.04", "-3.33", "0.01", "-1", "7.5"}) {
        a.setVariable("tf._width", size).traceValue("tf._width");
        a.setVariable("tf._height", size).traceValue("tf._height");
    }
    EXPECT_EQ(run(8, a), (Lines{"10.35", "10.35", "10", "10", "3.3", "3.3", "0", "0", "1", "1",
                                "7.5", "7.5"}));
}

TEST(TextFieldScriptsTest, OnlyClipsHaveFrames) {
    for (const int version : {6, 7, 8}) {
        moviemaker::Actions a = withField();
        a.callMethod("this", "createEmptyMovieClip", {"mc", "2"});
        for (const char* name : {"_currentframe", "_totalframes", "_framesloaded"}) {
            a.traceValue(std::string("tf.") + name).traceValue(std::string("mc.") + name);
        }
        EXPECT_EQ(run(version, a), (Lines{"undefined", "0", "undefined", "1", "undefined", "1"}))
            << version;
    }
}

TEST(TextFieldScriptsTest, StyleTransformsSetAlignmentAndDisplayAsScriptsWould) {
    const struct {
        const char* property;
        const char* value; // null: the boolean true
        const char* read;
        const char* expected;
    } cases[] = {
        {"textAlign", "JUSTIFY", "align", "justify"}, {"textAlign", "Right", "align", "right"},
        {"textAlign", "middle", "align", "null"},     {"display", "inline", "display", "inline"},
        {"display", "none", "display", "none"},       {"display", "table", "display", "block"},
        {"display", "", "display", "block"},          {"kerning", "true", "kerning", "true"},
        {"kerning", "2", "kerning", "true"},          {"kerning", nullptr, "kerning", "false"},
    };
    for (const auto& c : cases) {
        moviemaker::Actions a;
        newInto(a, "css", "TextField.StyleSheet");
        newInto(a, "style", "Object");
        a.push("style").code(0x1C).push(c.property);
        if (c.value != nullptr) {
            a.push(c.value);
        } else {
            a.pushBool(true);
        }
        a.code(0x4F); // set member
        // f = css.transform(style)
        a.push("f").push("style").code(0x1C).push(1.0).push("css").code(0x1C);
        a.push("transform").code(0x52).code(0x1D);
        a.traceValue(std::string("f.") + c.read);
        EXPECT_EQ(run(8, a), (Lines{c.expected}))
            << c.property << " " << (c.value ? c.value : "true");
    }
    // Only null and undefined give no format at all.
    moviemaker::Actions a;
    newInto(a, "css", "TextField.StyleSheet");
    callInto(a, "none", "css", "transform", {});
    a.push("n").pushNull().push(1.0).push("css").code(0x1C).push("transform").code(0x52);
    a.code(0x1D);
    callInto(a, "text", "css", "transform", {"abc"});
    a.traceValue("none").traceValue("n").traceValue("text.display").traceValue("text.size");
    EXPECT_EQ(run(8, a), (Lines{"null", "null", "block", "null"}));
}

TEST(TextFieldScriptsTest, RangesWithoutCharactersHaveNoSettingsAndANegativeEndIsTheEnd) {
    const struct {
        const char* text;
        std::vector<std::string> range;
        const char* size; // what getTextFormat(range).size reads
    } cases[] = {
        {"", {}, "null"},
        {"", {"0"}, "null"},
        {"", {"0", "5"}, "null"},
        {"abc", {"1", "1"}, "null"},
        {"abc", {"3", "3"}, "null"},
        {"abc", {"3"}, "null"},
        {"abc", {"0", "-1"}, "12"},
        {"abc", {}, "12"},
        {"abc", {"2"}, "12"},
    };
    for (const auto& c : cases) {
        moviemaker::Actions a = withField();
        a.setVariable("tf.text", c.text);
        callInto(a, "f", "tf", "getTextFormat", c.range);
        a.traceValue("f.size");
        EXPECT_EQ(run(8, a), (Lines{c.size})) << "'" << c.text << "' " << c.range.size();
    }
    // setTextFormat(1, -1, big) reaches the last character.
    moviemaker::Actions a = withField();
    a.setVariable("tf.text", "abcd");
    newInto(a, "big", "TextFormat");
    a.setVariable("big.size", 30);
    a.push("big").code(0x1C).push("-1").push("1").push(3.0);
    pushPath(a, "tf").push("setTextFormat").code(0x52).code(0x17);
    for (const char* at : {"0", "1", "3"}) {
        callInto(a, "f", "tf", "getTextFormat", {at});
        a.traceValue("f.size");
    }
    EXPECT_EQ(run(7, a), (Lines{"12", "30", "30"}));
}

TEST(TextFieldScriptsTest, SheetsKeepTheirStylesInArraysScriptsSee) {
    for (const int version : {7, 8}) {
        moviemaker::Actions a;
        newInto(a, "css", "TextField.StyleSheet");
        a.traceValue("css._css");
        callInto(a, "ok", "css", "parseCSS", {"p { color: #FF0000;}"});
        for (const char* name : {"_css", "_styles"}) {
            callInto(a, "shown", "css", "isPropertyEnumerable", {name});
            a.traceValue("shown");
            // (css[name] instanceof Array)
            a.push("isArray").push("css").code(0x1C).push(name).code(0x4E);
            a.push("Array").code(0x1C).code(0x54).code(0x1D);
            a.traceValue("isArray");
        }
        a.traceValue("css._css.p.color").traceValue("css._styles.p.color");
        a.callMethod("css", "clear", {});
        a.traceValue("css._css.p");
        EXPECT_EQ(run(version, a), (Lines{"undefined", "true", "true", "true", "true", "#FF0000",
                                          "16711680", "undefined"}))
            << version;
    }
}

} // namespace
} // namespace mc
