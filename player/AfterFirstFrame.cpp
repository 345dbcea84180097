#include "AfterFirstFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace player {

AfterFirstFrame::AfterFirstFrame(const std::vector<QWidget*>& watched,
                                 std::vector<std::function<void()>> work)
    : watched_(watched), work_(std::move(work)) {
    for (QWidget* widget : watched_) {
        widget->installEventFilter(this);
    }
}

bool AfterFirstFrame::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::Paint && !queued_) {
        queued_ = true;
        for (QWidget* widget : watched_) {
            widget->removeEventFilter(this);
        }
        // Queued: the paint that is under way, the window's children and the flush of the
        // window that follow it come first.
        QTimer::singleShot(0, this, [this] { run(); });
    }
    return false;
}

void AfterFirstFrame::run() {
    done_ = true;
    for (const std::function<void()>& step : work_) {
        step();
    }
    work_.clear();
}

} // namespace player
