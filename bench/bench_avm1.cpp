// The script machine: a tight loop of arithmetic and member access, and 500 clips whose
// onEnterFrame handlers move them, called the way the stage calls them each frame.
#include "FakeStage.h"

#include "swf/Actions.h"
#include "testsupport/Actions.h"

#include <benchmark/benchmark.h>

namespace {

namespace op = swf::op;
using swftest::Actions;

// o = {x: 0}; i = 0; while (i < iterations) { o.x = o.x + i * 2; i++; }
std::vector<std::uint8_t> loopScript(double iterations) {
    Actions a;
    a.push("o").push("x").push(0.0).push(1.0).op(op::InitObject).op(op::SetVariable);
    a.push("i").push(0.0).op(op::SetVariable);
    Actions body;
    body.push("o").op(op::GetVariable).push("x");
    body.push("o").op(op::GetVariable).push("x").op(op::GetMember);
    body.push("i").op(op::GetVariable).push(2.0).op(op::Multiply).op(op::Add2);
    body.op(op::SetMember);
    body.push("i").push("i").op(op::GetVariable).op(op::Increment).op(op::SetVariable);
    Actions test;
    test.push("i").op(op::GetVariable).push(iterations).op(op::Less2).op(op::Not);
    constexpr int JumpSize = 5;
    Actions loop = test;
    loop.ifTrue(static_cast<int16_t>(body.size() + JumpSize));
    std::vector<std::uint8_t> bodyBytes = body.bytes();
    bodyBytes.pop_back();
    loop.raw(bodyBytes);
    loop.jump(static_cast<int16_t>(-static_cast<int>(loop.size() + JumpSize)));
    std::vector<std::uint8_t> loopBytes = loop.bytes();
    loopBytes.pop_back();
    a.raw(loopBytes);
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

void BM_FiveHundredEnterFrameHandlers(benchmark::State& state) {
    avm1test::FakeStage stage(7);
    // this.onEnterFrame = function () { this._x = this._x + 1; this.t = this.t + 1; }
    Actions handler;
    handler.push("this").op(op::GetVariable).push("_x");
    handler.push("this").op(op::GetVariable).push("_x").op(op::GetMember);
    handler.push(1.0).op(op::Add2).op(op::SetMember);
    handler.push("this").op(op::GetVariable).push("t");
    handler.push("this").op(op::GetVariable).push("t").op(op::GetMember);
    handler.push(1.0).op(op::Add2).op(op::SetMember);
    Actions install;
    install.push("this").op(op::GetVariable).push("onEnterFrame");
    install.defineFunction("", {}, handler).op(op::SetMember);
    install.push("t").push(0.0).op(op::SetVariable);
    std::vector<avm1test::FakeClip*> clips;
    for (int i = 0; i < 500; ++i) {
        clips.push_back(stage.addClip(stage.rootClip, "c" + std::to_string(i)));
        stage.run(install.bytes(), clips.back());
    }
    avm1::Str name = stage.vm.str("onEnterFrame");
    for (auto _ : state) {
        stage.vm.beginFrame();
        for (avm1test::FakeClip* clip : clips)
            stage.vm.call(stage.vm.get(clip, name), avm1::Value(static_cast<avm1::Object*>(clip)),
                          {});
        stage.vm.collectGarbage();
    }
    state.counters["frames/s"] =
        benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_FiveHundredEnterFrameHandlers)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
