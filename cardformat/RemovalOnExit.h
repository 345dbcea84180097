#pragma once

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Files that must not outlive the program: a half-written replacement, the temporary copy of
// a card's movie. They are removed when the program is ended by a signal (the handler only
// calls unlink, which is safe there) or leaves through exit().
namespace cardformat {

// Signals that end a program by default and can be caught: the ones sent from outside (kill,
// Ctrl-C, logout, a closed pipe, timers, limits).
inline constexpr int EndingSignals[] = {SIGTERM, SIGINT,  SIGHUP,  SIGQUIT,   SIGPIPE,
                                        SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,
                                        SIGXCPU, SIGXFSZ, SIGIO,   SIGPWR,    SIGSTKFLT};
// The same with the real-time signals, which end a program by default too (the C library
// keeps the first two for itself): bit n stands for signal n.
inline constexpr int LastSignal = 64;
inline constexpr std::uint64_t EndingSignalMask = [] {
    std::uint64_t mask = 0;
    for (const int signal : EndingSignals) {
        mask |= std::uint64_t{1} << signal;
    }
    for (int signal = 34; signal < LastSignal; ++signal) {
        mask |= std::uint64_t{1} << signal;
    }
    return mask;
}();

class RemovalOnExit {
  public:
    // At most this many files are watched at once; more are simply not watched.
    static constexpr std::size_t Slots = 8;

    // Watches `path` until release(); a token of 0 means it is not watched.
    static std::size_t watch(const std::string& path);
    static void release(std::size_t token);

    // Removes every watched file now. Safe inside a signal handler.
    static void removeAll() noexcept;

    // On each of `caught`: remove the watched files, then let the signal's default action
    // end the program as it would have. Watched files are removed by exit() too.
    static void removeOnSignals(std::span<const int> caught);
};

// A watched path for the lifetime of a scope.
class WatchedPath {
  public:
    explicit WatchedPath(const std::string& path) : token_(RemovalOnExit::watch(path)) {}
    ~WatchedPath() { RemovalOnExit::release(token_); }
    WatchedPath(const WatchedPath&) = delete;
    WatchedPath& operator=(const WatchedPath&) = delete;

  private:
    std::size_t token_;
};

} // namespace cardformat
