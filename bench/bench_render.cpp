// Load-to-first-frame and frames per second of the renderer at stage and full-HD sizes: on
// the sample greeting, on a generated movie of many moving sprites, and on the heaviest
// movies of the fidelity corpus (VELMORA_CORPUS_DIR, else ../shared/swf-corpus/cases beside
// the source tree; cases that are not there are skipped).
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "RenderBenchSupport.h"
#include "moviemaker/SwfWriter.h"

namespace {

// 300 shapes in 30 sprites that turn and move every frame (or, `drifting`, only move):
// fills, gradients and strokes. `blended` sprites are composed with blend modes, each in a
// layer of its own.
std::vector<std::uint8_t> busyMovie(bool drifting = false, bool blended = false) {
    using namespace moviemaker;
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
    const BlendMode modes[] = {BlendMode::Multiply, BlendMode::Screen, BlendMode::Layer,
                               BlendMode::Difference};
    for (int k = 0; k < 30; ++k) {
        PlaceObject p;
        p.characterId = sprites[static_cast<std::size_t>(k)];
        p.depth = static_cast<std::uint16_t>(k + 1);
        p.matrix = Matrix::translate((k % 6) * 1800, (k / 6) * 1600);
        if (blended) {
            p.blendMode = modes[k % 4];
        }
        movie.placeObject(p, blended ? 3 : 2);
    }
    movie.showFrame();
    for (int f = 1; f < 24; ++f) {
        for (int k = 0; k < 30; ++k) {
            const std::int32_t x = (k % 6) * 1800 + f * 10;
            const std::int32_t y = (k / 6) * 1600 + (drifting ? f * 7 : 0);
            movie.moveObject(static_cast<std::uint16_t>(k + 1),
                             drifting ? Matrix::translate(x, y)
                                      : Matrix::scaleRotate(1.0, f * 0.05 + k, x, y));
        }
        movie.showFrame();
    }
    return movie.finish();
}

// The corpus movies that take longest to render: bitmap fills, text, many shapes, filters.
constexpr const char* kHeavyCorpusCases[] = {
    "from_shumway__acid__acid-bitmap-fill-2", "from_shumway__acid__acid-text-5",
    "from_shumway__acid__acid-shapes", "visual__filters__drop_shadow_angles",
    "from_shumway__acid__acid-big"};

QString corpusMovie(const char* caseName) {
    const char* dir = std::getenv("VELMORA_CORPUS_DIR");
    const QString base =
        dir ? QString::fromUtf8(dir)
            : benchsupport::sourcePath(QStringLiteral("../shared/swf-corpus/cases"));
    return base + QLatin1Char('/') + QLatin1String(caseName) + QStringLiteral("/test.swf");
}

void registerMovie(const std::string& name, std::vector<std::uint8_t> bytes) {
    const auto shared = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    for (const auto& entry : {std::pair{"LoadToFirstFrame/", &benchsupport::loadToFirstFrame},
                              std::pair{"FramesPerSecond/", &benchsupport::framesPerSecond}}) {
        const auto run = entry.second;
        benchmark::RegisterBenchmark(
            (entry.first + name).c_str(),
            [shared, run](benchmark::State& state) { run(state, *shared); })
            ->Args({550, 400})
            ->Args({1920, 1080})
            ->Unit(benchmark::kMillisecond)
            // Qt's rasterizer hands large fills to its own worker threads, so the painting
            // thread's CPU time understates the cost: measure the wall clock.
            ->UseRealTime();
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    registerMovie("sample", benchsupport::readFile(
                                benchsupport::sourcePath(QStringLiteral("samples/greeting.swf"))));
    registerMovie("busy_sprites", busyMovie());
    registerMovie("drifting_sprites", busyMovie(true));
    registerMovie("blended_sprites", busyMovie(false, true));
    for (const char* caseName : kHeavyCorpusCases) {
        registerMovie(caseName, benchsupport::readFile(corpusMovie(caseName)));
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
