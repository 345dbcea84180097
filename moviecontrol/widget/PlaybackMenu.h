#pragma once

#include "VolumeMenu.h"

#include <QMenu>
#include <optional>

namespace cardformat {
class MovieControl;
}

namespace mc {

// The playback context menu of the movie surface: play, loop, rewind, forward, back, and the
// listener's volume.
class PlaybackMenu : public QMenu {
    Q_OBJECT

  public:
    PlaybackMenu(cardformat::MovieControl& control, QWidget* parent);

    // Brings the check marks in line with the control before the menu shows.
    void refresh();

    QAction* playAction() const { return play_; }
    QAction* loopAction() const { return loop_; }
    QAction* rewindAction() const { return rewind_; }
    QAction* forwardAction() const { return forward_; }
    QAction* backAction() const { return back_; }
    QMenu* volumeMenu() const { return volumeMenu_; }
    const VolumeMenu& volume() const { return *volume_; }

  signals:
    // The person changed the volume or the mute here; the control has it already.
    void levelChanged();

  private:
    cardformat::MovieControl& control_;
    QAction* play_ = nullptr;
    QAction* loop_ = nullptr;
    QAction* rewind_ = nullptr;
    QAction* forward_ = nullptr;
    QAction* back_ = nullptr;
    QMenu* volumeMenu_ = nullptr;
    std::optional<VolumeMenu> volume_;
};

} // namespace mc
