// MovieClip's frames as scripts count them: within the scene shown, labels of the scene,
// gotos that name a scene, stepping between scenes, and the header's frame count beside
// the frames the timeline holds.

#include "FakeDisplayHost.h"
#include "avm2/DisplayClasses.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;
using avm2test::FakeDisplayHost;

class TimelineScenes : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    FakeDisplayHost& tree = host.tree;
    avm2::Machine vm{host};
    FakeDisplayHost::Node& root = tree.nodes[FakeDisplayHost::kRoot];

    // Three scenes over ten frames: "intro" 0-3, "main" 4-8, "end" 9; labels on 0, 2, 5, 9.
    void SetUp() override {
        vm.beginFrame();
        root.frames = 10;
        root.scenes = {{"intro", 0, 4}, {"main", 4, 5}, {"end", 9, 1}};
        root.labels = {{0, "start"}, {2, "middle"}, {5, "loop"}, {7, "2.5"}, {8, "3"}, {9, "last"}};
    }

    Value clip() { return Value::object(avm2::scriptObjectOf(vm, FakeDisplayHost::kRoot)); }
    Value call(const std::string& method, Args args = {}) {
        return vm.callProperty(clip(), Name::publicName(method), args);
    }
    Value get(const Value& target, const std::string& property) {
        return vm.getProperty(target, Name::publicName(property));
    }
    std::string text(const Value& v) { return vm.toString(v); }
    // "name:frame" for each FrameLabel of an array.
    std::string labels(const Value& array) {
        std::string out;
        for (const Value& l : array.asObject()->elements) {
            out += (out.empty() ? "" : " ") + text(get(l, "name")) + ":" + text(get(l, "frame"));
        }
        return out;
    }
    // The message of the ArgumentError a call throws; empty when it throws none.
    std::string thrown(const std::string& method, Args args) {
        try {
            call(method, std::move(args));
        } catch (const avm2::ScriptThrow& e) {
            return text(get(e.value, "message"));
        }
        return {};
    }
};

TEST_F(TimelineScenes, FramesAndLabelsCountWithinTheSceneShown) {
    struct Case {
        std::uint32_t frame; // of the whole timeline, from 0
        int current;
        const char* scene;
        const char* sceneLabels;
        const char* label;
        const char* frameLabel;
    };
    const Case cases[] = {
        {0, 1, "intro", "start:1 middle:3", "start", "start"},
        {1, 2, "intro", "start:1 middle:3", "start", "null"},
        {4, 1, "main", "loop:2 2.5:4 3:5", "middle", "null"},
        {5, 2, "main", "loop:2 2.5:4 3:5", "loop", "loop"},
        {9, 1, "end", "last:1", "last", "last"},
    };
    for (const Case& c : cases) {
        root.frame = c.frame;
        SCOPED_TRACE(c.frame);
        EXPECT_EQ(text(get(clip(), "currentFrame")), std::to_string(c.current));
        const Value scene = get(clip(), "currentScene");
        EXPECT_EQ(text(get(scene, "name")), c.scene);
        EXPECT_EQ(labels(get(scene, "labels")), c.sceneLabels);
        EXPECT_EQ(labels(get(clip(), "currentLabels")), c.sceneLabels);
        EXPECT_EQ(text(get(clip(), "currentFrameLabel")), c.frameLabel);
        EXPECT_EQ(text(get(clip(), "currentLabel")), c.label);
    }
    const Value scenes = get(clip(), "scenes");
    ASSERT_EQ(scenes.asObject()->elements.size(), 3u);
    EXPECT_EQ(text(get(scenes.asObject()->elements[1], "numFrames")), "5");
    EXPECT_EQ(text(get(clip(), "totalFrames")), "10");
}

TEST_F(TimelineScenes, GotoCountsFromTheSceneNamedOrShown) {
    struct Case {
        std::uint32_t from;
        Args args;
        std::uint32_t to;
    };
    const Case cases[] = {
        {0, {Value::integer(2), Value::string("main")}, 5},
        {5, {Value::integer(2)}, 5},                         // within "main"
        {5, {Value::integer(6)}, 9},                         // past its end into the next scene
        {0, {Value::number(2.5), Value::string("main")}, 7}, // a fraction names a label
        {0, {Value::string("3"), Value::string("main")}, 6}, // a number before a label
        {0, {Value::number(3.0), Value::string("main")}, 6},
        {0, {Value::string("loop")}, 5}, // labels name frames of any scene
        {0, {Value::string("last"), Value::string("end")}, 9},
        {0, {Value::integer(99)}, 9}, // kept within the timeline
        {5, {Value::integer(-4)}, 0},
    };
    for (const Case& c : cases) {
        root.frame = c.from;
        call("gotoAndStop", c.args);
        EXPECT_EQ(root.frame, c.to) << "from " << c.from << " " << text(c.args[0]);
        EXPECT_FALSE(root.playing);
    }
}

TEST_F(TimelineScenes, GotoRefusesSceneAndLabelsItCannotFind) {
    EXPECT_EQ(thrown("gotoAndStop", {Value::integer(1), Value::string("nowhere")}),
              "Error #2108: Scene nowhere was not found.");
    EXPECT_EQ(thrown("gotoAndStop", {Value::string("loop"), Value::string("intro")}),
              "Error #2109: Frame label loop not found in scene intro.");
    // Movies before version 11 go to the first frame for a missing label.
    root.frame = 5;
    EXPECT_EQ(thrown("gotoAndStop", {Value::string("absent")}), "");
    EXPECT_EQ(root.frame, 0u);
}

TEST_F(TimelineScenes, SceneStepsGoToSceneStartsAndPlay) {
    struct Case {
        const char* method;
        std::uint32_t from;
        std::uint32_t to;
    };
    const Case cases[] = {
        {"nextScene", 1, 4}, {"nextScene", 6, 9}, {"nextScene", 9, 9}, // the last: its start
        {"prevScene", 6, 0}, {"prevScene", 9, 4}, {"prevScene", 2, 0},
    };
    for (const Case& c : cases) {
        root.frame = c.from;
        root.playing = false;
        call(c.method);
        EXPECT_EQ(root.frame, c.to) << c.method << " from " << c.from;
        EXPECT_TRUE(root.playing);
    }
}

TEST_F(TimelineScenes, AClipWithoutScenesIsOneUnnamedSceneOfItsHeaderLength) {
    root.scenes.clear();
    root.labels.clear();
    root.declared = 3; // the header claims fewer frames than the timeline holds
    root.frame = 6;
    EXPECT_EQ(text(get(clip(), "currentFrame")), "7");
    EXPECT_EQ(text(get(clip(), "totalFrames")), "3");
    EXPECT_EQ(text(get(clip(), "framesLoaded")), "3");
    const Value scene = get(clip(), "currentScene");
    EXPECT_EQ(text(get(scene, "name")), "");
    EXPECT_EQ(text(get(scene, "numFrames")), "3");
    EXPECT_EQ(text(get(clip(), "currentLabel")), "null");
}

TEST_F(TimelineScenes, IsPlayingOnlyOnceAScriptStartedTheClip) {
    root.playing = true;
    root.declared = 1; // a header of one frame: never playing
    call("play");
    EXPECT_EQ(text(get(clip(), "isPlaying")), "false");
    root.declared = 0;
    call("stop");
    EXPECT_EQ(text(get(clip(), "isPlaying")), "false");
    call("play");
    EXPECT_EQ(text(get(clip(), "isPlaying")), "true");
    call("stop");
    EXPECT_EQ(text(get(clip(), "isPlaying")), "false");
    call("gotoAndPlay", {Value::integer(3)});
    EXPECT_EQ(text(get(clip(), "isPlaying")), "true");
}

TEST_F(TimelineScenes, SceneAndFrameLabelAreScriptConstructible) {
    Args labelArgs{Value::string("x"), Value::integer(4)};
    const Value label = vm.construct(
        Value::object(vm.findClass("flash.display::FrameLabel")->classObject), labelArgs);
    EXPECT_EQ(text(get(label, "name")) + text(get(label, "frame")), "x4");
    Args sceneArgs{Value::string("s"), Value::object(vm.newArray({label})), Value::integer(7)};
    const Value scene =
        vm.construct(Value::object(vm.findClass("flash.display::Scene")->classObject), sceneArgs);
    EXPECT_EQ(text(get(scene, "name")) + text(get(scene, "numFrames")), "s7");
    EXPECT_EQ(labels(get(scene, "labels")), "x:4");
}

} // namespace
