#include <gtest/gtest.h>

#include <limits>

#include "ScriptCalls.h"
#include "ScriptedMovie.h"

namespace mc {
namespace {

using moviemaker::Actions;

// this.method(number) with the result dropped.
Actions& callWithNumber(Actions& a, std::string_view method, double number) {
    return a.push(number).pushInt(1).push("this").code(0x1C).push(method).code(0x52).code(0x17);
}

// A root timeline of `frames` empty frames whose first frame runs `script`.
std::vector<uint8_t> rootMovie(int swfVersion, const Actions& script, int frames = 1) {
    moviemaker::SwfWriter movie(version(swfVersion));
    movie.doAction(script);
    movie.showFrame();
    for (int i = 1; i < frames; ++i) {
        movie.showFrame();
    }
    return movie.finish();
}

TEST(ClipScriptsTest, AReferenceToARemovedClipFindsTheClipNowAtItsPath) {
    Actions a;
    // r = this.createEmptyMovieClip("mc", 1); t = this.createTextField("tf", 3, 0, 0, 9, 9)
    a.push("r").push(1.0).push("mc").pushInt(2).push("this").code(0x1C);
    a.push("createEmptyMovieClip").code(0x52).code(0x1D);
    a.push("t").push(9.0).push(9.0).push(0.0).push(0.0).push(3.0).push("tf").pushInt(6);
    a.push("this").code(0x1C).push("createTextField").code(0x52).code(0x1D);
    a.callMethod("r", "removeMovieClip", {}).callMethod("t", "removeTextField", {});
    a.traceValue("r._name");
    // Another clip of the same name answers for it, at its own depth; a field does not.
    a.callMethod("this", "createEmptyMovieClip", {"mc", "2"});
    a.callMethod("this", "createTextField", {"tf", "4", "0", "0", "9", "9"});
    a.traceValue("r._name").traceValue("t._name");
    a.push("d").pushInt(0).push("r").code(0x1C).push("getDepth").code(0x52).code(0x1D);
    a.traceValue("d");
    a.setVariable("r._x", 7).traceValue("mc._x");
    // It stands for the new clip in comparisons and stores into it.
    a.push("r").code(0x1C).push("mc").code(0x1C).code(0x49).code(0x26);
    a.setVariable("r.tag", "new").traceValue("mc.tag");
    // Gone again, it is gone for the reference too.
    a.callMethod("mc", "removeMovieClip", {}).traceValue("r._name");
    ScriptedMovie m(rootMovie(8, a));
    EXPECT_EQ(m.traced,
              (Lines{"undefined", "mc", "undefined", "2", "7", "true", "new", "undefined"}));
}

TEST(ClipScriptsTest, AReferenceWithNothingAtItsPathAnswersNothing) {
    Actions a;
    // r = this.createEmptyMovieClip("mc", 1); r.tag = "kept"; r.removeMovieClip()
    a.push("r").push(1.0).push("mc").pushInt(2).push("this").code(0x1C);
    a.push("createEmptyMovieClip").code(0x52).code(0x1D);
    a.setVariable("r.tag", "kept").callMethod("r", "removeMovieClip", {});
    // Its variables, its methods and valueOf read undefined; it is still a clip by typeof
    // and reads as its empty path.
    a.traceValue("r.tag");
    a.push("r").code(0x1C).push("getDepth").code(0x4E).code(0x44).code(0x26);
    a.pushInt(0).push("r").code(0x1C).push("valueOf").code(0x52).code(0x44).code(0x26);
    a.push("r").code(0x1C).code(0x44).code(0x26);
    a.push("[").push("r").code(0x1C).code(0x47).push("]").code(0x47).code(0x26);
    ScriptedMovie m(rootMovie(8, a));
    EXPECT_EQ(m.traced, (Lines{"undefined", "undefined", "undefined", "movieclip", "[]"}));
}

TEST(ClipScriptsTest, GotoNumbersWrapAsIntegersAndFramesBeforeTheFirstAreIgnored) {
    Actions a;
    a.stop();
    // 0 and negative frames stay put; past the end is the last frame; 2^32 + 2 wraps to 2;
    // -2^31 wraps past the end; text is a frame number or a label.
    // (Frame 1 holds this script: going back there would run it again.)
    for (double frame : {3.0, 0.0, -100.0, 2.0, 999.0, 4294967298.0, -2147483648.0}) {
        callWithNumber(a, "gotoAndStop", frame);
        a.traceValue("_currentframe");
    }
    a.callMethod("this", "gotoAndStop", {"2"}).traceValue("_currentframe");
    a.callMethod("this", "gotoAndStop", {"nowhere"}).traceValue("_currentframe");
    ScriptedMovie m(rootMovie(8, a, 3));
    EXPECT_EQ(m.traced, (Lines{"3", "3", "3", "2", "3", "2", "3", "2", "2"}));
}

TEST(ClipScriptsTest, GotoFrame2ReadsOtherValuesAsTextAndMovesLabelsByTheSceneBias) {
    moviemaker::SwfWriter movie(version(7));
    // gotoAndStop(undefined) goes to the frame labelled "undefined"; with a scene bias of 1
    // the label "two" (frame 2) leads to frame 3.
    movie.doAction(Actions()
                       .stop()
                       .pushUndefined()
                       .gotoFrame2(false)
                       .traceValue("_currentframe")
                       .push("two")
                       .raw({0x9F, 3, 0, 0x02, 1, 0})
                       .traceValue("_currentframe"));
    movie.showFrame();
    movie.frameLabel("two");
    movie.showFrame();
    movie.showFrame();
    movie.frameLabel("undefined");
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    EXPECT_EQ(m.traced, (Lines{"4", "3"}));
}

TEST(ClipScriptsTest, AFullyLoadedMovieHasEveryFrameAPreloaderWaitsFor) {
    // ifFrameLoaded(144) in a movie of two frames: loaded, so the next action runs.
    Actions a;
    a.raw({0x8A, 3, 0, 143, 0, 1}).trace("frame 144 is there").trace("after");
    ScriptedMovie m(rootMovie(5, a, 2));
    EXPECT_EQ(m.traced, (Lines{"frame 144 is there", "after"}));
}

TEST(ClipScriptsTest, TimelineActionsWithATargetThatNamesNoClipMoveTheRoot) {
    moviemaker::SwfWriter movie(version(6));
    moviemaker::Sprite child;
    // var n = 2 lands where the next line reads it: on the root.
    child.doAction(Actions()
                       .setTarget("nothing")
                       .push("n")
                       .push(2.0)
                       .code(0x3C)
                       .push("n")
                       .code(0x1C)
                       .gotoFrame2(false)
                       .setTarget("")
                       .traceValue("_root.n"));
    child.showFrame();
    movie.doAction(Actions().stop());
    placeNamedSprite(movie, child, "kid");
    movie.showFrame();
    movie.doAction(Actions().trace("root 2"));
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    EXPECT_EQ(m.traced, (Lines{"2", "root 2"}));
}

TEST(ClipScriptsTest, CallFunctionReachesAClipsFunctionOnlyThroughItsLastColonOrDot) {
    Actions a;
    a.callMethod("this", "createEmptyMovieClip", {"kid", "5"});
    // Each name's getDepth runs on the clip the path names; slashes alone name the clip
    // itself, which is not called (the root's own getDepth must not answer).
    for (const char* name : {"kid.getDepth", "/kid:getDepth", "_root:kid:getDepth",
                             "_root.kid:getDepth", "/kid/getDepth", "/_root/kid/getDepth"}) {
        a.pushInt(0).push(name).code(0x3D).code(0x26);
    }
    ScriptedMovie m(rootMovie(6, a));
    EXPECT_EQ(m.traced, (Lines{"5", "5", "5", "5", "undefined", "undefined"}));
}

TEST(ClipScriptsTest, TellTargetFindsAClipByItsPathSoTheLowerOfTwinsAnswers) {
    Actions a;
    a.callMethod("this", "createEmptyMovieClip", {"twin", "1"})
        .setVariable("twin.x", "lower")
        .push(2.0)
        .push("twin")
        .pushInt(2)
        .push("this")
        .code(0x1C)
        .push("createEmptyMovieClip")
        .code(0x52)
        .storeRegister(1)
        .push("x")
        .push("upper")
        .code(0x4F) // upper = createEmptyMovieClip("twin", 2); upper.x = "upper"
        .pushRegister(1)
        .code(0x20) // tellTarget(upper)
        .traceValue("x")
        .setTarget("");
    ScriptedMovie m(rootMovie(6, a));
    EXPECT_EQ(m.traced, (Lines{"lower"}));
}

TEST(ClipScriptsTest, LevelNamesReadTheirLevelAndNothingElse) {
    Actions a;
    for (const char* name :
         {"_flash0", "_level", "_LEVEL0abc", "_level4294967296", "_level1", "_level-1"}) {
        a.traceValue(name);
    }
    // A level name comes before a child of that name, an own property before both.
    a.callMethod("this", "createEmptyMovieClip", {"_level0", "1"})
        .traceValue("this._level0")
        .setVariable("this._level0", 50)
        .traceValue("this._level0")
        .traceValue("this._global.Math.PI");
    ScriptedMovie m(rootMovie(7, a));
    EXPECT_EQ(m.traced, (Lines{"_level0", "_level0", "_level0", "_level0", "undefined", "undefined",
                               "_level0", "50", "3.14159265358979"}));
}

TEST(ClipScriptsTest, GetPropertyReadsTheClipsOwnPropertyWhereAChildHasItsName) {
    Actions a;
    a.callMethod("this", "createEmptyMovieClip", {"_x", "1"})
        .push("")
        .push(0.0)
        .push(42.0)
        .code(0x23) // SetProperty _x
        .traceValue("_root._x")
        .push("")
        .push(-0.8) // truncates to property 0
        .code(0x22)
        .code(0x26);
    ScriptedMovie m(rootMovie(7, a));
    EXPECT_EQ(m.traced, (Lines{"_level0._x", "42"}));
}

TEST(ClipScriptsTest, ScaleAndRotationReadBackAsSetWithoutDrift) {
    Actions a;
    a.callMethod("this", "createEmptyMovieClip", {"c", "1"})
        .setVariable("c._rotation", -180)
        .traceValue("c._rotation")
        .setVariable("c._rotation", 190)
        .traceValue("c._rotation")
        .setVariable("c._rotation", -10)
        .setVariable("c._xscale", 30.3)
        .traceValue("c._rotation")
        .traceValue("c._xscale")
        .setVariable("c._yscale", -70)
        .traceValue("c._xscale")
        .traceValue("c._yscale");
    ScriptedMovie m(rootMovie(7, a));
    EXPECT_EQ(m.traced, (Lines{"180", "-170", "-10", "30.3", "30.3", "-70"}));
}

TEST(ClipScriptsTest, DepthsWrapAsIntegersAndOnlyNumbersSwap) {
    moviemaker::SwfWriter movie(version(8));
    moviemaker::Sprite symbol;
    symbol.showFrame();
    placeNamedSprite(movie, symbol, "src");
    Actions a;
    // No depth is depth 0; one past the 32-bit range wraps into it.
    a.pushUndefined().push("a").push(2.0).push("src").code(0x1C);
    a.push("duplicateMovieClip").code(0x52).code(0x17);
    a.push(4294967301.0).push("b").push(2.0).push("src").code(0x1C);
    a.push("duplicateMovieClip").code(0x52).code(0x17);
    callInto(a, "aDepth", "a", "getDepth");
    callInto(a, "bDepth", "b", "getDepth");
    a.traceValue("aDepth").traceValue("bDepth");
    // A string names a target, not a depth; a number that is none is depth 0.
    a.push("9").push(1.0).push("b").code(0x1C).push("swapDepths").code(0x52).code(0x17);
    callInto(a, "bDepth", "b", "getDepth");
    a.traceValue("bDepth");
    a.push(std::numeric_limits<double>::quiet_NaN()).push(1.0).push("b").code(0x1C);
    a.push("swapDepths").code(0x52).code(0x17);
    callInto(a, "aDepth", "a", "getDepth");
    callInto(a, "bDepth", "b", "getDepth");
    a.traceValue("aDepth").traceValue("bDepth");
    movie.doAction(a);
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    EXPECT_EQ(m.traced, (Lines{"0", "5", "5", "5", "0"}));
}

TEST(ClipScriptsTest, CloneSpriteCountsDepthsFromTheTimelineBaseAndRemovalKeepsToItsRange) {
    moviemaker::SwfWriter movie(version(7));
    moviemaker::Sprite symbol;
    symbol.showFrame();
    placeNamedSprite(movie, symbol, "src");
    Actions a;
    a.callMethod("src", "duplicateMovieClip", {"first", "0"})
        // The action's 16384 is the method's 0: the copy replaces "first".
        .push("src")
        .push("second")
        .push(16384.0)
        .code(0x24)
        .traceValue("first")
        .traceValue("second")
        .callMethod("src", "duplicateMovieClip", {"top", "2130690045"})
        .traceValue("top")
        .callMethod("this", "createEmptyMovieClip", {"high", "2130690032"})
        .callMethod("high", "removeMovieClip")
        .traceValue("high")
        .callMethod("this", "createEmptyMovieClip", {"low", "2130690031"})
        .callMethod("low", "removeMovieClip")
        .traceValue("low");
    movie.doAction(a);
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    EXPECT_EQ(m.traced,
              (Lines{"undefined", "_level0.second", "undefined", "_level0.high", "undefined"}));
}

TEST(ClipScriptsTest, ASpriteCountsTheBytesOfItsOwnTagsAndAnEmptyClipNone) {
    moviemaker::SwfWriter movie(version(7));
    moviemaker::Sprite symbol;
    symbol.showFrame();
    placeNamedSprite(movie, symbol, "s");
    Actions a;
    a.callMethod("this", "createEmptyMovieClip", {"e", "1"})
        .push(0.0)
        .push("s")
        .code(0x1C)
        .push("getBytesTotal")
        .code(0x52)
        .code(0x26)
        .push(0.0)
        .push("e")
        .code(0x1C)
        .push("getBytesLoaded")
        .code(0x52)
        .code(0x26);
    movie.doAction(a);
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    // ShowFrame and End: two tag headers of two bytes each.
    EXPECT_EQ(m.traced, (Lines{"4", "0"}));
}

TEST(ClipScriptsTest, AShortIntervalRunsAsOftenAsItFellDueUpToABound) {
    // setInterval(f, 1) in a frame of 100 ms: ten calls, not a hundred; a 30 ms one three.
    Actions fast;
    fast.setVariable("fast", 0);
    Actions body;
    body.trace("fast");
    Actions slowBody;
    slowBody.trace("slow");
    fast.push(1.0).function(body).pushInt(2).push("setInterval").code(0x3D).code(0x17);
    fast.push(30.0).function(slowBody).pushInt(2).push("setInterval").code(0x3D).code(0x17);
    ScriptedMovie m(rootMovie(7, fast, 2));
    m.frames(1);
    EXPECT_EQ(std::count(m.traced.begin(), m.traced.end(), "fast"), 10);
    EXPECT_EQ(std::count(m.traced.begin(), m.traced.end(), "slow"), 3);
}

TEST(ClipScriptsTest, AGotoInATimerRunsItsFrameScriptsOnceTheRoundEnds) {
    // Two intervals due together each trace "in", go to frame 3 and trace "out"; frame 3's
    // script runs once both calls are done, and the intervals it clears do not run again.
    Actions timer;
    timer.trace("in").push(3.0).pushInt(1).push("gotoAndStop").code(0x3D).code(0x17);
    timer.trace("out");
    Actions first;
    first.stop();
    for (const char* id : {"i1", "i2"}) {
        first.push(id).push(10.0).function(timer).pushInt(2).push("setInterval").code(0x3D);
        first.code(0x1D);
    }
    Actions third;
    third.trace("frame 3");
    for (const char* id : {"i1", "i2"}) {
        third.push(id).code(0x1C).pushInt(1).push("clearInterval").code(0x3D).code(0x17);
    }
    moviemaker::SwfWriter movie(version(7));
    movie.doAction(first);
    movie.showFrame();
    movie.showFrame();
    movie.doAction(third);
    movie.showFrame();
    ScriptedMovie m(movie.finish());
    m.frames(2);
    EXPECT_EQ(m.traced, (Lines{"in", "out", "in", "out", "frame 3"}));
}

TEST(ClipScriptsTest, RegisterClassTakesFunctionsAndNullOnly) {
    Actions a;
    const auto reg = [&](Actions& value) {
        a.raw(value.body()).push("Sym").pushInt(2).push("Object").code(0x1C).push("registerClass");
        a.code(0x52).code(0x26);
    };
    Actions fn;
    fn.function(Actions());
    Actions null;
    null.pushNull();
    Actions number;
    number.push(12.0);
    Actions text;
    text.push("bar");
    reg(fn);
    reg(null);
    reg(number);
    reg(text);
    ScriptedMovie m(rootMovie(7, a));
    EXPECT_EQ(m.traced, (Lines{"true", "true", "false", "false"}));
}

TEST(ClipScriptsTest, ARegisteredClassIsTheClipsOwnConstructorBeforeVersion7) {
    for (int v : {6, 7, 8}) {
        // Ball = function() {}; Object.registerClass("Sym", Ball); attachMovie("Sym", "b", 1)
        Actions a;
        a.push("Ball").function(Actions()).code(0x1D);
        a.push("Ball").code(0x1C).push("Sym").pushInt(2).push("Object").code(0x1C);
        a.push("registerClass").code(0x52).code(0x17);
        a.callMethod("this", "attachMovie", {"Sym", "b", "1"});
        // trace(b.hasOwnProperty("constructor")); trace(b.constructor == Ball);
        a.push("constructor").pushInt(1).push("b").code(0x1C).push("hasOwnProperty");
        a.code(0x52).code(0x26);
        a.push("b").code(0x1C).push("constructor").code(0x4E).push("Ball").code(0x1C);
        a.code(0x49).code(0x26);
        a.push("b").code(0x1C).push("__constructor__").code(0x4E).push("Ball").code(0x1C);
        a.code(0x49).code(0x26);
        moviemaker::SwfWriter movie(version(v));
        moviemaker::Sprite sprite;
        sprite.showFrame();
        movie.exportAssets(movie.defineSprite(sprite), "Sym");
        movie.doAction(a);
        movie.showFrame();
        ScriptedMovie m(movie.finish());
        // From 7 the clip inherits `constructor` from the class's prototype, which a plain
        // function's prototype sets to the class as well.
        EXPECT_EQ(m.traced, (Lines{v < 7 ? "true" : "false", "true", "true"})) << v;
    }
}

} // namespace
} // namespace mc
