#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "WindowMover.h"

namespace player {

class Player;

// The class name a widget is found by; the playback surface answers "mc::MovieWidget".
std::string GetWindowClass(const QObject* window);

// Takes over the movie window's input with an event filter, as the original system put its
// own window procedure in front of the Flash control's: the player's menu on a right
// press, a window move on a left drag (a click still reaches the movie), the zoom on the
// wheel; all else passes on.
class FlashWindowHook : public QObject {
    Q_OBJECT

  public:
    explicit FlashWindowHook(Player& player, QObject* parent = nullptr);

    // Hooks the first descendant of `form` whose class matches; false when none did.
    bool FindFlashWindow(QWidget* form);
    // At most once: hooking the window that already carries the filter changes nothing.
    void HookFlashWindow(QWidget* window);
    void UnhookFlashWindow();
    QWidget* FlashHwnd() const { return flashHwnd_; }
    // What Ctrl+Q and Ctrl+W run: the menu's "结束(&X)".
    void setEndCommand(std::function<void()> end) { end_ = std::move(end); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Player& player_;
    QPointer<QWidget> flashHwnd_;
    mc::WindowMover mover_;
    std::function<void()> end_;
};

} // namespace player
