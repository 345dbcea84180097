#pragma once

#include <cstdint>

#include "Transform.h"

namespace mc {

// The movie's frame rectangle in twips; its minimum corner need not be zero.
struct TwipsRect {
    std::int32_t xMin = 0;
    std::int32_t yMin = 0;
    std::int32_t xMax = 0;
    std::int32_t yMax = 0;
    std::int64_t width() const { return static_cast<std::int64_t>(xMax) - xMin; }
    std::int64_t height() const { return static_cast<std::int64_t>(yMax) - yMin; }
};

// Where the stage lands in a view of the given pixel size under "ShowAll": scaled uniformly
// to fit, centred, the rest letterboxed.
struct StageFit {
    double scale = 1.0; // device pixels per twip
    double offsetX = 0.0;
    double offsetY = 0.0;
    double stageWidthPx = 0.0; // size of the stage on the device
    double stageHeightPx = 0.0;

    // Twips of the movie to device pixels.
    Transform toDevice(const TwipsRect& stage) const;
    // A device pixel position back to twips of the movie (outside the stage in the
    // letterbox, as the pointer may be).
    void toStage(const TwipsRect& stage, double px, double py, double& x, double& y) const;
};

StageFit fitShowAll(const TwipsRect& stage, int viewWidth, int viewHeight);

} // namespace mc
