// A place tag without the move flag at a depth that holds an object already: ActionScript 1
// and 2 players keep both when a script's object holds it (and version 5 movies whatever holds
// it). The newcomer goes below the object there and answers for the depth (moves, removals
// and lookups by depth reach it); the older one keeps its name and place.
#include <gtest/gtest.h>

#include "TimelineBuilders.h"

namespace mc {
namespace {

using namespace mc::testing;
using Ids = std::vector<std::uint16_t>;

class SharedDepthsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        catalog.kinds = {
            {1, CharacterKind::Shape}, {2, CharacterKind::Shape}, {3, CharacterKind::Shape}};
    }
    FakeCatalog catalog;
};

TEST_F(SharedDepthsTest, TheTimelinesNewcomerGoesBelowAndAnswersForTheDepth) {
    struct Case {
        const char* what;
        bool byScript; // the first object at the depth came from a script
        bool stacks;   // a version 5 movie
    };
    const Case cases[] = {{"two placements of the timeline", false, true},
                          {"a script's object, then the timeline's", true, false},
                          {"the same in a version 5 movie", true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TimelineBuilder root(5);
        root.at(1, place(1, 2, 20)).at(2, moveTo(1, 50)).at(3, remove(1)).at(4, remove(1));
        if (!c.byScript) {
            root.at(0, place(1, 1, 10));
        }
        TimelinePlayer player(catalog, root.timeline, {});
        player.setTimelineStacksPlacements(c.stacks);
        DisplayObject& stage = player.rootObject();
        std::shared_ptr<DisplayObject> first =
            c.byScript ? player.edits().placeCharacter(stage, 1, depthOfTag(1))
                       : player.childAtDepth(stage, depthOfTag(1));
        ASSERT_NE(first, nullptr);
        if (c.byScript) {
            first->matrix.tx = 10;
        }

        player.advance();
        EXPECT_EQ(drawnIds(player), (Ids{2, 1}));
        auto second = player.childAtDepth(stage, depthOfTag(1));
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(second->characterId, 2);
        EXPECT_EQ(first->depth, second->depth);
        EXPECT_FALSE(first->removed);

        player.advance(); // the move reaches the newcomer alone
        EXPECT_EQ(drawnX(player), (std::vector<double>{50, 10}));

        player.advance(); // so does the first removal
        EXPECT_EQ(drawnIds(player), (Ids{1}));
        EXPECT_TRUE(second->removed);
        EXPECT_EQ(player.childAtDepth(stage, depthOfTag(1)), first);

        player.advance(); // the next one takes the older object
        EXPECT_EQ(drawnIds(player), Ids{});
        EXPECT_TRUE(first->removed);
    }
}

TEST_F(SharedDepthsTest, ScriptsReachEachObjectOfASharedDepthAlone) {
    struct Case {
        const char* what;
        bool removeOlder; // removeMovieClip on the older object, else swapDepths
    };
    const Case cases[] = {{"removing the older object leaves the newcomer", true},
                          {"the older object swaps away alone", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TimelineBuilder root(2);
        root.at(1, place(1, 2, 20));
        TimelinePlayer player(catalog, root.timeline, {});
        DisplayObject& stage = player.rootObject();
        auto older = player.edits().placeCharacter(stage, 1, depthOfTag(1));
        auto other = player.edits().placeCharacter(stage, 3, 5);
        ASSERT_NE(older, nullptr);
        ASSERT_NE(other, nullptr);
        player.advance();
        auto newer = player.childAtDepth(stage, depthOfTag(1));
        ASSERT_NE(newer, nullptr);
        ASSERT_NE(newer, older);
        if (c.removeOlder) {
            // Below depth 0 a script may not remove it; lifted, it goes alone.
            EXPECT_FALSE(player.edits().removeByScript(*older));
            EXPECT_TRUE(player.edits().swapDepths(*older, 7));
            EXPECT_TRUE(player.edits().removeByScript(*older));
            EXPECT_EQ(drawnIds(player), (Ids{2, 3}));
        } else {
            EXPECT_TRUE(player.edits().swapDepths(*older, 5));
            EXPECT_EQ(older->depth, 5);
            EXPECT_EQ(other->depth, depthOfTag(1));
            // The object coming down takes the older one's place, above the newcomer.
            EXPECT_EQ(drawnIds(player), (Ids{2, 3, 1}));
        }
        EXPECT_FALSE(newer->removed);
        EXPECT_EQ(newer->depth, depthOfTag(1));
    }
}

TEST_F(SharedDepthsTest, GoingBackKeepsTheObjectsOfTheFramesReplayed) {
    TimelineBuilder root(3);
    root.at(0, place(1, 1, 10)).at(1, place(1, 2, 20)).at(2, place(1, 3, 30));
    TimelinePlayer player(catalog, root.timeline, {});
    player.setTimelineStacksPlacements(true);
    DisplayObject& stage = player.rootObject();
    player.advance();
    player.advance();
    EXPECT_EQ(drawnIds(player), (Ids{3, 2, 1}));
    auto kept = player.childAtDepth(stage, depthOfTag(1));
    player.clips().gotoClipFrame(stage, 1, false);
    EXPECT_EQ(drawnIds(player), (Ids{2, 1}));
    EXPECT_TRUE(kept->removed);
    // Each replayed tag found the very object it made before.
    auto newer = player.childAtDepth(stage, depthOfTag(1));
    ASSERT_NE(newer, nullptr);
    EXPECT_EQ(newer->characterId, 2);
}

} // namespace
} // namespace mc
