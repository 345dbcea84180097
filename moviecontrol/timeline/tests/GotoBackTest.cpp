// Going back, a clip's frames are merged before anything is made: a frame that places,
// removes and places again at a depth leaves the object already there, and an object the
// timeline keeps stays where a script moved it, in every kind of movie.
#include <gtest/gtest.h>

#include <optional>

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

// Frame 0 places character 1 at depth 1 as "first"; frame 1 empties the depth; frame 2 places
// `later` there. Going back to frame 0, the object there is the one frame 0 places when it is
// of the same character with the same ratio, under the name it has.
TEST(GotoBackTest, GoingBackKeepsTheObjectOfTheSameCharacterAndRatio) {
    struct Case {
        const char* what;
        std::uint16_t id;
        std::optional<std::uint16_t> ratio;
        bool kept;
    };
    const Case cases[] = {
        {"same character, no ratio", 1, std::nullopt, true},
        {"same character, ratio 0 written", 1, 0, true},
        {"same character, another ratio", 1, 65535, false},
        {"another character", 2, std::nullopt, false},
    };
    FakeCatalog catalog;
    catalog.kinds = {{1, CharacterKind::Shape}, {2, CharacterKind::Shape}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TimelineBuilder root(3);
        swf::PlaceObject first = place(1, 1, 10);
        first.name = "first";
        root.at(0, first);
        root.at(1, remove(1));
        swf::PlaceObject later = place(1, c.id, 10);
        later.name = "later";
        later.ratio = c.ratio;
        root.at(2, later);
        TimelinePlayer player(catalog, root.timeline, {});
        DisplayObject& stage = player.rootObject();
        player.advance();
        player.advance();
        const auto placedLater = player.childAtDepth(stage, depthOfTag(1));
        ASSERT_NE(placedLater, nullptr);
        player.gotoFrame(0, false);
        const auto now = player.childAtDepth(stage, depthOfTag(1));
        ASSERT_NE(now, nullptr);
        EXPECT_EQ(now == placedLater, c.kept);
        EXPECT_EQ(placedLater->removed, !c.kept);
        EXPECT_EQ(now->name, c.kept ? "later" : "first");
        EXPECT_EQ(stage.clip->displayList.size(), 1u);
    }
}

} // namespace
} // namespace mc
