#include "AfterFirstFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace player {

AfterFirstFrame::AfterFirstFrame(QWidget& watched, std::vector<std::function<void()>> work)
    : work_(std::move(work)) {
    watched.installEventFilter(this);
}

bool AfterFirstFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // Queued: the paint that is under way, and the flush of the window that follows it,
        // come first.
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
