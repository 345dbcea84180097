#include "RemovalOnExit.h"

#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstdlib>
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
std::atomic<bool> atExitInstalled{false};

extern "C" void removeAtExit() {
    RemovalOnExit::removeAll();
}

extern "C" void removeThenEnd(int signal) {
    RemovalOnExit::removeAll();
    // The default action ends the program as the signal would have without us.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
    ::raise(signal);
}

} // namespace

std::initializer_list<int> endingSignals() {
    static const std::initializer_list<int> list = {
        SIGTERM,   SIGINT,    SIGHUP,  SIGQUIT, SIGPIPE, SIGUSR1, SIGUSR2,
        SIGALRM,   SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGIO,   SIGPWR,
#ifdef SIGSTKFLT
        SIGSTKFLT,
#endif
    };
    return list;
}

#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_SANITIZED 1
#endif
#endif

std::initializer_list<int> faultSignals() {
#ifdef VELMORA_SANITIZED
    // The sanitizers report faults from their own handlers; taking those signals over would
    // hide the report.
    return {};
#else
    static const std::initializer_list<int> list = {SIGSEGV, SIGBUS,  SIGFPE, SIGILL,
                                                    SIGABRT, SIGTRAP, SIGSYS};
    return list;
#endif
}

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
    if (token == 0 || token > slots.size()) {
        return;
    }
    slots[token - 1].state.store(Free);
}

void RemovalOnExit::removeAll() noexcept {
    for (Slot& slot : slots) {
        if (slot.state.load() == Ready) {
            ::unlink(slot.path.data());
        }
    }
}

void RemovalOnExit::removeOnSignals(std::initializer_list<int> signals) {
    struct sigaction action {};
    action.sa_handler = removeThenEnd;
    sigemptyset(&action.sa_mask);
    for (const int signal : signals) {
        sigaddset(&action.sa_mask, signal);
    }
    action.sa_flags = SA_RESTART;
    for (const int signal : signals) {
        ::sigaction(signal, &action, nullptr);
    }
    if (!atExitInstalled.exchange(true)) {
        std::atexit(removeAtExit);
    }
}

} // namespace cardformat
