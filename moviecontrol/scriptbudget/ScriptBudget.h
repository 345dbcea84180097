#pragma once
// The budget every script machine checks: every few thousand actions and inside every
// built-in that can do unbounded work. Past it the running script is abandoned, as Flash
// abandons a script "causing the player to run slowly", and the movie plays on.

#include <chrono>
#include <cstddef>

namespace scriptbudget {

// The memory budget for this machine: 512 MB, or a quarter of the physical memory when
// that is less (never below 64 MB).
std::size_t defaultMemoryBytes();

struct BudgetLimits {
    // Processor time the scripts of one frame may take. The window handles its close box
    // and the menu only between scripts, so this is how long the player may be deaf to
    // "结束"; 2 s keeps the end within what a person waits for, and is still far beyond
    // what any card's script needs in a frame (Flash's own limit, 15 s, is a dialog, not an
    // end). Counted in the time the scripts' thread ran, not on the wall clock: on a
    // machine busy with other work a heavy start-up script still finishes, so the movie
    // looks the same however loaded the machine is; `wallCeilingFactor` bounds the wait.
    std::chrono::milliseconds perFrame{2000};
    // Bytes all scripts may hold: string texts, bitmap pixels, objects and properties.
    // A greeting card's scripts use a few megabytes; 512 MB holds fifteen stage-sized
    // 2880 x 2880 bitmaps, and a quarter of the memory leaves the rest of the machine alone.
    std::size_t memoryBytes = defaultMemoryBytes();
    // Wall-clock time of a frame's scripts, in `perFrame`s, past which they stop even if
    // the machine gave them less processor time than that: a fully loaded machine still
    // answers "结束" within seconds.
    int wallCeilingFactor = 4;
};

enum class Overrun {
    None,
    Ending, // the player is ending
    Memory, // the scripts hold more than the memory budget
    Time,   // the frame's scripts ran past their time
};

class FrameBudget {
  public:
    explicit FrameBudget(BudgetLimits limits = {});

    // Starts a frame's time.
    void beginFrame();
    // What stops the script now, if anything. `machineBytes` is what the machine holds
    // beyond ScriptMemory (its objects and properties).
    Overrun check(std::size_t machineBytes) const;
    // Whether holding `moreBytes` more would pass the memory budget: built-ins ask before
    // they make a large result.
    bool allows(std::size_t machineBytes, std::size_t moreBytes) const;
    const BudgetLimits& limits() const { return limits_; }

  private:
    BudgetLimits limits_;
    std::chrono::steady_clock::time_point frameStart_;
    std::chrono::nanoseconds frameStartRun_{};
};

// Processor time the calling thread has run, by the system's thread clock; where there is
// none, the steady clock stands in for it.
std::chrono::nanoseconds threadRunTime() noexcept;

} // namespace scriptbudget
