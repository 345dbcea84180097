#pragma once

#include "composer/Composition.h"
#include "composer/MoviePlan.h"
#include "composer/Styles.h"

#include "moviemaker/Records.h"

#include <optional>

namespace composer {

inline constexpr double kZoomGrowth = 0.12;  // how much a zoomed photo grows over its time
inline constexpr int32_t kMaskRadius = 1000; // twips; wipe masks are scaled from this
inline constexpr double kEndingDim = 0.35;   // the last photo's opacity behind the ending's words

// Where a photo is on one frame: its placement (the photo shape is centred on its origin),
// its opacity and, while it wipes in, its mask's placement.
struct PhotoPlacement {
    moviemaker::Matrix photo;
    moviemaker::ColorTransform cx;
    std::optional<moviemaker::Matrix> mask;
};

// How the style's transition moves photos. A photo shows from its span's start (the first
// from frame 0) until the next photo's transition is over; the last one stays to the end,
// dimmed behind the ending.
class PhotoMotion {
  public:
    PhotoMotion(Transition transition, double stageWidth, double stageHeight, PhotoFit fit,
                int transitionFrames);

    // Sizes in twips; none when photo `index` is not on the stage at `frame`.
    std::optional<PhotoPlacement> at(const MoviePlan& plan, std::size_t index, int frame,
                                     double photoWidth, double photoHeight) const;

  private:
    Transition transition_;
    double width_;
    double height_;
    PhotoFit fit_;
    int transitionFrames_;
};

} // namespace composer
