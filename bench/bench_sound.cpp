// What a movie's sound costs on one core, per second of sound: decoding an MP3 stream block
// by block and mixing it with four looping event sounds at 44.1 kHz (the timeline's own
// work on a movie without shapes included), and decoding MP3 and Nellymoser event sounds
// whole.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "MoviePlayback.h"
#include "SoundDecoding.h"
#include "moviemaker/BitWriter.h"
#include "moviemaker/SwfWriter.h"
#include "swf/Movie.h"

namespace {

constexpr int kSeconds = 10;

std::vector<std::uint8_t> toneMp3() {
    std::ifstream in(std::string(VELMORA_SOURCE_DIR) +
                         "/moviecontrol/audio/tests/data/tone440-44k-mono.mp3",
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// MPEG-1 layer III frames of the tone, split at their headers (64 kbit/s, 44.1 kHz).
std::vector<std::vector<std::uint8_t>> mp3Frames(const std::vector<std::uint8_t>& data) {
    std::vector<std::vector<std::uint8_t>> frames;
    std::size_t at = 0;
    while (at + 4 <= data.size() && data[at] == 0xFF) {
        const std::size_t size = 144 * 64000 / 44100 + ((data[at + 2] >> 1) & 1);
        frames.emplace_back(data.begin() + static_cast<std::ptrdiff_t>(at),
                            data.begin() +
                                static_cast<std::ptrdiff_t>(std::min(at + size, data.size())));
        at += size;
    }
    return frames;
}

// Ten seconds at three MP3 frames (3,456 samples) a movie frame, and four 22 kHz tones
// started on the first frame, looping with an envelope.
std::vector<std::uint8_t> benchMovie(double& fps) {
    fps = 44100.0 / 3456.0;
    moviemaker::MovieHeader h;
    h.frameRate = fps;
    moviemaker::SwfWriter movie(h);
    for (int i = 0; i < 4; ++i) {
        const auto tone = moviemaker::sineTone(300 + 200 * i, 22050, 22050, 6000);
        const auto id = movie.defineSound(moviemaker::SoundFormat{3, 2, true, false}, 22050,
                                          moviemaker::pcm16Bytes(tone));
        moviemaker::SoundInfo info;
        info.loops = 100;
        info.envelope = {{0, 0, 32768}, {44100, 32768, 0}};
        movie.startSound(id, info);
    }
    movie.soundStreamHead(moviemaker::SoundFormat{2, 3, true, false}, 3456, 1, 1105);
    const auto frames = mp3Frames(toneMp3());
    const int movieFrames = static_cast<int>(kSeconds * fps);
    for (int f = 0; f < movieFrames; ++f) {
        moviemaker::BitWriter block;
        block.u16(3456);
        block.i16(f == 0 ? 1105 : 0);
        for (int k = 0; k < 3; ++k) {
            block.bytes(frames[static_cast<std::size_t>(3 * f + k) % frames.size()]);
        }
        movie.soundStreamBlock(block.data());
        movie.showFrame();
    }
    return movie.finish();
}

void BM_StreamAndFourEventSoundsPerSecond(benchmark::State& state) {
    double fps = 0;
    const auto bytes = benchMovie(fps);
    const int frames = static_cast<int>(kSeconds * fps);
    for (auto _ : state) {
        state.PauseTiming();
        mc::PlaybackSetup setup;
        setup.pace = mc::Pace::FrameSteps;
        auto playback = mc::MoviePlayback::fromBytes(bytes, std::move(setup));
        state.ResumeTiming();
        for (int f = 0; f < frames; ++f) {
            playback->stepFrame();
        }
        benchmark::DoNotOptimize(playback->sound().data());
    }
    // Reported per second of sound: the time per iteration divided by the seconds mixed.
    state.counters["seconds_of_sound"] = kSeconds;
    state.counters["share_of_one_core"] = benchmark::Counter(
        kSeconds, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StreamAndFourEventSoundsPerSecond)->Unit(benchmark::kMillisecond);

void BM_DecodeMp3EventSoundPerSecond(benchmark::State& state) {
    moviemaker::BitWriter body;
    body.i16(1105);
    body.bytes(toneMp3());
    const auto data = body.take();
    audio::SoundDefinition d;
    d.format = audio::formatFromByte(moviemaker::SoundFormat{2, 3, true, false}.byte());
    d.sampleCount = 44100;
    d.data = data;
    for (auto _ : state) {
        benchmark::DoNotOptimize(audio::decodeEventSound(d));
    }
}
BENCHMARK(BM_DecodeMp3EventSoundPerSecond)->Unit(benchmark::kMicrosecond);

// A second of 44.1 kHz Nellymoser (173 blocks of arbitrary bits: the decoder's work does not
// depend on what they hold).
void BM_DecodeNellymoserEventSoundPerSecond(benchmark::State& state) {
    std::vector<std::uint8_t> data(173 * 64);
    std::uint32_t x = 12345;
    for (auto& b : data) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    audio::SoundDefinition d;
    d.format = audio::formatFromByte(moviemaker::SoundFormat{6, 3, true, false}.byte());
    d.data = data;
    for (auto _ : state) {
        benchmark::DoNotOptimize(audio::decodeEventSound(d));
    }
}
BENCHMARK(BM_DecodeNellymoserEventSoundPerSecond)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
