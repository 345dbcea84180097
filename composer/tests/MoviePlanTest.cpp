// How long the movie is, where each photo sits and what happens to the song.

#include "composer/MoviePlan.h"

#include <gtest/gtest.h>

namespace composer {
namespace {

Composition at24() {
    Composition c;
    c.fps = 24;
    return c;
}

void expectContiguous(const MoviePlan& plan) {
    int at = 0;
    for (const PhotoSpan& span : plan.photos) {
        EXPECT_EQ(span.start, at);
        EXPECT_GT(span.frames, plan.transitionFrames);
        at += span.frames;
    }
    EXPECT_EQ(at, plan.endingStart);
}

TEST(MoviePlan, SongLengthMakesTheMovieAndPhotosShareIt) {
    const MoviePlan plan = planMovie(at24(), 7, 180.0);
    EXPECT_EQ(plan.totalFrames, 180 * 24);
    EXPECT_EQ(plan.endingStart, plan.totalFrames - 4 * 24);
    ASSERT_EQ(plan.photos.size(), 7u);
    expectContiguous(plan);
    const auto [lo, hi] = std::minmax_element(
        plan.photos.begin(), plan.photos.end(),
        [](const PhotoSpan& a, const PhotoSpan& b) { return a.frames < b.frames; });
    EXPECT_LE(hi->frames - lo->frames, 1);
    EXPECT_DOUBLE_EQ(plan.musicSeconds, 180.0);
    EXPECT_FALSE(plan.songTrimmed);
    EXPECT_EQ(plan.fadeIn, 0.0); // a whole song keeps its own beginning and end
    EXPECT_EQ(plan.fadeOut, 0.0);
    EXPECT_TRUE(plan.notices.empty());
}

TEST(MoviePlan, PhotosLengthCutsAndFadesTheSong) {
    Composition c = at24();
    c.length = MovieLength::Photos;
    c.secondsPerPhoto = 3;
    c.musicStart = 30;
    const MoviePlan plan = planMovie(c, 5, 200.0);
    EXPECT_EQ(plan.totalFrames, (5 * 3 + 4) * 24);
    expectContiguous(plan);
    EXPECT_DOUBLE_EQ(plan.musicStart, 30.0);
    EXPECT_DOUBLE_EQ(plan.musicSeconds, 19.0);
    EXPECT_TRUE(plan.songTrimmed);
    EXPECT_DOUBLE_EQ(plan.fadeIn, c.fadeIn);
    EXPECT_DOUBLE_EQ(plan.fadeOut, c.fadeOut);
}

TEST(MoviePlan, TwoHourSongIsTrimmedAtTheFrameCapWithANotice) {
    const MoviePlan plan = planMovie(at24(), 20, 2 * 3600.0);
    EXPECT_EQ(plan.totalFrames, kMaxFrames);
    EXPECT_TRUE(plan.songTrimmed);
    EXPECT_NEAR(plan.musicSeconds, kMaxFrames / 24.0, 1e-9);
    EXPECT_GT(plan.fadeOut, 0.0);
    ASSERT_EQ(plan.notices.size(), 1u);
    EXPECT_NE(plan.notices[0].find("32767"), std::string::npos);
    EXPECT_NE(plan.notices[0].find("22:45"), std::string::npos);
    expectContiguous(plan);
}

TEST(MoviePlan, ShortSongStillGivesEveryPhotoItsMinimum) {
    const MoviePlan plan = planMovie(at24(), 10, 3.0);
    EXPECT_GE(plan.totalFrames, 10 * static_cast<int>(kMinSecondsPerPhoto * 24));
    EXPECT_DOUBLE_EQ(plan.musicSeconds, 3.0); // the song ends, the movie goes on silent
    EXPECT_FALSE(plan.songTrimmed);
    expectContiguous(plan);
}

TEST(MoviePlan, StartPastTheSongsEndAndNoMusic) {
    Composition c = at24();
    c.musicStart = 500;
    const MoviePlan late = planMovie(c, 2, 60.0);
    EXPECT_DOUBLE_EQ(late.musicStart, 60.0);
    EXPECT_DOUBLE_EQ(late.musicSeconds, 0.0);
    const MoviePlan silent = planMovie(at24(), 3, std::nullopt);
    EXPECT_EQ(silent.totalFrames, (3 * 4 + 4) * 24);
    EXPECT_DOUBLE_EQ(silent.musicSeconds, 0.0);
}

} // namespace
} // namespace composer
