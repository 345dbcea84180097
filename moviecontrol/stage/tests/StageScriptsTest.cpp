#include <gtest/gtest.h>

#include <algorithm>

#include "Drawing.h"
#include "RecordingBackend.h"
#include "ScriptedMovie.h"
#include "TextFieldState.h"

namespace mc {
namespace {

TEST(StageScriptsTest, FrameScriptsOfParentAndChildTraceInThePlayersOrder) {
    moviemaker::SwfWriter movie(version(8));
    moviemaker::Sprite child;
    child.doAction(moviemaker::Actions().trace("child 1").traceValue("this._name"));
    child.showFrame();
    child.doAction(moviemaker::Actions().trace("child 2"));
    child.showFrame();
    const uint16_t id = movie.defineSprite(child);
    moviemaker::PlaceObject p;
    p.depth = 1;
    p.characterId = id;
    p.name = "kid";
    movie.doAction(moviemaker::Actions().trace("root 1").traceValue("kid._target"));
    movie.placeObject(p);
    movie.showFrame();
    movie.doAction(moviemaker::Actions().trace("root 2").stop());
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    m.frames(2);
    // The root stopped; the child plays on, its frame scripts running each frame.
    EXPECT_EQ(m.traced,
              (Lines{"root 1", "/kid", "child 1", "kid", "child 2", "root 2", "child 1", "kid"}));
}

TEST(StageScriptsTest, AttachedSymbolsAndEmptyClipsAreReachableByNameDepthAndPath) {
    moviemaker::SwfWriter movie(version(8));
    moviemaker::Sprite symbol;
    symbol.showFrame();
    const uint16_t id = movie.defineSprite(symbol);
    const auto exports = exportTag(id, "Ball");
    movie.rawTag(56, exports);
    movie.doAction(moviemaker::Actions()
                       .callMethod("this", "attachMovie", {"Ball", "b1", "7"})
                       .traceValue("b1._name")
                       .traceValue("b1")
                       .callMethod("this", "createEmptyMovieClip", {"holder", "3"})
                       .callMethod("holder", "attachMovie", {"ball", "inner", "1"})
                       .traceValue("holder.inner")
                       .setVariable("b1._x", 12.5)
                       .traceValue("b1._x"));
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    // Symbol names are found without case as a fallback.
    EXPECT_EQ(m.traced, (Lines{"b1", "_level0.b1", "_level0.holder.inner", "12.5"}));
    auto b1 = m.player->childByName(m.player->rootObject(), "b1", true);
    ASSERT_NE(b1, nullptr);
    EXPECT_EQ(b1->depth, 7);
    EXPECT_DOUBLE_EQ(b1->matrix.tx, 250);
}

TEST(StageScriptsTest, AFieldBoundToAVariableShowsItAfterTheFrameScripts) {
    moviemaker::SwfWriter movie(version(7));
    movie.doAction(moviemaker::Actions()
                       .callMethod("this", "createTextField", {"tf", "1", "0", "0", "100", "20"})
                       .setVariable("tf.variable", "greeting")
                       .setVariable("greeting", "hello"));
    movie.showFrame();
    movie.doAction(moviemaker::Actions().setVariable("greeting", "again").stop());
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    auto tf = m.player->childByName(m.player->rootObject(), "tf", true);
    ASSERT_NE(tf, nullptr);
    ASSERT_TRUE(tf->text);
    EXPECT_EQ(tf->text->plainText(), "hello");
    const auto before = tf->text->generation;
    m.frames(1);
    EXPECT_EQ(tf->text->plainText(), "again");
    EXPECT_NE(tf->text->generation, before);
}

TEST(StageScriptsTest, TheDrawingMethodsReachTheRenderer) {
    moviemaker::SwfWriter movie(version(8));
    movie.doAction(moviemaker::Actions()
                       .callMethod("this", "createEmptyMovieClip", {"pad", "1"})
                       .callMethod("pad", "beginFill", {"16711680"})
                       .callMethod("pad", "moveTo", {"10", "10"})
                       .callMethod("pad", "lineTo", {"110", "10"})
                       .callMethod("pad", "lineTo", {"110", "60"})
                       .callMethod("pad", "endFill")
                       .traceValue("pad._width"));
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    EXPECT_EQ(m.traced, (Lines{"100"}));
    RecordingBackend rec;
    m.player->render(rec);
    ASSERT_EQ(rec.entries().size(), 1u);
    const Drawing* d = rec.entries()[0].draw.drawing;
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->shape().styles.fills.size(), 1u);
    EXPECT_EQ(d->shape().styles.fills[0].color, (swf::Rgba{255, 0, 0, 255}));
}

TEST(StageScriptsTest, OnlyWebAndMailAddressesLeaveAndOnlyQuitAndFullscreenReachTheOwner) {
    moviemaker::SwfWriter movie(version(8));
    movie.doAction(moviemaker::Actions()
                       .push("true")
                       .push("FSCommand:fullscreen")
                       .code(0x4B) // to string: keeps the stack shape of the call below
                       .code(0x17)
                       .code(0x17));
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    // Each as if asked for by its own click.
    for (const char* url :
         {"javascript:alert(1)", "file:///etc/passwd", "https://example.org/card",
          "MAILTO:someone@example.org", "http:///no-host", "https://user@/path"}) {
        const PageOpening::Gesture click(&m.scripts->pages());
        avm1::UrlRequest request;
        request.url = url;
        m.scripts->host().getUrl(request);
    }
    EXPECT_EQ(m.urls, (Lines{"https://example.org/card", "MAILTO:someone@example.org"}));
    m.scripts->host().fscommand("quit", "");
    m.scripts->host().fscommand("exec", "rm -rf /");
    m.scripts->host().fscommand("FullScreen", "true");
    EXPECT_EQ(m.commands, (Lines{"quit ", "FullScreen true"}));
}

TEST(StageScriptsTest, LoadVariablesReadsOnlyBesideTheMovieAndArrivesNextFrame) {
    moviemaker::SwfWriter movie(version(8));
    movie.doAction(moviemaker::Actions()
                       .callMethod("this", "loadVariables", {"../secret.txt"})
                       .callMethod("this", "loadVariables", {"/etc/hosts"})
                       .callMethod("this", "loadVariables", {"vars.txt?x=1"})
                       .traceValue("name"));
    movie.showFrame();
    movie.doAction(moviemaker::Actions().traceValue("name").traceValue("count").stop());
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    m.frames(1);
    EXPECT_EQ(m.opened, (Lines{"vars.txt"}));
    EXPECT_EQ(m.traced,
              (Lines{"undefined", "J\xC3\xBCrgen", "3", ""})); // the value keeps its line break
}

TEST(StageScriptsTest, TheMenuCommandsKeepTheirMeaningOnAScriptedMovie) {
    moviemaker::SwfWriter movie(version(6));
    for (int f = 1; f <= 4; ++f) {
        moviemaker::Actions a;
        a.trace("frame " + std::to_string(f));
        if (f == 3) {
            a.stop();
        }
        movie.doAction(a);
        movie.showFrame();
    }
    ScriptedMovie m(movie.finish());
    m.frames(5);
    EXPECT_EQ(m.player->currentFrame(), 2u); // the script's stop holds
    EXPECT_FALSE(m.player->playing());
    m.traced.clear();
    m.player->stepForward();
    EXPECT_EQ(m.player->currentFrame(), 3u);
    m.player->stepBack();
    EXPECT_EQ(m.player->currentFrame(), 2u);
    EXPECT_FALSE(m.player->playing());
    m.player->rewind();
    EXPECT_EQ(m.player->currentFrame(), 0u);
    m.player->setPlaying(true);
    m.frames(1);
    EXPECT_EQ(m.traced, (Lines{"frame 4", "frame 3", "frame 1", "frame 2"}));
}

} // namespace
} // namespace mc

namespace mc {
namespace {

TEST(StageScriptsTest, LoadVarsAnswersAfterTheScriptsFromFilesBesideTheMovieOnly) {
    moviemaker::SwfWriter movie(version(8));
    moviemaker::Actions onLoad;
    onLoad.traceValue("this.name").traceValue("this.loaded");
    // trace(this.toString()): the variables, handlers included, but not `loaded`
    onLoad.push(0.0).push("this").code(0x1C).push("toString").code(0x52).code(0x26);
    movie.doAction(moviemaker::Actions()
                       .push("lv")
                       .push(0.0)
                       .push("LoadVars")
                       .code(0x40) // new LoadVars()
                       .code(0x1D)
                       .push("lv")
                       .code(0x1C)
                       .push("onLoad")
                       .function(onLoad)
                       .code(0x4F) // lv.onLoad = function () {...}
                       .callMethod("lv", "load", {"../outside.txt"})
                       .callMethod("lv", "load", {"vars.txt"})
                       .traceValue("lv.name")
                       .traceValue("System.security.sandboxType"));
    movie.showFrame();
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    EXPECT_EQ(m.opened, (Lines{"vars.txt"}));
    EXPECT_EQ(m.traced, (Lines{"undefined", "localWithFile"}));
    m.frames(1);
    // The refused load fails, the other arrives decoded; both after the frame's scripts.
    EXPECT_EQ(m.traced, (Lines{"undefined", "localWithFile", "undefined", "false",
                               "onLoad=%5Btype%20Function%5D", "J\xC3\xBCrgen", "true",
                               "count=3%0A&name=J%C3%BCrgen&onLoad=%5Btype%20Function%5D"}));
}

TEST(StageScriptsTest, TypeofTellsClipsFromTextFields) {
    moviemaker::SwfWriter movie(version(6));
    moviemaker::Actions a;
    a.callMethod("this", "createTextField", {"tf", "1", "0", "0", "100", "20"});
    a.callMethod("this", "createEmptyMovieClip", {"mc", "2"});
    for (const char* name : {"tf", "mc", "this"}) {
        a.push(name).code(0x1C).code(0x44).code(0x26); // trace(typeof name)
    }
    movie.doAction(a);
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    m.frames(1);
    EXPECT_EQ(m.traced, (Lines{"object", "movieclip", "movieclip"}));
}

} // namespace
} // namespace mc
