// Blur filter and glow on layers the size of a typical stage (550x400) and of a full-HD
// screen, at quality 1 to 3. The blur must cost the same for any radius. The displacement
// map filter, at whole and fractional offsets, on the same layers.

#include "FilterApply.h"
#include "ShadowFilters.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

QImage sceneLayer(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const bool inside = (x / 40 + y / 40) % 2 == 0;
            line[x] = inside ? qRgba(x % 256, y % 256, 128, 255) : 0u;
        }
    }
    return image;
}

void blurLayer(benchmark::State& state) {
    const QImage layer =
        sceneLayer(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const swf::BlurFilter filter{static_cast<double>(state.range(3)),
                                 static_cast<double>(state.range(3)),
                                 static_cast<std::uint8_t>(state.range(2))};
    for (auto _ : state) {
        benchmark::DoNotOptimize(mc::applyBlur(layer, filter, mc::FilterScale{}));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

void glowLayer(benchmark::State& state) {
    const QImage layer =
        sceneLayer(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    swf::GlowFilter filter;
    filter.blurX = 8;
    filter.blurY = 8;
    filter.passes = static_cast<std::uint8_t>(state.range(2));
    for (auto _ : state) {
        benchmark::DoNotOptimize(mc::applyGlow(layer, filter, mc::FilterScale{}));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

// A map of gentle waves over the whole layer, moving pixels up to `reach` pixels either way;
// a reach of 8 and a map step of 2 make fractional offsets (blended pixels).
void displaceLayer(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const QImage layer = sceneLayer(width, height);
    auto map = std::make_shared<swf::DisplacementMap>();
    map->width = width;
    map->height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto wave = static_cast<std::uint32_t>((x * state.range(3) + y) % 256);
            map->argb.push_back(0xFF000000u | (wave << 16) | ((255 - wave) << 8));
        }
    }
    swf::DisplacementMapFilter filter;
    filter.map = map;
    filter.componentX = 1;
    filter.componentY = 2;
    filter.scaleX = static_cast<double>(state.range(2)) * 2.0;
    filter.scaleY = filter.scaleX;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mc::applyFilter(layer, filter, mc::FilterScale{}));
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

void sizes(benchmark::internal::Benchmark* bench) {
    for (const auto& [w, h] : {std::pair{550, 400}, std::pair{1920, 1080}}) {
        for (int passes = 1; passes <= 3; ++passes) {
            bench->Args({w, h, passes, 8});
        }
        bench->Args({w, h, 1, 64}); // same cost expected as the radius-8 case
    }
    bench->ArgNames({"w", "h", "quality", "blur"})->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(blurLayer)->Apply(sizes);
BENCHMARK(glowLayer)->Apply([](benchmark::internal::Benchmark* bench) {
    bench->Args({550, 400, 1})->Args({1920, 1080, 2})->Unit(benchmark::kMillisecond);
});

BENCHMARK(displaceLayer)->Apply([](benchmark::internal::Benchmark* bench) {
    // Reach 128 with a map step of 256 offsets by whole pixels only.
    bench->Args({550, 400, 128, 256})->Args({550, 400, 8, 2})->Args({1920, 1080, 8, 2});
    bench->ArgNames({"w", "h", "reach", "step"})->Unit(benchmark::kMillisecond);
});

BENCHMARK_MAIN();
