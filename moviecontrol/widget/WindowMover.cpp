#include "WindowMover.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWindow>

namespace mc {

bool WindowMover::press(QWidget* movie, QEvent* event) {
    if (replaying_ || movie == nullptr) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    pressPosition_ = mouse->position();
    pressGlobal_ = mouse->globalPosition().toPoint();
    decision_.press(pressGlobal_.x(), pressGlobal_.y());
    return true;
}

bool WindowMover::follow(QWidget* movie, QEvent* event) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint global = mouse->globalPosition().toPoint();
    if (event->type() == QEvent::MouseMove) {
        if (moving_ != nullptr && (mouse->buttons() & Qt::LeftButton)) {
            moving_->move(global - grabOffset_);
            return true;
        }
        if (decision_.move(global.x(), global.y()) == ClickOrDrag::Step::StartMove) {
            QWidget* window = movie->window();
            // The window system moves the window itself where it can; elsewhere (offscreen,
            // no window manager) the window follows the mouse until the button comes up.
            if (QWindow* handle = window->windowHandle();
                handle != nullptr && handle->startSystemMove()) {
                decision_.handedOver();
                return true;
            }
            moving_ = window;
            grabOffset_ = pressGlobal_ - window->geometry().topLeft();
            moving_->move(global - grabOffset_);
            return true;
        }
        return decision_.pending();
    }
    if (event->type() != QEvent::MouseButtonRelease || mouse->button() != Qt::LeftButton) {
        return false;
    }
    const bool wasMoving = moving_ != nullptr || decision_.moving();
    moving_ = nullptr;
    if (decision_.release(global.x(), global.y()) == ClickOrDrag::Step::Click) {
        // The press that was held back goes to the movie first; the release follows as is.
        QMouseEvent press(QEvent::MouseButtonPress, pressPosition_, pressGlobal_, Qt::LeftButton,
                          Qt::LeftButton, mouse->modifiers());
        replaying_ = true;
        QCoreApplication::sendEvent(movie, &press);
        replaying_ = false;
        return false;
    }
    return wasMoving;
}

} // namespace mc
