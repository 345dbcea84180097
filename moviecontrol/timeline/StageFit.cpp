#include "StageFit.h"

#include <algorithm>
#include <cctype>

namespace mc {

namespace {

bool sameFolded(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

constexpr struct {
    ScaleMode mode;
    std::string_view name;
} kScaleModes[] = {{ScaleMode::ShowAll, "showAll"},
                   {ScaleMode::NoBorder, "noBorder"},
                   {ScaleMode::ExactFit, "exactFit"},
                   {ScaleMode::NoScale, "noScale"}};

// Where the stage starts on one axis: at the near edge, at the far edge, or centred in
// what is left over (which is negative when the stage overflows the view).
double placed(double leftover, bool nearEdge, bool farEdge) {
    if (nearEdge) {
        return 0.0;
    }
    return farEdge ? leftover : leftover / 2.0;
}

} // namespace

bool StageLayout::setScaleMode(std::string_view name) {
    for (const auto& known : kScaleModes) {
        if (sameFolded(name, known.name)) {
            scaleMode = known.mode;
            return true;
        }
    }
    return false;
}

std::string_view StageLayout::scaleModeName() const {
    for (const auto& known : kScaleModes) {
        if (known.mode == scaleMode) {
            return known.name;
        }
    }
    return "showAll";
}

void StageLayout::setAlign(std::string_view letters) {
    left = right = top = bottom = false;
    for (const char c : letters) {
        switch (std::toupper(static_cast<unsigned char>(c))) {
        case 'L':
            left = true;
            break;
        case 'R':
            right = true;
            break;
        case 'T':
            top = true;
            break;
        case 'B':
            bottom = true;
            break;
        default:
            break;
        }
    }
}

std::string StageLayout::alignName() const {
    std::string out;
    if (left) {
        out += 'L';
    }
    if (top) {
        out += 'T';
    }
    if (right) {
        out += 'R';
    }
    if (bottom) {
        out += 'B';
    }
    return out;
}

Transform StageFit::toDevice(const TwipsRect& stage) const {
    return Transform{
        scaleX, 0.0, 0.0, scaleY, offsetX - stage.xMin * scaleX, offsetY - stage.yMin * scaleY};
}

void StageFit::toStage(const TwipsRect& stage, double px, double py, double& x, double& y) const {
    x = (px - offsetX) / scaleX + stage.xMin;
    y = (py - offsetY) / scaleY + stage.yMin;
}

StageFit fitStage(const TwipsRect& stage, int viewWidth, int viewHeight,
                  const StageLayout& layout) {
    StageFit fit;
    fit.letterboxed = layout.letterboxed();
    const double w = static_cast<double>(stage.width());
    const double h = static_cast<double>(stage.height());
    if (w <= 0.0 || h <= 0.0 || viewWidth <= 0 || viewHeight <= 0) {
        fit.scaleX = fit.scaleY = 1.0 / 20.0;
        return fit;
    }
    const double byWidth = viewWidth / w;
    const double byHeight = viewHeight / h;
    switch (layout.scaleMode) {
    case ScaleMode::ShowAll:
        fit.scaleX = fit.scaleY = std::min(byWidth, byHeight);
        break;
    case ScaleMode::NoBorder:
        fit.scaleX = fit.scaleY = std::max(byWidth, byHeight);
        break;
    case ScaleMode::ExactFit:
        fit.scaleX = byWidth;
        fit.scaleY = byHeight;
        break;
    case ScaleMode::NoScale:
        fit.scaleX = fit.scaleY = 1.0 / 20.0;
        break;
    }
    fit.stageWidthPx = w * fit.scaleX;
    fit.stageHeightPx = h * fit.scaleY;
    fit.offsetX = placed(viewWidth - fit.stageWidthPx, layout.left, layout.right);
    fit.offsetY = placed(viewHeight - fit.stageHeightPx, layout.top, layout.bottom);
    return fit;
}

} // namespace mc
