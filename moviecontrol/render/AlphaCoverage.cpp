#include "AlphaCoverage.h"

#include <algorithm>

namespace mc {

ColorTransform coverageTransform() {
    ColorTransform cx;
    for (int c = 0; c < 4; ++c) {
        cx.mult[c] = 0;
        cx.add[c] = 255;
    }
    return cx;
}

QImage alphaThroughCoverage(const QImage& picture, const QImage& coverage) {
    QImage out = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (coverage.isNull()) {
        return out;
    }
    const QImage cover = coverage.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = std::min(out.width(), cover.width());
    const int h = std::min(out.height(), cover.height());
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        const auto* covered =
            y < h ? reinterpret_cast<const QRgb*>(cover.constScanLine(y)) : nullptr;
        for (int x = 0; x < out.width(); ++x) {
            const int c = (covered != nullptr && x < w) ? qAlpha(covered[x]) : 0;
            const int a = std::clamp(255 - c + qAlpha(row[x]), 0, 255);
            row[x] = qRgba(a, a, a, a);
        }
    }
    return out;
}

} // namespace mc
