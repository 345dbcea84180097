#include "PlaybackGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace player {

namespace {

// Far beyond any screen; keeps the conversion inside the integer range.
constexpr double FarthestPixel = 1 << 24;

} // namespace

std::int32_t pixelsOf(double twips) {
    return static_cast<std::int32_t>(
        std::lround(std::clamp(twips / TwipsPerPixel, 0.0, FarthestPixel)));
}

std::int32_t pixelPosition(double twips) {
    return static_cast<std::int32_t>(
        std::lround(std::clamp(twips / TwipsPerPixel, -FarthestPixel, FarthestPixel)));
}

std::int16_t moviePixels(std::int32_t headerPixels) {
    const std::int32_t largest = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(std::clamp(headerPixels, std::int32_t{0}, largest));
}

PlaybackGeometry::PlaybackGeometry() {
    control_.left = ControlInset;
    control_.top = ControlInset;
    window_.width = DesignWidth;
    window_.height = DesignHeight;
}

void PlaybackGeometry::setWindowWidth(double width) {
    window_.width = width;
    Form_Resize();
}

void PlaybackGeometry::setWindowHeight(double height) {
    window_.height = height;
    Form_Resize();
}

void PlaybackGeometry::windowResized(double width, double height) {
    window_.width = width;
    window_.height = height;
    Form_Resize();
}

void PlaybackGeometry::placeAtDesignSize() {
    setWindowHeight(DesignHeight);
    setWindowWidth(DesignWidth);
    window_.top = (screen_.height - window_.height) / 2;
    window_.left = (screen_.width - window_.width) / 2;
}

void PlaybackGeometry::Form_Resize() {
    FixWindows();
    DrawBorder();
}

void PlaybackGeometry::FixWindows() {
    control_.height = window_.height - FitMargin;
    control_.width = window_.width - FitMargin;
}

void PlaybackGeometry::DrawBorder() {
    for (std::int32_t i = 0; i < FrameCount; ++i) {
        FrameShape& frame = frames_[static_cast<std::size_t>(i)];
        frame.place.top = FrameInset * (i + 1);
        frame.place.left = FrameInset * (i + 1);
        frame.place.height = window_.height - 2 * FrameInset * (i + 1);
        frame.place.width = window_.width - 2 * FrameInset * (i + 1);
        frame.visible = true;
    }
}

void PlaybackGeometry::fitToMovie(std::int32_t widthPx, std::int32_t heightPx) {
    // Held to the 16-bit pixel range first: at most 32767 * 15 + 120 twips, far inside the
    // 32-bit range, whatever the header claims.
    const std::int32_t height = std::int32_t{moviePixels(heightPx)} * TwipsPerPixel + FitMargin;
    const std::int32_t width = std::int32_t{moviePixels(widthPx)} * TwipsPerPixel + FitMargin;
    setWindowHeight(height);
    setWindowWidth(width);
    window_.top = (screen_.height - window_.height) / 2;
    window_.left = (screen_.width - window_.width) / 2;
}

void PlaybackGeometry::toggleFullScreen(PlayerState& state) {
    if (state.FullScreenOn != FlagFalse) {
        state.FullScreenOn = FlagFalse;
        // 32-bit arithmetic: a movie above 2174 pixels would overflow 16 bits here.
        const std::int32_t movieHeight = std::int32_t{state.MovieHeightPx} * TwipsPerPixel;
        const std::int32_t movieWidth = std::int32_t{state.MovieWidthPx} * TwipsPerPixel;
        setWindowHeight(movieHeight + ToggleMargin);
        setWindowWidth(movieWidth + ToggleMargin);
        control_.height = movieHeight;
        control_.width = movieWidth;
        window_.left = (screen_.width - window_.width) / 2;
        window_.top = (screen_.height - window_.height) / 2;
    } else {
        state.FullScreenOn = FlagTrue;
        window_.left = 0;
        window_.top = 0;
        setWindowHeight(screen_.height);
        setWindowWidth(screen_.width);
        control_.height = screen_.height - ToggleMargin;
        control_.width = screen_.width - ToggleMargin;
    }
    DrawBorder();
}

bool PlaybackGeometry::zoomStep(bool towardsUser) {
    if (towardsUser && screen_.width - ZoomRoom > window_.width &&
        screen_.height - ZoomRoom > window_.height) {
        setWindowHeight(window_.height + ZoomStep);
        setWindowWidth(window_.width + ZoomStep);
        return true;
    }
    if (window_.width > ZoomFloor && window_.height > ZoomFloor) {
        setWindowHeight(window_.height - ZoomStep);
        setWindowWidth(window_.width - ZoomStep);
        return true;
    }
    return false;
}

} // namespace player
