#include "NativeStack.h"

#include <algorithm>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/resource.h>
#endif

namespace scriptbudget {

namespace {

constexpr std::size_t kMostBytes = std::size_t{4} << 20;
constexpr std::size_t kLeastBytes = std::size_t{256} << 10;

// The frame address, not a local's: a sanitizer build may keep locals on a heap-allocated
// fake stack. Not inlined, so it is the caller's frame that is measured, near enough.
[[gnu::noinline]] std::uintptr_t callerFrame() noexcept {
    return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
}

} // namespace

std::size_t defaultScriptStackBytes() {
#if defined(__unix__) || defined(__APPLE__)
    rlimit limit{};
    if (getrlimit(RLIMIT_STACK, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        return std::clamp(static_cast<std::size_t>(limit.rlim_cur) / 2, kLeastBytes, kMostBytes);
    }
    return kMostBytes;
#else
    // A Windows thread gets 1 MB unless its program asks for more.
    return std::size_t{512} << 10;
#endif
}

void NativeStack::markStart() noexcept {
    start_ = callerFrame();
}

bool NativeStack::exhausted() const noexcept {
    // Stacks grow down on every machine the player runs on.
    const std::uintptr_t here = callerFrame();
    return start_ != 0 && here < start_ && start_ - here > limit_;
}

} // namespace scriptbudget
