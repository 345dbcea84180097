// The script machine: a tight loop of arithmetic and member access. (Clips moved by
// onEnterFrame are measured with the stage, in bench_scripts.)
#include "FakeStage.h"

#include "moviemaker/ActionWriter.h"
#include "swf/ActionCodes.h"

#include <benchmark/benchmark.h>

namespace {

namespace op = swf::op;
using moviemaker::Actions;

// o = {x: 0}; i = 0; while (i < iterations) { o.x = o.x + i * 2; i++; }
std::vector<std::uint8_t> loopScript(double iterations) {
    Actions a;
    a.push("o").push("x").push(0.0).push(1.0).code(op::InitObject).code(op::SetVariable);
    a.push("i").push(0.0).code(op::SetVariable);
    Actions body;
    body.push("o").code(op::GetVariable).push("x");
    body.push("o").code(op::GetVariable).push("x").code(op::GetMember);
    body.push("i").code(op::GetVariable).push(2.0).code(op::Multiply).code(op::Add2);
    body.code(op::SetMember);
    body.push("i").push("i").code(op::GetVariable).code(op::Increment).code(op::SetVariable);
    Actions test;
    test.push("i").code(op::GetVariable).push(iterations).code(op::Less2).code(op::Not);
    constexpr int JumpSize = 5;
    Actions loop = test;
    loop.ifTrue(static_cast<int16_t>(body.size() + JumpSize));
    loop.raw(body.body());
    loop.jump(static_cast<int16_t>(-static_cast<int>(loop.size() + JumpSize)));
    a.raw(loop.body());
    return a.bytes();
}

void BM_ArithmeticAndMemberLoop(benchmark::State& state) {
    const double iterations = 1e6;
    std::vector<std::uint8_t> script = loopScript(iterations);
    avm1::Limits limits;
    limits.actionsPerFrame = 1'000'000'000;
    limits.msPerFrame = 60000;
    for (auto _ : state) {
        avm1test::FakeStage stage(7, limits);
        stage.run(script);
        benchmark::DoNotOptimize(stage.vm.get(stage.rootClip, "i"));
    }
    state.counters["loop iterations/s"] =
        benchmark::Counter(iterations, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ArithmeticAndMemberLoop)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
