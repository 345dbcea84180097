#include "scriptbudget/ScriptBudget.h"

#include "scriptbudget/EndRequest.h"
#include "scriptbudget/ScriptMemory.h"

#include <algorithm>
#include <ctime>
#include <unistd.h>

namespace scriptbudget {

std::size_t defaultMemoryBytes() {
    constexpr std::size_t Ceiling = std::size_t{512} << 20;
    constexpr std::size_t Floor = std::size_t{64} << 20;
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) {
        return Ceiling;
    }
    const std::size_t quarter =
        static_cast<std::size_t>(pages) / 4 * static_cast<std::size_t>(pageSize);
    return std::clamp(quarter, Floor, Ceiling);
}

std::chrono::nanoseconds threadRunTime() noexcept {
#if defined(CLOCK_THREAD_CPUTIME_ID)
    timespec now{};
    if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) == 0) {
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    }
#endif
    return std::chrono::steady_clock::now().time_since_epoch();
}

FrameBudget::FrameBudget(BudgetLimits limits)
    : limits_(limits), frameStart_(std::chrono::steady_clock::now()),
      frameStartRun_(threadRunTime()) {}

void FrameBudget::beginFrame() {
    frameStart_ = std::chrono::steady_clock::now();
    frameStartRun_ = threadRunTime();
}

Overrun FrameBudget::check(std::size_t machineBytes) const {
    if (endRequested()) {
        return Overrun::Ending;
    }
    if (!allows(machineBytes, 0)) {
        return Overrun::Memory;
    }
    if (threadRunTime() - frameStartRun_ > limits_.perFrame ||
        std::chrono::steady_clock::now() - frameStart_ >
            limits_.perFrame * std::max(limits_.wallCeilingFactor, 1)) {
        return Overrun::Time;
    }
    return Overrun::None;
}

bool FrameBudget::allows(std::size_t machineBytes, std::size_t moreBytes) const {
    const std::size_t held = ScriptMemory::live() + machineBytes;
    return held <= limits_.memoryBytes && moreBytes <= limits_.memoryBytes - held;
}

} // namespace scriptbudget
