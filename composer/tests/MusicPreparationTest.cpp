// Songs read by FFmpeg's libraries and encoded to MP3, or carried as they are.

#include "composer/MusicPreparation.h"
#include "ComposerTestSupport.h"
#include "composer/ComposeError.h"

#include <gtest/gtest.h>

namespace composer {
namespace {

using namespace composer::testing;

double secondsOf(const PreparedMusic& music) {
    double samples = 0;
    for (const auto& f : music.frames) {
        samples += f.samples;
    }
    return samples / kOutputRate;
}

TEST(MusicPreparation, WavIsEncodedAt128KbitsCutToThePartUsed) {
    ScratchFolder folder;
    const auto song = folder.file("歌 曲.wav");
    writeBytes(song, wavTone(6.0, 48000, 2, 440));
    const SongFacts facts = inspectSong(song);
    EXPECT_NEAR(facts.seconds, 6.0, 0.01);
    EXPECT_FALSE(facts.mp3Passable);

    const PreparedMusic music = prepareMusic(song, 1.0, 3.0, 0.5, 0.5, false);
    EXPECT_TRUE(music.reencoded);
    ASSERT_FALSE(music.frames.empty());
    for (const auto& f : music.frames) {
        EXPECT_EQ(f.sampleRate, kOutputRate);
        EXPECT_EQ(f.bitRate, kOutputKbps * 1000u);
        EXPECT_TRUE(f.stereo);
    }
    // Three seconds and the encoder's delay and padding, whole frames.
    EXPECT_GT(secondsOf(music), 3.0);
    EXPECT_LT(secondsOf(music), 3.0 + 3 * 1152.0 / kOutputRate);
    EXPECT_TRUE(passableMp3(music.frames));
}

TEST(MusicPreparation, OurOwnMp3PassesThroughUnchanged) {
    ScratchFolder folder;
    const auto wav = folder.file("tone.wav");
    writeBytes(wav, wavTone(2.0, 44100, 1, 330));
    const PreparedMusic encoded = prepareMusic(wav, 0, 2.0, 0, 0, false);
    const auto mp3 = folder.file("tone.mp3");
    writeBytes(mp3, encoded.mp3);

    const SongFacts facts = inspectSong(mp3);
    EXPECT_TRUE(facts.mp3Passable);
    EXPECT_NEAR(facts.seconds, secondsOf(encoded), 1e-9);
    const PreparedMusic carried = prepareMusic(mp3, 0, facts.seconds, 0, 0, true);
    EXPECT_FALSE(carried.reencoded);
    EXPECT_EQ(carried.mp3, encoded.mp3);
    EXPECT_FALSE(carried.frames.front().stereo);
}

TEST(MusicPreparation, FastOrOddRatesAreNotPassable) {
    std::vector<moviemaker::Mp3Frame> frames(3);
    for (auto& f : frames) {
        f.sampleRate = 44100;
        f.bitRate = 128000;
    }
    EXPECT_TRUE(passableMp3(frames));
    frames[1].bitRate = 192000;
    EXPECT_FALSE(passableMp3(frames));
    frames[1].bitRate = 128000;
    for (auto& f : frames) {
        f.sampleRate = 48000;
    }
    EXPECT_FALSE(passableMp3(frames));
    EXPECT_FALSE(passableMp3({}));
}

TEST(MusicPreparation, UnreadableSongsAreRefusedByName) {
    ScratchFolder folder;
    const auto noise = folder.file("坏歌.m4a");
    writeBytes(noise, std::vector<uint8_t>(4096, 0x5A));
    try {
        inspectSong(noise);
        FAIL() << "a file of noise was taken for a song";
    } catch (const ComposeError& e) {
        EXPECT_NE(std::string(e.what()).find("坏歌.m4a"), std::string::npos) << e.what();
    }
    try {
        inspectSong(folder.file("missing.mp3"));
        FAIL() << "a missing song was read";
    } catch (const ComposeError& e) {
        EXPECT_NE(std::string(e.what()).find("missing.mp3"), std::string::npos);
    }
}

} // namespace
} // namespace composer
