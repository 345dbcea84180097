#pragma once

#include "FlashWndProc.h"
#include "Form2.h"
#include "Player.h"
#include "PlayerForms.h"

#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string>

namespace mc {
class MovieWidget;
}

namespace player {

// The playback window: black, borderless, the movie control 60 twips in and three
// one-pixel frames around it. It shows what the player's geometry says.
class Form1 : public QWidget, public PlayerForms {
    Q_OBJECT

  public:
    Form1(PlayerPlatform& platform, WebAddresses addresses);
    ~Form1() override;

    Player& player() { return player_; }
    mc::MovieWidget* ShockwaveFlash1() const { return ShockwaveFlash1_; }
    FlashWindowHook& flashHook() { return hook_; }
    // Loaded, hidden, on first use: the popup menu or a test. What the player told it before
    // reaches it as it loads, so that a card's first frame waits for no text layout.
    Form2& form2();
    bool form2Loaded() const { return form2_ != nullptr; }

    // PlayerForms
    cardformat::MovieControl& flash() override;
    void playAsCard(std::string_view cardFileName) override;
    void showPlaybackWindow() override;
    void applyGeometry(const PlaybackGeometry& geometry) override;
    void hookFlashWindow() override;
    void unhookFlashWindow() override;
    void showPopupMenu(const MenuMarks& marks) override;
    void enableReturnPlay(std::string_view caption) override;
    void hideReturnPlay() override;
    void setBlessingText(std::string_view text) override;
    void setSenderLine(std::string_view text) override;

    // The frames as they are drawn, in pixels, outer first.
    const std::array<QRect, FrameCount>& framePixels() const { return frames_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    mc::MovieWidget* ShockwaveFlash1_ = nullptr;
    Player player_;
    FlashWindowHook hook_;
    std::unique_ptr<Form2> form2_;
    // Form2's state as the player set it while Form2 was not loaded yet.
    struct Form2Pending {
        std::optional<std::string> returnPlayCaption;
        std::optional<std::string> blessing;
        std::optional<std::string> senderLine;
    };
    Form2Pending pending_;
    std::array<QRect, FrameCount> frames_{};
    std::array<bool, FrameCount> framesVisible_{};
};

} // namespace player
