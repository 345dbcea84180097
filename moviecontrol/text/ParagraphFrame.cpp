#include "ParagraphFrame.h"

#include <algorithm>
#include <cmath>

namespace mc {

double lengthTwips(double pixels) {
    constexpr double kReach = 100000.0;
    return std::isfinite(pixels) ? std::clamp(pixels, -kReach, kReach) * 20.0 : 0.0;
}

ParagraphFrame paragraphFrame(double textLeft, double textRight, const ParagraphLengths& lengths) {
    ParagraphFrame frame;
    frame.margin = textLeft + lengthTwips(lengths.leftMargin) + lengthTwips(lengths.blockIndent);
    frame.left = frame.margin + (lengths.bullet ? kBulletIndent : 0.0);
    frame.right = textRight - lengthTwips(lengths.rightMargin);
    frame.indent = lengthTwips(lengths.indent);
    return frame;
}

} // namespace mc
