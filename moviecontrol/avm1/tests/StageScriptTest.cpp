// Scripts that reach the stage: paths and targets, timeline actions, clip properties and
// the outside world, all through the host interface.

#include "FakeStage.h"

#include "moviemaker/ActionWriter.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

namespace avm1test {
namespace {

namespace op = swf::op;
using moviemaker::Actions;
using Lines = std::vector<std::string>;

Actions& traceVar(Actions& a, std::string_view name) {
    return a.push(name).code(op::GetVariable).code(op::Trace);
}

class StageScript : public ::testing::Test {
  protected:
    StageScript() : stage(6) {
        a = stage.addClip(stage.rootClip, "a");
        b = stage.addClip(a, "b");
        stage.vm.set(b, "v", avm1::Value(avm1::Str("in b")));
        stage.vm.set(stage.rootClip, "top", avm1::Value(avm1::Str("at root")));
    }
    FakeStage stage;
    FakeClip* a;
    FakeClip* b;
};

TEST_F(StageScript, SlashDotAndColonPathsResolveVariables) {
    Actions s;
    traceVar(s, "/a/b:v");
    traceVar(s, "_root.a.b.v");
    traceVar(s, "a.B.v"); // names ignore case up to version 6
    traceVar(s, "/:top");
    traceVar(s, "_level0:top");
    traceVar(s, "/a/missing:v");
    EXPECT_EQ(stage.run(s.bytes()),
              (Lines{"in b", "in b", "in b", "at root", "at root", "undefined"}));
}

TEST_F(StageScript, ParentAndRootFromAClip) {
    Actions s;
    traceVar(s, "_parent.top");
    traceVar(s, "../:top");
    traceVar(s, "_root.top");
    traceVar(s, "this.v");
    EXPECT_EQ(stage.run(s.bytes(), a), (Lines{"at root", "at root", "at root", "undefined"}));
    EXPECT_EQ(stage.run(s.bytes(), b), (Lines{"undefined", "undefined", "at root", "in b"}));
}

TEST_F(StageScript, SetTargetRedirectsTimelineActionsAndVariables) {
    Actions s;
    s.setTarget("/a/b").code(op::Stop);
    traceVar(s, "v");
    s.setTarget("").code(op::Stop);
    s.setTarget("");
    s.push("a").code(op::SetTarget2).gotoFrame(3);
    EXPECT_EQ(stage.run(s.bytes()), (Lines{"in b"}));
    EXPECT_FALSE(b->playing);
    EXPECT_EQ(a->frame, 3u);
    EXPECT_FALSE(a->playing);
}

TEST_F(StageScript, AMissingTargetKeepsNamesOnTheRootButDrivesNoTimeline) {
    for (const char* missing : {"nowhere", "...:a", "/a/b/c"}) {
        SCOPED_TRACE(missing);
        FakeStage st(6);
        st.addClip(st.rootClip, "a")->x = 42;
        st.rootClip->x = 7;
        st.vm.set(st.rootClip, "top", avm1::Value(avm1::Str("at root")));
        st.rootClip->playing = true;
        Actions s;
        s.setTarget(missing);
        traceVar(s, "top");
        s.push("").push(0.0).code(op::GetProperty).code(op::Trace); // no current clip: no _x
        s.code(op::Stop).gotoFrame(4).code(op::NextFrame);
        s.push(3.0).gotoFrame2(true); // the one timeline action that falls back on the root
        s.setTarget("");
        s.push("").push(0.0).code(op::GetProperty).code(op::Trace);
        s.setTarget(missing);
        s.push("a").code(op::SetTarget2); // any target found heals it
        s.push("").push(0.0).code(op::GetProperty).code(op::Trace);
        s.pushNull().code(op::SetTarget2); // null names no clip
        s.push("").push(0.0).code(op::GetProperty).code(op::Trace);
        EXPECT_EQ(st.run(s.bytes()), (Lines{"at root", "undefined", "7", "42", "undefined"}));
        EXPECT_TRUE(st.rootClip->playing);
        EXPECT_EQ(st.rootClip->frame, 2u);
    }
}

TEST_F(StageScript, GotoFrame2TakesNumbersLabelsAndTargetPaths) {
    a->labels["intro"] = 6;
    Actions s;
    s.push("/a:intro").gotoFrame2(true);
    s.push(3.0).gotoFrame2(false);
    EXPECT_EQ(stage.run(s.bytes()), Lines{});
    EXPECT_EQ(a->frame, 6u);
    EXPECT_TRUE(a->playing);
    EXPECT_EQ(stage.rootClip->frame, 2u);
    EXPECT_FALSE(stage.rootClip->playing);
}

TEST_F(StageScript, GotoFrame2ReadsFractionsAndNonIntegerTextsAsLabelsAndSplitsDotPaths) {
    a->labels["4.8"] = 9;
    a->labels["8"] = 3;
    a->labels["Infinity"] = 5;
    struct Case {
        double number;
        const char* text;
        std::uint32_t frame;
    };
    // Expected frames are 0-based; the clip starts on index 1 and stays there when nothing
    // is found. A text reading as a whole number is a frame even where a label has it.
    const Case cases[] = {
        {4.8, nullptr, 9},
        {0, "/a:4.8", 9},
        {6.1, nullptr, 1},
        {0, "/a:6.1", 1},
        {0, "/a:8", 7},
        {0, "/a:08", 7},
        {0, "/a:Infinity", 5},
        {-0.5, nullptr, 1},
        {3.0, nullptr, 2},
        // Dot paths split at the last dot when what comes before names a clip; slash paths
        // need the colon.
        {0, "_root.a.3", 2},
        {0, "_root.a.frame", 1},
        {0, "/a/3", 1},
        {0, "_root.a.4.8", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : std::to_string(c.number));
        a->frame = 1;
        Actions s;
        s.setTarget("/a");
        if (c.text) {
            s.push(c.text);
        } else {
            s.push(c.number);
        }
        s.gotoFrame2(false).setTarget("");
        stage.run(s.bytes());
        EXPECT_EQ(a->frame, c.frame);
    }
}

TEST_F(StageScript, PropertiesByIndexGoThroughTheClipObject) {
    Actions s;
    s.push("/a").push(0.0).push(42.0).code(op::SetProperty);
    s.push("/a").push(-0.8).code(op::GetProperty).code(op::Trace); // truncated to 0
    s.push("a/b").push(13.0).code(op::GetProperty).code(op::Trace);
    s.push("a/b").code(op::GetVariable).code(op::TargetPath).code(op::Trace);
    // targetPath() answers in dot notation.
    EXPECT_EQ(stage.run(s.bytes()), (Lines{"42", "b", "_level0.a.b"}));
    EXPECT_EQ(a->x, 42);
}

TEST_F(StageScript, CloneRemoveAndDrag) {
    Actions s;
    s.push("a").push("copy").push(5.0).code(op::CloneSprite);
    s.push("/a/b").code(op::RemoveSprite);
    s.push(0.0).push(0.0).push("a").code(op::StartDrag);
    stage.run(s.bytes());
    ASSERT_EQ(stage.rootClip->children.size(), 2u);
    EXPECT_EQ(stage.rootClip->children[1]->name, "copy");
    EXPECT_TRUE(a->children.empty());
    EXPECT_EQ(stage.drags, 1);
}

TEST_F(StageScript, UrlsAndFsCommands) {
    Actions s;
    s.getUrl("https://example.com/", "_blank");
    s.getUrl("FSCommand:fullscreen", "true");
    s.push("page.txt").push("_level0").getUrl2(0x81); // GET, load variables
    stage.run(s.bytes());
    ASSERT_EQ(stage.urls.size(), 2u);
    EXPECT_EQ(stage.urls[0].url, "https://example.com/");
    EXPECT_EQ(stage.urls[0].target, "_blank");
    EXPECT_EQ(stage.urls[1].method, avm1::UrlRequest::Method::Get);
    EXPECT_TRUE(stage.urls[1].loadVariables);
    EXPECT_EQ(stage.commands, (std::vector<std::string>{"fullscreen|true"}));
}

TEST_F(StageScript, CallRunsAFrameOfAClip) {
    Actions frameScript;
    frameScript.push("called").code(op::Trace);
    stage.frameScripts[4] = frameScript.bytes();
    Actions s;
    s.push("/a:5").raw({op::Call, 0, 0});          // codes from 0x80 carry a length, here 0
    s.push("/a:4294967301").raw({op::Call, 0, 0}); // frame numbers wrap at 32 bits
    EXPECT_EQ(stage.run(s.bytes()), (Lines{"called", "called"}));
}

TEST_F(StageScript, GetTimeUsesTheHostClock) {
    stage.clock = 1234.7;
    Actions s;
    s.code(op::GetTime).code(op::Trace);
    s.push(0.0).push("getTimer").code(op::CallFunction).code(op::Trace);
    EXPECT_EQ(stage.run(s.bytes()), (Lines{"1234", "1234"}));
}

// hasOwnProperty counts what a script stored on a clip, not its children nor its built-in
// properties; a string answers through its wrapper, whose length is its own.
TEST_F(StageScript, OwnPropertiesOfClipsAndPrimitives) {
    Actions s;
    auto own = [&](std::string_view object, std::string_view name) {
        s.push(name).push(1.0).push(object).code(op::GetVariable);
        s.push("hasOwnProperty").code(op::CallMethod).code(op::Trace);
    };
    own("_root", "top");
    own("_root", "a");
    own("_root", "_x");
    own("_root", "_name");
    own("_root", "nothing");
    s.push("length").push(1.0).push("str").push("hasOwnProperty").code(op::CallMethod);
    s.code(op::Trace);
    s.push("length").push(1.0).push(5.0).push("hasOwnProperty").code(op::CallMethod);
    s.code(op::Trace);
    EXPECT_EQ(stage.run(s.bytes()),
              (Lines{"true", "false", "false", "false", "false", "true", "false"}));
}

} // namespace
} // namespace avm1test
