#include "scriptbudget/EndRequest.h"

#include <atomic>

namespace scriptbudget {
namespace {

std::atomic<bool> ending{false};
// A signal handler may touch an atomic only when it needs no lock.
static_assert(std::atomic<bool>::is_always_lock_free);

} // namespace

void requestEnd() noexcept {
    ending.store(true, std::memory_order_relaxed);
}

bool endRequested() noexcept {
    return ending.load(std::memory_order_relaxed);
}

void clearEndRequest() noexcept {
    ending.store(false, std::memory_order_relaxed);
}

} // namespace scriptbudget
