// SoundMixer's reading of the latest mix: the waveform and the frequency bands, and
// the byte array they are written to.

#include "avm2/SoundLevels.h"
#include "PlayerClassTest.h"
#include "avm2/ByteArrayData.h"

#include <bit>
#include <cmath>
#include <numbers>

namespace {

using avm2::kLevelBands;
using avm2::soundLevels;
using avm2::Value;

// Interleaved stereo frames: a sine of `cycles` per 512 frames on the left, silence right.
std::vector<float> sine(std::size_t frames, double cycles, float amplitude) {
    std::vector<float> out(2 * frames, 0.0f);
    for (std::size_t f = 0; f < frames; ++f) {
        out[2 * f] = amplitude * static_cast<float>(std::sin(2 * std::numbers::pi * cycles *
                                                             static_cast<double>(f) / 512.0));
    }
    return out;
}

TEST(SoundLevels, WaveformIsTheNewestFramesOfEachChannel) {
    std::vector<float> recent(2 * 300);
    for (std::size_t f = 0; f < 300; ++f) {
        recent[2 * f] = static_cast<float>(f) / 1000.0f;
        recent[2 * f + 1] = -static_cast<float>(f) / 1000.0f;
    }
    const auto out = soundLevels(recent, false, 0);
    ASSERT_EQ(out.size(), 2 * kLevelBands);
    EXPECT_FLOAT_EQ(out[kLevelBands - 1], 0.299f);        // the newest left sample
    EXPECT_FLOAT_EQ(out[0], 0.044f);                      // 255 frames before it
    EXPECT_FLOAT_EQ(out[2 * kLevelBands - 1], -0.299f);   // the newest right sample
    const auto stretched = soundLevels(recent, false, 1); // every second frame
    EXPECT_FLOAT_EQ(stretched[kLevelBands - 2], 0.297f);
    EXPECT_FLOAT_EQ(stretched[0], 0.0f); // before the first: silence
    EXPECT_EQ(soundLevels({}, false, 0), std::vector<float>(2 * kLevelBands, 0.0f));
    EXPECT_EQ(avm2::levelFrames(false, 99), 3 * kLevelBands); // held at 11.025 kHz
}

TEST(SoundLevels, BandsPeakAtTheToneAndReadItsStrength) {
    const auto out = soundLevels(sine(512, 32, 0.5f), true, 0);
    std::size_t peak = 0;
    for (std::size_t k = 0; k < kLevelBands; ++k) {
        if (out[k] > out[peak]) {
            peak = k;
        }
    }
    EXPECT_EQ(peak, 32u);
    EXPECT_NEAR(out[peak], 0.5f, 0.01f);
    EXPECT_NEAR(out[10], 0.0f, 0.01f);
    EXPECT_NEAR(out[kLevelBands + 32], 0.0f, 1e-6f); // the silent right channel
    for (float v : soundLevels(sine(512, 7, 8.0f), true, 0)) {
        EXPECT_LE(v, 1.0f);
    }
}

class SoundMixerLevels : public avm2test::PlayerClassTest {};

TEST_F(SoundMixerLevels, WritesFiveHundredTwelveFloatsFromTheStart) {
    Value bytes = make("flash.utils::ByteArray");
    avm2::ByteArrayData* data = avm2::byteArrayData(bytes);
    data->data.assign(3000, 0xAB);
    data->position = 77;
    call(classNamed("flash.media::SoundMixer"), "computeSpectrum", {bytes});
    EXPECT_EQ(data->data.size(), 3000u); // longer arrays keep their tail
    EXPECT_EQ(data->position, 0u);
    EXPECT_EQ(data->data[0], 0u); // no sound host: silence
    EXPECT_EQ(data->data[2047], 0u);
    EXPECT_EQ(data->data[2048], 0xABu);
    EXPECT_EQ(thrown([&] {
                  call(classNamed("flash.media::SoundMixer"), "computeSpectrum", {Value::null()});
              }),
              "TypeError #2007");
}

} // namespace
