#pragma once

#include <QWidget>

#include <string>

class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace mc {
class MovieWidget;
}

namespace builder {

class VolumeControls;

// A larger preview beside the docked one: a window of its own that can be resized, with
// play, pause and a position slider over the movie's frames, and its sound's level.
class LargePreview : public QWidget {
    Q_OBJECT

  public:
    explicit LargePreview(QWidget* parent = nullptr);

    void setMovie(const std::string& path);
    mc::MovieWidget& movie() const { return *movie_; }
    QPushButton* playButton() const { return play_; }
    QSlider* position() const { return position_; }
    VolumeControls* volume() const { return volume_; }
    // Moves the movie to `frame` (0-based) and leaves it paused there.
    void seek(int frame);
    // Brings the button and the slider up to date with the movie.
    void refresh();

  private:
    mc::MovieWidget* movie_;
    QPushButton* play_;
    QSlider* position_;
    QLabel* frameLabel_;
    VolumeControls* volume_;
    QTimer* follow_;
};

} // namespace builder
