#include "FlashWndProc.h"

#include "FlashInput.h"
#include "Player.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

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

PlayerKey playerKeyOf(const QKeyEvent& event) {
    PlayerKey key;
    switch (event.key()) {
    case Qt::Key_Escape:
        key.name = PlayerKeyName::Escape;
        break;
    case Qt::Key_F11:
        key.name = PlayerKeyName::F11;
        break;
    case Qt::Key_M:
        key.name = PlayerKeyName::M;
        break;
    case Qt::Key_P:
        key.name = PlayerKeyName::P;
        break;
    case Qt::Key_Q:
        key.name = PlayerKeyName::Q;
        break;
    case Qt::Key_W:
        key.name = PlayerKeyName::W;
        break;
    case Qt::Key_Left:
        key.name = PlayerKeyName::Left;
        break;
    case Qt::Key_Right:
        key.name = PlayerKeyName::Right;
        break;
    default:
        break;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    key.control = (modifiers & Qt::ControlModifier) != 0;
    key.otherModifiers = (modifiers & ~Qt::ControlModifier) != 0;
    return key;
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
}

bool FlashWindowHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched != flashHwnd_) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonRelease) {
        return mover_.follow(flashHwnd_, event);
    }
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const PlayerKey key = playerKeyOf(*static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::KeyRelease) {
            // The release of a key the player took does not reach the movie either.
            return keyCommandOf(key, true) != KeyCommand::None;
        }
        const KeyCommand command = player_.keyPressed(key);
        if (command == KeyCommand::End && end_) {
            end_();
        }
        return command != KeyCommand::None;
    }
    switch (player_.FlashWndProc(inputOf(event))) {
    case FlashReaction::MoveWindowToo:
        return mover_.press(flashHwnd_, event);
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
