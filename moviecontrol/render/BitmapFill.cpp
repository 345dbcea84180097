#include "BitmapFill.h"

#include <QBrush>
#include <cmath>
#include <optional>

namespace mc {

namespace {

// Past this the edge strips are drawn only as far as the device shows; the clip bounds them.
constexpr double kFarReach = 1e7;

QColor pixelAt(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// Draws the part of `reach` outside the bitmap, in bitmap pixels: edge rows and columns
// stretched outwards, corner pixels as solid quarters. Each piece reaches one pixel into its
// neighbours so that no seam of half-covered pixels opens between them; the bitmap itself is
// drawn over the overlap afterwards. Sides the reach does not cross are left alone, which
// is every side for the usual bitmap filling a shape of its own size.
struct EdgeSides {
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;
    bool any() const { return left || top || right || bottom; }
};

EdgeSides sidesCrossed(const QRectF& reach, QSize size) {
    constexpr double kSlack = 0.01;
    return {reach.left() < -kSlack, reach.top() < -kSlack, reach.right() > size.width() + kSlack,
            reach.bottom() > size.height() + kSlack};
}

// The whole path in bitmap pixels, held to a finite reach: a degenerate matrix can send it
// arbitrarily far. None when the matrix cannot be inverted.
std::optional<QRectF> clippedReach(const QPainterPath& path, const QTransform& bitmapToPath) {
    bool invertible = false;
    const QTransform pathToBitmap = bitmapToPath.inverted(&invertible);
    if (!invertible) {
        return std::nullopt;
    }
    return pathToBitmap.mapRect(path.boundingRect())
        .intersected(QRectF(-kFarReach, -kFarReach, 2 * kFarReach, 2 * kFarReach));
}

void paintEdges(QPainter& p, const QImage& image, const QRectF& reach) {
    const double w = image.width();
    const double h = image.height();
    const EdgeSides sides = sidesCrossed(reach, image.size());
    const bool toLeft = sides.left;
    const bool toTop = sides.top;
    const bool toRight = sides.right;
    const bool toBottom = sides.bottom;
    const double left = std::min(reach.left(), -1.0);
    const double top = std::min(reach.top(), -1.0);
    const double right = std::max(reach.right(), w + 1.0);
    const double bottom = std::max(reach.bottom(), h + 1.0);
    const int lastX = image.width() - 1;
    const int lastY = image.height() - 1;
    if (toLeft && toTop) {
        p.fillRect(QRectF(QPointF(left, top), QPointF(1.0, 1.0)), pixelAt(image, 0, 0));
    }
    if (toRight && toTop) {
        p.fillRect(QRectF(QPointF(w - 1.0, top), QPointF(right, 1.0)), pixelAt(image, lastX, 0));
    }
    if (toLeft && toBottom) {
        p.fillRect(QRectF(QPointF(left, h - 1.0), QPointF(1.0, bottom)), pixelAt(image, 0, lastY));
    }
    if (toRight && toBottom) {
        p.fillRect(QRectF(QPointF(w - 1.0, h - 1.0), QPointF(right, bottom)),
                   pixelAt(image, lastX, lastY));
    }
    if (toTop) {
        p.drawImage(QRectF(QPointF(0.0, top), QPointF(w, 1.0)), image.copy(0, 0, image.width(), 1));
    }
    if (toBottom) {
        p.drawImage(QRectF(QPointF(0.0, h - 1.0), QPointF(w, bottom)),
                    image.copy(0, lastY, image.width(), 1));
    }
    if (toLeft) {
        p.drawImage(QRectF(QPointF(left, 0.0), QPointF(1.0, h)),
                    image.copy(0, 0, 1, image.height()));
    }
    if (toRight) {
        p.drawImage(QRectF(QPointF(w - 1.0, 0.0), QPointF(right, h)),
                    image.copy(lastX, 0, 1, image.height()));
    }
}

// Whether a border row or column the edge pieces stretch out holds a pixel that is not
// opaque. Opaque border pixels drawn twice look the same, so only then is the costly layer
// needed; most photos with an alpha channel are opaque at their borders.
bool crossedBorderTranslucent(const QImage& image, EdgeSides sides) {
    if (!image.hasAlphaChannel() || !sides.any()) {
        return false;
    }
    const int lastX = image.width() - 1;
    const int lastY = image.height() - 1;
    const auto rowTranslucent = [&](int y) {
        for (int x = 0; x <= lastX; ++x) {
            if (qAlpha(image.pixel(x, y)) != 255) {
                return true;
            }
        }
        return false;
    };
    const auto columnTranslucent = [&](int x) {
        for (int y = 0; y <= lastY; ++y) {
            if (qAlpha(image.pixel(x, y)) != 255) {
                return true;
            }
        }
        return false;
    };
    return (sides.top && rowTranslucent(0)) || (sides.bottom && rowTranslucent(lastY)) ||
           (sides.left && columnTranslucent(0)) || (sides.right && columnTranslucent(lastX));
}

// Where edge pixels are translucent, the pieces' overlap with the bitmap would show them
// twice. The pieces and the bitmap are put together on a layer, each replacing what lies
// under it, and the layer is drawn once.
void paintTranslucentEdges(QPainter& painter, const QPainterPath& path, const QImage& image,
                           const QTransform& bitmapToPath, const QRectF& reach) {
    const QPaintDevice* device = painter.device();
    if (device == nullptr) {
        return;
    }
    const QRect box = painter.transform().mapRect(path.boundingRect()).toAlignedRect() &
                      QRect(0, 0, device->width(), device->height());
    if (box.isEmpty()) {
        return;
    }
    QImage layer(box.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter q(&layer);
        q.setRenderHints(painter.renderHints());
        q.setTransform(painter.transform() * QTransform::fromTranslate(-box.left(), -box.top()));
        q.setClipPath(path);
        q.setTransform(bitmapToPath * q.transform());
        q.setCompositionMode(QPainter::CompositionMode_Source);
        paintEdges(q, image, reach);
        q.drawImage(QPointF(0.0, 0.0), image);
    }
    painter.save();
    painter.resetTransform();
    painter.drawImage(box.topLeft(), layer);
    painter.restore();
}

} // namespace

bool bitmapFillCoversOnce(const QPainterPath& path, QSize imageSize, const QTransform& bitmapToPath,
                          bool clipped) {
    if (!clipped) {
        return true;
    }
    const std::optional<QRectF> reach = clippedReach(path, bitmapToPath);
    return !reach || !sidesCrossed(*reach, imageSize).any();
}

void drawBitmap(QPainter& painter, const QImage& image, ScaledBitmapCache* scaled) {
    if (scaled != nullptr && painter.testRenderHint(QPainter::SmoothPixmapTransform)) {
        if (const auto placed = scaled->scaledFor(image, painter.deviceTransform())) {
            const QTransform world = painter.transform();
            painter.resetTransform();
            painter.drawImage(placed->at, placed->image);
            painter.setTransform(world);
            return;
        }
    }
    painter.drawImage(QPointF(0.0, 0.0), image);
}

void paintBitmapFill(QPainter& painter, const QPainterPath& path, const QImage& image,
                     const QTransform& bitmapToPath, bool clipped, ScaledBitmapCache* scaled) {
    if (image.isNull()) {
        return;
    }
    if (!clipped) {
        QBrush brush(image);
        brush.setTransform(bitmapToPath);
        painter.fillPath(path, brush);
        return;
    }
    const std::optional<QRectF> reach = clippedReach(path, bitmapToPath);
    painter.save();
    painter.setClipPath(path, Qt::IntersectClip);
    painter.setTransform(bitmapToPath * painter.transform());
    if (reach) {
        if (crossedBorderTranslucent(image, sidesCrossed(*reach, image.size()))) {
            painter.restore();
            paintTranslucentEdges(painter, path, image, bitmapToPath, *reach);
            return;
        }
        paintEdges(painter, image, *reach);
    }
    drawBitmap(painter, image, scaled);
    painter.restore();
}

} // namespace mc
