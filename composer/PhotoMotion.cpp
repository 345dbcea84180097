#include "composer/PhotoMotion.h"

#include <algorithm>
#include <cmath>

namespace composer {

using moviemaker::ColorTransform;
using moviemaker::Matrix;

PhotoMotion::PhotoMotion(Transition transition, double stageWidth, double stageHeight, PhotoFit fit,
                         int transitionFrames)
    : transition_(transition), width_(stageWidth), height_(stageHeight), fit_(fit),
      transitionFrames_(std::max(1, transitionFrames)) {}

std::optional<PhotoPlacement> PhotoMotion::at(const MoviePlan& plan, std::size_t index, int frame,
                                              double photoWidth, double photoHeight) const {
    if (index >= plan.photos.size() || photoWidth <= 0 || photoHeight <= 0) {
        return std::nullopt;
    }
    const bool last = index + 1 == plan.photos.size();
    const int start = plan.photos[index].start;
    const int appear = index == 0 ? 0 : start;
    const int leave = last ? plan.totalFrames : plan.photos[index + 1].start + transitionFrames_;
    if (frame < appear || frame >= leave) {
        return std::nullopt;
    }
    const double t = static_cast<double>(frame - appear) / std::max(1, leave - appear - 1);
    const double in =
        index == 0 ? 1.0
                   : std::min(1.0, static_cast<double>(frame - start + 1) / transitionFrames_);
    const double out =
        last || frame < plan.photos[index + 1].start
            ? 0.0
            : std::min(1.0, static_cast<double>(frame - plan.photos[index + 1].start + 1) /
                                transitionFrames_);
    const double sx = width_ / photoWidth;
    const double sy = height_ / photoHeight;
    double scale = fit_ == PhotoFit::Fill ? std::max(sx, sy) : std::min(sx, sy);
    double x = width_ / 2;
    const double y = height_ / 2;
    double opacity = 1.0;
    PhotoPlacement placed;
    switch (transition_) {
    case Transition::CrossFade:
        opacity = in;
        break;
    case Transition::ZoomPan: {
        scale *= 1 + kZoomGrowth * t;
        const double direction = index % 2 == 0 ? 1.0 : -1.0;
        // The pan stays inside what the zoom has added, so no edge shows.
        x += direction * width_ * kZoomGrowth * 0.4 * t;
        opacity = in;
        break;
    }
    case Transition::Push:
        x += width_ * (1 - in) - width_ * out;
        break;
    case Transition::MaskWipe:
        if (in < 1.0) {
            const double reach = std::hypot(width_, height_) * 1.25 / kMaskRadius;
            placed.mask = Matrix::scaleRotate(std::max(0.02, in) * reach, 0,
                                              static_cast<int32_t>(std::lround(width_ / 2)),
                                              static_cast<int32_t>(std::lround(height_ / 2)));
        }
        break;
    }
    if (last && frame >= plan.endingStart) {
        const double dim =
            std::min(1.0, static_cast<double>(frame - plan.endingStart + 1) / transitionFrames_);
        opacity *= 1 - (1 - kEndingDim) * dim;
    }
    placed.photo = Matrix::scaleRotate(scale, 0, static_cast<int32_t>(std::lround(x)),
                                       static_cast<int32_t>(std::lround(y)));
    placed.cx = ColorTransform::alpha(opacity);
    return placed;
}

} // namespace composer
