// Script bitmaps painted by the renderer.

#include "BitmapDataPainter.h"

#include "BlendModes.h"
#include "FilterApply.h"
#include "FilterGrowth.h"
#include "ImageColorTransform.h"
#include "Transform.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace mc {

QImage imageOf(const pixels::BitmapPixels& pixels) {
    QImage image(pixels.width(), pixels.height(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return image;
    }
    const auto rowBytes = static_cast<std::size_t>(pixels.width()) * sizeof(std::uint32_t);
    for (int y = 0; y < pixels.height(); ++y) {
        std::memcpy(image.scanLine(y),
                    pixels.data() +
                        static_cast<std::size_t>(y) * static_cast<std::size_t>(pixels.width()),
                    rowBytes);
    }
    return image;
}

pixels::BitmapPixels pixelsOf(const QImage& source, bool transparent) {
    const QImage image = source.format() == QImage::Format_ARGB32_Premultiplied
                             ? source
                             : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    std::vector<std::uint32_t> data(static_cast<std::size_t>(image.width()) *
                                    static_cast<std::size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        std::copy(row, row + image.width(),
                  data.begin() + static_cast<std::ptrdiff_t>(y) * image.width());
    }
    return pixels::BitmapPixels::fromPremultiplied(image.width(), image.height(), transparent,
                                                   std::move(data));
}

ColorTransform fixedColorTransform(const pixels::ChannelTransform& t) {
    ColorTransform cx;
    for (std::size_t i = 0; i < 4; ++i) {
        const auto fixed = [](double v, double scale) {
            return std::isfinite(v) ? static_cast<std::int32_t>(
                                          std::clamp(std::round(v * scale), -1048576.0, 1048576.0))
                                    : 0;
        };
        cx.mult[i] = fixed(t.mult[i], 256.0);
        cx.add[i] = fixed(t.add[i], 1.0);
    }
    return cx;
}

void drawIntoBitmap(pixels::BitmapPixels& target, const avm1::BitmapDrawing& drawing,
                    swf::BlendMode mode, const ContentPainter& content) {
    QRect area(0, 0, target.width(), target.height());
    if (drawing.clipped) {
        const pixels::PixelRect c = target.clip(drawing.clipRect);
        area = QRect(c.x, c.y, c.width, c.height);
    }
    if (area.isEmpty()) {
        return;
    }
    // Alpha and Erase act through the source's own layer, which only a display object has:
    // a bitmap drawn directly under either leaves the target as it was. Wrapped in a Bitmap
    // display object it erases.
    if (drawing.bitmap != nullptr &&
        (mode == swf::BlendMode::Alpha || mode == swf::BlendMode::Erase)) {
        return;
    }
    // The source alone first, in a layer the size of the area that may change, so that the
    // colour transform and blend mode act on its picture as a whole.
    QImage layer(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) {
        return;
    }
    layer.fill(Qt::transparent);
    std::array<double, 6> m = drawing.matrix;
    bool smoothing = drawing.smoothing;
    if (drawing.bitmap != nullptr && m[0] == 1.0 && m[1] == 0.0 && m[2] == 0.0 && m[3] == 1.0 &&
        std::isfinite(m[4]) && std::isfinite(m[5])) {
        // A bitmap neither scaled nor turned is copied pixel for pixel: it lands at its
        // offset rounded down to whole pixels, with nothing between pixels to smooth.
        m[4] = std::floor(m[4]);
        m[5] = std::floor(m[5]);
        smoothing = false;
    }
    {
        QPainter painter(&layer);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, smoothing);
        painter.setRenderHint(QPainter::Antialiasing, true);
        const QTransform toTarget(m[0], m[1], m[2], m[3], m[4], m[5]);
        painter.setTransform(toTarget * QTransform::fromTranslate(-area.x(), -area.y()));
        if (drawing.bitmap != nullptr) {
            painter.drawImage(QPointF(0, 0), imageOf(*drawing.bitmap));
        } else if (content) {
            // The content's twips, then the matrix, then the layer's corner.
            const Transform toLayer{m[0] / 20.0, m[1] / 20.0,     m[2] / 20.0,
                                    m[3] / 20.0, m[4] - area.x(), m[5] - area.y()};
            painter.resetTransform();
            content(painter, toLayer);
        }
    }
    const ColorTransform cx = fixedColorTransform(drawing.colors);
    if (!cx.isIdentity()) {
        layer = colorTransformed(layer, cx);
    }
    QImage picture = imageOf(target);
    blendLayer(picture, layer, area.topLeft(), mode);
    target = pixelsOf(picture, target.transparent());
}

bool filterIntoBitmap(pixels::BitmapPixels& target, const pixels::BitmapPixels& source,
                      pixels::Placement at, const swf::Filter& filter) {
    const pixels::Overlap overlap = pixels::overlapOf(target, source, at);
    if (overlap.dest.width == 0) {
        return true;
    }
    const QMargins grow = filterMargins(filter, FilterScale{});
    // The part and the source around it that the filter reaches, on a layer with room for
    // what spreads past the source's edges.
    const QRect part(overlap.sourceX, overlap.sourceY, overlap.dest.width, overlap.dest.height);
    const QRect around = part.marginsAdded(grow);
    QImage layer(around.size(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) {
        return false;
    }
    layer.fill(Qt::transparent);
    {
        QPainter painter(&layer);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        const QRect readable = around.intersected(QRect(0, 0, source.width(), source.height()));
        painter.drawImage(readable.topLeft() - around.topLeft(), imageOf(source), readable);
    }
    const QImage filtered = applyFilter(layer, filter, FilterScale{});
    QImage picture = imageOf(target);
    {
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(overlap.dest.x, overlap.dest.y), filtered,
                          QRect(part.topLeft() - around.topLeft(), part.size()));
    }
    target = pixelsOf(picture, target.transparent());
    return true;
}

pixels::PixelRect filteredRect(pixels::PixelRect rect, const swf::Filter& filter) {
    const QMargins grow = filterMargins(filter, FilterScale{});
    const auto clampSize = [](long v) {
        return static_cast<int>(std::clamp<long>(v, 0, 1L << 30));
    };
    const auto clampPos = [](long v) {
        return static_cast<int>(std::clamp<long>(v, -(1L << 30), 1L << 30));
    };
    return {clampPos(static_cast<long>(rect.x) - grow.left()),
            clampPos(static_cast<long>(rect.y) - grow.top()),
            clampSize(static_cast<long>(rect.width) + grow.left() + grow.right()),
            clampSize(static_cast<long>(rect.height) + grow.top() + grow.bottom())};
}

} // namespace mc
