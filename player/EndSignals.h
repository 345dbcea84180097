#pragma once

#include <QSocketNotifier>
#include <memory>

namespace player {

class Player;

// Turns every signal that would end the program (SIGTERM, SIGINT, SIGHUP, SIGPIPE, SIGUSR1,
// SIGALRM, the real-time ones...) into a call on the window thread, so that a card ended from
// outside runs the same end sequence as "结束(&X)" and leaves no temporary movie. A second
// such signal before the window thread answered, a fault, or exit() (the display connection
// lost) removes the temporary movie at once.
class EndSignals {
  public:
    explicit EndSignals(Player& player);
    ~EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

  private:
    Player& player_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace player
