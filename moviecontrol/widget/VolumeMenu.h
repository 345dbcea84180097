#pragma once

#include <array>
#include <functional>
#include <string_view>

class QAction;
class QMenu;

namespace mc {

// The listener's volume as every menu of ours shows it: "静音" (Ctrl+M), then one choice
// among the levels. The player's popup and the movie surface's own menu both build it here,
// so that they read and act alike. The items are named "Mute" and "Volume100" and so on.
class VolumeMenu {
  public:
    static constexpr std::string_view Title = "音量";
    static constexpr std::string_view MuteCaption = "静音";
    static constexpr std::array<int, 4> Levels{100, 75, 50, 25};

    struct Commands {
        std::function<void()> toggleMute;
        std::function<void(int level)> chooseLevel;
    };

    // Adds the items at the end of `menu`, which owns them.
    VolumeMenu(QMenu& menu, Commands commands);

    // Checks the mute and the level the control stands at; a level between the steps checks
    // none of them.
    void showMarks(bool muted, int level) const;

    QAction* mute() const { return mute_; }
    // The item of one of Levels, or nullptr.
    QAction* level(int percent) const;

  private:
    QAction* mute_ = nullptr;
    std::array<QAction*, Levels.size()> levels_{};
};

} // namespace mc
