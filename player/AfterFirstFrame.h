#pragma once

#include <QObject>
#include <functional>
#include <vector>

class QWidget;

namespace player {

// Work a card needs only once its first frame is on the screen. It runs, in the order given
// and once, as soon as the first paint of any of the watched widgets has run its course: a
// card's start waits for none of it, and everything of it still happens while the card plays.
// A window whose first exposed part lies wholly within its movie paints only the movie, so
// both are watched.
class AfterFirstFrame : public QObject {
  public:
    AfterFirstFrame(const std::vector<QWidget*>& watched, std::vector<std::function<void()>> work);

    // Whether the work has run.
    bool done() const { return done_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void run();

    std::vector<QWidget*> watched_;
    std::vector<std::function<void()>> work_;
    bool queued_ = false;
    bool done_ = false;
};

} // namespace player
