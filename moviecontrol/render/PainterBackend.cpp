#include "PainterBackend.h"

#include "AlphaCoverage.h"

#include "TextFieldState.h"

#include <QPen>
#include <algorithm>
#include <cmath>

#include "BitmapFill.h"
#include "Drawing.h"
#include "FieldFrame.h"
#include "FillBrush.h"
#include "GroupCompositor.h"
#include "ImageColorTransform.h"
#include "LayerArea.h"
#include "PixelSource.h"
#include "QtConversions.h"
#include "ScanlineFill.h"
#include "SlicedShape.h"

namespace mc {

PainterBackend::PainterBackend(RenderResources& resources, QPainter& painter,
                               const Transform& stageToDevice, RenderQuality quality,
                               FrameBudget* budget)
    : root_(resources), current_(&resources), base_(painter), stage_(stageToDevice),
      quality_(quality), budget_(budget) {
    base_.save();
    applyHints(base_);
}

PainterBackend::~PainterBackend() {
    while (!masks_.empty()) {
        endMask();
    }
    while (!layers_.empty()) {
        endGroup();
    }
    base_.restore();
}

namespace {

// Deeper groups are drawn straight into the one above: each level costs a device-sized
// picture, and nesting this deep is rare outside hostile movies.
constexpr int kMaxPaintedLayers = 6;
// A filter reaching further than this past the device is too faint to matter there.
constexpr int kMaxLayerMargin = 512;
constexpr qint64 kMaxLayerPixels = 48LL << 20;

// A bitmap whose colour transform only scales alpha is drawn as it is, faded by the painter:
// the same picture as a transformed copy, without making one. Premultiplied colour scales
// with alpha, so the painter's opacity is that transform, within rounding.
qreal fadeOpacity(const ColorTransform& cx) {
    return cx.mult[3] / 256.0;
}

QMargins cappedMargins(QMargins m) {
    const auto cap = [](int v) { return std::clamp(v, 0, kMaxLayerMargin); };
    return {cap(m.left()), cap(m.top()), cap(m.right()), cap(m.bottom())};
}

} // namespace

QPainter& PainterBackend::painter() {
    for (auto it = layers_.rbegin(); it != layers_.rend(); ++it) {
        if ((*it)->painter) {
            return *(*it)->painter;
        }
    }
    return base_;
}

QRect PainterBackend::visibleArea() {
    QPainter& p = painter();
    const QPaintDevice* device = p.device();
    QRect visible(QPoint(0, 0), QSize(device->width(), device->height()));
    if (p.hasClipping()) {
        const QTransform world = p.transform();
        p.setTransform(QTransform());
        // An antialiased clip edge touches the pixels its box cuts through.
        visible &= p.clipBoundingRect().toAlignedRect().marginsAdded(QMargins(1, 1, 1, 1));
        p.setTransform(world);
    }
    return visible;
}

bool PainterBackend::insideLayerMode() const {
    return std::any_of(layers_.begin(), layers_.end(), [](const auto& layer) {
        return layer->painter && layer->style.blendMode == swf::BlendMode::Layer;
    });
}

GroupScale PainterBackend::groupScale() const {
    // Twips to device, per stage pixel.
    return GroupScale{std::hypot(stage_.a, stage_.b) * 20.0, std::hypot(stage_.c, stage_.d) * 20.0};
}

void PainterBackend::applyHints(QPainter& p) const {
    const bool high = quality_ == RenderQuality::High;
    p.setRenderHint(QPainter::Antialiasing, high);
    p.setRenderHint(QPainter::SmoothPixmapTransform, high);
}

void PainterBackend::beginFrame(Rgba background) {
    if (!stageRect_.isEmpty()) {
        base_.setTransform(QTransform());
        base_.fillRect(stageRect_, toQColor(Rgba{background.r, background.g, background.b, 255}));
    }
}

void PainterBackend::endFrame() {}

bool PainterBackend::selectResources(std::uint16_t library) {
    current_ = &root_;
    if (library != 0) {
        RenderResources* loaded = libraries_ ? libraries_(library) : nullptr;
        if (loaded == nullptr) {
            return false;
        }
        current_ = loaded;
    }
    return true;
}

void PainterBackend::draw(const DrawCharacter& original) {
    if (recorder_.recording()) {
        recorder_.record().draw(original);
        return;
    }
    if (hiddenGroupOpen() || !selectResources(original.library)) {
        return;
    }
    if (!masks_.empty() && masks_.back().collecting) {
        addToMask(original);
        return;
    }
    DrawCharacter command = original;
    if (coveragePasses_ > 0) {
        command.colorTransform = coverageTransform();
    } else if (!layers_.empty()) {
        command.colorTransform = compose(layers_.back()->pending, original.colorTransform);
    }
    switch (command.kind) {
    case CharacterKind::Shape:
        if (const ConvertedShape* s = shapeOf(command)) {
            ShapeLook look;
            look.library = command.library;
            look.id = command.characterId;
            if (command.drawing != nullptr) {
                look.drawing = command.drawing->generation();
            }
            drawing_ = command.drawing;
            paintShape(*s, command, look);
            drawing_ = nullptr;
        }
        break;
    case CharacterKind::MorphShape:
        if (const ConvertedShape* s = res().characters.morph(command.characterId, command.ratio)) {
            ShapeLook look;
            look.library = command.library;
            look.id = command.characterId;
            look.ratio = command.ratio;
            look.morph = true;
            paintShape(*s, command, look);
        }
        break;
    case CharacterKind::StaticText:
    case CharacterKind::EditText:
        paintFieldFrame(command);
        if (const TextOutlines* runs = textOf(command)) {
            QPainter& p = painter();
            p.setTransform(toQTransform(stage_ * command.matrix));
            p.setPen(Qt::NoPen);
            for (const TextRun& run : *runs) {
                p.fillPath(run.path, toQColor(run.color, command.colorTransform));
            }
        }
        break;
    case CharacterKind::Bitmap:
        if (command.pixels != nullptr) {
            paintPixels(command);
        } else {
            paintBitmap(command);
        }
        break;
    case CharacterKind::Video:
        paintVideo(command);
        break;
    case CharacterKind::Box:
        paintBox(command);
        break;
    default:
        break;
    }
}

const ConvertedShape* PainterBackend::shapeOf(const DrawCharacter& command) {
    return command.drawing != nullptr ? res().characters.drawing(*command.drawing)
                                      : res().characters.shape(command.characterId);
}

const TextOutlines* PainterBackend::textOf(const DrawCharacter& command) {
    return command.text != nullptr
               ? res().texts.fieldOutlines(res().characters, res().movie, *command.text)
               : res().texts.outlines(res().characters, res().movie, command.characterId);
}

std::optional<PainterBackend::FramedField>
PainterBackend::framedField(const DrawCharacter& command) const {
    if (command.kind != CharacterKind::EditText) {
        return std::nullopt;
    }
    if (command.text != nullptr) {
        const FieldFrameStyle style = frameStyleOf(*command.text);
        return style.shows() ? std::optional(FramedField{&command.text->field, style})
                             : std::nullopt;
    }
    const auto* field = res().movie.findAs<swf::EditText>(command.characterId);
    if (field == nullptr || !frameStyleOf(*field).shows()) {
        return std::nullopt;
    }
    return FramedField{field, frameStyleOf(*field)};
}

void PainterBackend::paintFieldFrame(const DrawCharacter& command) {
    const auto framed = framedField(command);
    if (!framed) {
        return;
    }
    const FieldFrame frame =
        fieldFrame(toQRectF(framed->field->bounds), toQTransform(stage_ * command.matrix));
    QPainter& p = painter();
    p.setTransform(QTransform());
    p.setPen(Qt::NoPen);
    if (framed->style.background) {
        p.fillPath(frame.background,
                   toQColor(framed->style.backgroundColor, command.colorTransform));
    }
    if (framed->style.border) {
        p.fillPath(frame.border, toQColor(framed->style.borderColor, command.colorTransform));
    }
}

void PainterBackend::paintBox(const DrawCharacter& command) {
    if (command.box.empty()) {
        return;
    }
    QPainter& p = painter();
    p.setTransform(toQTransform(stage_ * command.matrix));
    p.setPen(Qt::NoPen);
    p.fillRect(toQRectF(command.box), toQColor(command.boxColor, command.colorTransform));
}

void PainterBackend::paintShape(const ConvertedShape& shape, const DrawCharacter& command,
                                const ShapeLook& look) {
    const Transform device = stage_ * command.matrix;
    if (command.slices) {
        // Sliced anew for every placement: the slices change with the clip's scale.
        paintShapeOn(painter(), slicedShape(shape, *command.slices), toQTransform(device),
                     command.colorTransform);
        return;
    }
    if (paintCachedShape(shape, device, command.colorTransform, look)) {
        return;
    }
    paintShapeOn(painter(), shape, toQTransform(device), command.colorTransform);
}

void PainterBackend::paintShapeOn(QPainter& p, const ConvertedShape& shape, const QTransform& world,
                                  const ColorTransform& cx) {
    for (const ConvertedLayer& layer : shape.layers) {
        if (!composeLayerFills(p, layer, world, cx)) {
            for (const ConvertedFill& fill : layer.fills) {
                paintFill(p, fill, world, cx);
            }
        }
        for (const ConvertedStroke& stroke : layer.strokes) {
            paintStroke(p, stroke, world, cx);
        }
    }
}

void PainterBackend::paintFill(QPainter& p, const ConvertedFill& fill, const QTransform& world,
                               const ColorTransform& cx) {
    p.setTransform(world);
    p.setPen(Qt::NoPen);
    if (!fill.style.isBitmap()) {
        fillPath(p, fill.path, fillBrush(fill.style, cx));
        return;
    }
    const bool fade = cx.onlyScalesAlpha();
    const QImage image = fillImage(fill.style, fade ? ColorTransform{} : cx);
    if (image.isNull()) {
        return;
    }
    const QTransform bitmapToPath = toQTransform(fill.style.matrix);
    const bool clipped = fill.style.bitmapClipped();
    const bool smooth = quality_ == RenderQuality::High && fill.style.bitmapSmoothed();
    p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    p.setOpacity(fade ? fadeOpacity(cx) : 1.0);
    paintBitmapFill(p, fill.path, image, bitmapToPath, clipped,
                    drawing_ != nullptr ? nullptr : &res().bitmaps.scaled());
    p.setOpacity(1.0);
    applyHints(p);
}

QImage PainterBackend::fillImage(const swf::FillStyle& style, const ColorTransform& cx) {
    if (drawing_ != nullptr) {
        // A script's pixels, as they are now.
        const PixelSource* pixels = drawing_->bitmap(style.bitmapId);
        if (pixels == nullptr || pixels->width() <= 0 || pixels->height() <= 0 ||
            pixels->premultiplied() == nullptr) {
            return {};
        }
        const QImage view(reinterpret_cast<const uchar*>(pixels->premultiplied()), pixels->width(),
                          pixels->height(), pixels->width() * 4,
                          QImage::Format_ARGB32_Premultiplied);
        return cx.isIdentity() ? view.copy() : colorTransformed(view, cx);
    }
    const QImage& source = res().bitmaps.image(style.bitmapId);
    if (source.isNull() || cx.isIdentity()) {
        return source;
    }
    return transformedBitmap(style.bitmapId, cx);
}

void PainterBackend::paintStroke(QPainter& p, const ConvertedStroke& stroke,
                                 const QTransform& world, const ColorTransform& cx) {
    const swf::LineStyle& style = stroke.style;
    QBrush brush;
    if (style.fill && !style.fill->isBitmap()) {
        brush = fillBrush(*style.fill, cx);
    } else if (style.fill) {
        // A bitmap stroke tiles its pixels along the line.
        const QImage image = fillImage(*style.fill, cx);
        if (image.isNull()) {
            return;
        }
        brush = QBrush(image);
        brush.setTransform(toQTransform(style.fill->matrix));
    } else {
        brush = QBrush(toQColor(style.color, cx));
    }
    // The no-scale flags are not honoured: reference players scale such strokes with their
    // shape all the same.
    const StrokePlan plan = planStroke(style, world);
    if (plan.outline && !stroke.outline.isEmpty()) {
        p.setTransform(world);
        p.setPen(Qt::NoPen);
        fillPath(p, stroke.outline, brush);
    }
    if (!plan.devicePen) {
        return;
    }
    if (brush.style() != Qt::SolidPattern) {
        brush.setTransform(brush.transform() * world);
    }
    QPainterPath device = world.map(stroke.path);
    if (plan.snapToPixels) {
        device = snappedToPixels(device, plan.deviceWidth);
    }
    p.setTransform(QTransform());
    p.setBrush(Qt::NoBrush);
    p.strokePath(device, strokePen(style, plan.deviceWidth, brush));
}

QImage PainterBackend::transformedBitmap(std::uint16_t id, const ColorTransform& cx) {
    return res().bitmaps.tinted(id, cx);
}

void PainterBackend::paintBitmap(const DrawCharacter& command) {
    const std::uint16_t id = command.characterId;
    const ColorTransform& cx = command.colorTransform;
    const bool fade = cx.onlyScalesAlpha();
    const QImage image = fade ? res().bitmaps.image(id) : transformedBitmap(id, cx);
    if (image.isNull()) {
        return;
    }
    QPainter& p = painter();
    QTransform world = QTransform::fromScale(20.0, 20.0) * toQTransform(stage_ * command.matrix);
    p.setTransform(world);
    p.setOpacity(fade ? fadeOpacity(cx) : 1.0);
    const bool smooth = p.testRenderHint(QPainter::SmoothPixmapTransform);
    if (command.hardPixels && !command.smoothing) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    drawBitmap(p, image, &res().bitmaps.scaled());
    p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    p.setOpacity(1.0);
}

// The decoded picture stretched over the stream's declared size, which is what placement
// scales: a stream whose frames are another size still fills its box.
void PainterBackend::paintVideo(const DrawCharacter& command) {
    const auto* stream = res().movie.findAs<swf::VideoStream>(command.characterId);
    const QImage& frame = res().videos.frame(command.characterId, command.ratio);
    if (stream == nullptr || frame.isNull()) {
        return;
    }
    const QImage image = command.colorTransform.isIdentity()
                             ? frame
                             : colorTransformed(frame, command.colorTransform);
    QPainter& p = painter();
    const double sx = stream->width * 20.0 / image.width();
    const double sy = stream->height * 20.0 / image.height();
    p.setTransform(QTransform::fromScale(sx, sy) * toQTransform(stage_ * command.matrix));
    // The stream's own flag, or a script's Video.smoothing.
    p.setRenderHint(QPainter::SmoothPixmapTransform, stream->smoothing || command.smoothing);
    p.drawImage(QPointF(0.0, 0.0), image);
    applyHints(p);
}

void PainterBackend::paintPixels(const DrawCharacter& command) {
    const PixelSource& source = *command.pixels;
    if (source.width() <= 0 || source.height() <= 0) {
        return;
    }
    // The script may change its pixels before the next frame: the picture is a copy.
    const QImage view(reinterpret_cast<const uchar*>(source.premultiplied()), source.width(),
                      source.height(), source.width() * 4, QImage::Format_ARGB32_Premultiplied);
    const QImage image = command.colorTransform.isIdentity()
                             ? view.copy()
                             : colorTransformed(view, command.colorTransform);
    QPainter& p = painter();
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform,
                    command.smoothing && quality_ == RenderQuality::High);
    p.setTransform(QTransform::fromScale(20.0, 20.0) * toQTransform(stage_ * command.matrix));
    drawBitmap(p, image, nullptr);
    p.restore();
}

void PainterBackend::addToMask(const DrawCharacter& command) {
    QPainterPath& mask = masks_.back().path;
    const QTransform world = toQTransform(stage_ * command.matrix);
    auto addShape = [&](const ConvertedShape* s) {
        if (s == nullptr) {
            return;
        }
        for (const ConvertedLayer& layer : s->layers) {
            for (const ConvertedFill& f : layer.fills) {
                mask.addPath(world.map(f.path));
            }
        }
    };
    switch (command.kind) {
    case CharacterKind::Shape:
        addShape(shapeOf(command));
        break;
    case CharacterKind::MorphShape:
        addShape(res().characters.morph(command.characterId, command.ratio));
        break;
    case CharacterKind::StaticText:
    case CharacterKind::EditText:
        if (const auto framed = framedField(command)) {
            const FieldFrame frame = fieldFrame(toQRectF(framed->field->bounds), world);
            if (framed->style.background) {
                mask.addPath(frame.background);
            }
            if (framed->style.border) {
                mask.addPath(frame.border);
            }
        }
        if (const TextOutlines* runs = textOf(command)) {
            for (const TextRun& run : *runs) {
                mask.addPath(world.map(run.path));
            }
        }
        break;
    case CharacterKind::Bitmap: {
        const QSize size = command.pixels != nullptr
                               ? QSize(command.pixels->width(), command.pixels->height())
                               : res().bitmaps.image(command.characterId).size();
        QPainterPath r;
        r.addRect(QRectF(0, 0, size.width() * 20.0, size.height() * 20.0));
        mask.addPath(world.map(r));
        break;
    }
    case CharacterKind::Box:
        if (!command.box.empty()) {
            QPainterPath r;
            r.addRect(toQRectF(command.box));
            mask.addPath(world.map(r));
        }
        break;
    case CharacterKind::Video:
        if (const auto* stream = res().movie.findAs<swf::VideoStream>(command.characterId)) {
            QPainterPath r;
            r.addRect(QRectF(0, 0, stream->width * 20.0, stream->height * 20.0));
            mask.addPath(world.map(r));
        }
        break;
    default:
        break;
    }
}

void PainterBackend::beginMask() {
    if (recorder_.recording()) {
        recorder_.record().beginMask();
        return;
    }
    masks_.push_back(Mask{});
    masks_.back().path.setFillRule(Qt::WindingFill);
}

void PainterBackend::useMask() {
    if (recorder_.recording()) {
        recorder_.record().useMask();
        return;
    }
    if (masks_.empty() || !masks_.back().collecting) {
        return;
    }
    Mask& m = masks_.back();
    m.collecting = false;
    QPainter& p = painter();
    p.save();
    p.setTransform(QTransform());
    std::optional<QRect> drawable;
    if (const std::optional<ScanlineTarget> target = scanlineTarget(p)) {
        drawable = target->drawable;
    }
    maskUse_.push(&p, m.path, drawable);
    p.setClipPath(m.path, Qt::IntersectClip);
}

void PainterBackend::endMask() {
    if (recorder_.recording()) {
        recorder_.record().endMask();
        return;
    }
    if (masks_.empty()) {
        return;
    }
    if (!masks_.back().collecting) {
        painter().restore();
        maskUse_.pop();
    }
    masks_.pop_back();
}

void PainterBackend::beginGroup(const GroupStyle& style) {
    if (recorder_.recording()) {
        recorder_.beginGroup(style);
    } else if (coveragePasses_ == 0 && style.blendMode == swf::BlendMode::Alpha &&
               !hiddenGroupOpen() && insideLayerMode()) {
        // Drawn twice, as its picture and as the pixels it covers.
        recorder_.start(style);
    } else if (root_.groups.enabled() && GroupCache::caches(style) && !hiddenGroupOpen() &&
               coveragePasses_ == 0 && style.blendMode != swf::BlendMode::Alpha &&
               style.blendMode != swf::BlendMode::Erase) {
        // Alpha and Erase act on what lies beneath, which a kept picture does not know.
        recorder_.start(style);
    } else {
        openLayer(style);
    }
}

void PainterBackend::openLayer(const GroupStyle& style, bool wholeContent) {
    auto layer = std::make_unique<Layer>();
    layer->style = style;
    layer->parentStage = stage_;
    // Alpha and Erase change the alpha of the picture they are put on. Only a Layer group's
    // picture may change so; without one, players leave the object out altogether rather
    // than punch through the stage.
    const bool cutsBeneath =
        style.blendMode == swf::BlendMode::Alpha || style.blendMode == swf::BlendMode::Erase;
    if (hiddenGroupOpen() || (cutsBeneath && !insideLayerMode())) {
        layer->hidden = true;
        layers_.push_back(std::move(layer));
        return;
    }
    if (coveragePasses_ > 0) {
        // Coverage knows no blends, filters or colours: the drawing passes through.
        layers_.push_back(std::move(layer));
        return;
    }
    const QPaintDevice* device = painter().device();
    const QMargins margins = cappedMargins(groupMargins(style, groupScale()));
    const QRect view(QPoint(0, 0), QSize(device->width(), device->height()));
    const QRect bounded = layersCoverView_
                              ? view.marginsAdded(margins)
                              : groupLayerArea(visibleArea(), margins, groupExtent(style), stage_);
    // A bitmap of its own covers the whole object where that is not much more than the view:
    // the picture can then be kept wherever the object moves.
    const QRect area =
        wholeContent ? GroupCache::layerArea(style, stage_, margins, view.marginsAdded(margins))
                           .value_or(bounded)
                     : bounded;
    if (area.isEmpty()) {
        // Nothing of it can show.
        layer->hidden = true;
        layers_.push_back(std::move(layer));
        return;
    }
    const QSize size = area.size();
    // A frame out of time draws its remaining groups straight into the one above.
    const bool outOfTime = budget_ != nullptr && budget_->exhausted();
    if (outOfTime) {
        budget_->countDegraded();
    }
    if (paintedLayers_ < kMaxPaintedLayers && !outOfTime &&
        static_cast<qint64>(size.width()) * size.height() <= kMaxLayerPixels) {
        layer->image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    }
    if (!layer->image.isNull()) {
        layer->image.fill(Qt::transparent);
        layer->painter = std::make_unique<QPainter>(&layer->image);
        applyHints(*layer->painter);
        layer->origin = area.topLeft();
        const QPointF snap = cachedBitmapSnap(style, stage_);
        stage_ = Transform::translation(snap.x() - area.left(), snap.y() - area.top()) * stage_;
        ++paintedLayers_;
    } else {
        const ColorTransform above = layers_.empty() ? ColorTransform{} : layers_.back()->pending;
        layer->pending = compose(above, style.colorTransform);
    }
    layers_.push_back(std::move(layer));
}

void PainterBackend::endGroup() {
    if (recorder_.recording()) {
        if (recorder_.endGroup()) {
            paintRecordedGroup();
        }
        return;
    }
    closeLayer(false);
}

void PainterBackend::paintRecordedGroup() {
    GroupRecorder::Group group = recorder_.take();
    if (group.style.blendMode == swf::BlendMode::Alpha) {
        paintAlphaGroup(group);
        return;
    }
    const std::optional<QPoint> corner = GroupCache::corner(group.style, stage_);
    const GroupSetting setting{Transform{stage_.a, stage_.b, stage_.c, stage_.d, 0.0, 0.0},
                               layers_.empty() ? ColorTransform{} : layers_.back()->pending,
                               quality_};
    if (corner) {
        if (const GroupCache::Picture* kept =
                root_.groups.find(group.style, group.record, setting)) {
            drawPicture(painter(), kept->image, *corner + kept->offset, group.style.blendMode,
                        groupScale());
            return;
        }
    }
    // The content's box leaves out the reach of filters inside it: such a group keeps to
    // the view, and is kept only when all of it falls within.
    openLayer(group.style, !group.record.hasFilteredGroup());
    group.record.replay(*this);
    std::optional<GroupCache::Picture> picture = closeLayer(corner.has_value());
    if (picture && corner) {
        picture->offset -= *corner;
        root_.groups.store(group.style, std::move(group.record), setting, std::move(*picture));
    }
}

void PainterBackend::paintAlphaGroup(const GroupRecorder::Group& group) {
    // The coverage first, on a layer placed as the picture's will be; then the picture,
    // which takes the coverage along when it is put on the layer beneath.
    QImage coverage;
    openLayer(group.style);
    if (layers_.back()->painter) {
        ++coveragePasses_;
        group.record.replay(*this);
        --coveragePasses_;
        std::unique_ptr<Layer> drawn = std::move(layers_.back());
        layers_.pop_back();
        drawn->painter->end();
        --paintedLayers_;
        stage_ = drawn->parentStage;
        coverage = std::move(drawn->image);
    } else {
        layers_.pop_back();
    }
    openLayer(group.style);
    group.record.replay(*this);
    if (!coverage.isNull() && layers_.back()->image.size() == coverage.size()) {
        layers_.back()->coverage = std::move(coverage);
    }
    closeLayer(false);
}

bool PainterBackend::layerHoldsContent(const Layer& layer) const {
    // Drawing past the layer's edge is lost; such a picture is not the whole object. The
    // slack covers antialiasing and strokes just outside the content's box.
    constexpr int kSlack = GroupCache::kSlack - 1;
    const Bounds box = mapBounds(stage_, layer.style.bounds);
    const QMargins reach = cappedMargins(groupMargins(layer.style, groupScale())) +
                           QMargins(kSlack, kSlack, kSlack, kSlack);
    const QRectF inside = QRectF(layer.image.rect()).marginsRemoved(reach.toMarginsF());
    return !box.empty() && box.xMin >= inside.left() && box.yMin >= inside.top() &&
           box.xMax <= inside.right() && box.yMax <= inside.bottom();
}

std::optional<GroupCache::Picture> PainterBackend::closeLayer(bool capture) {
    if (layers_.empty()) {
        return std::nullopt;
    }
    std::unique_ptr<Layer> layer = std::move(layers_.back());
    layers_.pop_back();
    if (!layer->painter) {
        return std::nullopt;
    }
    layer->painter->end();
    --paintedLayers_;
    capture = capture && layerHoldsContent(*layer);
    stage_ = layer->parentStage;
    const GroupScale scale = groupScale();
    const QRect area = visibleGroupArea(layer->image, layer->style, scale);
    const double work = groupFilterWork(layer->style, area);
    int reduction = 1;
    const bool timed = budget_ != nullptr && work != 0.0;
    if (timed) {
        reduction = budget_->reductionFor(work);
        if (reduction != 1) {
            budget_->countDegraded();
        }
    }
    const auto start = FrameBudget::Clock::now();
    std::optional<GroupCache::Picture> picture;
    // A picture whose filters a frame short of time left out is not kept; one filtered
    // smaller is: drawing it again in full would cost as much every time.
    if (capture && reduction > 0) {
        // Finished once, then blended: the same steps composeGroup takes in one go.
        picture =
            GroupCache::Picture{finishedPicture(layer->image, area, layer->style, scale, reduction),
                                layer->origin + area.topLeft()};
        drawPicture(painter(), picture->image, picture->offset, layer->style.blendMode, scale);
    } else {
        const QImage* coverage = layer->coverage.isNull() ? nullptr : &layer->coverage;
        const QRect blended =
            coverage ? area.united(visibleGroupArea(*coverage, GroupStyle{}, scale)) : area;
        composeGroup(painter(), layer->image, layer->origin, blended, layer->style, scale,
                     reduction, coverage);
    }
    if (timed && reduction > 0) {
        budget_->record(work / (reduction * reduction), FrameBudget::Clock::now() - start);
    }
    return picture;
}

} // namespace mc
