#pragma once
// What the renderer benchmarks share: an offscreen application, movie files read from the
// project and the two measurements, load to first frame and frames per second.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "MovieView.h"

namespace benchsupport {

inline QGuiApplication& app() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication instance(argc, argv);
    return instance;
}

// A path below the source tree: the one the benchmark was built from, unless the
// environment's VELMORA_SOURCE_DIR names another.
inline QString sourcePath(const QString& relative) {
    const char* dir = std::getenv("VELMORA_SOURCE_DIR");
    return QString::fromUtf8(dir ? dir : VELMORA_BENCH_SOURCE_DIR) + QLatin1Char('/') + relative;
}

// The file's bytes; empty when it cannot be read.
inline std::vector<std::uint8_t> readFile(const QString& path) {
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray b = f.readAll();
    return std::vector<std::uint8_t>(b.begin(), b.end());
}

inline QSize sizeArgs(const benchmark::State& state) {
    return QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
}

// Parse, convert the characters of the first frame and paint it, as opening a card does.
inline void loadToFirstFrame(benchmark::State& state, std::span<const std::uint8_t> bytes) {
    app();
    if (bytes.empty()) {
        state.SkipWithError("movie not found");
        return;
    }
    const QSize size = sizeArgs(state);
    for (auto _ : state) {
        auto movie = mc::MovieView::fromBytes(bytes);
        QImage image = movie->renderFrame(size, mc::RenderQuality::High);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes.size()));
}

// One tick of the movie's clock and one high-quality paint per iteration; "fps" is the rate.
inline void framesPerSecond(benchmark::State& state, std::span<const std::uint8_t> bytes) {
    app();
    auto movie = mc::MovieView::fromBytes(bytes);
    if (!movie) {
        state.SkipWithError("movie not found or not playable");
        return;
    }
    QImage image(sizeArgs(state), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        movie->player().advance();
        movie->paint(image, mc::RenderQuality::High, Qt::black);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace benchsupport
