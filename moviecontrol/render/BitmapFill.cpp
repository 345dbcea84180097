#include "BitmapFill.h"

#include <QBrush>
#include <QPolygonF>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace mc {

namespace {

// Past this a path's reach is cut off: a degenerate matrix can send it arbitrarily far.
constexpr double kFarReach = 1e7;

// The pixels a clipped fill draws from, and where they land on the device: the bitmap
// itself under the painter's transform, or a shrunk copy at a whole device pixel.
struct Source {
    QImage image;
    QTransform toDevice;
};

Source sourceFor(const QPainter& painter, const QImage& image, ScaledBitmapCache* scaled) {
    if (scaled != nullptr && painter.testRenderHint(QPainter::SmoothPixmapTransform)) {
        if (auto placed = scaled->scaledFor(image, painter.deviceTransform())) {
            return {std::move(placed->image),
                    QTransform::fromTranslate(placed->at.x(), placed->at.y())};
        }
    }
    return {image, painter.transform()};
}

void drawSource(QPainter& painter, const Source& source) {
    painter.setTransform(source.toDevice);
    painter.drawImage(QPointF(0.0, 0.0), source.image);
}

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

// The whole path in bitmap pixels, held to a finite reach. None when the matrix cannot be
// inverted.
std::optional<QRectF> clippedReach(const QPainterPath& path, const QTransform& bitmapToPath) {
    bool invertible = false;
    const QTransform pathToBitmap = bitmapToPath.inverted(&invertible);
    if (!invertible) {
        return std::nullopt;
    }
    return pathToBitmap.mapRect(path.boundingRect())
        .intersected(QRectF(-kFarReach, -kFarReach, 2 * kFarReach, 2 * kFarReach));
}

// How the pieces past the bitmap's sides are laid out, in source pixels: out to `extent`,
// and reaching `overlap` into the source, so that the source's smooth edge is drawn over
// a piece that covers its pixels wholly and no seam of half-covered pixels opens.
struct EdgePlan {
    EdgeSides sides;
    QRectF extent;
    QSizeF overlap;
};

// A device pixel and a half, so that the pieces cover wholly every pixel the source's edge
// crosses; at most the source's size, so that no piece reaches past the far side.
QSizeF overlapFor(const QTransform& toDevice, QSize size) {
    const double sx = std::hypot(toDevice.m11(), toDevice.m12());
    const double sy = std::hypot(toDevice.m21(), toDevice.m22());
    const auto along = [](double scale, int length) {
        const double wanted = scale > 0.0 ? 1.5 / scale : 1.0;
        return std::min(wanted, double(length));
    };
    return {along(sx, size.width()), along(sy, size.height())};
}

// Draws the part of the plan's extent outside the source: edge rows and columns stretched
// outwards, corner pixels as solid quarters, each reaching the plan's overlap into its
// neighbours. Sides the path does not cross are left alone, which is every side for the
// usual bitmap filling a shape of its own size.
void paintEdges(QPainter& p, const QImage& image, const EdgePlan& plan) {
    const double w = image.width();
    const double h = image.height();
    const double ox = plan.overlap.width();
    const double oy = plan.overlap.height();
    const EdgeSides& s = plan.sides;
    const double left = std::min(plan.extent.left(), -1.0);
    const double top = std::min(plan.extent.top(), -1.0);
    const double right = std::max(plan.extent.right(), w + 1.0);
    const double bottom = std::max(plan.extent.bottom(), h + 1.0);
    const int lastX = image.width() - 1;
    const int lastY = image.height() - 1;
    if (s.left && s.top) {
        p.fillRect(QRectF(QPointF(left, top), QPointF(ox, oy)), image.pixelColor(0, 0));
    }
    if (s.right && s.top) {
        p.fillRect(QRectF(QPointF(w - ox, top), QPointF(right, oy)), image.pixelColor(lastX, 0));
    }
    if (s.left && s.bottom) {
        p.fillRect(QRectF(QPointF(left, h - oy), QPointF(ox, bottom)), image.pixelColor(0, lastY));
    }
    if (s.right && s.bottom) {
        p.fillRect(QRectF(QPointF(w - ox, h - oy), QPointF(right, bottom)),
                   image.pixelColor(lastX, lastY));
    }
    // A source rectangle keeps the smooth lookup inside the one row or column.
    if (s.top) {
        p.drawImage(QRectF(QPointF(0.0, top), QPointF(w, oy)), image, QRectF(0.0, 0.0, w, 1.0));
    }
    if (s.bottom) {
        p.drawImage(QRectF(QPointF(0.0, h - oy), QPointF(w, bottom)), image,
                    QRectF(0.0, h - 1.0, w, 1.0));
    }
    if (s.left) {
        p.drawImage(QRectF(QPointF(left, 0.0), QPointF(ox, h)), image, QRectF(0.0, 0.0, 1.0, h));
    }
    if (s.right) {
        p.drawImage(QRectF(QPointF(w - ox, 0.0), QPointF(right, h)), image,
                    QRectF(w - 1.0, 0.0, 1.0, h));
    }
}

// Whether a border row or column the pieces stretch out holds a pixel that is not opaque.
bool crossedBorderTranslucent(const QImage& image, EdgeSides sides) {
    if (!image.hasAlphaChannel()) {
        return false;
    }
    const int lastX = image.width() - 1;
    const int lastY = image.height() - 1;
    const auto translucent = [&](QRect line) {
        const bool rgb32 = image.depth() == 32;
        for (int y = line.top(); y <= line.bottom(); ++y) {
            const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = line.left(); x <= line.right(); ++x) {
                if (qAlpha(rgb32 ? pixels[x] : image.pixel(x, y)) != 255) {
                    return true;
                }
            }
        }
        return false;
    };
    return (sides.top && translucent(QRect(0, 0, lastX + 1, 1))) ||
           (sides.bottom && translucent(QRect(0, lastY, lastX + 1, 1))) ||
           (sides.left && translucent(QRect(0, 0, 1, lastY + 1))) ||
           (sides.right && translucent(QRect(lastX, 0, 1, lastY + 1)));
}

// The device pixels where pieces and source overlap, with a margin for their smooth edges:
// a strip along each crossed side, whichever way the source is turned. The strips do not
// share a pixel.
std::vector<QRegion> overlapBands(const Source& source, const EdgePlan& plan, const QRect& box) {
    const QTransform& m = source.toDevice;
    const double sx = std::hypot(m.m11(), m.m12());
    const double sy = std::hypot(m.m21(), m.m22());
    if (!(sx > 0.0 && sy > 0.0)) {
        return {QRegion(box)};
    }
    constexpr double kMargin = 2.0;
    const double mx = kMargin / sx;
    const double my = kMargin / sy;
    const double w = source.image.width();
    const double h = source.image.height();
    const QRectF& e = plan.extent;
    const double ox = plan.overlap.width();
    const double oy = plan.overlap.height();
    std::vector<QRegion> bands;
    QRegion taken;
    const auto add = [&](const QRectF& strip) {
        // Cut to the box before rounding: a nearly flat matrix sends the strip's ends far.
        const QRectF device(box);
        QRegion band = m.type() <= QTransform::TxScale
                           ? QRegion(m.mapRect(strip).intersected(device).toAlignedRect())
                           : QRegion(m.map(QPolygonF(strip))
                                         .intersected(QPolygonF(device.adjusted(-1, -1, 1, 1)))
                                         .toPolygon());
        band = (band & box) - taken;
        if (!band.isEmpty()) {
            taken += band;
            bands.push_back(std::move(band));
        }
    };
    if (plan.sides.left) {
        add(QRectF(QPointF(-mx, e.top()), QPointF(ox + mx, e.bottom())));
    }
    if (plan.sides.right) {
        add(QRectF(QPointF(w - ox - mx, e.top()), QPointF(w + mx, e.bottom())));
    }
    if (plan.sides.top) {
        add(QRectF(QPointF(e.left(), -my), QPointF(e.right(), oy + my)));
    }
    if (plan.sides.bottom) {
        add(QRectF(QPointF(e.left(), h - oy - my), QPointF(e.right(), h + my)));
    }
    return bands;
}

// A band cut into tiles whose bounding boxes it mostly fills, so that a strip turned off the
// axes is put together on small layers rather than on one the size of its bounding box.
// The band's rectangles come row by row, each row's neighbours next to each other.
std::vector<QRegion> bandTiles(const QRegion& band) {
    std::vector<QRegion> tiles;
    QRegion tile;
    QRect bounds;
    qint64 filled = 0;
    const auto area = [](const QRect& r) { return qint64(r.width()) * r.height(); };
    for (const QRect& r : band) {
        const QRect joined = bounds.united(r);
        if (!tile.isEmpty() && area(joined) > 2 * (filled + area(r)) + 256) {
            tiles.push_back(std::exchange(tile, QRegion()));
            filled = 0;
            bounds = r;
        } else {
            bounds = joined;
        }
        tile += r;
        filled += area(r);
    }
    if (!tile.isEmpty()) {
        tiles.push_back(std::move(tile));
    }
    return tiles;
}

// The bands as rectangles that do not overlap, each mostly filled by its band.
std::vector<QRect> layerRects(const std::vector<QRegion>& bands) {
    std::vector<QRect> rects;
    QRegion taken;
    for (const QRegion& band : bands) {
        for (const QRegion& tile : bandTiles(band)) {
            const QRegion fresh = QRegion(tile.boundingRect()) - taken;
            taken += fresh;
            rects.insert(rects.end(), fresh.begin(), fresh.end());
        }
    }
    return rects;
}

// Puts pieces and source together over `rect` on a layer, each replacing what lies under
// it, and draws the layer once through the painter's clip, which holds the path.
void composeOnLayer(QPainter& painter, const Source& source, const EdgePlan& plan,
                    const QRect& rect, QImage& layer) {
    if (layer.width() < rect.width() || layer.height() < rect.height()) {
        layer = QImage(rect.size().expandedTo(layer.size()), QImage::Format_ARGB32_Premultiplied);
    }
    layer.fill(Qt::transparent);
    {
        QPainter q(&layer);
        q.setClipRect(QRect(QPoint(0, 0), rect.size()));
        q.setRenderHints(painter.renderHints());
        q.setCompositionMode(QPainter::CompositionMode_Source);
        q.setTransform(source.toDevice * QTransform::fromTranslate(-rect.left(), -rect.top()));
        paintEdges(q, source.image, plan);
        q.drawImage(QPointF(0.0, 0.0), source.image);
    }
    painter.setTransform(QTransform());
    painter.drawImage(rect.topLeft(), layer, QRect(QPoint(0, 0), rect.size()));
}

// Whether the transform only moves by whole device pixels: the image's pixels then fall on
// the device's and its edges need no blending.
bool onWholePixels(const QTransform& m) {
    return m.type() <= QTransform::TxTranslate && m.dx() == std::round(m.dx()) &&
           m.dy() == std::round(m.dy());
}

// The image with its border pixels repeated once more on every side.
QImage withRepeatedBorder(const QImage& image) {
    const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = source.width();
    const int h = source.height();
    QImage out(w + 2, h + 2, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h + 2; ++y) {
        const auto* from =
            reinterpret_cast<const QRgb*>(source.constScanLine(std::clamp(y - 1, 0, h - 1)));
        auto* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        to[0] = from[0];
        std::copy(from, from + w, to + 1);
        to[w + 1] = from[w - 1];
    }
    return out;
}

// An unsmoothed bitmap keeps hard edges between its pixels, but its outline is a shape's:
// a device pixel it covers in part is blended by how much it covers. The image is filled as
// a texture over its own rectangle; the repeated border keeps a partly covered pixel whose
// centre falls just outside from taking a pixel of the far side.
void drawHardPixels(QPainter& painter, const QImage& image) {
    QBrush brush(withRepeatedBorder(image));
    brush.setTransform(QTransform::fromTranslate(-1.0, -1.0));
    painter.fillRect(QRectF(0.0, 0.0, image.width(), image.height()), brush);
}

} // namespace

void drawBitmap(QPainter& painter, const QImage& image, ScaledBitmapCache* scaled) {
    const QTransform world = painter.transform();
    if (!painter.testRenderHint(QPainter::SmoothPixmapTransform) && !onWholePixels(world) &&
        !image.isNull()) {
        drawHardPixels(painter, image);
        return;
    }
    drawSource(painter, sourceFor(painter, image, scaled));
    painter.setTransform(world);
}

qint64 paintBitmapFill(QPainter& painter, const QPainterPath& path, const QImage& image,
                       const QTransform& bitmapToPath, bool clipped, ScaledBitmapCache* scaled) {
    if (image.isNull()) {
        return 0;
    }
    if (!clipped) {
        QBrush brush(image);
        brush.setTransform(bitmapToPath);
        painter.fillPath(path, brush);
        return 0;
    }
    const QTransform pathToDevice = painter.transform();
    painter.setTransform(bitmapToPath * pathToDevice);
    const Source source = sourceFor(painter, image, scaled);
    painter.setTransform(pathToDevice);
    const std::optional<QRectF> reach = clippedReach(path, bitmapToPath);
    const EdgeSides sides = reach ? sidesCrossed(*reach, image.size()) : EdgeSides{};
    const QPaintDevice* device = painter.device();
    bool invertible = false;
    const QTransform deviceToSource = source.toDevice.inverted(&invertible);
    const QRect box = pathToDevice.mapRect(path.boundingRect()).toAlignedRect() &
                      QRect(0, 0, device ? device->width() : 0, device ? device->height() : 0);
    painter.save();
    painter.setClipPath(path, Qt::IntersectClip);
    if (!sides.any() || !invertible || box.isEmpty()) {
        drawSource(painter, source);
        painter.restore();
        return 0;
    }
    // The pieces go as far as the device shows the path, with a margin for its smooth
    // outline: however far that is in the source's pixels, on the device it stays in range.
    const EdgePlan plan{sides, deviceToSource.mapRect(QRectF(box.adjusted(-2, -2, 2, 2))),
                        overlapFor(source.toDevice, source.image.size())};
    // Where pieces and source overlap a pixel is painted twice: invisible while it is opaque
    // and laid down plainly, but a fade, a blend or a translucent border pixel would show a
    // seam. Then those bands are put together on small layers and drawn once.
    const bool once = painter.opacity() < 1.0 ||
                      painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
                      crossedBorderTranslucent(source.image, sides);
    const std::vector<QRect> layered =
        once ? layerRects(overlapBands(source, plan, box)) : std::vector<QRect>();
    QImage layer;
    QRegion rest(box);
    for (const QRect& rect : layered) {
        composeOnLayer(painter, source, plan, rect, layer);
        rest -= rect;
    }
    if (!layered.empty()) {
        painter.setTransform(QTransform());
        painter.setClipRegion(rest, Qt::IntersectClip);
    }
    painter.setTransform(source.toDevice);
    paintEdges(painter, source.image, plan);
    drawSource(painter, source);
    painter.restore();
    qint64 pixels = 0;
    for (const QRect& rect : layered) {
        pixels += qint64(rect.width()) * rect.height();
    }
    return pixels;
}

} // namespace mc
