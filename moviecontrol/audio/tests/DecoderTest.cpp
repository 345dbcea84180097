#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "AdpcmDecoder.h"
#include "AdpcmEncoder.h"
#include "Mp3Decoder.h"
#include "PcmDecoder.h"
#include "SignalCheck.h"
#include "SoundDecoding.h"
#include "moviemaker/BitWriter.h"
#include "moviemaker/Sound.h"

namespace {

using audiotest::channel;
using audiotest::zeroCrossingFrequency;

std::vector<std::uint8_t> readFixture(const char* name) {
    std::ifstream in(std::string(std::getenv("VELMORA_SOURCE_DIR")) +
                         "/moviecontrol/audio/tests/data/" + name,
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::int16_t> interleave(const std::vector<std::int16_t>& l,
                                     const std::vector<std::int16_t>& r) {
    std::vector<std::int16_t> out;
    for (std::size_t i = 0; i < l.size(); ++i) {
        out.push_back(l[i]);
        out.push_back(r[i]);
    }
    return out;
}

audio::SoundDefinition definition(std::uint8_t formatByte, std::uint32_t count,
                                  const std::vector<std::uint8_t>& data) {
    audio::SoundDefinition d;
    d.id = 1;
    d.format = audio::formatFromByte(formatByte);
    d.sampleCount = count;
    d.data = data;
    return d;
}

TEST(PcmDecoding, SixteenAndEightBitMonoAndStereoKeepTheSamples) {
    const auto tone = moviemaker::sineTone(440, 11025, 1000);
    const auto other = moviemaker::sineTone(1000, 11025, 1000, 8000);
    for (const std::uint8_t codec : {0, 3}) {
        const auto bytes16 = moviemaker::pcm16Bytes(tone);
        const auto mono16 = audio::decodeEventSound(
            definition(moviemaker::SoundFormat{codec, 1, true, false}.byte(), 1000, bytes16));
        ASSERT_TRUE(mono16);
        EXPECT_EQ(mono16->rate, 11025u);
        EXPECT_EQ(mono16->samples, tone);

        const auto stereo = interleave(tone, other);
        const auto bytesStereo = moviemaker::pcm16Bytes(stereo);
        const auto st = audio::decodeEventSound(
            definition(moviemaker::SoundFormat{codec, 1, true, true}.byte(), 1000, bytesStereo));
        ASSERT_TRUE(st);
        EXPECT_EQ(st->channels, 2u);
        EXPECT_EQ(st->samples, stereo);
    }
    // Eight-bit samples are unsigned around 128 and keep their high byte.
    const auto bytes8 = moviemaker::pcm8Bytes(tone);
    const auto mono8 = audio::decodeEventSound(
        definition(moviemaker::SoundFormat{3, 0, false, false}.byte(), 1000, bytes8));
    ASSERT_TRUE(mono8);
    EXPECT_EQ(mono8->rate, 5512u);
    ASSERT_EQ(mono8->frames(), tone.size());
    for (std::size_t i = 0; i < tone.size(); ++i) {
        EXPECT_EQ(mono8->samples[i], static_cast<std::int16_t>((tone[i] >> 8) * 256));
    }
}

TEST(PcmDecoding, PartialFramesAndShortCountsAreHeldToTheData) {
    std::vector<std::uint8_t> bytes = {0x01, 0x00, 0x02, 0x00, 0x03}; // odd trailing byte
    std::vector<std::int16_t> out;
    audio::decodePcm(audio::formatFromByte(moviemaker::SoundFormat{3, 3, true, false}.byte()),
                     bytes, 100, out);
    EXPECT_EQ(out, (std::vector<std::int16_t>{1, 2}));
    // A tag claiming fewer samples than it holds ends where it says; more is not invented.
    const auto d = audio::decodeEventSound(
        definition(moviemaker::SoundFormat{3, 3, true, false}.byte(), 1, bytes));
    EXPECT_EQ(d->frames(), 1u);
    const auto d2 = audio::decodeEventSound(
        definition(moviemaker::SoundFormat{3, 3, true, false}.byte(), 1000, bytes));
    EXPECT_EQ(d2->frames(), 2u);
}

TEST(AdpcmDecoding, EveryCodeSizeReproducesAToneAcrossPackets) {
    // Longer than one 4,096-sample packet, so the packet headers are exercised.
    const auto tone = moviemaker::sineTone(440, 22050, 10000, 12000);
    const double minimumSnr[] = {8.0, 14.0, 20.0, 26.0}; // 2 to 5 bits
    for (unsigned bits = 2; bits <= 5; ++bits) {
        const auto encoded = audiotest::encodeAdpcm(tone, false, bits);
        std::vector<std::int16_t> decoded;
        // The last byte's spare bits may hold a code or two more than were encoded: the
        // sample count of the tag ends the sound.
        audio::decodeAdpcm(encoded, false, SIZE_MAX, decoded);
        EXPECT_LE(decoded.size() - tone.size(), 3u);
        decoded.resize(tone.size());
        const auto ref = channel(tone, 1, 0);
        const auto got = channel(decoded, 1, 0);
        EXPECT_GT(audiotest::snrDb(ref, got), minimumSnr[bits - 2]) << bits << " bits";
        EXPECT_NEAR(zeroCrossingFrequency(got, 22050), 440.0, 3.0);
    }
}

TEST(AdpcmDecoding, StereoChannelsStaySeparate) {
    const auto left = moviemaker::sineTone(300, 11025, 5000, 10000);
    const auto right = moviemaker::sineTone(1200, 11025, 5000, 10000);
    const auto encoded = audiotest::encodeAdpcm(interleave(left, right), true, 4);
    const auto d = audio::decodeEventSound(
        definition(moviemaker::SoundFormat{1, 1, true, true}.byte(), 5000, encoded));
    ASSERT_TRUE(d);
    ASSERT_EQ(d->frames(), 5000u);
    EXPECT_NEAR(zeroCrossingFrequency(channel(d->samples, 2, 0), 11025), 300.0, 3.0);
    EXPECT_NEAR(zeroCrossingFrequency(channel(d->samples, 2, 1), 11025), 1200.0, 6.0);
}

TEST(AdpcmDecoding, TruncatedDataStopsWithoutReadingPast) {
    const auto tone = moviemaker::sineTone(440, 22050, 3000);
    auto encoded = audiotest::encodeAdpcm(tone, false, 3);
    encoded.resize(encoded.size() / 2);
    std::vector<std::int16_t> decoded;
    audio::decodeAdpcm(encoded, false, SIZE_MAX, decoded);
    EXPECT_GT(decoded.size(), 1000u);
    EXPECT_LT(decoded.size(), 3000u);
    decoded.clear();
    audio::decodeAdpcm(std::vector<std::uint8_t>{0xC0}, true, SIZE_MAX, decoded);
    EXPECT_TRUE(decoded.empty()); // a code size and nothing else
    audio::decodeAdpcm(encoded, false, 10, decoded);
    EXPECT_EQ(decoded.size(), 10u);
}

TEST(Mp3Decoding, EventSoundSkipsTheEncoderDelayAndKeepsItsLength) {
    const auto mp3 = readFixture("tone440-44k-mono.mp3");
    ASSERT_FALSE(mp3.empty());
    // The encoder put 1,105 samples of delay in front: what the seek-samples word says.
    moviemaker::BitWriter body;
    body.i16(1105);
    body.bytes(mp3);
    const auto data = body.take();
    const auto d = audio::decodeEventSound(
        definition(moviemaker::SoundFormat{2, 3, true, false}.byte(), 44100, data));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->rate, 44100u);
    EXPECT_EQ(d->frames(), 44100u);
    const auto x = channel(d->samples, 1, 0);
    // The tone starts at once (its first sample is zero, the next ones rise).
    EXPECT_LT(audiotest::onset(x, 1000.0), 40u);
    EXPECT_NEAR(zeroCrossingFrequency(channel(d->samples, 1, 0, 4410, 40000), 44100), 440.0, 1.0);

    // Without the skip the delay stays in front.
    moviemaker::BitWriter noSkip;
    noSkip.i16(0);
    noSkip.bytes(mp3);
    const auto plain = audio::decodeEventSound(
        definition(moviemaker::SoundFormat{2, 3, true, false}.byte(), 0, noSkip.take()));
    ASSERT_TRUE(plain);
    EXPECT_GT(audiotest::onset(channel(plain->samples, 1, 0), 1000.0), 1000u);
}

TEST(Mp3Decoding, StereoAt22kAndAChannelCountDifferentFromTheTag) {
    const auto mp3 = readFixture("tone1000-22k-stereo.mp3");
    moviemaker::BitWriter body;
    body.i16(0);
    body.bytes(mp3);
    const auto data = body.take();
    const auto st = audio::decodeEventSound(
        definition(moviemaker::SoundFormat{2, 2, true, true}.byte(), 0, data));
    ASSERT_TRUE(st);
    EXPECT_EQ(st->rate, 22050u);
    EXPECT_EQ(st->channels, 2u);
    EXPECT_NEAR(zeroCrossingFrequency(channel(st->samples, 2, 1, 3000, 20000), 22050), 1000.0, 2.0);
    // A tag that says mono gets the two channels folded into one.
    const auto mono = audio::decodeEventSound(
        definition(moviemaker::SoundFormat{2, 2, true, false}.byte(), 0, data));
    ASSERT_TRUE(mono);
    EXPECT_EQ(mono->channels, 1u);
    EXPECT_EQ(mono->frames(), st->frames());
}

// Splits MPEG-1 layer III data into its frames by their headers.
std::vector<std::vector<std::uint8_t>> mp3Frames(const std::vector<std::uint8_t>& data) {
    static constexpr int kBitrates[] = {0,   32,  40,  48,  56,  64,  80, 96,
                                        112, 128, 160, 192, 224, 256, 320};
    static constexpr int kRates[] = {44100, 48000, 32000};
    std::vector<std::vector<std::uint8_t>> frames;
    std::size_t at = 0;
    while (at + 4 <= data.size() && data[at] == 0xFF && (data[at + 1] & 0xE0) == 0xE0) {
        const int bitrate = kBitrates[data[at + 2] >> 4];
        const int rate = kRates[(data[at + 2] >> 2) & 3];
        const int padding = (data[at + 2] >> 1) & 1;
        const std::size_t size = static_cast<std::size_t>(144 * bitrate * 1000 / rate + padding);
        frames.emplace_back(data.begin() + static_cast<std::ptrdiff_t>(at),
                            data.begin() +
                                static_cast<std::ptrdiff_t>(std::min(at + size, data.size())));
        at += size;
    }
    return frames;
}

TEST(Mp3Decoding, StreamBlocksJoinWithoutAGap) {
    const auto frames = mp3Frames(readFixture("tone440-44k-mono.mp3"));
    ASSERT_GT(frames.size(), 30u);
    audio::StreamDecoder stream(
        audio::formatFromByte(moviemaker::SoundFormat{2, 3, true, false}.byte()));
    std::vector<std::int16_t> out;
    // Two MP3 frames per block, the first block's seek samples skipped once.
    for (std::size_t i = 0; i + 1 < frames.size(); i += 2) {
        moviemaker::BitWriter block;
        block.u16(2304);
        block.i16(i == 0 ? 1105 : 0);
        block.bytes(frames[i]);
        block.bytes(frames[i + 1]);
        stream.decodeBlock(block.take(), SIZE_MAX, out);
    }
    EXPECT_EQ(stream.rate(), 44100u);
    const auto x = channel(out, 1, 0);
    EXPECT_LT(audiotest::onset(x, 1000.0), 40u);
    // A gap or a repeat at a block edge would show as a sample far off the sine's path:
    // neighbouring samples of a 440 Hz tone at 44.1 kHz differ by under 1,100 here.
    double worst = 0.0;
    for (std::size_t i = 1; i + 2000 < x.size(); ++i) {
        worst = std::max(worst, std::abs(x[i] - x[i - 1]));
    }
    EXPECT_LT(worst, 1200.0);
    EXPECT_NEAR(zeroCrossingFrequency(channel(out, 1, 0, 2000, 40000), 44100), 440.0, 1.0);
}

TEST(Mp3Decoding, GarbageYieldsNothingAndDoesNotHang) {
    std::vector<std::uint8_t> junk(5000);
    for (std::size_t i = 0; i < junk.size(); ++i) {
        junk[i] = static_cast<std::uint8_t>(i * 7919u >> 3);
    }
    audio::Mp3Decoder mp3(2);
    std::vector<std::int16_t> out;
    mp3.decode(junk, 44100, out);
    EXPECT_LE(out.size(), 44100u * 2);
}

TEST(UnsupportedCodecs, StaySilent) {
    const std::vector<std::uint8_t> data(100, 0x55);
    for (const std::uint8_t codec : {11, 9}) {
        const auto d = definition(moviemaker::SoundFormat{codec, 3, true, false}.byte(), 100, data);
        EXPECT_FALSE(audio::codecSupported(d.format));
        EXPECT_FALSE(audio::decodeEventSound(d));
    }
    EXPECT_EQ(audio::formatFromByte(0x40).rate, 16000u);
    EXPECT_EQ(audio::formatFromByte(0x51).rate, 8000u);
    EXPECT_FALSE(audio::formatFromByte(0x51).stereo);
}

} // namespace
