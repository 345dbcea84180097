// Start-up of the player: the card test, extraction, the movie and the viewing password.
#include "Captions.h"
#include "Player.h"
#include "Utf8Text.h"

#include "cardformat/CardLayout.h"
#include "cardformat/ErrorLog.h"
#include "cardformat/GenerationNote.h"
#include "cardformat/MovieCompleteness.h"
#include "cardformat/MovieControl.h"
#include "cardformat/NoteTrailer.h"
#include "cardformat/Platform.h"
#include "cardformat/SwfHeader.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>

namespace player {
namespace {

// Whether the program file begins as a program of the system does (an ELF image).
bool startsAsProgram(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::array<char, 4> magic{};
    return static_cast<bool>(file.read(magic.data(), magic.size())) &&
           magic == std::array<char, 4>{0x7F, 'E', 'L', 'F'};
}

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

bool carriesNote(const cardformat::CardNote& note) {
    // What the reader gives for a movie with nothing behind its declared length: the
    // defaults and no version. Any trailer, tagged or not, sets a version or a blessing.
    return !(note.Version.empty() && note.Blessing.empty() &&
             note.Password == cardformat::UnknownText);
}

std::string senderLine(const cardformat::CardNote& note) {
    const std::string title(trimBlanks(note.Title));
    const std::string author(trimBlanks(note.Author));
    const bool ownTitle =
        !title.empty() && title != cardformat::NoPasswordMarker && title != cardformat::UnknownText;
    const bool ownAuthor =
        !author.empty() && author != cardformat::UnknownText && author != cardformat::CardAuthor;
    std::string line;
    if (ownTitle) {
        line = title;
    }
    if (ownAuthor) {
        line += (line.empty() ? "" : "　") + std::string(captions::SenderPrefix) + author;
    }
    return line;
}

std::string openFailureText(int status, const std::string& path) {
    using namespace cardformat::header_status;
    if (status == Missing && path.empty()) {
        return std::string(captions::MovieMissing) + "\r\n" + std::string(captions::NoMovieGiven);
    }
    std::string_view text = captions::UnknownError;
    std::string_view hint = captions::UnreadableHint;
    if (status == Missing) {
        text = captions::MovieMissing;
        hint = captions::MissingHint;
    } else if (status == NotFlash) {
        text = captions::NotFlashMovie;
        hint = captions::NotFlashHint;
    }
    // The file's name and what to do each stand on a line of their own.
    return std::string(text) + "\r\n" + path + "\r\n" + std::string(hint);
}

StartUpOutcome Player::Form_Load() {
    // The running program under its real name: a card renamed to anything still finds itself.
    state_.MoviePath = platform_.ownExecutablePath();
    // The quotes rule belongs to the command line alone: the card's own copy lives under a
    // path of the system's, which may hold any character.
    std::string candidate = unquotedMoviePath(platform_.commandLine());

    const std::uint64_t ownLength = fileLength(state_.MoviePath);
    if (ownLength > 0 && ownLength < cardformat::MovieOffset && startsAsProgram(state_.MoviePath)) {
        // Shorter than the player itself: a card cut off inside its launcher.
        platform_.messageBox(captions::DamagedCard, MessageIcon::None, captions::MessageTitle);
        return StartUpOutcome::Failed;
    }
    if (ownLength > cardformat::CardThreshold) {
        const std::string cardName = cardformat::nativeFileName(state_.MoviePath);
        if (!extractCardMovie()) {
            return StartUpOutcome::Failed;
        }
        forms_.playAsCard(cardName);
        candidate = state_.MoviePath;
        state_.CardMode = FlagTrue;
        forms_.enableReturnPlay(captions::ReturnPlayInCard);
    }

    // Before any movie is loaded, so that no input reaches the movie unfiltered.
    forms_.hookFlashWindow();
    if (!OpenFlash(candidate)) {
        // Nothing to play: the player ends rather than stand empty and ask for a password.
        forms_.unhookFlashWindow();
        return StartUpOutcome::Failed;
    }
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
    bool cutShort = false;
    try {
        const cardformat::MovieCompleteness movie = cardformat::movieCompleteness(extracted, 0);
        cutShort = movie.uncompressedMovie && movie.missing() > 0;
    } catch (const std::exception& error) {
        cardformat::logException("Exe2Swf()", error);
        cutShort = true;
    }
    if (cutShort) {
        // A card's movie is stored whole; one that stops early lost its end on the way.
        std::remove(extracted.c_str());
        state_.MoviePath = platform_.ownExecutablePath();
        platform_.messageBox(captions::DamagedCard, MessageIcon::None, captions::MessageTitle);
        return false;
    }
    return true;
}

bool Player::OpenFlash(const std::string& path) {
    // Compressed movies play too, and the stage shows the movie's own background colour.
    const cardformat::PlayedHeader played = platform_.playedHeader(path);
    const cardformat::FlashHeader& header = played.header;
    switch (header.Status) {
    case cardformat::header_status::Missing:
    case cardformat::header_status::NotFlash:
    case cardformat::header_status::Failed:
        platform_.messageBox(openFailureText(header.Status, path), MessageIcon::Critical,
                             captions::MessageTitle);
        return false;
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
    return true;
}

void Player::askViewingPassword() {
    const cardformat::CardNote& note = state_.CurrentNote;
    if (!carriesNote(note)) {
        return; // an ordinary movie: no password to ask for, no blessing to show
    }
    if (asksForPassword(note.Password)) {
        // The movie plays on behind the box; only the blessing is guarded.
        const std::string answer = platform_.passwordBox(
            captions::PasswordPrompt, captions::PasswordTitle, captions::PasswordDefault);
        if (answer == state_.CurrentNote.Password) {
            forms_.setBlessingText(state_.CurrentNote.Blessing);
            forms_.setSenderLine(senderLine(state_.CurrentNote));
        }
    } else {
        forms_.setBlessingText(note.Blessing);
        forms_.setSenderLine(senderLine(note));
    }
}

} // namespace player
