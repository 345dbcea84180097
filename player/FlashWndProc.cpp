#include "FlashWndProc.h"

#include "FlashInput.h"
#include "Player.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>

namespace player {
namespace {

FlashInput inputOf(QEvent* event) {
    FlashInput input;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            input.message = FlashMessage::RightButtonDown;
        } else if (mouse->button() == Qt::LeftButton) {
            input.message = FlashMessage::LeftButtonDown;
        }
        break;
    }
    case QEvent::ContextMenu:
        input.message = FlashMessage::ContextMenuRequest;
        input.requestFromMouse =
            static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse;
        break;
    case QEvent::Wheel: {
        // A sideways tilt is another message than the wheel's turn; it passes on.
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta != 0) {
            input.message = FlashMessage::VerticalWheel;
            input.wheelDelta = delta;
        }
        break;
    }
    default:
        break;
    }
    return input;
}

} // namespace

std::string GetWindowClass(const QObject* window) {
    return window != nullptr ? std::string(window->metaObject()->className()) : std::string();
}

FlashWindowHook::FlashWindowHook(Player& player, QObject* parent)
    : QObject(parent), player_(player) {}

bool FlashWindowHook::FindFlashWindow(QWidget* form) {
    // Depth first, as the descendants are enumerated; widget trees are a few levels deep.
    for (QObject* child : form->children()) {
        auto* window = qobject_cast<QWidget*>(child);
        if (window == nullptr) {
            continue;
        }
        if (isFlashWindowClass(GetWindowClass(window))) {
            HookFlashWindow(window);
            return true;
        }
        if (FindFlashWindow(window)) {
            return true;
        }
    }
    return false;
}

void FlashWindowHook::HookFlashWindow(QWidget* window) {
    if (flashHwnd_ != nullptr) {
        return;
    }
    flashHwnd_ = window;
    window->installEventFilter(this);
}

void FlashWindowHook::UnhookFlashWindow() {
    if (flashHwnd_ != nullptr) {
        flashHwnd_->removeEventFilter(this);
    }
    moving_ = nullptr;
}

void FlashWindowHook::startMove(QWidget* window, QPoint globalPress) {
    // The window system moves the window itself where it can; elsewhere (offscreen, no
    // window manager) the window follows the mouse until the button is released.
    if (QWindow* handle = window->windowHandle(); handle != nullptr && handle->startSystemMove()) {
        return;
    }
    moving_ = window;
    grabOffset_ = globalPress - window->geometry().topLeft();
}

bool FlashWindowHook::followMove(QEvent* event) {
    if (moving_ == nullptr) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton)) {
        moving_->move(mouse->globalPosition().toPoint() - grabOffset_);
    } else if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
        moving_ = nullptr;
    }
    return false;
}

bool FlashWindowHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched != flashHwnd_) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonRelease) {
        return followMove(event);
    }
    switch (player_.FlashWndProc(inputOf(event))) {
    case FlashReaction::MoveWindowToo:
        startMove(flashHwnd_->window(),
                  static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return false;
    case FlashReaction::PassOn:
        return false;
    case FlashReaction::ShowMenu:
    case FlashReaction::ZoomTowardsUser:
    case FlashReaction::ZoomAwayFromUser:
    case FlashReaction::Swallow:
        break;
    }
    return true;
}

} // namespace player
