#pragma once

#include "PlaybackGeometry.h"

#include "cardformat/SwfHeader.h"

#include <string>
#include <string_view>

namespace player {

enum class MessageIcon { None, Critical };

// The process and the window system, as far as the player's decisions need them. The real
// one is Qt's; tests hand in a recording fake.
class PlayerPlatform {
  public:
    virtual ~PlayerPlatform() = default;

    virtual std::string ownExecutablePath() = 0;
    // A movie's header as the movie control plays it (compressed movies too) and the colour
    // its stage shows.
    virtual cardformat::PlayedHeader playedHeader(const std::string& path) = 0;
    // The whole argument text the program was started with.
    virtual std::string commandLine() = 0;
    virtual TwipSize screenSize() = 0;
    // The part of the screen windows may take (without panels and task bars); the whole
    // screen unless the platform knows better.
    virtual TwipPlace availableArea() {
        const TwipSize screen = screenSize();
        return {0, 0, static_cast<double>(screen.width), static_cast<double>(screen.height)};
    }
    // Modal; returns when closed.
    virtual void messageBox(std::string_view text, MessageIcon icon, std::string_view title) = 0;
    // Modal, the typed characters masked; the typed text, or empty text when cancelled.
    virtual std::string passwordBox(std::string_view prompt, std::string_view title,
                                    std::string_view defaultText) = 0;
    // Hands a web address to the system's browser; the result is not looked at.
    virtual void openAddress(std::string_view address) = 0;
    // Ends the process at once; no further handler of the player runs.
    virtual void endProgram() = 0;
};

} // namespace player
