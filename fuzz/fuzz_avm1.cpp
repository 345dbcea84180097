// Runs arbitrary action blocks through the script machine on a small fake stage: the first
// byte picks the movie version, the rest is the block. Each input runs twice (the second
// run sees what the first left behind), then timers and a collection.
#include "FakeStage.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    avm1::Limits limits;
    limits.actionsPerFrame = 100000;
    limits.msPerFrame = 2000;
    limits.maxObjects = 50000;
    limits.maxStringBytes = std::size_t{16} << 20;
    limits.maxArrayElements = 1 << 16;
    avm1test::FakeStage stage(3 + data[0] % 8, limits);
    avm1test::FakeClip* clip = stage.addClip(stage.rootClip, "clip");
    stage.addClip(clip, "inner");
    std::span<const std::uint8_t> block(data + 1, size - 1);
    for (int run = 0; run < 2; ++run) {
        stage.vm.beginFrame();
        stage.vm.runBlock(block, run == 0 ? stage.rootClip : clip);
        stage.clock += 1000;
        stage.vm.tickTimers(stage.clock);
        stage.vm.collectGarbage();
    }
    return 0;
}
