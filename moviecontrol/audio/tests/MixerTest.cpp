#include <gtest/gtest.h>

#include "Mixer.h"
#include "ScriptSoundPort.h"
#include "SignalCheck.h"
#include "SoundScriptHost.h"
#include "moviemaker/Sound.h"

namespace {

using audiotest::channel;
using audiotest::rms;
using audiotest::zeroCrossingFrequency;

std::shared_ptr<const audio::PcmBuffer> tone(double hz, std::uint32_t rate, std::size_t frames,
                                             double amplitude = 10000.0) {
    auto pcm = std::make_shared<audio::PcmBuffer>();
    pcm->rate = rate;
    pcm->channels = 1;
    pcm->samples = moviemaker::sineTone(hz, rate, frames, amplitude);
    return pcm;
}

std::vector<std::int16_t> pull(audio::Mixer& mixer, std::size_t frames) {
    std::vector<std::int16_t> out(frames * 2);
    mixer.mix(out.data(), frames);
    return out;
}

// Frames until the mixed signal stays silent.
std::size_t soundingLength(const std::vector<std::int16_t>& stereo) {
    std::size_t last = 0;
    for (std::size_t f = 0; f < stereo.size() / 2; ++f) {
        if (stereo[2 * f] != 0 || stereo[2 * f + 1] != 0) {
            last = f + 1;
        }
    }
    return last;
}

TEST(Mixer, EventSoundsAreResampledToTheOutputRate) {
    for (const std::uint32_t rate : {5512u, 11025u, 22050u, 44100u}) {
        audio::Mixer mixer(44100);
        ASSERT_NE(mixer.startEvent(1, tone(440, rate, rate / 2), {}), 0u);
        const auto out = pull(mixer, 44100);
        // Half a second of sound, at its own pitch, on both sides.
        EXPECT_NEAR(static_cast<double>(soundingLength(out)), 22050.0, 10.0) << rate;
        EXPECT_NEAR(zeroCrossingFrequency(channel(out, 2, 0, 0, 22000), 44100), 440.0, 2.0);
        EXPECT_NEAR(rms(channel(out, 2, 1, 0, 22000)), 10000 / std::sqrt(2.0), 400.0);
        EXPECT_EQ(mixer.eventVoices(), 0u);
    }
}

TEST(Mixer, LoopsInAndOutPointsSetWhatPlays) {
    audio::Mixer mixer(44100);
    audio::SoundInfo info;
    info.loops = 3;
    info.inPoint = 4410;   // 0.1 s in
    info.outPoint = 13230; // to 0.3 s: 0.2 s a time
    const auto id = mixer.startEvent(1, tone(1000, 22050, 22050), info);
    ASSERT_NE(id, 0u);
    const auto out = pull(mixer, 44100);
    EXPECT_NEAR(static_cast<double>(soundingLength(out)), 3 * 8820.0, 6.0);
    EXPECT_EQ(mixer.takeFinished(), std::vector<audio::VoiceId>{id});
    // An out point before the in point plays nothing.
    info.outPoint = 10;
    EXPECT_EQ(mixer.startEvent(1, tone(1000, 22050, 22050), info), 0u);
}

TEST(Mixer, EnvelopeFadesEachSideAlongItsPoints) {
    audio::Mixer mixer(44100);
    audio::SoundInfo info;
    // Left fades in over the first second; right stays off.
    info.envelope = {{0, 0, 0}, {44100, 32768, 0}};
    mixer.startEvent(1, tone(500, 44100, 44100), info);
    const auto out = pull(mixer, 44100);
    const double early = rms(channel(out, 2, 0, 0, 4410));
    const double late = rms(channel(out, 2, 0, 39690, 44100));
    EXPECT_LT(early, 0.1 * late);
    EXPECT_NEAR(late, 0.95 * 10000 / std::sqrt(2.0), 500.0);
    EXPECT_EQ(rms(channel(out, 2, 1)), 0.0);
}

TEST(Mixer, SyncStopNoMultipleAndTheLimitOfThirtyTwo) {
    audio::Mixer mixer(44100);
    const auto t = tone(440, 44100, 44100);
    audio::SoundInfo noMultiple;
    noMultiple.noMultiple = true;
    EXPECT_NE(mixer.startEvent(1, t, {}), 0u);
    EXPECT_EQ(mixer.startEvent(1, t, noMultiple), 0u);
    EXPECT_NE(mixer.startEvent(2, t, noMultiple), 0u);
    audio::SoundInfo stop;
    stop.syncStop = true;
    EXPECT_EQ(mixer.startEvent(1, t, stop), 0u);
    EXPECT_FALSE(mixer.soundPlaying(1));
    EXPECT_TRUE(mixer.soundPlaying(2));
    for (int i = 0; i < 40; ++i) {
        mixer.startEvent(static_cast<std::uint16_t>(10 + i), t, {});
    }
    EXPECT_EQ(mixer.eventVoices(), audio::Mixer::kMaxEventSounds);
    // A stopped sound does not count as finished by itself.
    mixer.stopSound(2);
    pull(mixer, 10);
    EXPECT_TRUE(mixer.takeFinished().empty());
}

TEST(Mixer, PausedOutputIsSilentAndResumesWhereItWas) {
    audio::Mixer mixer(44100);
    const auto id = mixer.startEvent(1, tone(440, 44100, 44100), {});
    pull(mixer, 11025);
    mixer.setPaused(true);
    const auto paused = pull(mixer, 11025);
    EXPECT_EQ(soundingLength(paused), 0u);
    EXPECT_EQ(mixer.voicePositionMs(id), 250u);
    mixer.setPaused(false);
    const auto rest = pull(mixer, 44100);
    EXPECT_NEAR(static_cast<double>(soundingLength(rest)), 33075.0, 4.0);
}

TEST(Mixer, RecentOutputIsTheNewestMixBeforeTheListenersLevel) {
    audio::Mixer mixer(44100);
    EXPECT_EQ(mixer.recentOutput(4), std::vector<float>(8, 0.0f)); // silence before any mix
    mixer.setMasterVolume(10);
    mixer.startEvent(1, tone(441, 44100, 44100, 16384.0), {});
    pull(mixer, 3000); // more than the ring holds: it wraps
    const auto out = pull(mixer, 100);
    const std::vector<float> recent = mixer.recentOutput(100);
    ASSERT_EQ(recent.size(), 200u);
    for (std::size_t i = 0; i < recent.size(); ++i) {
        // The listener's level of 10% is not in it.
        EXPECT_NEAR(recent[i] * 0.1f, static_cast<float>(out[i]) / 32768.0f, 2e-4f) << i;
    }
    EXPECT_EQ(mixer.recentOutput(1'000'000).size(), 2 * audio::Mixer::kRecentFrames);
}

TEST(Mixer, VolumeAndPanFromTheScriptTransforms) {
    audio::Mixer mixer(44100);
    mc::SoundMix half;
    half.volume = 50;
    mc::SoundMix right; // full right: the left channel goes nowhere
    right.ll = 0;
    mixer.setTransform(0, audio::transformOf(half));
    mixer.setTransform(77, audio::transformOf(right));
    mixer.startEvent(1, tone(440, 44100, 44100), {}, 77);
    const auto out = pull(mixer, 22050);
    EXPECT_LT(rms(channel(out, 2, 0)), 1.0);
    EXPECT_NEAR(rms(channel(out, 2, 1)), 0.5 * 10000 / std::sqrt(2.0), 150.0);
}

TEST(Mixer, NestedGroupsScaleByEveryVolumeAboveThem) {
    audio::Mixer mixer(44100);
    mc::SoundMix half;
    half.volume = 50;
    mc::SoundMix swapped; // left and right exchanged, at full level
    swapped.ll = 0;
    swapped.rr = 0;
    swapped.lr = 100;
    swapped.rl = 100;
    // 30 inside 20 inside 10; 20 halves, the movie halves, 30 swaps its channels.
    mixer.setGroupParent(30, 20);
    mixer.setGroupParent(20, 10);
    mixer.setTransform(20, audio::transformOf(half));
    mixer.setTransform(0, audio::transformOf(half));
    mixer.setTransform(30, audio::transformOf(swapped));
    mixer.startEvent(1, tone(440, 44100, 44100), {}, 30);
    const double full = 10000 / std::sqrt(2.0);
    const auto out = pull(mixer, 22050);
    EXPECT_NEAR(rms(channel(out, 2, 0)), 0.25 * full, 100.0);

    // A clip gone takes its transform and place with it: the sound is only the movie's.
    mixer.forgetGroup(20);
    const auto after = pull(mixer, 11025);
    EXPECT_NEAR(rms(channel(after, 2, 0)), 0.5 * full, 100.0);

    // Parents that loop (keys no display tree makes, but the mixer takes any) end the walk,
    // not the output.
    mixer.setGroupParent(10, 30);
    mixer.setGroupParent(30, 10);
    EXPECT_GT(rms(channel(pull(mixer, 4410), 2, 0)), 0.0);

    // A movie gone leaves the next one at full level.
    mixer.forgetGroups();
    EXPECT_NEAR(rms(channel(pull(mixer, 4410), 2, 0)), full, 100.0);
}

TEST(Mixer, LoudSoundsTogetherClipInsteadOfWrapping) {
    audio::Mixer mixer(44100);
    mixer.startEvent(1, tone(100, 44100, 4410, 30000), {});
    mixer.startEvent(2, tone(100, 44100, 4410, 30000), {});
    const auto out = pull(mixer, 4410);
    const auto peak = *std::max_element(out.begin(), out.end());
    const auto trough = *std::min_element(out.begin(), out.end());
    EXPECT_EQ(peak, 32767);
    EXPECT_EQ(trough, -32768);
    // Wrapping would have turned the peaks negative: the sample at a quarter period is high.
    EXPECT_GT(out[2 * 110], 30000);
}

class CountingSource : public audio::StreamSource {
  public:
    explicit CountingSource(int pieces) : pieces_(pieces) {}
    bool pull(std::vector<std::int16_t>& out) override {
        if (pieces_-- <= 0) {
            return false;
        }
        for (int i = 0; i < 1000; ++i) {
            out.push_back(1000);
        }
        return true;
    }
    std::uint32_t rate() const override { return 22050; }
    unsigned channels() const override { return 1; }

  private:
    int pieces_;
};

TEST(Mixer, StreamsPlayTheirPiecesAndCountTheirClock) {
    audio::Mixer mixer(44100);
    mixer.startStream(5, std::make_unique<CountingSource>(10));
    EXPECT_TRUE(mixer.streamPlaying(5));
    pull(mixer, 8820); // 0.2 s: 4,410 stream samples
    EXPECT_EQ(mixer.streamPlayed(5), 4410u);
    const auto rest = pull(mixer, 44100);
    EXPECT_NEAR(static_cast<double>(soundingLength(rest)), 11180.0, 4.0);
    EXPECT_FALSE(mixer.streamPlaying(5));
    // A new start under the same key replaces the stream.
    mixer.startStream(5, std::make_unique<CountingSource>(1));
    mixer.startStream(5, std::make_unique<CountingSource>(2));
    const auto again = pull(mixer, 44100);
    EXPECT_NEAR(static_cast<double>(soundingLength(again)), 4000.0, 4.0);
}

} // namespace

// The listener's level scales the finished mix, on top of the movie's own transform, and
// mute silences it without holding the sounds back.
TEST(Mixer, MasterVolumeAndMuteScaleTheFinishedMix) {
    const auto pcm = tone(440, 44100, 44100);
    audio::SoundTransform half;
    half.volume = 0.5f;
    audio::Mixer reference(44100);
    audio::Mixer listener(44100);
    for (audio::Mixer* mixer : {&reference, &listener}) {
        mixer->setTransform(0, half);
        ASSERT_NE(mixer->startEvent(1, pcm, {}), 0u);
    }
    listener.setMasterVolume(40);
    const auto full = pull(reference, 4410);
    const auto quieter = pull(listener, 4410);
    for (std::size_t i = 0; i < full.size(); ++i) {
        ASSERT_NEAR(quieter[i], full[i] * 0.4, 1.0) << i;
    }
    EXPECT_GT(rms(channel(quieter, 2, 0, 0, 4410)), 1000.0);

    listener.setMuted(true);
    EXPECT_TRUE(listener.muted());
    EXPECT_EQ(soundingLength(pull(listener, 4410)), 0u);
    pull(reference, 4410);
    // Unmuted, the sound goes on where it would have been, at the level it had.
    listener.setMuted(false);
    const auto later = pull(reference, 4410);
    const auto again = pull(listener, 4410);
    for (std::size_t i = 0; i < later.size(); ++i) {
        ASSERT_NEAR(again[i], later[i] * 0.4, 1.0) << i;
    }

    listener.setMasterVolume(250);
    EXPECT_EQ(listener.masterVolume(), 100);
    listener.setMasterVolume(-5);
    EXPECT_EQ(listener.masterVolume(), 0);
    EXPECT_EQ(soundingLength(pull(listener, 4410)), 0u);
}
