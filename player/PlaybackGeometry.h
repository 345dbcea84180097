#pragma once

#include "PlayerState.h"

#include <array>
#include <cstdint>

namespace player {

inline constexpr std::int32_t TwipsPerPixel = 15;
inline constexpr std::int32_t FitMargin = 120;    // control = window - 120, window = movie + 120
inline constexpr std::int32_t ToggleMargin = 150; // the full-screen toggle's own margin
inline constexpr std::int32_t ControlInset = 60;  // the control's left and top, never moved
inline constexpr std::int32_t FrameInset = 15;    // frame i starts 15 * (i + 1) in
inline constexpr std::int32_t ZoomStep = 500;
inline constexpr std::int32_t ZoomRoom = 500;
inline constexpr std::int32_t ZoomFloor = 700;
inline constexpr std::int32_t DesignWidth = 3735;
inline constexpr std::int32_t DesignHeight = 1755;
inline constexpr std::int32_t FrameCount = 3;

// Outline colours of the frames, from the outer one inwards.
inline constexpr std::array<std::uint32_t, FrameCount> FrameColours = {0x404040, 0xFFFFFF,
                                                                       0x404040};

// The window runtime keeps window places as single-precision twips; a centred window can
// stand half a twip off the grid.
struct TwipPlace {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const TwipPlace&, const TwipPlace&) = default;
};

struct TwipSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const TwipSize&, const TwipSize&) = default;
};

struct FrameShape {
    TwipPlace place;
    bool visible = false;
    friend bool operator==(const FrameShape&, const FrameShape&) = default;
};

// Twips to whole pixels, as the window shows them; negative lengths are 0.
std::int32_t pixelsOf(double twips);
// A coordinate in twips to whole pixels; it may lie left of or above the screen.
std::int32_t pixelPosition(double twips);

// A movie's pixel size as the player keeps it: signed 16-bit. Larger claims are held at the
// largest value instead of wrapping round to a negative size, and negative ones at 0.
std::int16_t moviePixels(std::int32_t headerPixels);

// The playback window's geometry as the window runtime sees it: the window on the screen,
// the movie control on the window and the three frames around it. Every size assignment
// runs Form_Resize at once, as the runtime does; the Qt window then shows the result.
class PlaybackGeometry {
  public:
    PlaybackGeometry();

    void setScreen(TwipSize screen) { screen_ = screen; }
    // Where windows may stand; an empty area is the whole screen.
    void setAvailableArea(const TwipPlace& area) { available_ = area; }
    TwipSize screen() const { return screen_; }
    const TwipPlace& window() const { return window_; }
    const TwipPlace& control() const { return control_; }
    const std::array<FrameShape, FrameCount>& frames() const { return frames_; }

    void setWindowLeft(double left) { window_.left = left; }
    void setWindowTop(double top) { window_.top = top; }
    void setWindowWidth(double width);
    void setWindowHeight(double height);
    // The window's size changed from outside (the window system); fits the rest to it.
    void windowResized(double width, double height);
    // The design size, centred: where the window stands until a movie is opened.
    void placeAtDesignSize();

    void Form_Resize();
    void FixWindows();
    void DrawBorder();

    // The first fit of the window to a newly opened movie, centred on the screen. A movie
    // whose window would not fit the available area is shown smaller, keeping its aspect
    // ratio, and the window is moved inside the area.
    void fitToMovie(std::int32_t widthPx, std::int32_t heightPx);
    // Enters or leaves full-screen mode; flips `state.FullScreenOn`.
    void toggleFullScreen(PlayerState& state);
    // One wheel notch; false when the window stayed as it was.
    bool zoomStep(bool towardsUser);

  private:
    TwipPlace area() const;
    // The factor (at most 1) that makes a movie of this size, plus `margin`, fit the area.
    double fitFactor(double movieWidth, double movieHeight, double margin) const;
    void keepInsideArea();

    TwipSize screen_{};
    TwipPlace available_{};
    TwipPlace window_{};
    TwipPlace control_{};
    std::array<FrameShape, FrameCount> frames_{};
};

} // namespace player
