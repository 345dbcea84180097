#include "MaskedImage.h"

#include <vector>

#include "MaskCoverage.h"
#include "ScanlineFill.h"
#include "SpanBlend.h"

namespace mc {

bool drawImageUnderMask(QPainter& painter, QPoint at, const QImage& image,
                        const MaskCoverage& mask) {
    const std::optional<ScanlineTarget> target = scanlineTarget(painter, &mask);
    if (!target || image.format() != QImage::Format_ARGB32_Premultiplied) {
        return false;
    }
    const QRect area = target->drawable & QRect(at, image.size());
    if (area.isEmpty() || target->opacity == 0) {
        return true;
    }
    std::vector<std::uint8_t> shown(static_cast<std::size_t>(area.width()));
    for (int y = area.top(); y <= area.bottom(); ++y) {
        mask.apply(y, area.left(), area.width(), nullptr,
                   static_cast<std::uint8_t>(target->opacity), shown.data());
        const auto* src = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y - at.y())) +
                          (area.left() - at.x());
        std::uint32_t* dst = target->row(y) + area.left();
        for (int i = 0; i < area.width(); ++i) {
            if (shown[static_cast<std::size_t>(i)] != 0 && src[i] != 0) {
                spanblend::blend(dst[i], src[i], shown[static_cast<std::size_t>(i)]);
            }
        }
    }
    return true;
}

} // namespace mc
