#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "AbcBuilder.h"
#include "As3Scripts.h"
#include "MoviePlayback.h"
#include "NoScripts.h"
#include "moviemaker/BitWriter.h"
#include "moviemaker/Sound.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::Actions;
using Lines = std::vector<std::string>;

moviemaker::MovieHeader header(int version = 8) {
    moviemaker::MovieHeader h;
    h.version = static_cast<std::uint8_t>(version);
    h.frameRate = 20.0;
    return h;
}

// A movie of `frames` frames, each of which traces getTimer().
std::vector<std::uint8_t> timerMovie(int frames) {
    moviemaker::SwfWriter movie(header());
    for (int f = 0; f < frames; ++f) {
        movie.doAction(Actions().code(0x34).code(0x26)); // trace(getTimer())
        movie.showFrame();
    }
    return movie.finish();
}

struct Played {
    explicit Played(const std::vector<std::uint8_t>& bytes, Pace pace = Pace::FrameSteps,
                    bool keepSound = false) {
        PlaybackSetup setup;
        setup.pace = pace;
        setup.keepSound = keepSound;
        setup.callbacks.trace = [this](std::string_view line) { traced.emplace_back(line); };
        playback = MoviePlayback::fromBytes(bytes, std::move(setup));
    }
    Lines traced;
    std::unique_ptr<MoviePlayback> playback;
};

TEST(MoviePlaybackTest, FrameStepsMoveTheScriptsClockOneFrameIntervalAtATime) {
    Played p(timerMovie(3));
    ASSERT_TRUE(p.playback);
    ASSERT_NE(p.playback->scripts(), nullptr);
    p.playback->stepFrame();
    p.playback->stepFrame();
    EXPECT_EQ(p.traced, (Lines{"0", "50", "100"}));
}

TEST(MoviePlaybackTest, RealTimeFollowsTheWallClockAndPlaysTheFramesDue) {
    Played p(timerMovie(4), Pace::RealTime);
    ASSERT_TRUE(p.playback);
    p.playback->restartClock();
    EXPECT_EQ(p.playback->tick(20), 0); // not a frame interval yet
    EXPECT_EQ(p.playback->tick(120), 2);
    EXPECT_EQ(p.playback->player().currentFrame(), 2u);
    EXPECT_EQ(p.traced, (Lines{"0", "120", "120"}));
}

// Players that run ActionScript 3 ignore the first machine's action blocks in its movies.
// A movie without ActionScript 1/2 gets no AS1 machine; an ActionScript 3 one gets the AS3
// runner, which leaves the AS1 blocks such a movie may carry unrun, as Flash does.
TEST(MoviePlaybackTest, MoviesWithoutFirstMachineScriptsRunNoActionBlocks) {
    for (const bool actionScript3 : {false, true}) {
        moviemaker::SwfWriter movie(header(9));
        const std::uint8_t attributes[] = {static_cast<std::uint8_t>(actionScript3 ? 0x08 : 0), 0,
                                           0, 0};
        movie.rawTag(69, attributes); // FileAttributes
        if (actionScript3) {
            movie.doAction(Actions().stop().trace("ran"));
        }
        movie.showFrame();
        movie.showFrame();
        movie.showFrame();
        Played p(movie.finish());
        ASSERT_TRUE(p.playback);
        EXPECT_EQ(p.playback->scripts(), nullptr);
        if (actionScript3) {
            EXPECT_NE(dynamic_cast<As3Scripts*>(&p.playback->runner()), nullptr);
        } else {
            EXPECT_NE(dynamic_cast<NoScripts*>(&p.playback->runner()), nullptr);
        }
        p.playback->stepFrame();
        EXPECT_EQ(p.playback->player().currentFrame(), 1u) << actionScript3;
        EXPECT_TRUE(p.traced.empty());
    }
}

// An ActionScript 3 movie runs the DoABC blocks of a frame when the root reaches it.
TEST(MoviePlaybackTest, ActionScript3BlocksRunWhenTheirFrameIsReached) {
    avm2test::TraceScript script;
    moviemaker::SwfWriter movie(header(9));
    const std::uint8_t attributes[] = {0x08, 0, 0, 0};
    movie.rawTag(69, attributes);
    movie.showFrame();
    // DoABC: flags (not lazy), an empty name, then the block: trace(2 + 3).
    std::vector<std::uint8_t> doAbc{0, 0, 0, 0, 0};
    const std::vector<std::uint8_t> block = script.build({0x24, 2, 0x24, 3, 0xA0});
    doAbc.insert(doAbc.end(), block.begin(), block.end());
    movie.rawTag(82, doAbc);
    movie.showFrame();
    Played p(movie.finish());
    ASSERT_TRUE(p.playback);
    EXPECT_TRUE(p.traced.empty());
    p.playback->stepFrame();
    EXPECT_EQ(p.traced, (Lines{"5"}));
}

int loudest(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to) {
    int most = 0;
    for (std::size_t i = from; i < std::min(to, samples.size()); ++i) {
        most = std::max(most, std::abs(int{samples[i]}));
    }
    return most;
}

// A button's press sound plays however the movie is played, a tool's frame steps included.
TEST(MoviePlaybackTest, PressingAButtonPlaysItsSound) {
    moviemaker::SwfWriter movie(header());
    const auto tone = moviemaker::sineTone(800, 22050, 22050);
    const auto sound =
        movie.defineSound(moviemaker::SoundFormat{3, 2, true, false},
                          static_cast<std::uint32_t>(tone.size()), moviemaker::pcm16Bytes(tone));
    moviemaker::Shape box;
    box.fill1(box.addFill(moviemaker::FillStyle::solid({0, 0, 255}))).rectangle(0, 0, 2000, 2000);
    moviemaker::Button button;
    button.records.push_back(moviemaker::ButtonRecord{0x0F, movie.defineShape(box), 1, {}, {}});
    const auto buttonId = movie.defineButton2(button);
    moviemaker::BitWriter sounds;
    sounds.u16(buttonId);
    sounds.u16(0);     // nothing when the pointer leaves
    sounds.u16(0);     // nor when it comes
    sounds.u16(sound); // the press plays the tone
    sounds.bytes(moviemaker::encodeSoundInfo({}));
    sounds.u16(0);                   // nor on the release
    movie.rawTag(17, sounds.data()); // DefineButtonSound
    movie.place(buttonId, 1);
    for (int f = 0; f < 4; ++f) {
        movie.showFrame();
    }
    Played p(movie.finish(), Pace::FrameSteps, true);
    ASSERT_TRUE(p.playback);
    MoviePlayback& playback = *p.playback;
    playback.stepFrame();
    const std::size_t silentUpTo = playback.sound().size();
    playback.input().mouseMove(1000, 1000);
    playback.input().mouseDown(1000, 1000);
    playback.stepFrame();
    EXPECT_LT(loudest(playback.sound(), 0, silentUpTo), 10);
    EXPECT_GT(loudest(playback.sound(), silentUpTo, playback.sound().size()), 5000);
}

TEST(MoviePlaybackTest, BytesThatAreNoMovieLoadNothing) {
    const std::vector<std::uint8_t> junk = {'n', 'o', 't', ' ', 'a', ' ', 'm', 'o', 'v', 'i', 'e'};
    EXPECT_EQ(MoviePlayback::fromBytes(junk), nullptr);
    EXPECT_EQ(MoviePlayback::fromFile("/nonexistent/movie.swf"), nullptr);
}

} // namespace
} // namespace mc
