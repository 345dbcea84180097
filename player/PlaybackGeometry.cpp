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

TwipPlace PlaybackGeometry::area() const {
    if (available_.width > 0 && available_.height > 0) {
        return available_;
    }
    return {0, 0, static_cast<double>(screen_.width), static_cast<double>(screen_.height)};
}

double PlaybackGeometry::fitFactor(double movieWidth, double movieHeight, double margin) const {
    const TwipPlace room = area();
    double factor = 1;
    if (movieWidth > 0 && room.width > margin && movieWidth + margin > room.width) {
        factor = std::min(factor, (room.width - margin) / movieWidth);
    }
    if (movieHeight > 0 && room.height > margin && movieHeight + margin > room.height) {
        factor = std::min(factor, (room.height - margin) / movieHeight);
    }
    return factor;
}

void PlaybackGeometry::keepInsideArea() {
    const TwipPlace room = area();
    if (room.width <= 0 || room.height <= 0) {
        return;
    }
    window_.left =
        std::max(room.left, std::min(window_.left, room.left + room.width - window_.width));
    window_.top =
        std::max(room.top, std::min(window_.top, room.top + room.height - window_.height));
}

namespace {

// A length in twips shrunk by `factor`, on whole pixels (a hair's tolerance keeps an exact
// fit from losing a pixel to rounding).
double scaledTwips(double twips, double factor) {
    if (factor >= 1) {
        return twips;
    }
    // Lengths are never negative here: truncation is the floor.
    return static_cast<double>(static_cast<std::int64_t>(twips * factor / TwipsPerPixel + 1e-6)) *
           TwipsPerPixel;
}

} // namespace

void PlaybackGeometry::fitToMovie(std::int32_t widthPx, std::int32_t heightPx) {
    // Held to the 16-bit pixel range first, whatever the header claims.
    const double movieHeight = std::int32_t{moviePixels(heightPx)} * TwipsPerPixel;
    const double movieWidth = std::int32_t{moviePixels(widthPx)} * TwipsPerPixel;
    const double factor = fitFactor(movieWidth, movieHeight, FitMargin);
    setWindowHeight(scaledTwips(movieHeight, factor) + FitMargin);
    setWindowWidth(scaledTwips(movieWidth, factor) + FitMargin);
    window_.top = (screen_.height - window_.height) / 2;
    window_.left = (screen_.width - window_.width) / 2;
    keepInsideArea();
}

void PlaybackGeometry::toggleFullScreen(PlayerState& state) {
    if (state.FullScreenOn != FlagFalse) {
        state.FullScreenOn = FlagFalse;
        // 32-bit arithmetic: a movie above 2174 pixels would overflow 16 bits here.
        // and a movie larger than the screen comes back fitted to it, as when it was opened.
        const double fullHeight = std::int32_t{state.MovieHeightPx} * TwipsPerPixel;
        const double fullWidth = std::int32_t{state.MovieWidthPx} * TwipsPerPixel;
        const double factor = fitFactor(fullWidth, fullHeight, ToggleMargin);
        const double movieHeight = scaledTwips(fullHeight, factor);
        const double movieWidth = scaledTwips(fullWidth, factor);
        setWindowHeight(movieHeight + ToggleMargin);
        setWindowWidth(movieWidth + ToggleMargin);
        control_.height = movieHeight;
        control_.width = movieWidth;
        window_.left = (screen_.width - window_.width) / 2;
        window_.top = (screen_.height - window_.height) / 2;
        keepInsideArea();
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
