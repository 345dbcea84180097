// The first script version's timeline actions, run by the script machine every movie with
// scripts plays through.
#include <gtest/gtest.h>

#include "ScriptedMovie.h"

namespace mc {
namespace {

using moviemaker::Actions;

// A root timeline of `frames` frames; frame i runs scripts[i] when there is one.
std::vector<uint8_t> rootMovie(int frames, const std::vector<std::pair<int, Actions>>& scripts,
                               const std::vector<std::pair<int, std::string>>& labels = {}) {
    moviemaker::SwfWriter movie(version(6));
    for (int f = 0; f < frames; ++f) {
        for (const auto& [at, label] : labels) {
            if (at == f) {
                movie.frameLabel(label);
            }
        }
        for (const auto& [at, script] : scripts) {
            if (at == f) {
                movie.doAction(script);
            }
        }
        movie.showFrame();
    }
    return movie.finish();
}

TEST(TimelineActionsTest, StopOnTheFirstFrameHoldsUntilPlayAndStopEndsItsOwnFrame) {
    ScriptedMovie held(rootMovie(3, {{0, Actions().stop()}}));
    EXPECT_FALSE(held.player->playing());
    held.frames(2);
    EXPECT_EQ(held.player->currentFrame(), 0u);
    held.player->setPlaying(true);
    held.frames(1);
    EXPECT_EQ(held.player->currentFrame(), 1u);

    ScriptedMovie later(rootMovie(4, {{2, Actions().stop()}}));
    later.frames(5);
    EXPECT_EQ(later.player->currentFrame(), 2u);
}

TEST(TimelineActionsTest, LabelsCompareWithoutCaseAndAMissingLabelChangesNothing) {
    ScriptedMovie m(rootMovie(5, {{1, Actions().gotoLabel("End")}}, {{3, "end"}}));
    m.frames(1);
    EXPECT_EQ(m.player->currentFrame(), 3u);
    EXPECT_FALSE(m.player->playing()); // the first version's goto stops there

    ScriptedMovie other(
        rootMovie(5, {{1, Actions().gotoFrame(3).play()}, {4, Actions().gotoLabel("missing")}}));
    other.frames(1);
    EXPECT_EQ(other.player->currentFrame(), 3u);
    EXPECT_TRUE(other.player->playing());
    other.frames(2);
    EXPECT_EQ(other.player->currentFrame(), 0u); // played on past the missing label
}

TEST(TimelineActionsTest, NextAndPreviousFrameStepAndStop) {
    ScriptedMovie m(rootMovie(6, {{1, Actions().nextFrame()}, {3, Actions().previousFrame()}}));
    m.frames(1);
    EXPECT_EQ(m.player->currentFrame(), 2u);
    EXPECT_FALSE(m.player->playing());
    m.player->setPlaying(true);
    m.frames(1); // frame 4 steps back to 3 and stops
    EXPECT_EQ(m.player->currentFrame(), 2u);
    EXPECT_FALSE(m.player->playing());
}

TEST(TimelineActionsTest, ASpritesActionsControlTheSpriteNotTheRoot) {
    moviemaker::Sprite sprite;
    sprite.doAction(Actions().trace("a"));
    sprite.showFrame();
    sprite.doAction(Actions().trace("b").stop());
    sprite.showFrame();
    sprite.doAction(Actions().trace("c"));
    sprite.showFrame();
    moviemaker::SwfWriter movie(version(6));
    placeNamedSprite(movie, sprite, "s");
    for (int f = 0; f < 4; ++f) {
        movie.showFrame();
    }
    ScriptedMovie m(movie.finish());
    m.frames(3);
    EXPECT_EQ(m.traced, (Lines{"a", "b"}));
    EXPECT_TRUE(m.player->playing());
}

// Frames that jump to each other for ever end at the per-tick budget, and the movie plays on.
TEST(TimelineActionsTest, EndlessGotoLoopsStopAtTheBudget) {
    ScriptedMovie m(
        rootMovie(2, {{0, Actions().gotoFrame(1).play()}, {1, Actions().gotoFrame(0).play()}}));
    m.frames(2);
    EXPECT_LE(m.player->currentFrame(), 1u);
}

// Each jump back to the next-to-last frame replays the whole timeline. Every jump runs, but
// once a tick has replayed its budget of tags the scripts still queued wait for no one: they
// are dropped for that tick, so that such blocks cannot pile up on one another.
TEST(TimelineActionsTest, ScriptsQueuedAfterTheTagBudgetIsSpentDoNotRunThatTick) {
    constexpr int kFrames = 1000;
    Actions jumps;
    for (int i = 0; i < 100; ++i) {
        jumps.gotoFrame(kFrames - 1).gotoFrame(kFrames - 2);
    }
    jumps.gotoFrame(500);
    moviemaker::SwfWriter writer(version(6));
    moviemaker::Shape box;
    box.fill1(box.addFill(moviemaker::FillStyle::solid({255, 0, 0}))).rectangle(0, 0, 200, 200);
    writer.place(writer.defineShape(box), 1);
    writer.doAction(jumps);
    writer.doAction(Actions().trace("after"));
    writer.showFrame();
    for (int f = 1; f < kFrames; ++f) {
        writer.moveObject(1, moviemaker::Matrix::translate(f, 0));
        writer.showFrame();
    }
    const std::vector<uint8_t> bytes = writer.finish();

    ScriptedMovie unbounded(bytes);
    EXPECT_EQ(unbounded.player->currentFrame(), 500u);
    EXPECT_EQ(unbounded.traced, (Lines{"after"}));

    swf::LoadResult loaded = swf::loadMovie(bytes);
    ASSERT_TRUE(loaded.ok());
    MovieCatalog catalog(*loaded.movie);
    Lines traced;
    StageCallbacks callbacks;
    callbacks.trace = [&traced](std::string_view line) { traced.emplace_back(line); };
    StageScripts scripts(*loaded.movie, std::move(callbacks));
    TimelineLimits limits;
    limits.maxTagsPerTick = 20'000;
    TimelinePlayer bounded(catalog, loaded.movie->root, Rgba{255, 255, 255, 255}, limits, &scripts);
    EXPECT_EQ(bounded.currentFrame(), 500u);
    EXPECT_EQ(bounded.liveObjects(), 1u);
    EXPECT_TRUE(traced.empty()) << "a script ran past the budget";
    // The next tick has a budget of its own and plays on normally.
    bounded.gotoFrame(3, false);
    EXPECT_EQ(bounded.currentFrame(), 3u);
    EXPECT_EQ(bounded.liveObjects(), 1u);
}

} // namespace
} // namespace mc
