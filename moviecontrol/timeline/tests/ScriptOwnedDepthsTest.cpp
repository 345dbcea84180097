// ActionScript 3 splits a clip's children between the timeline and the scripts: once a script
// placed or moved an object, the timeline's removals and moves pass it by, and a placement at
// its depth puts the new object just above it. Older movies leave every depth to the timeline.
#include <gtest/gtest.h>

#include "DepthRoom.h"
#include "TimelineBuilders.h"

namespace mc {
namespace {

using namespace mc::testing;
using Ids = std::vector<std::uint16_t>;

class ScriptOwnedDepthsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        catalog.kinds = {
            {1, CharacterKind::Shape}, {2, CharacterKind::Shape}, {3, CharacterKind::Shape}};
    }
    FakeCatalog catalog;
};

TEST_F(ScriptOwnedDepthsTest, RemovalsAndPlacementsAtAScriptsDepth) {
    struct Case {
        const char* what;
        bool leaves;       // the ActionScript 3 split
        bool taken;        // a script took over the object at depth 1
        Ids afterRemove;   // drawn once the timeline removed depth 1
        Ids afterPlace;    // drawn once it placed character 3 there
        std::int32_t kept; // where the first object ended (0: gone)
    };
    const Case cases[] = {
        {"the script's object stays below the new one", true, true, {1, 2}, {1, 3, 2}, -16384},
        {"the timeline's own object goes", true, false, {2}, {3, 2}, 0},
        {"older movies remove whatever holds the depth", false, true, {2}, {3, 2}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TimelineBuilder root(3);
        root.at(0, place(1, 1, 10)).at(0, place(2, 2, 20)).at(1, remove(1)).at(2, place(1, 3, 30));
        TimelinePlayer player(catalog, root.timeline, {});
        player.setTimelineLeavesScriptChildren(c.leaves);
        DisplayObject& stage = player.rootObject();
        auto first = player.childAtDepth(stage, depthOfTag(1));
        ASSERT_NE(first, nullptr);
        first->dynamic = c.taken;
        player.advance();
        EXPECT_EQ(drawnIds(player), c.afterRemove);
        player.advance();
        EXPECT_EQ(drawnIds(player), c.afterPlace);
        EXPECT_EQ(first->removed ? 0 : first->depth, c.kept);
        auto placed = player.childAtDepth(stage, depthOfTag(1));
        ASSERT_NE(placed, nullptr);
        EXPECT_EQ(placed->characterId, 3);
    }
}

TEST_F(ScriptOwnedDepthsTest, ARunOfScriptObjectsStepsDownTogetherAndIgnoresMoves) {
    TimelineBuilder root(2);
    root.at(0, place(0, 1, 10)).at(0, place(1, 2, 20));
    root.at(1, moveTo(1, 99)).at(1, place(1, 3, 30));
    TimelinePlayer player(catalog, root.timeline, {});
    player.setTimelineLeavesScriptChildren(true);
    DisplayObject& stage = player.rootObject();
    auto low = player.childAtDepth(stage, depthOfTag(0));
    auto high = player.childAtDepth(stage, depthOfTag(1));
    ASSERT_NE(low, nullptr);
    ASSERT_NE(high, nullptr);
    low->dynamic = true;
    high->dynamic = true;
    player.advance();
    // The move was the timeline's, and no object of the timeline's held the depth.
    EXPECT_EQ(drawnX(player), (std::vector<double>{10, 20, 30}));
    EXPECT_EQ(low->depth, depthOfTag(0) - 1);
    EXPECT_EQ(high->depth, depthOfTag(0));
    EXPECT_EQ(drawnIds(player), (Ids{1, 2, 3}));
}

TEST(DepthRoomTest, AScriptsObjectTakesADepthBetweenItsNeighboursWhenOneIsFree) {
    DisplayList list;
    for (std::int32_t depth : {-16383, -16379, -16378}) {
        list.emplace(depth, std::make_shared<DisplayObject>());
    }
    struct Case {
        const char* what;
        std::size_t index;
        std::int32_t had;
        std::optional<std::int32_t> room;
    };
    const Case cases[] = {
        {"its own depth still fits", 1, -16381, -16381},
        {"the first free depth above the lower neighbour", 1, 7, -16382},
        {"below the lowest", 0, 7, -16384},
        {"nothing below the lowest depth scripts reach", 0, kMinScriptDepth - 1, -16384},
        {"between adjacent depths there is none", 2, 7, std::nullopt},
        {"above the highest, its own depth", 3, 40, 40},
        {"above the highest, a depth below it is left to the caller", 3, -16390, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(roomBetween(list, c.index, c.had), c.room);
    }
    EXPECT_EQ(roomBetween(DisplayList{}, 0, 5), 5);
}

} // namespace
} // namespace mc
