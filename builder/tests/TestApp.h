#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace builder::testing {

// The one application of the test program, destroyed before the process' exit handlers run.
QApplication& app();

// Runs `handle` on the next modal dialog as soon as it is up (it must close it), so that a
// test can answer dialogs the code under test opens and waits for.
void whenModalDialogOpens(std::function<void(QWidget*)> handle);

// Closes any modal dialog that nobody answered within about a second, so that a fault that
// shows an unexpected dialog fails the test instead of hanging it.
class DialogWatchdog {
  public:
    DialogWatchdog();
    ~DialogWatchdog();
    int closedDialogs() const { return closed_; }

  private:
    QTimer* timer_;
    // Guarded: a dialog closed between two ticks must not be mistaken for a new one that
    // happens to be created at the same address.
    QPointer<QWidget> seen_;
    int closed_ = 0;
};

// Lets queued events (such as deferred deletions) run.
void processEvents();

} // namespace builder::testing
