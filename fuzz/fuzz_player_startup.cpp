// A whole player start-up over arbitrary bytes behind a zero template: card test,
// extraction, header, note, password, window fit; then input over the movie, the menu
// commands from the remaining bytes, and the end sequence, which must leave no copy behind.
#include "FuzzFile.h"

#include "player/Player.h"

#include "cardformat/CardLayout.h"
#include "cardformat/ErrorLog.h"
#include "cardformat/Platform.h"
#include "cardformat/tests/RecordingMovieControl.h"

#include <cstdlib>

namespace {

using Control = cardformat::testing::RecordingMovieControl;

class World : public player::PlayerPlatform, public player::PlayerForms {
  public:
    explicit World(std::string executable, bool answerRight)
        : executable_(std::move(executable)), answerRight_(answerRight) {}

    std::string ownExecutablePath() override { return executable_; }
    cardformat::PlayedHeader playedHeader(const std::string& path) override {
        return cardformat::getPlayedHeader(path);
    }
    std::string commandLine() override { return "\"/nonexistent/x.swf\""; }
    player::TwipSize screenSize() override { return {15360, 11520}; }
    void messageBox(std::string_view, player::MessageIcon, std::string_view) override {}
    std::string passwordBox(std::string_view, std::string_view, std::string_view) override {
        return answerRight_ && player_ != nullptr ? player_->state().CurrentNote.Password : "";
    }
    void openAddress(std::string_view) override {}
    void endProgram() override { ended = true; }

    cardformat::MovieControl& flash() override { return control_; }
    void playAsCard(std::string_view) override {}
    void showPlaybackWindow() override {}
    void applyGeometry(const player::PlaybackGeometry& geometry) override {
        const player::TwipPlace& window = geometry.window();
        if (window.width < 0 || window.height < 0) {
            std::abort(); // a window of negative size is a geometry fault
        }
    }
    void hookFlashWindow() override {}
    void unhookFlashWindow() override {}
    void showPopupMenu(const player::MenuMarks&) override {}
    void enableReturnPlay(std::string_view) override {}
    void hideReturnPlay() override {}
    void setBlessingText(std::string_view) override {}
    void setSenderLine(std::string_view) override {}

    player::Player* player_ = nullptr;
    bool ended = false;

  private:
    std::string executable_;
    bool answerRight_;
    Control control_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFile card("");
    static const bool configured = (cardformat::ErrorLog::configure("null", "/dev"), true);
    (void)configured;
    if (size < 2) {
        return 0;
    }
    // The first byte picks the password answer; the second how many commands follow the
    // movie (its last bytes); the rest is what the card carries.
    const bool answerRight = (data[0] & 1) != 0;
    const std::size_t commands = std::min<std::size_t>(data[1] % 16, size - 2);
    const std::uint8_t* movie = data + 2;
    const std::size_t movieSize = size - 2 - commands;

    World world(card.write(movie, movieSize, cardformat::MovieOffset), answerRight);
    player::Player player(world, world);
    world.player_ = &player;
    if (player.Form_Load() == player::StartUpOutcome::Ended) {
        return 0;
    }
    for (std::size_t i = 0; i < commands; ++i) {
        const std::uint8_t command = movie[movieSize + i];
        switch (command % 7) {
        case 0:
            player.toggleFullScreen();
            break;
        case 1:
            player.FlashWndProc({player::FlashMessage::VerticalWheel, command & 8 ? -120 : 120});
            break;
        case 2:
            player.FlashWndProc({player::FlashMessage::LeftButtonDown});
            break;
        case 3:
            player.toggleLoop(player.menuMarks().loopChecked);
            break;
        case 4:
            player.togglePlay();
            break;
        case 5:
            player.windowResized(command * 7, command * 3);
            break;
        default:
            player.returnPlay();
            break;
        }
    }
    const std::string copy = player.state().MoviePath;
    const bool cardMode = player.state().CardMode != player::FlagFalse;
    player.endSequence();
    if (!world.ended || (cardMode && cardformat::fileExists(copy))) {
        std::abort();
    }
    return 0;
}
