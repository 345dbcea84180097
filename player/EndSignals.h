#pragma once

#include <QSocketNotifier>
#include <memory>

namespace player {

class Player;

// Turns SIGTERM, SIGINT and SIGHUP into a call on the window thread, so that a card ended
// from outside runs the same end sequence as "结束(&X)" and leaves no temporary movie.
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
