#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingRunner.h"
#include "TimelineBuilders.h"

namespace mc {
namespace {

using namespace mc::testing;
using Log = std::vector<std::string>;

swf::PlaceObject named(std::uint16_t depth, std::uint16_t id, const std::string& name) {
    swf::PlaceObject p = place(depth, id);
    p.name = name;
    return p;
}

swf::ClipAction clipEvent(std::uint32_t events, const std::string& name) {
    swf::ClipAction a;
    a.events = events;
    a.actions = taggedBlock(name);
    return a;
}

class ScriptOrderTest : public ::testing::Test {
  protected:
    void SetUp() override { catalog.kinds = {{1, CharacterKind::Shape}}; }
    void sprite(std::uint16_t id, const TimelineBuilder& b) {
        catalog.kinds[id] = CharacterKind::Sprite;
        catalog.sprites[id] = b.timeline;
    }
    FakeCatalog catalog;
    RecordingRunner runner;
};

TEST_F(ScriptOrderTest, FrameActionsRunAfterTheFrameIsBuiltParentFirstThenNewChildren) {
    TimelineBuilder child(2);
    child.at(0, taggedActions("child1")).at(1, taggedActions("child2"));
    sprite(10, child);
    TimelineBuilder root(3);
    // The root's actions come first in the file, yet the child they name already exists.
    root.at(0, taggedActions("root1")).at(0, named(1, 10, "kid"));
    root.at(1, taggedActions("root2")).at(2, taggedActions("root3"));
    runner.onBlock = [&](DisplayObject& o, const std::string& block) {
        if (block == "root1") {
            EXPECT_TRUE(runner.player->childByName(o, "kid", true) != nullptr);
        }
    };
    TimelinePlayer player(catalog, root.timeline, {}, {}, &runner);
    EXPECT_EQ(runner.log, (Log{"construct kid", "root:root1", "kid.onLoad", "kid:child1"}));
    runner.log.clear();
    player.advance();
    // The newest clip moves first, the root last; the scripts run once all have moved.
    EXPECT_EQ(runner.log, (Log{"kid:child2", "root:root2"}));
    runner.log.clear();
    player.advance();
    EXPECT_EQ(runner.log, (Log{"kid:child1", "root:root3"}));
}

TEST_F(ScriptOrderTest, InitActionsRunOnceBeforeConstructorsAndFrameActions) {
    TimelineBuilder child(1);
    sprite(10, child);
    TimelineBuilder root(2);
    swf::DoInitAction init;
    init.spriteId = 10;
    init.actions = taggedBlock("init10");
    root.at(0, named(1, 10, "a")).at(0, taggedActions("frame")).at(0, init);
    root.at(1, init); // the same symbol again: not run twice
    TimelinePlayer player(catalog, root.timeline, {}, {}, &runner);
    EXPECT_EQ(runner.log, (Log{"root:init10", "construct a", "a.onLoad", "root:frame"}));
    runner.log.clear();
    player.advance();
    EXPECT_TRUE(runner.log.empty());
}

TEST_F(ScriptOrderTest, ClipEventsLoadEnterFrameUnloadInTheirOrder) {
    TimelineBuilder child(1);
    sprite(10, child);
    TimelineBuilder root(3);
    swf::PlaceObject p = named(1, 10, "c");
    p.clipActions = {clipEvent(clip_event::Load | clip_event::Unload, "loadOrUnload"),
                     clipEvent(clip_event::EnterFrame, "enter"),
                     clipEvent(clip_event::Initialize, "init"),
                     clipEvent(clip_event::Construct, "construct")};
    root.at(0, p).at(2, remove(1));
    runner.logEnterFrame = true;
    runner.logPrepare = true;
    TimelinePlayer player(catalog, root.timeline, {}, {}, &runner);
    // Initialize events first (the initialize events of all new clips run before any of their
    // construct events), then construct events and the constructor.
    EXPECT_EQ(runner.log, (Log{"prepare root", "prepare c", "c:init", "c:construct", "prepare c",
                               "construct c", "c:loadOrUnload", "c.onLoad"}));
    runner.log.clear();
    player.advance();
    EXPECT_EQ(runner.log, (Log{"c:enter", "c.onEnterFrame", "root.onEnterFrame"}));
    runner.log.clear();
    player.advance();
    // Removed by the root's frame before its queued enterFrame ran: that is dropped, its
    // unload scripts still run, with the clip.
    EXPECT_EQ(runner.log, (Log{"root.onEnterFrame", "c:loadOrUnload", "c.onUnload"}));
    // With unload scripts it waits at depth -32769 - depth until the next frame.
    const DisplayList& list = player.rootObject().clip->displayList;
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.begin()->first, -32769 - depthOfTag(1));
    EXPECT_EQ(list.begin()->second->name, "c");
    EXPECT_TRUE(runner.forgotten.empty());
    runner.log.clear();
    player.advance(); // the loop back to the first frame places a new c
    EXPECT_FALSE(list.contains(-32769 - depthOfTag(1)));
    EXPECT_EQ(runner.forgotten, (Log{"c"}));
    EXPECT_EQ(std::count(runner.log.begin(), runner.log.end(), "c.onUnload"), 0)
        << "an unload runs once";
}

// A place tag on a depth the timeline holds is dropped, or with version 5 movies adds its
// object below the one there; a move changes the look but keeps the name.
TEST_F(ScriptOrderTest, PlacementsOnAHeldDepthAndMovesKeepTheName) {
    TimelineBuilder child(1);
    sprite(10, child);
    sprite(11, child);
    struct Case {
        bool move;
        bool stacks;
        std::vector<std::string> names; // painted lowest first
        std::uint16_t lowestCharacter;
    } cases[] = {{false, false, {"first"}, 10},
                 {false, true, {"second", "first"}, 11},
                 {true, false, {"first"}, 10},
                 {true, true, {"first"}, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.move ? "move" : "place") + (c.stacks ? " stacking" : ""));
        TimelineBuilder root(2);
        swf::PlaceObject second = named(1, 11, "second");
        second.move = c.move;
        root.at(0, named(1, 10, "first")).at(1, second);
        TimelinePlayer player(catalog, root.timeline, {}, {}, &runner);
        player.setTimelineStacksPlacements(c.stacks);
        player.advance();
        const DisplayList& list = player.rootObject().clip->displayList;
        std::vector<std::string> names;
        for (const auto& [depth, o] : list) {
            names.push_back(o->name);
        }
        EXPECT_EQ(names, c.names);
        ASSERT_FALSE(list.empty());
        EXPECT_EQ(list.begin()->second->characterId, c.lowestCharacter);
        // Back to the first frame the list is rebuilt by the same rule.
        player.gotoFrame(0, false);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list.begin()->second->name, "first");
    }
}

TEST_F(ScriptOrderTest, AScriptGotoBackRemovesWhatTheTargetFrameLacksAndKeepsScriptClips) {
    TimelineBuilder child(1);
    sprite(10, child);
    TimelineBuilder root(3);
    root.at(0, taggedActions("f1"));
    root.at(1, named(1, 10, "late")).at(1, taggedActions("f2"));
    root.at(2, taggedActions("f3"));
    runner.onBlock = [&](DisplayObject& o, const std::string& block) {
        if (block == "f2") {
            runner.player->edits().createEmptyClip(o, "made", 5);
        }
        if (block == "f3") {
            runner.player->clips().gotoClipFrame(o, 0, false);
        }
    };
    TimelinePlayer player(catalog, root.timeline, {}, {}, &runner);
    player.advance();
    player.advance();
    // f3 went back to frame 1: "late" was unloaded, "made" stays, f1 ran again after f3.
    EXPECT_EQ(runner.log, (Log{"root:f1", "construct late", "late.onLoad", "root:f2", "root:f3",
                               "late.onUnload", "root:f1"}));
    EXPECT_EQ(player.currentFrame(), 0u);
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(player.childByName(player.rootObject(), "late", true), nullptr);
    EXPECT_NE(player.childByName(player.rootObject(), "made", true), nullptr);
}

TEST_F(ScriptOrderTest, AScriptRemovingItsOwnClipMidFrameStopsThatClipsTags) {
    TimelineBuilder child(2);
    child.at(1, taggedActions("suicide")).at(1, place(2, 1));
    sprite(10, child);
    TimelineBuilder root(1);
    root.at(0, named(1, 10, "c"));
    runner.onBlock = [&](DisplayObject& o, const std::string& block) {
        if (block == "suicide") {
            runner.player->edits().swapDepths(o, 3);
            EXPECT_TRUE(runner.player->edits().removeByScript(o));
        }
    };
    TimelinePlayer player(catalog, root.timeline, {}, {}, &runner);
    player.advance();
    EXPECT_EQ(player.childByName(player.rootObject(), "c", true), nullptr);
    player.advance();
    EXPECT_EQ(drawnIds(player), (std::vector<std::uint16_t>{}));
}

TEST_F(ScriptOrderTest, QueuedScriptsAreBoundedPerTick) {
    TimelineBuilder root(2);
    root.at(0, taggedActions("again"));
    TimelineLimits limits;
    limits.maxQueuedScripts = 50;
    int runs = 0;
    runner.onBlock = [&](DisplayObject& o, const std::string&) {
        ++runs;
        // Every run goes back to the same frame, queueing its actions again.
        runner.player->clips().gotoClipFrame(o, 1, false);
        runner.player->clips().gotoClipFrame(o, 0, false);
    };
    TimelinePlayer player(catalog, root.timeline, {}, limits, &runner);
    EXPECT_LE(runs, 51);
    EXPECT_GT(runs, 1);
}

} // namespace
} // namespace mc
