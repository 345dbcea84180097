#pragma once

#include <QSocketNotifier>
#include <memory>
#include <string>

namespace player {

class Player;

// Turns every signal that would end the program (SIGTERM, SIGINT, SIGHUP, SIGPIPE, SIGUSR1,
// SIGALRM, the real-time ones...) into a call on the window thread, so that a card ended from
// outside runs the same end sequence as "结束(&X)" and leaves no temporary movie; exit() (a
// lost display connection) removes the temporary movie at once. What nothing can catch
// (SIGKILL, a fault) leaves it to the next player's start.
class EndSignals {
  public:
    explicit EndSignals(Player& player);
    ~EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // The card's temporary copy, removed however the program ends from now on.
    void removeWithProgram(const std::string& copy);

  private:
    Player& player_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace player
