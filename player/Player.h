#pragma once

#include "FlashInput.h"
#include "PlaybackGeometry.h"
#include "PlayerForms.h"
#include "PlayerKeys.h"
#include "PlayerPlatform.h"
#include "PlayerState.h"

#include <string>
#include <string_view>

namespace player {

// The addresses the menu opens; empty opens nothing.
struct WebAddresses {
    std::string HomePageAddress;
    std::string AuthorSiteAddress;
};

// The help page that ships beside the programs.
inline constexpr std::string_view HelpPageName = "Velmora.htm";

// The addresses the menu opens: the configured ones, and for each one the build left empty
// the help page as a file address: the one in the runtime's folder when it is there (the
// package's), else the one beside the running program.
WebAddresses withHelpPageDefaults(WebAddresses configured, const std::string& ownExecutable,
                                  const std::string& runtimeFolder = {});

// Failed: nothing could be played (the person was told why); the program ends with a
// failure status.
enum class StartUpOutcome { Running, Ended, Failed };

// The player module: the shared state and every decision of start-up, geometry, input
// takeover and menu commands, over the two windows and the platform.
class Player {
  public:
    Player(PlayerPlatform& platform, PlayerForms& forms, WebAddresses addresses = {});

    PlayerState& state() { return state_; }
    const PlayerState& state() const { return state_; }
    const PlaybackGeometry& geometry() const { return geometry_; }
    // Before the window is first shown: the screen, and the design size centred on it.
    void prepareWindow();

    // Start-up, once per process (again only through ReturnPlay).
    StartUpOutcome Form_Load();
    // False when the movie could not be opened (the person was told why).
    bool OpenFlash(const std::string& path);

    // The window system resized the window to this many pixels; fits the control and the
    // frames to it unless that is only the player's own size, rounded to whole pixels.
    void windowResized(std::int32_t widthPx, std::int32_t heightPx);
    // The window was moved (dragged by the movie, or by the window system).
    void windowMoved(std::int32_t leftPx, std::int32_t topPx);
    void toggleFullScreen();
    void zoomStep(bool towardsUser);

    // Input over the movie; ShowMenu and the zoom reactions are carried out here.
    FlashReaction FlashWndProc(const FlashInput& input);
    // ShowPlayerMenu: the four marks brought up to date, then the menu.
    void ShowPlayerMenu();
    MenuMarks menuMarks() const;

    // Menu commands. toggleLoop gets the mark as it stood and returns the new one.
    bool toggleLoop(bool loopWasChecked);
    void togglePlay();
    void rewind();
    // The volume submenu. The level lives in the control for this run only: the player
    // writes nothing but its temporary movie. Choosing a step also ends a mute.
    void toggleMute();
    void setVolume(int volume);
    void nextFrame();
    void previousFrame();
    void openAuthorSite();
    // "结束(&X)": the home page; the caller then starts Timer1, whose tick ends the program.
    void openHomePage();
    // A key the player takes: carries out every command but End, which the menu's form
    // runs as "结束(&X)". Returns the command; None leaves the key to the movie.
    KeyCommand keyPressed(const PlayerKey& key);
    // Removes the input takeover, deletes the temporary movie in card mode, ends.
    void endSequence();
    // Plays the card's movie again from a fresh copy; only in card mode.
    void returnPlay();

  private:
    bool extractCardMovie();
    void askViewingPassword();
    void applyGeometry();

    PlayerPlatform& platform_;
    PlayerForms& forms_;
    WebAddresses addresses_;
    PlayerState state_;
    PlaybackGeometry geometry_;
};

// Whether a path's last four characters spell ".swf" in any letter case.
bool endsWithSwf(std::string_view path);
// The candidate movie path with its quotes rule: a double quote anywhere drops the first
// and the last character.
std::string unquotedMoviePath(std::string_view candidate);
// Whether the stored password asks for the input box.
bool asksForPassword(std::string_view storedPassword);
// The card's title and "来自：" its sender, for the blessing window; empty when the note holds
// only the values every card carried before a person could fill them in.
std::string senderLine(const cardformat::CardNote& note);
// Whether a read note came from a trailer at all (an ordinary movie has none).
bool carriesNote(const cardformat::CardNote& note);
// The message for a movie that could not be opened, by the header reader's status.
std::string openFailureText(int status, const std::string& path);

} // namespace player
