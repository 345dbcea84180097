#include "StageFit.h"

#include <algorithm>

namespace mc {

Transform StageFit::toDevice(const TwipsRect& stage) const {
    return Transform{
        scale, 0.0, 0.0, scale, offsetX - stage.xMin * scale, offsetY - stage.yMin * scale};
}

void StageFit::toStage(const TwipsRect& stage, double px, double py, double& x, double& y) const {
    x = (px - offsetX) / scale + stage.xMin;
    y = (py - offsetY) / scale + stage.yMin;
}

StageFit fitShowAll(const TwipsRect& stage, int viewWidth, int viewHeight) {
    StageFit fit;
    const double w = static_cast<double>(stage.width());
    const double h = static_cast<double>(stage.height());
    if (w <= 0.0 || h <= 0.0 || viewWidth <= 0 || viewHeight <= 0) {
        fit.scale = 1.0 / 20.0;
        return fit;
    }
    fit.scale = std::min(viewWidth / w, viewHeight / h);
    fit.stageWidthPx = w * fit.scale;
    fit.stageHeightPx = h * fit.scale;
    fit.offsetX = (viewWidth - fit.stageWidthPx) / 2.0;
    fit.offsetY = (viewHeight - fit.stageHeightPx) / 2.0;
    return fit;
}

} // namespace mc
