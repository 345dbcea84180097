// Clips over time: scripts of clips that leave, references kept to them, unloading, goto
// arguments and timers between frames.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "ScriptedMovie.h"

namespace mc {
namespace {

using moviemaker::Actions;

// Pushes the value of a variable or a dotted member path ("p.k").
Actions& pushPath(Actions& a, std::string_view path) {
    std::size_t dot = path.find('.');
    a.push(path.substr(0, dot)).code(0x1C);
    while (dot != std::string_view::npos) {
        const std::size_t next = path.find('.', dot + 1);
        a.push(path.substr(dot + 1, next == std::string_view::npos ? next : next - dot - 1));
        a.code(0x4E);
        dot = next;
    }
    return a;
}

// object.method(number) with the result dropped.
Actions& callWithNumber(Actions& a, std::string_view object, std::string_view method,
                        double number) {
    a.push(number).pushInt(1);
    return pushPath(a, object).push(method).code(0x52).code(0x17);
}

// object.name = function() { body }
Actions& setFunction(Actions& a, std::string_view object, std::string_view name,
                     const Actions& body) {
    return pushPath(a, object).push(name).function(body).code(0x4F);
}

// A movie whose library exports a sprite of `frames` frames as "sym", the first frame
// running `spriteScript`, and whose root runs `rootScript` in its first frame. A child
// of that sprite is placed on the root at depth 1 as "c".
std::vector<uint8_t> movieWithSymbol(const Actions& rootScript, const Actions& spriteScript,
                                     int frames, bool placeChild = false) {
    moviemaker::SwfWriter movie(version(8));
    moviemaker::Sprite sprite;
    sprite.doAction(spriteScript);
    for (int i = 0; i < frames; ++i) {
        sprite.showFrame();
    }
    const uint16_t id = movie.defineSprite(sprite);
    movie.exportAssets(id, "sym");
    if (placeChild) {
        moviemaker::PlaceObject place;
        place.characterId = id;
        place.name = "c";
        movie.placeObject(place);
    }
    movie.doAction(rootScript);
    movie.showFrame();
    movie.doAction(Actions().stop());
    movie.showFrame();
    return movie.finish();
}

TEST(ClipLifetimeTest, AScriptStopsAfterTheCallThatRemovedItsOwnClip) {
    Actions clip;
    clip.trace("in").callMethod("this", "removeMovieClip").trace("after");
    Actions root;
    root.callMethod("this", "attachMovie", {"sym", "a", "5"}).trace("root goes on");
    ScriptedMovie m(movieWithSymbol(root, clip, 1));
    m.frames(1);
    // The clip's frame script runs after the root's, and stops where its clip left.
    EXPECT_EQ(m.traced, (Lines{"root goes on", "in"}));
}

TEST(ClipLifetimeTest, GotoReadsWholeNumbersAsFramesAndTextAsAFramePathOrLabel) {
    Actions a;
    // Fractions and text that is not a whole decimal literal name no frame.
    callWithNumber(a, "c", "gotoAndStop", 1.5).traceValue("c._currentframe");
    for (const char* text : {"2.5", " 2", "0x2", "+3", "1e1", "_root.c:2", "c.4", "c:nowhere"}) {
        a.callMethod("c", "gotoAndStop", {text}).traceValue("c._currentframe");
    }
    ScriptedMovie m(movieWithSymbol(a, Actions().stop(), 5, true));
    m.frames(1);
    EXPECT_EQ(m.traced, (Lines{"1", "1", "1", "1", "3", "5", "2", "4", "4"}));
}

TEST(ClipLifetimeTest, AnEmptyClipEntersItsOneFrameAndAnUnloadedClipHasNone) {
    Actions a;
    a.callMethod("this", "createEmptyMovieClip", {"e", "1"});
    a.traceValue("e._currentframe").traceValue("e._totalframes");
    callWithNumber(a, "e", "gotoAndStop", 2).traceValue("e._currentframe");
    a.callMethod("this", "attachMovie", {"sym", "s", "2"});
    setFunction(a, "s", "onUnload", Actions().trace("unloaded"));
    a.callMethod("s", "unloadMovie");
    a.traceValue("s._totalframes").traceValue("s._framesloaded").traceValue("s._currentframe");
    callWithNumber(a, "s", "gotoAndStop", 1).traceValue("s._currentframe");
    ScriptedMovie m(movieWithSymbol(a, Actions(), 3));
    m.frames(1);
    EXPECT_EQ(m.traced, (Lines{"0", "1", "1", "0", "0", "0", "0", "unloaded"}));
}

TEST(ClipLifetimeTest, UnloadEventsRunForTheChildrenBeforeTheirParent) {
    Actions a;
    a.callMethod("this", "createEmptyMovieClip", {"p", "1"});
    a.callMethod("p", "createEmptyMovieClip", {"k", "1"});
    a.callMethod("p.k", "createEmptyMovieClip", {"g", "1"});
    setFunction(a, "p", "onUnload", Actions().trace("p"));
    setFunction(a, "p.k", "onUnload", Actions().trace("k"));
    setFunction(a, "p.k.g", "onUnload", Actions().trace("g"));
    a.callMethod("p", "removeMovieClip");
    ScriptedMovie m(movieWithSymbol(a, Actions(), 1));
    m.frames(1);
    EXPECT_EQ(m.traced, (Lines{"g", "k", "p"}));
}

// A child's unload script runs while the child is still its parent's, whether the parent
// left (removeMovieClip) or stayed and lost its content (unloadMovie).
TEST(ClipLifetimeTest, AChildsUnloadScriptSeesItsParent) {
    for (const char* method : {"removeMovieClip", "unloadMovie"}) {
        SCOPED_TRACE(method);
        Actions a;
        a.callMethod("this", "createEmptyMovieClip", {"p", "1"});
        a.callMethod("p", "createEmptyMovieClip", {"k", "1"});
        Actions unload;
        pushPath(unload, "this._parent._name").code(0x26);
        pushPath(unload, "this._target").code(0x26);
        setFunction(a, "p.k", "onUnload", unload);
        a.callMethod("p", method);
        ScriptedMovie m(movieWithSymbol(a, Actions(), 1));
        m.frames(1);
        EXPECT_EQ(m.traced, (Lines{"p", "/p/k"}));
    }
}

// An empty clip is constructed within createEmptyMovieClip: its onConstruct method runs
// before the call returns, named and at its depth, while a clip with none runs nothing.
TEST(ClipLifetimeTest, AnEmptyClipsConstructMethodRunsWithinTheCall) {
    Actions a;
    a.callMethod("this", "createEmptyMovieClip", {"before", "4"}).trace("made before");
    Actions construct;
    pushPath(construct, "this._name").code(0x26);
    pushPath(construct, "this._currentframe").code(0x26);
    construct.push(0.0).push("this").code(0x1C).push("getDepth").code(0x52).code(0x26);
    setFunction(a, "MovieClip.prototype", "onConstruct", construct);
    a.callMethod("this", "createEmptyMovieClip", {"e", "5"}).trace("after");
    ScriptedMovie m(movieWithSymbol(a, Actions(), 1));
    m.frames(1);
    EXPECT_EQ(m.traced, (Lines{"made before", "e", "0", "5", "after"}));
}

TEST(ClipLifetimeTest, TimersRunInTheOrderTheyFallDueBetweenFrames) {
    Actions a;
    // setInterval(function() { trace("a") }, 30); setInterval(function() { trace("b") }, 50)
    a.push(30.0).function(Actions().trace("a")).pushInt(2).push("setInterval").code(0x3D);
    a.push(50.0).function(Actions().trace("b")).pushInt(2).push("setInterval").code(0x3D);
    ScriptedMovie m(movieWithSymbol(a, Actions(), 1));
    m.frames(1); // 100 ms
    EXPECT_EQ(m.traced, (Lines{"a", "b", "a", "a", "b"}));
}

} // namespace
} // namespace mc
