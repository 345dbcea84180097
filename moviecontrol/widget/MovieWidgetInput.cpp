// The movie widget's input: what a person does over the movie reaches its scripts.
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "MovieView.h"
#include "MovieWidget.h"
#include "QtKeys.h"

namespace mc {

std::optional<QPointF> MovieWidget::stagePointOf(QPointF widgetPos) const {
    if (!movie_) {
        return std::nullopt;
    }
    const TwipsRect stage = movie_->stage();
    const StageFit fit = fitStage(stage, width(), height(), movie_->player().stageLayout());
    double x = 0.0;
    double y = 0.0;
    fit.toStage(stage, widgetPos.x(), widgetPos.y(), x, y);
    return QPointF(x, y);
}

void MovieWidget::inputDelivered() {
    if (!movie_) {
        return;
    }
    const StageInput& input = movie_->input();
    setCursor(input.pointerHidden()     ? Qt::BlankCursor
              : input.wantsHandCursor() ? Qt::PointingHandCursor
                                        : Qt::ArrowCursor);
    update();
}

void MovieWidget::mousePressEvent(QMouseEvent* event) {
    const auto at = stagePointOf(event->position());
    if (at && (event->button() == Qt::MiddleButton || event->button() == Qt::RightButton)) {
        // Only ActionScript 3 scripts hear these; the context menu still comes as before.
        movie_->input().otherButton(event->button() == Qt::MiddleButton, true, at->x(), at->y());
        inputDelivered();
    }
    if (event->button() != Qt::LeftButton || !at) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    movie_->input().mouseDown(at->x(), at->y());
    inputDelivered();
    event->accept();
}

void MovieWidget::mouseReleaseEvent(QMouseEvent* event) {
    const auto at = stagePointOf(event->position());
    if (at && (event->button() == Qt::MiddleButton || event->button() == Qt::RightButton)) {
        // Only ActionScript 3 scripts hear these; the context menu still comes as before.
        movie_->input().otherButton(event->button() == Qt::MiddleButton, false, at->x(), at->y());
        inputDelivered();
    }
    if (event->button() != Qt::LeftButton || !at) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    movie_->input().mouseUp(at->x(), at->y());
    inputDelivered();
    event->accept();
}

void MovieWidget::mouseMoveEvent(QMouseEvent* event) {
    if (const auto at = stagePointOf(event->position())) {
        movie_->input().mouseMove(at->x(), at->y());
        inputDelivered();
    }
    event->accept();
}

void MovieWidget::wheelEvent(QWheelEvent* event) {
    // One notch of 120 eighths of a degree scrolls three lines, as the players count it.
    const int lines = event->angleDelta().y() / 40;
    if (movie_ && lines != 0) {
        movie_->input().wheel(lines);
        inputDelivered();
    }
    event->accept();
}

namespace {

// The mute's key, as the volume menu shows it; the movie never sees it.
bool isMuteKey(const QKeyEvent& event) {
    return event.key() == Qt::Key_M &&
           (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) ==
               Qt::ControlModifier;
}

} // namespace

void MovieWidget::keyPressEvent(QKeyEvent* event) {
    if (isMuteKey(*event)) {
        if (!event->isAutoRepeat()) {
            setMuted(!muted());
            emit levelChanged();
        }
        event->accept();
        return;
    }
    const auto key = keyStrokeOf(event->key(), event->text());
    if (!movie_ || !key) {
        QWidget::keyPressEvent(event);
        return;
    }
    movie_->input().keyDown(*key);
    inputDelivered();
    event->accept();
}

void MovieWidget::keyReleaseEvent(QKeyEvent* event) {
    const auto key = keyStrokeOf(event->key(), event->text());
    if (!movie_ || !key || event->isAutoRepeat() || isMuteKey(*event)) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    movie_->input().keyUp(*key);
    inputDelivered();
    event->accept();
}

void MovieWidget::inputMethodEvent(QInputMethodEvent* event) {
    if (movie_ && !event->commitString().isEmpty()) {
        movie_->input().typeText(event->commitString().toStdString());
        inputDelivered();
    }
    event->accept();
}

bool MovieWidget::focusNextPrevChild(bool) {
    return false; // Tab belongs to the movie
}

} // namespace mc
