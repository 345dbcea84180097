#pragma once

#include "player/Player.h"

#include "cardformat/tests/RecordingMovieControl.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace player::testing {

using FakeMovieControl = cardformat::testing::RecordingMovieControl;

struct MessageShown {
    std::string text;
    MessageIcon icon = MessageIcon::None;
    std::string title;
};

// The platform and both windows as one recorder; `events` keeps the order of everything.
class FakePlayerWorld : public PlayerPlatform, public PlayerForms {
  public:
    std::string ownExecutablePath() override { return executable; }
    cardformat::PlayedHeader playedHeader(const std::string& path) override {
        return cardformat::getPlayedHeader(path);
    }
    std::string commandLine() override { return arguments; }
    TwipSize screenSize() override { return screen; }
    TwipPlace availableArea() override {
        return available ? *available : PlayerPlatform::availableArea();
    }
    void messageBox(std::string_view text, MessageIcon icon, std::string_view title) override;
    std::string passwordBox(std::string_view prompt, std::string_view title,
                            std::string_view defaultText) override;
    void openAddress(std::string_view address) override;
    void endProgram() override;

    cardformat::MovieControl& flash() override { return control; }
    void playAsCard(std::string_view cardFileName) override;
    void showPlaybackWindow() override;
    void applyGeometry(const PlaybackGeometry& geometry) override;
    void hookFlashWindow() override;
    void unhookFlashWindow() override;
    void showPopupMenu(const MenuMarks& marks) override;
    void enableReturnPlay(std::string_view caption) override;
    void hideReturnPlay() override;
    void setBlessingText(std::string_view text) override;
    void setSenderLine(std::string_view text) override { senderLine = std::string(text); }

    std::string executable;
    std::string arguments;
    TwipSize screen{15360, 11520};      // 1024 x 768 pixels
    std::optional<TwipPlace> available; // the whole screen when not set
    std::string answer;                 // typed into the input box
    bool endDuringInputBox = false;

    FakeMovieControl control;
    std::vector<std::string> events;
    std::vector<MessageShown> messages;
    std::vector<std::string> prompts; // prompt | title | default
    std::vector<std::string> addresses;
    std::vector<MenuMarks> menusShown;
    std::string blessing = "design text";
    std::string senderLine;
    std::string returnPlayCaption;
    std::string cardFileName; // as the playback surface was told
    bool returnPlayEnabled = false;
    bool ended = false;
    bool windowShown = false;
    PlaybackGeometry lastGeometry;
    Player* player = nullptr; // for a signal that ends the program while a box is open
};

// A fresh folder per test; TMPDIR points into it while the test runs.
class PlayerFolderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::string temporaryFolder() const { return dir_ + "/tmp"; }
    // The names of the files in the temporary folder.
    std::vector<std::string> temporaryFiles() const;

  private:
    std::string dir_;
    std::string savedTmpdir_;
    bool hadTmpdir_ = false;
};

using Bytes = std::vector<std::uint8_t>;

// An uncompressed movie of the given size in pixels with a background colour, `frames`
// frames, and the declared length equal to its length.
Bytes movieBytes(std::int32_t widthPx, std::int32_t heightPx, std::uint16_t frames,
                 std::uint32_t rgb = 0xFFFFFF);
// The same with a note trailer behind it.
Bytes movieWithNote(const cardformat::CardNote& note, std::uint16_t frames = 2);
// A card: `templateBytes` zero bytes (the movie offset by default), then `attached`.
Bytes cardBytes(const Bytes& attached);
void writeFile(const std::string& path, const Bytes& bytes);

} // namespace player::testing
