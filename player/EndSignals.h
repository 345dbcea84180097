#pragma once

#include <QSocketNotifier>
#include <memory>
#include <string>
#include <thread>

namespace player {

class Player;

// Turns every signal that would end the program (SIGTERM, SIGINT, SIGHUP, SIGPIPE, SIGUSR1,
// SIGALRM, the real-time ones...) into a call on the window thread, so that a card ended from
// outside runs the same end sequence as "结束(&X)" and leaves no temporary movie; exit() (a
// lost display connection) removes the temporary movie at once. What nothing can catch
// (SIGKILL, a fault) leaves it to the next player's start.
//
// Whatever a script is doing, the player ends soon after: a signal stops the running script
// at its next budget check, and a watchdog ends the process after a grace period, removing
// the temporary movie, should the end sequence not have ended it by then.
class EndSignals {
  public:
    explicit EndSignals(Player& player);
    ~EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // The card's temporary copy, removed however the program ends from now on.
    void removeWithProgram(const std::string& copy);

    // The program is ending (the window closed, "结束" chosen): scripts stop, and the
    // watchdog ends the program after the grace period if it is still running then.
    static void endingNow() noexcept;

    // From the end request to the watchdog's end: the end sequence has this long.
    static constexpr int GraceMilliseconds = 1500;

  private:
    Player& player_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::thread watchdog_;
};

} // namespace player
