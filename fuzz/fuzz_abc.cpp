// Reads an arbitrary ABC block, then loads it into the machine and runs its entry script on
// a fake host, within a small time budget: nothing may crash, hang or grow without bound.
#include "FakeHost.h"
#include "avm2/AbcReader.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    try {
        (void)avm2::readAbc(bytes);
    } catch (const avm2::AbcError&) {
        return 0;
    }
    avm2test::FakeHost host;
    avm2::Limits limits;
    limits.budget.perFrame = std::chrono::milliseconds(200);
    limits.maxObjects = 100000;
    avm2::Machine vm(host, limits);
    vm.beginFrame();
    try {
        vm.loadAbc(bytes, false);
    } catch (const avm2::ScriptAbort&) {
    }
    return 0;
}
