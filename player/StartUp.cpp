// Start-up of the player: the card test, extraction, the movie and the viewing password.
#include "Captions.h"
#include "Player.h"
#include "Utf8Text.h"

#include "cardformat/CardLayout.h"
#include "cardformat/ErrorLog.h"
#include "cardformat/MovieControl.h"
#include "cardformat/NoteTrailer.h"
#include "cardformat/Platform.h"
#include "cardformat/SwfHeader.h"

#include <sys/stat.h>

namespace player {
namespace {

std::uint64_t fileLength(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return 0;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

} // namespace

std::string unquotedMoviePath(std::string_view candidate) {
    if (candidate.find('"') == std::string_view::npos) {
        return std::string(candidate);
    }
    return withoutFirstAndLastCharacter(candidate);
}

bool asksForPassword(std::string_view storedPassword) {
    return trimBlanks(storedPassword) != cardformat::NoPasswordMarker;
}

StartUpOutcome Player::Form_Load() {
    // The running program under its real name: a card renamed to anything still finds itself.
    state_.MoviePath = platform_.ownExecutablePath();
    // The quotes rule belongs to the command line alone: the card's own copy lives under a
    // path of the system's, which may hold any character.
    std::string candidate = unquotedMoviePath(platform_.commandLine());

    if (fileLength(state_.MoviePath) > cardformat::CardThreshold) {
        const std::string cardName = cardformat::nativeFileName(state_.MoviePath);
        if (!extractCardMovie()) {
            platform_.endProgram();
            return StartUpOutcome::Ended;
        }
        forms_.playAsCard(cardName);
        candidate = state_.MoviePath;
        state_.CardMode = FlagTrue;
        forms_.enableReturnPlay(captions::ReturnPlayInCard);
    }

    // Before any movie is loaded, so that no input reaches the movie unfiltered.
    forms_.hookFlashWindow();
    OpenFlash(candidate);
    askViewingPassword();
    return StartUpOutcome::Running;
}

bool Player::extractCardMovie() {
    std::string extracted;
    try {
        extracted = cardformat::Exe2Swf(state_.MoviePath);
    } catch (const std::exception& error) {
        // Unreadable card or no room for the copy: say so rather than play nothing.
        cardformat::logException("Exe2Swf()", error);
        std::string text(captions::ExtractionFailed);
        text += error.what();
        platform_.messageBox(text, MessageIcon::None, captions::MessageTitle);
        return false;
    }
    state_.MoviePath = extracted;
    if (extracted == cardformat::NoMovie) {
        platform_.messageBox(captions::DamagedCard, MessageIcon::None, captions::MessageTitle);
        return false;
    }
    return true;
}

void Player::OpenFlash(const std::string& path) {
    // Compressed movies play too, and the stage shows the movie's own background colour.
    const cardformat::PlayedHeader played = platform_.playedHeader(path);
    const cardformat::FlashHeader& header = played.header;
    switch (header.Status) {
    case cardformat::header_status::Missing:
        // The path follows on its own line: the person sees which file was looked for.
        platform_.messageBox(std::string(captions::MovieMissing) + "\r\n" + path,
                             MessageIcon::Critical, captions::MessageTitle);
        return;
    case cardformat::header_status::NotFlash:
        platform_.messageBox(captions::NotFlashMovie, MessageIcon::Critical,
                             captions::MessageTitle);
        return;
    case cardformat::header_status::Failed:
        platform_.messageBox(captions::UnknownError, MessageIcon::Critical, captions::MessageTitle);
        return;
    default:
        break;
    }
    state_.CurrentNote = cardformat::getNote(path);

    cardformat::MovieControl& flash = forms_.flash();
    flash.setVisible(true);
    flash.setBackgroundColor(played.background);
    flash.setMovie(path);
    flash.Play();

    forms_.showPlaybackWindow();
    geometry_.setScreen(platform_.screenSize());
    geometry_.setAvailableArea(platform_.availableArea());
    geometry_.fitToMovie(header.Width, header.Height);
    applyGeometry();

    state_.MovieHeightPx = moviePixels(header.Height);
    state_.MovieWidthPx = moviePixels(header.Width);
    state_.MovieFrameCount = header.FrameCount;
    state_.FullScreenOn = FlagFalse;
    geometry_.DrawBorder();
    applyGeometry();
}

void Player::askViewingPassword() {
    const cardformat::CardNote& note = state_.CurrentNote;
    if (asksForPassword(note.Password)) {
        // The movie plays on behind the box; only the blessing is guarded.
        const std::string answer = platform_.passwordBox(
            captions::PasswordPrompt, captions::PasswordTitle, captions::PasswordDefault);
        if (answer == state_.CurrentNote.Password) {
            forms_.setBlessingText(state_.CurrentNote.Blessing);
        }
    } else {
        forms_.setBlessingText(note.Blessing);
    }
}

} // namespace player
