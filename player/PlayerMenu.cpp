// Input over the movie, the popup menu's marks and commands, and the end of the program.
#include "Captions.h"
#include "Player.h"

#include "cardformat/MovieControl.h"
#include "cardformat/Platform.h"

#include <cstring>
#include <unistd.h>

namespace player {
namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Deletes without forcing: a file its owner may not write to stays.
void deleteIfPresent(const std::string& path) {
    if (cardformat::fileExists(path) && !cardformat::isReadOnly(path)) {
        ::unlink(path.c_str());
    }
}

} // namespace

bool endsWithSwf(std::string_view path) {
    constexpr std::string_view swf = ".SWF";
    if (path.size() < swf.size()) {
        return false;
    }
    const std::string_view tail = path.substr(path.size() - swf.size());
    for (std::size_t i = 0; i < swf.size(); ++i) {
        if (upper(tail[i]) != swf[i]) {
            return false;
        }
    }
    return true;
}

FlashReaction Player::FlashWndProc(const FlashInput& input) {
    const FlashReaction reaction = reactionTo(input, state_, !forms_.flash().Movie().empty());
    switch (reaction) {
    case FlashReaction::ShowMenu:
        ShowPlayerMenu();
        break;
    case FlashReaction::ZoomTowardsUser:
        zoomStep(true);
        break;
    case FlashReaction::ZoomAwayFromUser:
        zoomStep(false);
        break;
    case FlashReaction::MoveWindowToo:
    case FlashReaction::Swallow:
    case FlashReaction::PassOn:
        break;
    }
    return reaction;
}

MenuMarks Player::menuMarks() const {
    const cardformat::MovieControl& flash = forms_.flash();
    MenuMarks marks;
    marks.fullScreenChecked = state_.FullScreenOn != FlagFalse;
    marks.ctrlVisible = state_.MovieFrameCount >= 2;
    marks.loopChecked = flash.Loop();
    marks.playCaption = flash.Playing() ? captions::PlayWhilePlaying : captions::PlayWhileStopped;
    marks.muteChecked = flash.muted();
    marks.volume = flash.volume();
    return marks;
}

void Player::ShowPlayerMenu() {
    forms_.showPopupMenu(menuMarks());
}

bool Player::toggleLoop(bool loopWasChecked) {
    // The mark was copied from the control when the menu opened; it is trusted here.
    const bool loop = !loopWasChecked;
    forms_.flash().setLoop(loop);
    return loop;
}

void Player::togglePlay() {
    cardformat::MovieControl& flash = forms_.flash();
    if (flash.Playing()) {
        flash.setPlaying(false);
    } else {
        flash.Play();
    }
}

void Player::toggleMute() {
    cardformat::MovieControl& flash = forms_.flash();
    flash.setMuted(!flash.muted());
}

void Player::setVolume(int volume) {
    cardformat::MovieControl& flash = forms_.flash();
    flash.setVolume(volume);
    flash.setMuted(false);
}

// On the first or the last frame the control decides what a step means.
void Player::rewind() {
    forms_.flash().Rewind();
}

KeyCommand Player::keyPressed(const PlayerKey& key) {
    const KeyCommand command = keyCommandOf(key, state_.FullScreenOn != FlagFalse);
    switch (command) {
    case KeyCommand::LeaveFullScreen:
    case KeyCommand::ToggleFullScreen:
        toggleFullScreen();
        break;
    case KeyCommand::TogglePlay:
        togglePlay();
        break;
    case KeyCommand::PreviousFrame:
        previousFrame();
        break;
    case KeyCommand::NextFrame:
        nextFrame();
        break;
    case KeyCommand::ToggleMute:
        toggleMute();
        break;
    case KeyCommand::End:
    case KeyCommand::None:
        break;
    }
    return command;
}

void Player::nextFrame() {
    forms_.flash().Forward();
}

void Player::previousFrame() {
    forms_.flash().Back();
}

namespace {

// A local path as a file address: every byte but letters, digits, "/" and "-._~" is
// percent-encoded, so that blanks, "#" and Chinese names survive as they are.
std::string fileAddress(const std::string& path) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string address = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || std::strchr("/-._~", c) != nullptr;
        if (plain) {
            address += c;
        } else {
            address += '%';
            address += Hex[byte >> 4];
            address += Hex[byte & 0xF];
        }
    }
    return address;
}

} // namespace

WebAddresses withHelpPageDefaults(WebAddresses configured, const std::string& ownExecutable,
                                  const std::string& runtimeFolder) {
    // A card travels alone: the page that came with the installed runtime serves it.
    std::string page;
    if (!runtimeFolder.empty()) {
        page = cardformat::fileBeside(runtimeFolder, HelpPageName);
    }
    if (page.empty() || !cardformat::fileExists(page)) {
        page = cardformat::fileBeside(cardformat::folderOf(ownExecutable), HelpPageName);
    }
    const std::string helpPage = fileAddress(page);
    for (std::string* address : {&configured.HomePageAddress, &configured.AuthorSiteAddress}) {
        if (address->empty()) {
            *address = helpPage;
        }
    }
    return configured;
}

void Player::openAuthorSite() {
    if (!addresses_.AuthorSiteAddress.empty()) {
        platform_.openAddress(addresses_.AuthorSiteAddress);
    }
}

void Player::openHomePage() {
    if (!addresses_.HomePageAddress.empty()) {
        platform_.openAddress(addresses_.HomePageAddress);
    }
}

void Player::endSequence() {
    // First, before anything can fail: no input may reach a half-ended player.
    forms_.unhookFlashWindow();
    // The movie and its sound go next: nothing plays on from a file about to be deleted,
    // and no sound device stays open.
    forms_.flash().setMovie("");
    if (state_.CardMode != FlagFalse && !endsWithSwf(state_.MoviePath)) {
        deleteIfPresent(state_.MoviePath);
    }
    platform_.endProgram();
}

void Player::returnPlay() {
    if (state_.CardMode == FlagFalse) {
        return; // outside card mode MoviePath is the program itself
    }
    forms_.hideReturnPlay();
    // The control holds the movie in memory; the old copy would otherwise stay behind, as
    // start-up makes a fresh one.
    if (!endsWithSwf(state_.MoviePath)) {
        deleteIfPresent(state_.MoviePath);
    }
    state_.CardMode = FlagTrue;
    if (Form_Load() == StartUpOutcome::Failed) {
        platform_.endProgram();
    }
}

} // namespace player
