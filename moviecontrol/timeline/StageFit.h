#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// How the stage fills a view of another size (Stage.scaleMode).
enum class ScaleMode : std::uint8_t { ShowAll, NoBorder, ExactFit, NoScale };

// Stage.scaleMode and Stage.align as a movie set them. Every view of the movie (what is
// painted, where a pointer lands) fits the stage by this one layout.
struct StageLayout {
    ScaleMode scaleMode = ScaleMode::ShowAll;
    // The edges the stage keeps to; none on an axis centres it there. When both edges of
    // an axis are given, left and top win, as in Flash.
    bool left = false;
    bool right = false;
    bool top = false;
    bool bottom = false;

    // "showAll", "noBorder", "exactFit", "noScale" in any case; false (unchanged) for
    // anything else.
    bool setScaleMode(std::string_view name);
    std::string_view scaleModeName() const;
    // Letters L, R, T and B in any order and case; everything else is ignored.
    void setAlign(std::string_view letters);
    // The letters as ActionScript 2 reads them back: left, top, right, bottom ("LT", "B").
    std::string alignName() const;
    // Only the plain fit hides what lies beyond the stage behind bars: a movie that chose
    // another mode or an alignment lays itself out for the whole view.
    bool letterboxed() const {
        return scaleMode == ScaleMode::ShowAll && !left && !right && !top && !bottom;
    }
};

// Where the stage lands in a view of a given pixel size.
struct StageFit {
    double scaleX = 1.0; // device pixels per twip
    double scaleY = 1.0;
    double offsetX = 0.0; // where the stage's top-left corner lands, device pixels
    double offsetY = 0.0;
    double stageWidthPx = 0.0; // size of the stage on the device
    double stageHeightPx = 0.0;
    // Whether what lies outside the stage is covered by bars.
    bool letterboxed = true;

    // Twips of the movie to device pixels.
    Transform toDevice(const TwipsRect& stage) const;
    // A device pixel position back to twips of the movie (outside the stage in the
    // letterbox, as the pointer may be).
    void toStage(const TwipsRect& stage, double px, double py, double& x, double& y) const;
};

StageFit fitStage(const TwipsRect& stage, int viewWidth, int viewHeight,
                  const StageLayout& layout = {});
inline StageFit fitShowAll(const TwipsRect& stage, int viewWidth, int viewHeight) {
    return fitStage(stage, viewWidth, viewHeight, {});
}

} // namespace mc
