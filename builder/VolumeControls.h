#pragma once

#include <QWidget>

class QSlider;
class QToolButton;

namespace cardformat {
class MovieControl;
}

namespace builder {

// A mute toggle and a volume slider for a preview's movie. The movie keeps the level; these
// show it and change it.
class VolumeControls : public QWidget {
    Q_OBJECT

  public:
    VolumeControls(cardformat::MovieControl& movie, QWidget* parent);

    QToolButton* muteButton() const { return mute_; }
    QSlider* slider() const { return slider_; }
    // Brings the toggle and the slider in line with the movie.
    void refresh();

  signals:
    // The person changed the level or the mute; the movie has it already.
    void levelChanged();

  private:
    cardformat::MovieControl& movie_;
    QToolButton* mute_;
    QSlider* slider_;
};

} // namespace builder
