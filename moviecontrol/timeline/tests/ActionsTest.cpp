#include <gtest/gtest.h>

#include "PushedValue.h"
#include "TimelineBuilders.h"

namespace mc {
namespace {

using namespace mc::testing;

class ActionsTest : public ::testing::Test {
  protected:
    void SetUp() override { catalog.kinds = {{1, CharacterKind::Shape}}; }
    FakeCatalog catalog;
};

swf::Action gotoFrame(std::uint16_t frame) {
    swf::Action a = action(swf::op::GotoFrame);
    a.frame = frame;
    return a;
}

swf::Action gotoLabel(const std::string& l) {
    swf::Action a = action(swf::op::GotoLabel);
    a.text = l;
    return a;
}

TEST_F(ActionsTest, StopOnTheFirstFrameHolds) {
    TimelineBuilder b(3);
    b.at(0, place(1, 1)).at(0, actions({action(swf::op::Stop)}));
    TimelinePlayer player(catalog, b.timeline, {});
    EXPECT_FALSE(player.playing());
    player.advance();
    player.advance();
    EXPECT_EQ(player.currentFrame(), 0u);
    player.setPlaying(true);
    player.advance();
    EXPECT_EQ(player.currentFrame(), 1u);
}

TEST_F(ActionsTest, StopRunsAtTheEndOfItsFrame) {
    TimelineBuilder b(4);
    b.at(0, place(1, 1)).at(2, actions({action(swf::op::Stop)}));
    TimelinePlayer player(catalog, b.timeline, {});
    for (int i = 0; i < 5; ++i) {
        player.advance();
    }
    EXPECT_EQ(player.currentFrame(), 2u);
}

TEST_F(ActionsTest, GotoLabelGoesAndStopsGotoAndPlayPlays) {
    TimelineBuilder b(5);
    b.at(0, place(1, 1, 0));
    b.at(1, actions({gotoLabel("End")}));
    b.at(3, label("end")).at(3, moveTo(1, 30));
    TimelinePlayer player(catalog, b.timeline, {});
    player.advance();
    EXPECT_EQ(player.currentFrame(), 3u); // labels compare without case
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(drawnX(player), (std::vector<double>{30}));

    TimelineBuilder c(5);
    c.at(0, place(1, 1)).at(1, actions({gotoFrame(3), action(swf::op::Play)}));
    c.at(4, actions({gotoLabel("missing")}));
    TimelinePlayer other(catalog, c.timeline, {});
    other.advance();
    EXPECT_EQ(other.currentFrame(), 3u);
    EXPECT_TRUE(other.playing());
    other.advance();
    other.advance(); // a missing label changes nothing
    EXPECT_EQ(other.currentFrame(), 0u);
}

TEST_F(ActionsTest, NextPrevAndGotoFrame2WithALiteral) {
    TimelineBuilder b(6);
    b.at(0, place(1, 1));
    b.at(1, actions({action(swf::op::NextFrame)}));
    TimelinePlayer player(catalog, b.timeline, {});
    player.advance();
    EXPECT_EQ(player.currentFrame(), 2u);
    EXPECT_FALSE(player.playing());

    swf::Action push = action(0x96);
    static const std::uint8_t five[] = {7, 5, 0, 0, 0}; // int32 5: the fifth frame
    push.payload = five;
    swf::Action g2 = action(swf::op::GotoFrame2);
    g2.play = true;
    TimelineBuilder c(6);
    c.at(0, place(1, 1)).at(1, actions({push, g2}));
    c.at(5, actions({action(swf::op::PreviousFrame)}));
    TimelinePlayer other(catalog, c.timeline, {});
    other.advance();
    EXPECT_EQ(other.currentFrame(), 4u);
    EXPECT_TRUE(other.playing());
    other.advance(); // frame 5 steps back to 4 and stops
    EXPECT_EQ(other.currentFrame(), 4u);
    EXPECT_FALSE(other.playing());
}

TEST_F(ActionsTest, SpriteActionsControlTheSprite) {
    TimelineBuilder sprite(3);
    sprite.at(0, place(1, 1, 0)).at(1, moveTo(1, 1)).at(1, actions({action(swf::op::Stop)}));
    sprite.at(2, moveTo(1, 2));
    catalog.kinds[10] = CharacterKind::Sprite;
    catalog.sprites[10] = sprite.timeline;
    TimelineBuilder b(4);
    b.at(0, place(1, 10));
    TimelinePlayer player(catalog, b.timeline, {});
    for (int i = 0; i < 3; ++i) {
        player.advance();
    }
    EXPECT_EQ(drawnX(player), (std::vector<double>{1}));
    EXPECT_TRUE(player.playing());
}

TEST_F(ActionsTest, EndlessGotoLoopsStopAtTheBudget) {
    TimelineBuilder b(2);
    b.at(0, place(1, 1)).at(0, actions({gotoFrame(1), action(swf::op::Play)}));
    b.at(1, actions({gotoFrame(0), action(swf::op::Play)}));
    TimelineLimits limits;
    limits.maxActionBlocks = 50;
    TimelinePlayer player(catalog, b.timeline, {}, limits);
    player.advance();
    EXPECT_EQ(player.liveObjects(), 1u);
}

// Each jump back to the next-to-last frame replays the whole timeline; a block of such
// jumps must not cost its length times the timeline's on one tick.
TEST_F(ActionsTest, ReplayedTagsPerTickAreBounded) {
    constexpr std::uint16_t kFrames = 1000;
    TimelineBuilder b(kFrames);
    b.at(0, place(1, 1, 0));
    for (std::uint16_t f = 1; f < kFrames; ++f) {
        b.at(f, moveTo(1, f));
    }
    std::vector<swf::Action> jumps;
    for (int i = 0; i < 100; ++i) {
        jumps.push_back(gotoFrame(kFrames - 1));
        jumps.push_back(gotoFrame(kFrames - 2));
    }
    jumps.push_back(gotoFrame(500));
    b.at(0, actions(jumps));

    const TimelinePlayer unbounded(catalog, b.timeline, {});
    EXPECT_EQ(unbounded.currentFrame(), 500u);
    TimelineLimits limits;
    limits.maxTagsPerTick = 20'000;
    TimelinePlayer bounded(catalog, b.timeline, {}, limits);
    EXPECT_GE(bounded.currentFrame(), kFrames - 2u) << "the block ran past the budget";
    EXPECT_EQ(bounded.liveObjects(), 1u);
    // The next tick has a budget of its own and plays on normally.
    bounded.gotoFrame(3, false);
    EXPECT_EQ(drawnX(bounded), (std::vector<double>{3}));
}

TEST(PushedValueTest, ReadsTheLastLiteral) {
    const std::uint8_t mixed[] = {0, 'a', 'b', 0, 6, 0, 0, 0x14, 0x40, 0, 0, 0, 0};
    auto v = lastPushedLiteral(mixed);
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->isNumber);
    EXPECT_DOUBLE_EQ(v->number, 5.0);
    const std::uint8_t text[] = {7, 1, 0, 0, 0, 0, 'x', 0};
    v = lastPushedLiteral(text);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->text, "x");
    const std::uint8_t truncated[] = {7, 1, 0};
    EXPECT_FALSE(lastPushedLiteral(truncated));
    const std::uint8_t reg[] = {4, 1};
    EXPECT_FALSE(lastPushedLiteral(reg));
}

} // namespace
} // namespace mc
