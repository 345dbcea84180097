// Load-to-first-frame and frames per second of the renderer, on the sample card when it is
// there and on a generated movie of many stroked, gradient-filled shapes otherwise.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "MovieRenderer.h"
#include "testsupport/SwfWriter.h"

namespace {

QGuiApplication& app() {
    static int argc = 1;
    static char name[] = "bench_render";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication instance(argc, argv);
    return instance;
}

// 300 shapes in 30 sprites that turn and move every frame: fills, gradients and strokes.
std::vector<std::uint8_t> busyMovie() {
    using namespace swftest;
    SwfWriter movie;
    movie.setBackgroundColor({250, 240, 220});
    std::vector<std::uint16_t> shapes;
    for (int i = 0; i < 10; ++i) {
        Shape s;
        Gradient g;
        g.stops = {{0, {255, static_cast<std::uint8_t>(20 * i), 0, 255}}, {255, {0, 0, 255, 200}}};
        LineStyle line;
        line.width = 40;
        line.color = {0, 0, 0, 255};
        s.fill1(s.addFill(FillStyle::radial(gradientBox(-600, -600, 1200, 1200), g)))
            .line(s.addLine(line))
            .ellipse(0, 0, 600, 400 + 20 * i);
        shapes.push_back(movie.defineShape(s));
    }
    std::vector<std::uint16_t> sprites;
    for (int k = 0; k < 30; ++k) {
        Sprite sprite;
        for (int i = 0; i < 10; ++i) {
            sprite.place(shapes[static_cast<std::size_t>(i)], static_cast<std::uint16_t>(i + 1),
                         Matrix::translate(i * 300, (i % 3) * 300));
        }
        sprite.showFrame();
        sprites.push_back(movie.defineSprite(sprite));
    }
    for (int k = 0; k < 30; ++k) {
        movie.place(sprites[static_cast<std::size_t>(k)], static_cast<std::uint16_t>(k + 1),
                    Matrix::translate((k % 6) * 1800, (k / 6) * 1600));
    }
    movie.showFrame();
    for (int f = 1; f < 24; ++f) {
        for (int k = 0; k < 30; ++k) {
            movie.moveObject(
                static_cast<std::uint16_t>(k + 1),
                Matrix::scaleRotate(1.0, f * 0.05 + k, (k % 6) * 1800 + f * 10, (k / 6) * 1600));
        }
        movie.showFrame();
    }
    return movie.finish();
}

std::vector<std::uint8_t> benchMovie() {
    if (const char* dir = std::getenv("VELMORA_SOURCE_DIR")) {
        QFile f(QString::fromUtf8(dir) + QStringLiteral("/samples/greeting.swf"));
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray b = f.readAll();
            return std::vector<std::uint8_t>(b.begin(), b.end());
        }
    }
    return busyMovie();
}

const std::vector<std::uint8_t>& movieBytes() {
    static const std::vector<std::uint8_t> bytes = benchMovie();
    return bytes;
}

void BM_LoadToFirstFrame(benchmark::State& state) {
    app();
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        auto movie = mc::MovieRenderer::fromBytes(movieBytes());
        QImage image = movie->renderFrame(size, mc::RenderQuality::High);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_FramesPerSecond(benchmark::State& state) {
    app();
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    auto movie = mc::MovieRenderer::fromBytes(movieBytes());
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        movie->player().advance();
        movie->paint(image, mc::RenderQuality::High, Qt::black);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_LoadToFirstFrame)->Args({550, 400})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramesPerSecond)->Args({550, 400})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
