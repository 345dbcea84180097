#include <gtest/gtest.h>

#include "AudioLog.h"
#include "MovieCatalog.h"
#include "MovieSound.h"
#include "OfflineMix.h"
#include "SignalCheck.h"
#include "StreamClock.h"
#include "TimelinePlayer.h"
#include "moviemaker/SwfWriter.h"
#include "swf/Movie.h"

namespace {

moviemaker::SoundInfo syncStopInfo() {
    moviemaker::SoundInfo info;
    info.syncStop = true;
    return info;
}

moviemaker::SoundInfo loopInfo(std::uint16_t loops) {
    moviemaker::SoundInfo info;
    info.loops = loops;
    return info;
}

using audiotest::channel;
using audiotest::rms;

constexpr double kFps = 10.0;

// A movie playing with its sound mixed offline, 4,410 output frames a movie frame.
struct Playing {
    explicit Playing(std::vector<std::uint8_t> swf)
        : bytes(std::move(swf)), movie(swf::loadMovie(bytes).movie), catalog(*movie),
          player(catalog, movie->root, mc::Rgba{255, 255, 255, 255}), mixer(44100),
          sound(*movie, mixer, kFps), offline(mixer, kFps) {
        player.setSoundEvents(&sound);
    }
    ~Playing() { player.setSoundEvents(nullptr); }
    // Plays `frames` frames: each one's sound is mixed, then the movie moves on.
    void play(int frames) {
        for (int i = 0; i < frames; ++i) {
            offline.mixFrame();
            player.advance();
        }
    }
    // Mean level of the left channel over movie frame `frame` (its middle part).
    double levelOfFrame(int frame) const {
        const auto x = channel(offline.samples(), 2, 0, frame * 4410 + 400, frame * 4410 + 4000);
        double sum = 0.0;
        for (const double v : x) {
            sum += v;
        }
        return x.empty() ? 0.0 : sum / static_cast<double>(x.size());
    }
    double rmsOfFrame(int frame) const {
        return rms(channel(offline.samples(), 2, 0, frame * 4410, (frame + 1) * 4410));
    }

    std::vector<std::uint8_t> bytes;
    std::unique_ptr<swf::Movie> movie;
    mc::MovieCatalog catalog;
    mc::TimelinePlayer player;
    audio::Mixer mixer;
    audio::MovieSound sound;
    audio::OfflineMix offline;
};

moviemaker::MovieHeader header() {
    moviemaker::MovieHeader h;
    h.frameRate = kFps;
    return h;
}

// A 22,050 Hz PCM block whose samples all hold `level`: a frame's block says which frame
// it belongs to by its level.
std::vector<std::uint8_t> levelBlock(std::int16_t level, std::size_t samples = 2205) {
    return moviemaker::pcm16Bytes(std::vector<std::int16_t>(samples, level));
}

const moviemaker::SoundFormat kPcm22{3, 2, true, false};

std::uint16_t defineTone(moviemaker::SwfWriter& movie, double hz, double seconds) {
    const auto samples = moviemaker::sineTone(hz, 22050, static_cast<std::size_t>(22050 * seconds));
    return movie.defineSound(kPcm22, static_cast<std::uint32_t>(samples.size()),
                             moviemaker::pcm16Bytes(samples));
}

TEST(MovieSound, EventSoundStartsOnItsFrameAndLoops) {
    moviemaker::SwfWriter movie(header());
    const auto id = defineTone(movie, 1000, 0.1);
    for (int f = 0; f < 10; ++f) {
        if (f == 3) {
            movie.startSound(id, loopInfo(2));
        }
        movie.showFrame();
    }
    Playing p(movie.finish());
    p.play(10);
    EXPECT_LT(p.rmsOfFrame(2), 1.0);
    EXPECT_GT(p.rmsOfFrame(3), 5000.0);
    EXPECT_GT(p.rmsOfFrame(4), 5000.0);
    EXPECT_LT(p.rmsOfFrame(5), 1.0);
    EXPECT_EQ(p.offline.samples().size(), 44100u * 2); // ten frames at ten a second
}

TEST(MovieSound, SyncStopOnALaterFrameEndsTheSound) {
    moviemaker::SwfWriter movie(header());
    const auto id = defineTone(movie, 500, 2.0);
    movie.startSound(id);
    for (int f = 0; f < 8; ++f) {
        if (f == 5) {
            movie.startSound(id, syncStopInfo());
        }
        movie.showFrame();
    }
    Playing p(movie.finish());
    p.play(8);
    EXPECT_GT(p.rmsOfFrame(0), 5000.0);
    EXPECT_GT(p.rmsOfFrame(4), 5000.0);
    EXPECT_LT(p.rmsOfFrame(5), 1.0);
}

TEST(MovieSound, StartSound2FindsItsSoundByExportedName) {
    moviemaker::SwfWriter movie(header());
    const auto id = defineTone(movie, 700, 1.0);
    movie.exportAssets(id, "Bell");
    movie.startSound2("bell");
    movie.showFrame();
    movie.showFrame();
    Playing p(movie.finish());
    p.play(2);
    EXPECT_GT(p.rmsOfFrame(0), 5000.0);
    EXPECT_EQ(p.sound.exportedSound("BELL"), id);
    EXPECT_EQ(p.sound.durationMs(id), 1000u);
}

// Frames 0..n-1 each with the block of level 1000 * (frame + 1); frame `gap` has none.
moviemaker::SwfWriter streamMovie(int frames, int gap = -1) {
    moviemaker::SwfWriter movie(header());
    movie.soundStreamHead(kPcm22, 2205);
    for (int f = 0; f < frames; ++f) {
        if (f != gap) {
            movie.soundStreamBlock(levelBlock(static_cast<std::int16_t>(1000 * (f + 1))));
        }
        movie.showFrame();
    }
    return movie;
}

TEST(MovieSound, StreamBlocksPlayInStepWithTheirFrames) {
    Playing p(streamMovie(8, 4).finish());
    p.play(8);
    for (int f = 0; f < 8; ++f) {
        EXPECT_NEAR(p.levelOfFrame(f), f == 4 ? 0.0 : 1000.0 * (f + 1), 30.0) << f;
    }
}

TEST(MovieSound, StreamStopsWithItsTimelineAndStartsAgainOnALoop) {
    Playing stopped(streamMovie(8).finish());
    stopped.play(3);
    stopped.player.setPlaying(false); // stopped on its fourth frame
    stopped.play(5);
    EXPECT_NEAR(stopped.levelOfFrame(3), 4000.0, 30.0);
    for (int f = 4; f < 8; ++f) {
        EXPECT_NEAR(stopped.levelOfFrame(f), 0.0, 1.0) << f;
    }

    Playing looping(streamMovie(5).finish());
    looping.play(8);
    for (int f = 0; f < 8; ++f) {
        EXPECT_NEAR(looping.levelOfFrame(f), 1000.0 * (f % 5 + 1), 30.0) << f;
    }
}

TEST(MovieSound, ASpriteStreamEndsWhenTheSpriteIsRemoved) {
    moviemaker::SwfWriter movie(header());
    moviemaker::Sprite sprite;
    sprite.soundStreamHead(kPcm22, 2205);
    for (int f = 0; f < 10; ++f) {
        sprite.soundStreamBlock(levelBlock(3000));
        sprite.showFrame();
    }
    const auto spriteId = movie.defineSprite(sprite);
    movie.place(spriteId, 1);
    movie.showFrame();
    movie.showFrame();
    movie.showFrame();
    movie.removeObject(1);
    movie.showFrame();
    movie.showFrame();
    Playing p(movie.finish());
    p.play(5);
    EXPECT_NEAR(p.levelOfFrame(0), 3000.0, 30.0);
    EXPECT_NEAR(p.levelOfFrame(2), 3000.0, 30.0);
    EXPECT_NEAR(p.levelOfFrame(3), 0.0, 1.0);
}

TEST(MovieSound, RewindAndSteppingStopEverySound) {
    moviemaker::SwfWriter movie(header());
    const auto id = defineTone(movie, 500, 3.0);
    movie.startSound(id);
    movie.soundStreamHead(kPcm22, 2205);
    for (int f = 0; f < 20; ++f) {
        movie.soundStreamBlock(levelBlock(2000));
        movie.showFrame();
    }
    Playing p(movie.finish());
    p.play(3);
    // The player's frame step: the movie moves one frame and every sound stops.
    p.player.stepForward();
    p.sound.stopAll();
    p.offline.mixFrame();
    EXPECT_LT(p.rmsOfFrame(3), 1.0);
    p.player.rewind();
    p.sound.stopAll();
    p.offline.mixFrame();
    p.offline.mixFrame();
    EXPECT_LT(p.rmsOfFrame(4), 1.0);
    EXPECT_FALSE(p.mixer.soundPlaying(id));
}

TEST(MovieSound, PausedMovieIsSilentAndPlaysOnWhereItStopped) {
    Playing p(streamMovie(6).finish());
    p.play(2);
    p.sound.setPaused(true);
    p.offline.mixFrame(); // a silent frame; the timeline holds
    p.sound.setPaused(false);
    p.play(2);
    EXPECT_NEAR(p.levelOfFrame(1), 2000.0, 30.0);
    EXPECT_NEAR(p.levelOfFrame(2), 0.0, 1.0);
    EXPECT_NEAR(p.levelOfFrame(3), 3000.0, 30.0);
    EXPECT_NEAR(p.levelOfFrame(4), 4000.0, 30.0);
}

TEST(MovieSound, TheTimelineFollowsTheStreamClock) {
    Playing p(streamMovie(20).finish());
    std::vector<std::int16_t> out(2 * 44100);
    EXPECT_EQ(p.sound.framesDue(8), 0); // nothing heard yet: frame 0 holds
    p.mixer.mix(out.data(), 11025);     // a quarter second heard: two frames are due
    EXPECT_EQ(p.sound.framesDue(8), 2);
    p.player.advance();
    p.player.advance();
    EXPECT_EQ(p.sound.framesDue(8), 0);
    p.mixer.mix(out.data(), 44100); // a whole second: ten frames, capped at eight
    EXPECT_EQ(p.sound.framesDue(8), 8);
    for (int i = 0; i < 8; ++i) {
        p.player.advance();
    }
    EXPECT_EQ(p.sound.framesDue(8), 2);
    // No stream, no opinion: the frame clock decides.
    p.sound.stopAll();
    EXPECT_FALSE(p.sound.framesDue(8));
}

TEST(StreamClock, HoldsAheadAndDropsBehindWithinTheCap) {
    EXPECT_EQ(audio::streamFramesDue(0, 2205.0, 0, 4), 0);
    EXPECT_EQ(audio::streamFramesDue(2204, 2205.0, 0, 4), 0);
    EXPECT_EQ(audio::streamFramesDue(2205, 2205.0, 0, 4), 1);
    EXPECT_EQ(audio::streamFramesDue(2205 * 3, 2205.0, 5, 4), 0); // ahead: hold
    EXPECT_EQ(audio::streamFramesDue(2205 * 30, 2205.0, 5, 4), 4);
    EXPECT_EQ(audio::streamFramesDue(100, 0.0, 0, 4), 0);
}

TEST(MovieSound, UnplayableCodecsAreLoggedOnceAndStaySilent) {
    std::vector<std::string> lines;
    audio::setAudioLogSink([&](const std::string& line) { lines.push_back(line); });
    moviemaker::SwfWriter movie(header());
    const auto id = movie.defineSound(moviemaker::SoundFormat{11, 3, true, false}, 1000,
                                      std::vector<std::uint8_t>(64, 1));
    movie.soundStreamHead(moviemaker::SoundFormat{9, 2, true, false}, 2205);
    for (int f = 0; f < 3; ++f) {
        movie.startSound(id);
        movie.soundStreamBlock(std::vector<std::uint8_t>(40, 7));
        movie.showFrame();
    }
    Playing p(movie.finish());
    p.play(3);
    audio::setAudioLogSink({});
    EXPECT_LT(rms(channel(p.offline.samples(), 2, 0)), 1.0);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const auto& l) { return l.find("Speex") != std::string::npos; }),
              1);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const auto& l) { return l.find("unknown") != std::string::npos; }),
              1);
}

} // namespace

namespace {

TEST(MovieSound, ButtonTransitionsPlayAndStopTheButtonsSounds) {
    moviemaker::SwfWriter movie(header());
    const auto id = defineTone(movie, 800, 1.0);
    moviemaker::BitWriter sounds;
    sounds.u16(9);
    sounds.u16(0);  // nothing when the pointer leaves
    sounds.u16(0);  // nor when it comes
    sounds.u16(id); // the press plays the tone
    sounds.bytes(moviemaker::encodeSoundInfo({}));
    sounds.u16(id); // the release stops it
    sounds.bytes(moviemaker::encodeSoundInfo(syncStopInfo()));
    movie.rawTag(17, sounds.data()); // DefineButtonSound
    for (int f = 0; f < 8; ++f) {
        movie.showFrame();
    }
    Playing p(movie.finish());
    p.play(1);
    p.sound.buttonTransition(9, audio::IdleToOverUp);
    p.sound.buttonTransition(4, audio::OverUpToOverDown); // no such button
    p.play(1);
    p.sound.buttonTransition(9, audio::OverUpToOverDown);
    p.play(2);
    p.sound.buttonTransition(9, audio::OverDownToOverUp);
    p.play(2);
    EXPECT_LT(p.rmsOfFrame(0), 1.0);
    EXPECT_LT(p.rmsOfFrame(1), 1.0);
    EXPECT_GT(p.rmsOfFrame(2), 5000.0);
    EXPECT_GT(p.rmsOfFrame(3), 5000.0);
    EXPECT_LT(p.rmsOfFrame(4), 1.0);
}

} // namespace
