#include "RemovalOnExit.h"

#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace cardformat {
namespace {

// A slot is claimed with a compare-and-swap, filled, and only then marked ready; a handler
// looks only at ready slots, so it never sees a half-written path.
enum SlotState : int { Free = 0, Filling = 1, Ready = 2 };

struct Slot {
    std::atomic<int> state{Free};
    std::array<char, PATH_MAX> path{};
};

std::array<Slot, RemovalOnExit::Slots> slots;

extern "C" void onSignal(int signal) {
    RemovalOnExit::removeAll();
    // The handler was reset on entry (SA_RESETHAND): sent again, the signal ends the program
    // as it would have without us, once this handler returns.
    ::kill(::getpid(), signal);
}

} // namespace

std::size_t RemovalOnExit::watch(const std::string& path) {
    if (path.empty() || path.size() >= PATH_MAX) {
        return 0;
    }
    for (std::size_t i = 0; i < slots.size(); ++i) {
        int expected = Free;
        if (slots[i].state.compare_exchange_strong(expected, Filling)) {
            std::memcpy(slots[i].path.data(), path.c_str(), path.size() + 1);
            slots[i].state.store(Ready);
            return i + 1;
        }
    }
    return 0;
}

void RemovalOnExit::release(std::size_t token) {
    if (token != 0 && token <= slots.size()) {
        slots[token - 1].state.store(Free);
    }
}

void RemovalOnExit::removeAll() noexcept {
    for (Slot& slot : slots) {
        if (slot.state.load() == Ready) {
            ::unlink(slot.path.data());
        }
    }
}

void RemovalOnExit::removeOnSignals(std::span<const int> caught) {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (const int signal : caught) {
        ::sigaction(signal, &action, nullptr);
    }
    // Destroyed by exit(): after main, or when a library gives up on its display.
    struct AtExit {
        AtExit() = default;
        AtExit(const AtExit&) = delete;
        AtExit& operator=(const AtExit&) = delete;
        ~AtExit() { RemovalOnExit::removeAll(); }
    };
    [[maybe_unused]] static const AtExit atExit;
}

} // namespace cardformat
