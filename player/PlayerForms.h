#pragma once

#include "PlaybackGeometry.h"

#include <string_view>

namespace cardformat {
class MovieControl;
}

namespace player {

// The popup menu's four marks, brought up to date each time before the menu opens.
struct MenuMarks {
    bool fullScreenChecked = false;
    bool ctrlVisible = false;
    bool loopChecked = false;
    std::string_view playCaption;
    bool muteChecked = false;
    int volume = 100; // the step checked in the volume submenu
    friend bool operator==(const MenuMarks&, const MenuMarks&) = default;
};

// What the player's decisions ask of its two windows: the playback window Form1 with its
// movie control, and the menu form Form2 with the blessing label.
class PlayerForms {
  public:
    virtual ~PlayerForms() = default;

    virtual cardformat::MovieControl& flash() = 0;
    // The movie set next is a card's, extracted from the card file named `cardFileName` (the
    // name alone): its scripts find no files beside it and learn that name, never the
    // temporary copy's path.
    virtual void playAsCard(std::string_view cardFileName) = 0;
    // Form1.Visible := True.
    virtual void showPlaybackWindow() = 0;
    // Shows the geometry on the real window after it changed: window, control and frames.
    virtual void applyGeometry(const PlaybackGeometry& geometry) = 0;
    // Finds the movie's window among Form1's descendants and takes over its input; a second
    // call leaves the first takeover as it is.
    virtual void hookFlashWindow() = 0;
    // Gives the movie's window its own input handling back; nothing when none was taken.
    virtual void unhookFlashWindow() = 0;

    // Sets the marks, then opens the popup menu at the mouse and returns when it closed.
    virtual void showPopupMenu(const MenuMarks& marks) = 0;

    virtual void enableReturnPlay(std::string_view caption) = 0;
    virtual void hideReturnPlay() = 0;
    virtual void setBlessingText(std::string_view text) = 0;
    // The line under the blessing that names the card and its sender; empty shows none.
    virtual void setSenderLine(std::string_view text) = 0;
};

} // namespace player
