#include <gtest/gtest.h>

#include "ScriptCalls.h"
#include "ScriptedMovie.h"

namespace mc {
namespace {

// A static text of the given lines, one record each, in a font whose glyphs are `glyphs`.
moviemaker::Text staticLines(std::uint16_t font, const std::u16string& glyphs,
                             const std::vector<std::u16string>& lines) {
    moviemaker::Text t;
    t.bounds = moviemaker::Rect::pixels(200, 100);
    for (std::size_t l = 0; l < lines.size(); ++l) {
        moviemaker::TextRecord r;
        r.fontId = font;
        r.height = 400;
        r.yOffset = static_cast<std::int16_t>(400 * (l + 1));
        for (char16_t c : lines[l]) {
            r.glyphs.push_back({static_cast<std::uint32_t>(glyphs.find(c)), 200});
        }
        t.records.push_back(r);
    }
    return t;
}

TEST(TextSnapshotTest, SnapshotsSearchAndSelectTheStaticTextOfTheirClip) {
    moviemaker::SwfWriter movie(mc::version(8));
    const std::u16string glyphs = u"HeloWrdabc";
    moviemaker::Font font;
    font.name = "Snap";
    for (char16_t c : glyphs) {
        font.glyphs.push_back({moviemaker::Shape(), c, 512});
    }
    const std::uint16_t fontId = movie.defineFont(font);
    movie.place(movie.defineText(staticLines(fontId, glyphs, {u"Hello", u"World"})), 1);
    movie.place(movie.defineText(staticLines(fontId, glyphs, {u"abc"})), 2);
    moviemaker::Actions a;
    callInto(a, "snap", "this", "getTextSnapshot");
    callInto(a, "count", "snap", "getCount");
    // Lines end where a record moves down and where the next text starts, when asked.
    callInto(a, "all", "snap", "getText", {"0", "99", "1"});
    callInto(a, "flat", "snap", "getText", {"-5", "7", ""});
    callInto(a, "one", "snap", "getText", {"3", "1"});
    callInto(a, "found", "snap", "findText", {"1", "WORLD", ""});
    callInto(a, "exact", "snap", "findText", {"0", "WORLD", "1"});
    callInto(a, "past", "snap", "findText", {"6", "World", "1"});
    a.traceValue("count").traceValue("all").traceValue("flat").traceValue("one");
    a.traceValue("found").traceValue("exact").traceValue("past");
    // Selections stay with the snapshot.
    a.callMethod("snap", "setSelected", {"0", "2", "1"});
    a.callMethod("snap", "setSelected", {"9", "11", "1"});
    callInto(a, "picked", "snap", "getSelectedText", {"1"});
    callInto(a, "none", "snap", "getSelected", {"4", "9"});
    callInto(a, "some", "snap", "getSelected", {"1", "3"});
    a.traceValue("picked").traceValue("none").traceValue("some");
    movie.doAction(a);
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    // (Traced text breaks into lines at its newlines.)
    EXPECT_EQ(m.traced, (Lines{"13", "Hello", "World", "abc", "HelloWo", "l", "5", "-1", "-1", "He",
                               "d", "a", "false", "true"}));
}

// What `script` traces in a movie holding one line "ab" at (100, 400) twips of its text, 20
// pixels high, in red, in a font reaching 0.8 em above the baseline and 0.2 below (when it
// has metrics at all), the text placed 10 pixels right and 20 down.
Lines overPlacedLine(bool metrics, const moviemaker::Actions& script) {
    moviemaker::SwfWriter movie(mc::version(8));
    moviemaker::Font font;
    font.name = "Runs";
    font.hasLayout = metrics;
    font.ascent = 16384;
    font.descent = 4096;
    font.glyphs = {{moviemaker::Shape(), u'a', 4096}, {moviemaker::Shape(), u'b', 4096}};
    const std::uint16_t fontId = movie.defineFont(font);
    moviemaker::Text t;
    t.bounds = moviemaker::Rect::pixels(200, 100);
    moviemaker::TextRecord r;
    r.fontId = fontId;
    r.height = 400;
    r.color = moviemaker::Rgba{255, 0, 0, 255};
    r.xOffset = 100;
    r.yOffset = 400;
    r.glyphs = {{0, 200}, {1, 300}};
    t.records.push_back(r);
    movie.place(movie.defineText(t), 1, moviemaker::Matrix::translate(200, 400));
    movie.doAction(script);
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    return m.traced;
}

TEST(TextSnapshotTest, MisusedSnapshotsAnswerUndefined) {
    moviemaker::SwfWriter movie(mc::version(8));
    const std::u16string glyphs = u"abc";
    moviemaker::Font font;
    font.name = "Snap";
    for (char16_t c : glyphs) {
        font.glyphs.push_back({moviemaker::Shape(), c, 512});
    }
    movie.place(movie.defineText(staticLines(movie.defineFont(font), glyphs, {u"abc"})), 1);
    moviemaker::Actions a;
    // Made without a clip: nothing to read.
    newInto(a, "bare", "TextSnapshot");
    callInto(a, "r", "bare", "getCount");
    a.traceValue("r");
    callInto(a, "snap", "this", "getTextSnapshot");
    // Each method takes so many arguments and no other number.
    const std::vector<std::pair<std::string, std::vector<std::string>>> misuses = {
        {"getCount", {"1"}},
        {"getText", {"0"}},
        {"getText", {"0", "1", "1", "1"}},
        {"getSelected", {"0"}},
        {"getSelectedText", {"1", "1"}},
        {"findText", {"0", "a"}},
        {"getTextRunInfo", {"0"}},
    };
    for (const auto& [method, args] : misuses) {
        callInto(a, "r", "snap", method, args);
        a.traceValue("r");
    }
    // Two arguments select; a start past the end reads the last character; a search from
    // before the start finds nothing.
    a.callMethod("snap", "setSelected", {"1", "3"});
    callInto(a, "r", "snap", "getSelectedText");
    a.traceValue("r");
    callInto(a, "r", "snap", "getText", {"50", "60"});
    a.traceValue("r");
    callInto(a, "r", "snap", "findText", {"-1", "a", "1"});
    a.traceValue("r");
    callInto(a, "r", "snap", "findText", {"4", "a", "1"});
    a.traceValue("r");
    movie.doAction(a);
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    EXPECT_EQ(m.traced, (Lines{"undefined", "undefined", "undefined", "undefined", "undefined",
                               "undefined", "undefined", "undefined", "bc", "c", "-1", "-1"}));
}

TEST(TextSnapshotTest, RunInfoTellsWhereAndHowEachCharacterIsDrawn) {
    moviemaker::Actions a;
    callInto(a, "snap", "this", "getTextSnapshot");
    a.callMethod("snap", "setSelected", {"1", "2", "1"});
    // From the first index to the last, both included.
    callInto(a, "runs", "snap", "getTextRunInfo", {"0", "1"});
    for (const char* name :
         {"runs.length", "runs.0.indexInRun", "runs.0.selected", "runs.0.font", "runs.0.color",
          "runs.0.height", "runs.0.matrix_a", "runs.0.matrix_tx", "runs.0.matrix_ty",
          "runs.1.indexInRun", "runs.1.selected", "runs.1.matrix_tx", "runs.1.corner0x",
          "runs.1.corner0y", "runs.1.corner1x", "runs.1.corner2y", "runs.1.corner3x"}) {
        a.traceValue(name);
    }
    // An end before the start still reads from the start on.
    callInto(a, "runs", "snap", "getTextRunInfo", {"1", "0"});
    a.traceValue("runs.length");
    // Pen positions are the text's offsets and advances, moved where the text is placed;
    // the box reaches from 4 pixels below the baseline to 16 above.
    EXPECT_EQ(overPlacedLine(true, a),
              (Lines{"2", "0", "false", "Runs", "4294901760", "20", "1", "15", "40", "1", "true",
                     "25", "25", "44", "40", "24", "25", "1"}));
}

TEST(TextSnapshotTest, HitTestsFindTheCharacterAtOrNearAPoint) {
    // Points in the clip's pixels; the characters span x 15..25 and 25..40, y 24..44.
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"20", "30"}, "0"},        // inside the first
        {{"30", "43"}, "1"},        // inside the second, near its bottom
        {{"50", "30"}, "-1"},       // beside the text, no distance allowed
        {{"50", "30", "20"}, "1"},  // ...within reach of the second's centre (32.5, 34)
        {{"50", "30", "10"}, "-1"}, // ...out of reach
        {{"x", "30", "99"}, "-1"},  // no point at all
    };
    moviemaker::Actions a;
    callInto(a, "snap", "this", "getTextSnapshot");
    Lines expected;
    for (const auto& [args, index] : cases) {
        callInto(a, "r", "snap", "hitTestTextNearPos", args);
        a.traceValue("r");
        expected.push_back(index);
    }
    EXPECT_EQ(overPlacedLine(true, a), expected);
    // A font without metrics gives its characters no box to find.
    moviemaker::Actions b;
    callInto(b, "snap", "this", "getTextSnapshot");
    callInto(b, "r", "snap", "hitTestTextNearPos", {"20", "30", "50"});
    b.traceValue("r");
    EXPECT_EQ(overPlacedLine(false, b), Lines{"-1"});
}

} // namespace
} // namespace mc
