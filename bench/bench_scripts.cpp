// Frames per second of a movie that attaches 500 clips and moves each from its own
// onEnterFrame handler: the script machine, the display tree and the painter together.
#include <string>

#include "RenderBenchSupport.h"
#include "moviemaker/SwfWriter.h"

namespace {

constexpr int kClips = 500;

std::vector<std::uint8_t> movingClipsMovie() {
    moviemaker::MovieHeader header;
    header.version = 8;
    moviemaker::SwfWriter movie(header);
    moviemaker::Shape dot;
    dot.fill1(dot.addFill(moviemaker::FillStyle::solid({200, 40, 40}))).rectangle(0, 0, 200, 200);
    moviemaker::Sprite symbol;
    symbol.place(movie.defineShape(dot), 1);
    symbol.showFrame();
    const uint16_t id = movie.defineSprite(symbol);
    std::vector<uint8_t> exports{
        1, 0, static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8), 'D', 'o', 't', 0};
    movie.rawTag(56, exports);
    // this._x = (this._x + 3) % 550; this._rotation = this._rotation + 5
    moviemaker::Actions step;
    step.push("this").code(0x1C).push("_x");
    step.push("this").code(0x1C).push("_x").code(0x4E).push(3.0).code(0x47);
    step.push(550.0).code(0x3F).code(0x4F);
    step.push("this").code(0x1C).push("_rotation");
    step.push("this").code(0x1C).push("_rotation").code(0x4E).push(5.0).code(0x47).code(0x4F);
    moviemaker::Actions setup;
    for (int i = 0; i < kClips; ++i) {
        const std::string name = "c" + std::to_string(i);
        setup.callMethod("this", "attachMovie", {"Dot", name, std::to_string(i)});
        setup.push(name).code(0x1C).push("_y").push(static_cast<double>(i % 40 * 10)).code(0x4F);
        setup.push(name).code(0x1C).push("onEnterFrame").function(step).code(0x4F);
    }
    movie.doAction(setup);
    movie.showFrame();
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    return movie.finish();
}

void BM_FiveHundredClipsByOnEnterFrame(benchmark::State& state) {
    benchsupport::app();
    const std::vector<std::uint8_t> bytes = movingClipsMovie();
    auto movie = mc::MovieView::fromBytes(bytes);
    const bool paint = state.range(0) != 0;
    // The handlers must really run, or the figure measures nothing.
    const auto first = movie->player().childByName(movie->player().rootObject(), "c499", true);
    const double before = first ? first->matrix.tx : -1.0;
    movie->player().advance();
    if (!first || first->matrix.tx == before) {
        state.SkipWithError("the clips do not move");
        return;
    }
    for (auto _ : state) {
        movie->player().advance();
        if (paint) {
            benchmark::DoNotOptimize(movie->renderFrame(QSize(550, 400), mc::RenderQuality::High));
        }
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FiveHundredClipsByOnEnterFrame)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("painted")
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
