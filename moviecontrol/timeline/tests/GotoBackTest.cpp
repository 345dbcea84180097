// Going back, a clip's frames are merged before anything is made: a frame that places,
// removes and places again at a depth leaves the object already there, and an object the
// timeline keeps stays where a script moved it, in every kind of movie.
#include <gtest/gtest.h>

#include "TimelineBuilders.h"

namespace mc {
namespace {

using namespace mc::testing;

// Frame 0 places an object at depth 1, removes it and places it again; frame 1 does `next`.
TimelineBuilder placedRemovedAndPlacedAgain(const swf::ControlTag& next) {
    TimelineBuilder root(2);
    for (const swf::ControlTag& tag : {swf::ControlTag{place(1, 1, 10)}, swf::ControlTag{remove(1)},
                                       swf::ControlTag{place(1, 1, 30)}}) {
        root.at(0, tag);
    }
    root.at(1, next);
    return root;
}

TEST(GotoBackTest, APlacementRemovedAndRepeatedInOneFrameKeepsTheObject) {
    struct Case {
        const char* what;
        bool actionScript3;
        bool movedByScript;
        double x; // where the kept object stands after the goto
    };
    const Case cases[] = {
        {"the timeline's matrix applies", true, false, 30},
        {"a script's move stays in ActionScript 3", true, true, 500},
        {"the timeline's matrix applies in older movies", false, false, 30},
        {"a script's move stays in older movies", false, true, 500},
    };
    FakeCatalog catalog;
    catalog.kinds = {{1, CharacterKind::Shape}, {2, CharacterKind::Shape}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TimelineBuilder root = placedRemovedAndPlacedAgain(place(2, 2, 20));
        TimelinePlayer player(catalog, root.timeline, {});
        player.setTimelineLeavesScriptChildren(c.actionScript3);
        DisplayObject& stage = player.rootObject();
        const auto first = player.childAtDepth(stage, depthOfTag(1));
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(drawnX(player), std::vector<double>{30});
        player.advance();
        if (c.movedByScript) {
            first->scriptMoveTo(500, 0);
        }
        player.gotoFrame(0, false);
        EXPECT_EQ(player.childAtDepth(stage, depthOfTag(1)), first);
        EXPECT_FALSE(first->removed);
        EXPECT_EQ(drawnX(player), std::vector<double>{c.x});
    }
}

// Frame 0 places an object; frame 1 moves it on the timeline; frame 2 leaves it be. Going back
// to frame 1 keeps the object, and the timeline's matrices reach it only while no script moved
// it, whichever version the movie has.
TEST(GotoBackTest, AnObjectThatStaysKeepsAScriptsMoveGoingBack) {
    struct Case {
        const char* what;
        bool actionScript3;
        bool movedByScript;
        std::uint32_t target;
        double x;
    };
    const Case cases[] = {
        {"to the placing frame, unmoved", false, false, 0, 10},
        {"to the moving frame, unmoved", false, false, 1, 40},
        {"to the placing frame, moved", false, true, 0, 500},
        {"to the moving frame, moved", false, true, 1, 500},
        {"to the moving frame, moved, ActionScript 3", true, true, 1, 500},
    };
    FakeCatalog catalog;
    catalog.kinds = {{1, CharacterKind::Shape}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TimelineBuilder root(3);
        root.at(0, place(1, 1, 10));
        root.at(1, moveTo(1, 40));
        TimelinePlayer player(catalog, root.timeline, {});
        player.setTimelineLeavesScriptChildren(c.actionScript3);
        DisplayObject& stage = player.rootObject();
        const auto first = player.childAtDepth(stage, depthOfTag(1));
        ASSERT_NE(first, nullptr);
        player.advance();
        player.advance();
        if (c.movedByScript) {
            first->scriptMoveTo(500, 0);
        }
        player.gotoFrame(c.target, false);
        EXPECT_EQ(player.childAtDepth(stage, depthOfTag(1)), first);
        EXPECT_EQ(drawnX(player), std::vector<double>{c.x});
    }
}

TEST(GotoBackTest, ADepthEmptiedBeforeTheGotoGetsANewObjectOnce) {
    FakeCatalog catalog;
    catalog.kinds = {{1, CharacterKind::Shape}};
    TimelineBuilder root = placedRemovedAndPlacedAgain(remove(1));
    TimelinePlayer player(catalog, root.timeline, {});
    DisplayObject& stage = player.rootObject();
    const auto first = player.childAtDepth(stage, depthOfTag(1));
    player.advance();
    EXPECT_TRUE(first->removed);
    player.gotoFrame(0, false);
    const auto again = player.childAtDepth(stage, depthOfTag(1));
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, first);
    EXPECT_EQ(stage.clip->displayList.size(), 1u);
    EXPECT_EQ(drawnX(player), std::vector<double>{30});
}

} // namespace
} // namespace mc
