#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

// Files that must not outlive the program: a half-written replacement, the temporary copy of
// a card's movie. They are removed when the program is ended by a signal (the handler only
// calls unlink, which is safe there) or leaves through exit().
namespace cardformat {

// Signals that end a program by default and can be caught: the ones sent from outside (kill,
// Ctrl-C, logout, a closed pipe, timers, limits) and the real-time ones.
std::initializer_list<int> endingSignals();
// Signals of a program fault; the program cannot go on, but its files can still be removed.
std::initializer_list<int> faultSignals();

class RemovalOnExit {
  public:
    // At most this many files are watched at once; more are simply not watched.
    static constexpr std::size_t Slots = 8;

    // Watches `path` until release(); a token of 0 means it is not watched.
    static std::size_t watch(const std::string& path);
    static void release(std::size_t token);

    // Removes every watched file now. Safe inside a signal handler.
    static void removeAll() noexcept;

    // On each of `signals`: remove the watched files, then let the signal's default action end
    // the program as it would have. Also removes them when the program calls exit().
    static void removeOnSignals(std::initializer_list<int> signals);
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
