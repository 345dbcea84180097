#pragma once

#include <atomic>
#include <cstdint>

namespace mc {

// A number never handed out before in this process. Content that scripts change (drawings,
// edit fields) takes a fresh one at every change, so that a renderer's cache keyed by the
// content's address can never mistake new content at a reused address for the old.
inline std::uint64_t freshGeneration() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

} // namespace mc
