// How long a 640x480 VP6 key frame and an inter frame full of moving macroblocks take to
// decode: a card's video must keep up with its frame rate.

#include <benchmark/benchmark.h>

#include "Vp6Decoder.h"
#include "Vp6Writer.h"

namespace {

using vp6test::MacroblockSpec;
namespace vp6 = video::vp6;

constexpr int kRows = 30;
constexpr int kCols = 40;

std::vector<MacroblockSpec> keyMacroblocks() {
    std::vector<MacroblockSpec> mbs(kRows * kCols);
    for (std::size_t i = 0; i < mbs.size(); ++i) {
        for (int b = 0; b < 4; ++b) {
            mbs[i].dc[b] = static_cast<int>((i * 7 + static_cast<std::size_t>(b) * 3) % 9) - 4;
        }
        mbs[i].dc[4] = i == 0 ? -120 : 1;
        mbs[i].dc[5] = i == 0 ? -136 : -1;
    }
    return mbs;
}

std::vector<MacroblockSpec> movingMacroblocks() {
    std::vector<MacroblockSpec> mbs(kRows * kCols);
    for (std::size_t i = 0; i < mbs.size(); ++i) {
        MacroblockSpec& s = mbs[i];
        s.type = i % 3 == 0 ? vp6::InterFourVectors : vp6::InterDeltaPrevious;
        s.delta = {static_cast<int>(i % 7) - 3, static_cast<int>(i % 5) - 2};
        for (int b = 0; b < 4; ++b) {
            s.fourKinds[b] = 1;
            s.fourDeltas[b] = {b - 2, 1 - b};
        }
        s.dc[0] = static_cast<int>(i % 3) - 1;
    }
    return mbs;
}

void Vp6KeyFrame(benchmark::State& state) {
    vp6test::StreamWriter w(kRows, kCols);
    const std::vector<std::uint8_t> key = w.frame(true, 20, keyMacroblocks());
    video::Vp6Decoder d(false, 640, 480);
    for (auto _ : state) {
        benchmark::DoNotOptimize(d.decode(key));
    }
}
BENCHMARK(Vp6KeyFrame)->Unit(benchmark::kMillisecond);

void Vp6InterFrame(benchmark::State& state) {
    vp6test::StreamWriter w(kRows, kCols);
    const std::vector<std::uint8_t> key = w.frame(true, 20, keyMacroblocks());
    const std::vector<std::uint8_t> inter = w.frame(false, 20, movingMacroblocks());
    video::Vp6Decoder d(false, 640, 480);
    d.decode(key);
    for (auto _ : state) {
        benchmark::DoNotOptimize(d.decode(inter));
    }
}
BENCHMARK(Vp6InterFrame)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
