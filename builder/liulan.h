#pragma once

#include "DockedWindow.h"

namespace mc {
class MovieWidget;
}

namespace builder {

class VolumeControls;

// The preview window: plays the chosen movie, looping, beside the main window.
class liulan : public DockedWindow {
    Q_OBJECT

  public:
    // Places itself against `mainWindow` and joins the docking; not shown yet.
    liulan(DockingHost& docking, const QWidget& mainWindow);

    mc::MovieWidget& ShockwaveFlash1() const { return *movie_; }
    // The mute toggle and the volume slider on the title bar: the movie starts its music
    // as soon as it is chosen.
    VolumeControls* volume() const { return volume_; }

    static constexpr int ClientWidthTwips = 4680;
    static constexpr int ClientHeightTwips = 3090;

  signals:
    void closed();
    // A double click on the title bar: the person wants the larger preview.
    void enlargeRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void placeVolume();

    mc::MovieWidget* movie_;
    VolumeControls* volume_;
};

} // namespace builder
