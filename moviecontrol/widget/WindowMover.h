#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include "ClickOrDrag.h"

class QEvent;

namespace mc {

// The left button of a movie whose window moves when dragged (a window without a caption
// bar): the owner's event filter on the movie widget hands it the left press and the
// following moves and release. A drag moves the window; a click reaches the movie as its
// press and release. Kept with the movie control, so that the small player carries none of it.
class WindowMover {
  public:
    // A left press: held back from the movie. False while the mover itself replays a press.
    bool press(QWidget* movie, QEvent* event);
    // A move or release after the press: true when taken (the movie does not see it).
    bool follow(QWidget* movie, QEvent* event);

  private:
    ClickOrDrag decision_;
    QPointer<QWidget> moving_; // the window that follows the mouse, while it does
    QPoint grabOffset_;
    QPointF pressPosition_; // in the movie widget
    QPoint pressGlobal_;
    bool replaying_ = false;
};

} // namespace mc
