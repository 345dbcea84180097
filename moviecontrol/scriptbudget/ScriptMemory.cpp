#include "scriptbudget/ScriptMemory.h"

#include <atomic>

namespace scriptbudget {
namespace {

// Scripts run on one thread, but a bitmap or string may be freed by a thread that paints or
// decodes, so the count is atomic; relaxed, as only its value matters.
std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> madeBytes{0};

} // namespace

void ScriptMemory::add(std::size_t bytes) noexcept {
    liveBytes.fetch_add(bytes, std::memory_order_relaxed);
    madeBytes.fetch_add(bytes, std::memory_order_relaxed);
}

void ScriptMemory::remove(std::size_t bytes) noexcept {
    liveBytes.fetch_sub(bytes, std::memory_order_relaxed);
}

std::size_t ScriptMemory::live() noexcept {
    return liveBytes.load(std::memory_order_relaxed);
}

} // namespace scriptbudget

namespace scriptbudget {

std::size_t ScriptMemory::made() noexcept {
    return madeBytes.load(std::memory_order_relaxed);
}

} // namespace scriptbudget
