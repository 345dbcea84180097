// The ActionScript 3 machine: a tight loop of int arithmetic and property access (beside
// the ActionScript 1/2 machine's, in bench_avm1), and a movie whose document class moves
// 500 sprites from their enterFrame listeners: the machine, the display tree and the
// painter together (beside bench_scripts' 500 clips moved by onEnterFrame).
#include <string>

#include "AbcBuilder.h"
#include "FakeHost.h"
#include "RenderBenchSupport.h"
#include "avm2/Machine.h"
#include "moviemaker/SwfWriter.h"

#include <benchmark/benchmark.h>

namespace {

using avm2test::AbcBuilder;
using avm2test::BodySpec;
using avm2test::Bytes;
using avm2test::call;
using avm2test::ClassSpec;

void s24(Bytes& code, std::int32_t offset) {
    const auto bits = static_cast<std::uint32_t>(offset);
    code.insert(code.end(), {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                             static_cast<std::uint8_t>(bits >> 16)});
}

std::uint32_t intConstant(AbcBuilder& abc, std::uint32_t value) {
    Bytes encoded;
    avm2test::u30(encoded, value);
    abc.rawInts.push_back(encoded);
    return static_cast<std::uint32_t>(abc.rawInts.size());
}

// for (var i:int = 0; i < bound; i++) { body } with i in register `counter`: a jump to the
// test, the body behind a label, then the test branching back.
void countedLoop(Bytes& code, std::uint8_t counter, const Bytes& body, const Bytes& bound) {
    code.insert(code.end(), {0x24, 0x00, 0x73});               // pushbyte 0, convert_i
    code.push_back(static_cast<std::uint8_t>(0xD4 + counter)); // setlocal
    Bytes loop{0x09};                                          // label
    loop.insert(loop.end(), body.begin(), body.end());
    loop.insert(loop.end(), {0xC2, counter}); // inclocal_i
    code.push_back(0x10);                     // jump to the test
    s24(code, static_cast<std::int32_t>(loop.size()));
    code.insert(code.end(), loop.begin(), loop.end());
    code.push_back(static_cast<std::uint8_t>(0xD0 + counter)); // getlocal
    code.insert(code.end(), bound.begin(), bound.end());
    code.push_back(0x15); // iflt back to the label
    const auto back = static_cast<std::int32_t>(loop.size() + 1 + bound.size() + 4);
    s24(code, -back);
}

// var o = {x: 0}; for (var i:int = 0; i < iterations; i++) o.x = o.x + i * 2; trace(o.x);
Bytes loopBlock(std::uint32_t iterations) {
    AbcBuilder abc;
    const auto publicNs = abc.package(abc.string(""));
    const auto xString = abc.string("x");
    const auto x = abc.qname(publicNs, xString);
    const auto trace = abc.qname(publicNs, abc.string("trace"));
    const auto bound = intConstant(abc, iterations);
    const auto init = abc.method();
    abc.scripts.push_back({init, {}});

    Bytes code{0xD0, 0x30};
    avm2test::name(code, 0x2C, xString);
    code.insert(code.end(), {0x24, 0x00});
    avm2test::name(code, 0x55, 1); // newobject {x: 0}
    code.push_back(0xD5);
    Bytes body{0xD1, 0xD1}; // o, o.x
    avm2test::name(body, 0x66, x);
    body.insert(body.end(), {0xD2, 0x24, 0x02, 0xA2, 0xA0}); // i * 2, add
    avm2test::name(body, 0x61, x);
    Bytes limit;
    avm2test::name(limit, 0x2D, bound); // pushint
    countedLoop(code, 2, body, limit);
    avm2test::name(code, 0x5D, trace);
    code.push_back(0xD1);
    avm2test::name(code, 0x66, x);
    call(code, 0x4F, trace, 1);
    code.push_back(0x47);
    abc.bodies.push_back(BodySpec{init, 6, 3, 0, 1, code, {}});
    return abc.build();
}

void BM_As3IntArithmeticAndPropertyLoop(benchmark::State& state) {
    constexpr std::uint32_t kIterations = 1'000'000;
    const Bytes block = loopBlock(kIterations);
    avm2::Limits limits;
    limits.budget.perFrame = std::chrono::minutes(1);
    for (auto _ : state) {
        avm2test::FakeHost host;
        avm2::Machine vm(host, limits);
        vm.beginFrame();
        vm.loadAbc(block, false);
        // The sum of i * 2 below a million: the loop really ran, every round.
        if (host.lines != std::vector<std::string>{"999999000000"}) {
            state.SkipWithError("the loop did not run to its end");
            return;
        }
    }
    state.counters["loop iterations/s"] =
        benchmark::Counter(kIterations, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_As3IntArithmeticAndPropertyLoop)->Unit(benchmark::kMillisecond);

constexpr int kSprites = 500;

// The document class Main extends MovieClip: its constructor adds 500 squares, each with
// an enterFrame listener that moves it: x = (x + 3) % 550; rotation += 5.
Bytes spritesBlock() {
    AbcBuilder abc;
    const auto publicNs = abc.package(abc.string(""));
    const auto displayNs = abc.package(abc.string("flash.display"));
    const auto main = abc.qname(publicNs, abc.string("Main"));
    const auto movieClip = abc.qname(displayNs, abc.string("MovieClip"));
    const auto sprite = abc.qname(displayNs, abc.string("Sprite"));
    const auto pub = [&](const char* name) { return abc.qname(publicNs, abc.string(name)); };
    const auto graphics = pub("graphics");
    const auto beginFill = pub("beginFill");
    const auto drawRect = pub("drawRect");
    const auto y = pub("y");
    const auto x = pub("x");
    const auto rotation = pub("rotation");
    const auto target = pub("target");
    const auto listen = pub("addEventListener");
    const auto addChild = pub("addChild");
    const auto enterFrame = abc.string("enterFrame");
    const auto red = intConstant(abc, 0xC82828);

    const auto iinit = abc.method();
    const auto cinit = abc.method();
    const auto move = abc.method(1);
    const auto init = abc.method();
    abc.classes.push_back(ClassSpec{main, movieClip, iinit, cinit, {}, {}});
    abc.scripts.push_back({init, {{main, 4, 1, 0, 0}}});

    Bytes step{0xD0, 0x30, 0xD1};
    avm2test::name(step, 0x66, target);
    step.insert(step.end(), {0xD6, 0xD2, 0xD2});
    avm2test::name(step, 0x66, x);
    step.insert(step.end(), {0x24, 0x03, 0xA0, 0x25, 0xA6, 0x04, 0xA4}); // + 3, % 550
    avm2test::name(step, 0x61, x);
    step.insert(step.end(), {0xD2, 0xD2});
    avm2test::name(step, 0x66, rotation);
    step.insert(step.end(), {0x24, 0x05, 0xA0});
    avm2test::name(step, 0x61, rotation);
    step.push_back(0x47);
    abc.bodies.push_back(BodySpec{move, 4, 3, 0, 1, step, {}});

    Bytes body;
    avm2test::name(body, 0x5D, sprite);
    call(body, 0x4A, sprite, 0);
    body.push_back(0xD6); // setlocal2: the square
    body.push_back(0xD2);
    avm2test::name(body, 0x66, graphics);
    avm2test::name(body, 0x2D, red);
    call(body, 0x4F, beginFill, 1);
    body.push_back(0xD2);
    avm2test::name(body, 0x66, graphics);
    body.insert(body.end(), {0x24, 0x00, 0x24, 0x00, 0x24, 0x0A, 0x24, 0x0A});
    call(body, 0x4F, drawRect, 4);
    body.insert(body.end(), {0xD2, 0xD1, 0x24, 0x28, 0xA4, 0x24, 0x0A, 0xA2}); // i % 40 * 10
    avm2test::name(body, 0x61, y);
    body.push_back(0xD2);
    avm2test::name(body, 0x2C, enterFrame);
    avm2test::name(body, 0x40, move);
    call(body, 0x4F, listen, 2);
    body.insert(body.end(), {0xD0, 0xD2});
    call(body, 0x4F, addChild, 1);
    Bytes code{0xD0, 0x30, 0xD0, 0x49, 0x00};
    countedLoop(code, 1, body, {0x25, 0xF4, 0x03}); // pushshort 500
    code.push_back(0x47);
    abc.bodies.push_back(BodySpec{iinit, 8, 3, 0, 2, code, {}});
    abc.bodies.push_back(BodySpec{cinit, 1, 1, 0, 1, {0x47}, {}});

    Bytes entry{0xD0, 0x30, 0x65, 0x00};
    avm2test::name(entry, 0x60, movieClip);
    avm2test::name(entry, 0x58, 0); // newclass Main
    avm2test::name(entry, 0x68, main);
    entry.push_back(0x47);
    abc.bodies.push_back(BodySpec{init, 4, 1, 0, 2, entry, {}});
    return abc.build();
}

std::vector<std::uint8_t> spritesMovie() {
    moviemaker::MovieHeader header;
    header.version = 10;
    moviemaker::SwfWriter movie(header);
    const std::uint8_t attributes[] = {0x08, 0, 0, 0};
    movie.rawTag(69, attributes); // FileAttributes: ActionScript 3
    std::vector<std::uint8_t> doAbc{0, 0, 0, 0, 0};
    const Bytes block = spritesBlock();
    doAbc.insert(doAbc.end(), block.begin(), block.end());
    movie.rawTag(82, doAbc);
    const std::vector<std::uint8_t> documentClass{1, 0, 0, 0, 'M', 'a', 'i', 'n', 0};
    movie.rawTag(76, documentClass); // SymbolClass: the root is a Main
    movie.showFrame();
    return movie.finish();
}

void BM_As3FiveHundredSpritesByEnterFrame(benchmark::State& state) {
    benchsupport::app();
    const std::vector<std::uint8_t> bytes = spritesMovie();
    auto movie = mc::MovieView::fromBytes(bytes);
    const bool paint = state.range(0) != 0;
    // The listeners must really run, or the figure measures nothing.
    const std::shared_ptr<mc::Clip>& root = movie->player().rootObject().clip;
    if (!root || root->displayList.size() != kSprites) {
        state.SkipWithError("the sprites were not added");
        return;
    }
    const mc::DisplayObject& last = *root->displayList.rbegin()->second;
    const double before = last.matrix.tx;
    movie->player().advance();
    if (last.matrix.tx == before) {
        state.SkipWithError("the sprites do not move");
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
BENCHMARK(BM_As3FiveHundredSpritesByEnterFrame)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("painted")
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
