#pragma once

#include "PlayerPlatform.h"

#include <string>

namespace player {

// The player's platform on Qt: message and input boxes, the primary screen, the browser.
class QtPlayerPlatform : public PlayerPlatform {
  public:
    // `ownPath`: the program as its launcher found it; empty asks the system.
    explicit QtPlayerPlatform(std::string commandLine, std::string ownPath = {})
        : commandLine_(std::move(commandLine)), ownPath_(std::move(ownPath)) {}

    std::string ownExecutablePath() override;
    cardformat::PlayedHeader playedHeader(const std::string& path) override;
    std::string commandLine() override { return commandLine_; }
    TwipSize screenSize() override;
    TwipPlace availableArea() override;
    void messageBox(std::string_view text, MessageIcon icon, std::string_view title) override;
    std::string passwordBox(std::string_view prompt, std::string_view title,
                            std::string_view defaultText) override;
    void openAddress(std::string_view address) override;
    void endProgram() override;

    // Qt's own texts (the dialogs' buttons) in the user's language, once: before the first
    // dialog, or when the player gets to it after the card's first frame.
    void loadQtTexts();

  private:
    bool qtTextsLoaded_ = false;
    std::string commandLine_;
    std::string ownPath_;
};

// The arguments after the program's name, joined by blanks: the whole argument text as the
// original runtime handed it over, before any quotes rule.
std::string joinedArguments(int argc, char** argv);

} // namespace player
