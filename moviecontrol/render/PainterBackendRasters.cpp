#include "PainterBackend.h"

#include <algorithm>
#include <vector>

#include "FillBrush.h"
#include "MaskedImage.h"
#include "ScanlineFill.h"
#include "ShapeComposer.h"

// Shapes drawn through the raster cache.

namespace mc {

namespace {

// How far strokes drawn with a device pen reach past the shape's box, in device pixels:
// hairlines and pixel-hinted lines keep a width of their own whatever the scale.
double devicePenReach(const ConvertedShape& shape, const QTransform& linear) {
    double reach = 0.0;
    for (const ConvertedLayer& layer : shape.layers) {
        for (const ConvertedStroke& stroke : layer.strokes) {
            const StrokePlan plan = planStroke(stroke.style, linear);
            if (plan.devicePen) {
                reach = std::max(reach, plan.deviceWidth / 2.0);
            }
        }
    }
    return reach;
}

// Whether the colour transform only scales alpha down and the shape paints each pixel once:
// then fading the finished picture equals fading each of its colours.
bool fadesAsOnePaint(const ConvertedShape& shape, const ColorTransform& cx,
                     const QTransform& linear) {
    if (cx.add[3] != 0 || cx.mult[3] < 0 || cx.mult[3] >= 256) {
        return false;
    }
    int paints = 0;
    for (const ConvertedLayer& layer : shape.layers) {
        for (const ConvertedFill& fill : layer.fills) {
            // A clipped bitmap's edges and picture overlap.
            paints += fill.style.isBitmap() ? 2 : 1;
        }
        for (const ConvertedStroke& stroke : layer.strokes) {
            const StrokePlan plan = planStroke(stroke.style, linear);
            paints += (plan.outline ? 1 : 0) + (plan.devicePen ? 1 : 0);
        }
    }
    return paints == 1;
}

} // namespace

void PainterBackend::fillPath(QPainter& p, const QPainterPath& path, const QBrush& brush) const {
    const MaskStack::Use mask = maskOn(p);
    if (!mask.followed || !scanlineFillPath(p, path, brush, mask.coverage)) {
        p.fillPath(path, brush);
    }
}

bool PainterBackend::composeLayerFills(QPainter& p, const ConvertedLayer& layer,
                                       const QTransform& world, const ColorTransform& cx) const {
    // One fill alone has no seam to close.
    const MaskStack::Use mask = maskOn(p);
    if (layer.fills.size() < 2 || !mask.followed) {
        return false;
    }
    std::vector<SolidFill> solid;
    solid.reserve(layer.fills.size());
    for (const ConvertedFill& fill : layer.fills) {
        if (fill.style.isBitmap()) {
            return false;
        }
        const QBrush brush = fillBrush(fill.style, cx);
        if (brush.style() != Qt::SolidPattern) {
            return false;
        }
        solid.push_back(SolidFill{&fill.path, brush.color()});
    }
    p.setTransform(world);
    p.setPen(Qt::NoPen);
    return composeSolidFills(p, solid, mask.coverage);
}

bool PainterBackend::paintCachedShape(const ConvertedShape& shape, const Transform& device,
                                      const ColorTransform& cx, ShapeLook look) {
    ShapeRasterCache& cache = root_.rasters;
    const std::optional<RasterPlacement> at = ShapeRasterCache::place(device.tx, device.ty);
    if (!cache.enabled() || !at || shape.bounds.isEmpty()) {
        return false;
    }
    look.a = device.a;
    look.b = device.b;
    look.c = device.c;
    look.d = device.d;
    look.quality = quality_;
    const QTransform linear(device.a, device.b, device.c, device.d, 0.0, 0.0);
    // A fade scales alpha alone: where the shape is one paint, its kept picture drawn at that
    // opacity is the faded shape, so every step of the fade shares one picture.
    ColorTransform drawnWith = cx;
    double opacity = 1.0;
    if (fadesAsOnePaint(shape, cx, linear)) {
        opacity = cx.mult[3] / 256.0;
        drawnWith.mult[3] = 256;
    }
    look.colorTransform = drawnWith;
    QPainter& p = painter();
    const ShapeRasterCache::Raster* kept = cache.find(look, *at);
    ShapeRasterCache::Raster drawn;
    if (kept == nullptr) {
        const double reach = devicePenReach(shape, linear);
        const QRect area = ShapeRasterCache::imageArea(
            linear.mapRect(shape.bounds).adjusted(-reach, -reach, reach, reach));
        // A picture larger than the device costs more to draw and keep than the shape.
        constexpr int kRoom = 2 * ShapeRasterCache::kPad + 2;
        const qint64 pixels = static_cast<qint64>(area.width()) * area.height();
        const QPaintDevice* target = p.device();
        if (area.isEmpty() ||
            pixels > static_cast<qint64>(target->width() + kRoom) * (target->height() + kRoom) ||
            !cache.shouldKeep(look, pixels * 4)) {
            return false;
        }
        drawn = ShapeRasterCache::Raster{QImage(area.size(), QImage::Format_ARGB32_Premultiplied),
                                         area.topLeft()};
        if (drawn.image.isNull()) {
            return false; // out of memory: the shape is drawn directly
        }
        drawn.image.fill(Qt::transparent);
        QPainter into(&drawn.image);
        applyHints(into);
        paintShapeOn(into, shape,
                     QTransform(device.a, device.b, device.c, device.d,
                                at->phaseOffsetX() - area.left(), at->phaseOffsetY() - area.top()),
                     drawnWith);
        into.end();
        kept = &drawn;
    }
    p.setTransform(QTransform());
    const double before = p.opacity();
    p.setOpacity(before * opacity);
    // Under a mask our fillers follow, the picture is cut as the shape drawn directly was;
    // Qt's clip does the same for upright rectangles and wherever the mask shows it whole.
    const MaskStack::Use mask = maskOn(p);
    const QPoint to = at->pixel + kept->offset;
    if (mask.coverage == nullptr || mask.coverage->asPainterClips() ||
        mask.coverage->showsWhole(QRect(to, kept->image.size())) ||
        !drawImageUnderMask(p, to, kept->image, *mask.coverage)) {
        p.drawImage(to, kept->image);
    }
    p.setOpacity(before);
    if (kept == &drawn) {
        cache.store(look, *at, std::move(drawn));
    }
    return true;
}

} // namespace mc
