// Turns the display lists of TimelinePlayer into the drawing commands of one frame.
#include <algorithm>
#include <optional>
#include <vector>

#include "CachedBitmapSize.h"
#include "Drawing.h"
#include "DrawnExtent.h"
#include "SwfConversions.h"
#include "TextFieldState.h"
#include "TimelinePlayer.h"

namespace mc {

namespace {

// Layer composes its children alone first, so that their Alpha and Erase modes act on it
// rather than on the picture below; a cached bitmap is one picture too.
bool needsGroup(const DisplayObject& object) {
    return !object.filters.empty() || object.cacheAsBitmap ||
           object.blendMode != swf::BlendMode::Normal;
}

// Flash masks by the mask's alpha (soft edges, gradients) instead of its outline when both
// the mask and the masked object are cached as bitmaps; filters cache an object too.
bool cachedAsBitmap(const DisplayObject& object) {
    return object.cacheAsBitmap || !object.filters.empty();
}

} // namespace

void TimelinePlayer::render(RenderBackend& backend) const {
    backend.beginFrame(background_);
    std::size_t budget = limits_.maxCommands;
    for (const Underlay& layer : underlays_) {
        if (layer.pixels) {
            DrawCharacter draw{CharacterKind::Bitmap, 0, 0,
                               Transform::translation(layer.x * 20.0, layer.y * 20.0),
                               ColorTransform{}};
            draw.pixels = layer.pixels.get();
            backend.draw(draw);
        }
    }
    // Scripts may move, scale or tint the root (_root._x...) like any clip.
    emitClip(backend, *rootObject_, rootObject_->matrix, rootObject_->colorTransform, false,
             budget);
    for (const DisplayObject* level : upperLevels()) {
        if (level->visible) {
            emitObject(backend, *level, Transform{}, ColorTransform{}, false, budget);
        }
    }
    backend.endFrame();
}

void TimelinePlayer::setUnderlay(std::size_t slot, Underlay underlay) {
    // Flash has four Stage3D layers; a few more slots cost nothing, many are refused.
    if (slot >= 16) {
        return;
    }
    if (underlays_.size() <= slot) {
        underlays_.resize(slot + 1);
    }
    underlays_[slot] = std::move(underlay);
}

void TimelinePlayer::renderStageContent(RenderBackend& backend, const Transform& matrix,
                                        const ColorTransform& cx) const {
    std::size_t budget = limits_.maxCommands;
    emitClip(backend, *rootObject_, matrix * rootObject_->matrix,
             compose(cx, rootObject_->colorTransform), false, budget);
    for (const DisplayObject* level : upperLevels()) {
        if (level->visible) {
            emitObject(backend, *level, matrix, cx, false, budget);
        }
    }
}

void TimelinePlayer::renderContent(RenderBackend& backend, const DisplayObject& object,
                                   const Transform& matrix, const ColorTransform& cx) const {
    std::size_t budget = limits_.maxCommands;
    // The object's own place, colour and blend mode give way to the drawing's, but its mask
    // and filters stay: the mask where it stands on the stage (or alone, outside the tree),
    // mapped as the drawing maps the object's own twips.
    const auto mask = object.scriptMask.lock();
    const bool masked = mask && !mask->removed;
    if (masked) {
        backend.beginMask();
        const Transform maskParent =
            mask->parent != nullptr ? geometry_.globalMatrix(*mask->parent) : Transform{};
        emitObject(backend, *mask, matrix * maskParent, ColorTransform{}, true, budget);
        backend.useMask();
    }
    if (object.filters.empty()) {
        emitContent(backend, object, matrix, cx, false, budget);
    } else {
        GroupStyle style;
        style.filters = object.filters;
        style.matrix = matrix;
        std::size_t visits = limits_.maxObjects;
        style.bounds = geometry_.contentBounds(object, matrix, visits);
        style.colorTransform = cx;
        backend.beginGroup(style);
        emitContent(backend, object, matrix, ColorTransform{}, false, budget);
        backend.endGroup();
    }
    if (masked) {
        backend.endMask();
    }
}

void TimelinePlayer::emitClip(RenderBackend& backend, const DisplayObject& clip,
                              const Transform& matrix, const ColorTransform& cx, bool inMask,
                              std::size_t& budget, const SlicedClip* sliced) const {
    if (clip.drawing) {
        clip.drawing->drawTo(backend, sliced != nullptr ? sliced->unscaled : matrix, cx, budget,
                             sliced != nullptr ? &sliced->slices : nullptr);
    }
    std::vector<std::int32_t> masks; // clip depths of the masks in force, innermost last
    for (const auto& [depth, child] : clip.clip->displayList) {
        const DisplayObject& object = *child;
        while (!masks.empty() && depth > masks.back()) {
            backend.endMask();
            masks.pop_back();
        }
        if (object.isMask) {
            // A mask inside a mask's own drawing would need a mask of a mask; players
            // draw such content plainly, and so do we by leaving it out of the outline.
            if (inMask || masks.size() >= static_cast<std::size_t>(limits_.maxMaskNesting) ||
                object.clipDepth <= depth) {
                continue;
            }
            backend.beginMask();
            emitObject(backend, object, matrix, cx, true, budget);
            backend.useMask();
            masks.push_back(object.clipDepth);
            continue;
        }
        // An object a script made the mask of another is drawn only as that mask.
        if ((!object.visible || object.maskedCount > 0) && !inMask) {
            continue;
        }
        const auto mask = object.scriptMask.lock();
        if (mask && !inMask && !mask->removed &&
            masks.size() < static_cast<std::size_t>(limits_.maxMaskNesting)) {
            if (cachedAsBitmap(object) && cachedAsBitmap(*mask)) {
                emitAlphaMasked(backend, object, *mask, matrix, cx, budget);
                continue;
            }
            backend.beginMask();
            const Transform maskParent =
                mask->parent != nullptr ? geometry_.globalMatrix(*mask->parent) : Transform{};
            emitObject(backend, *mask, maskParent, ColorTransform{}, true, budget);
            backend.useMask();
            emitObject(backend, object, matrix, cx, false, budget);
            backend.endMask();
            continue;
        }
        if (sliced != nullptr && !mask &&
            (object.kind == CharacterKind::Shape || object.kind == CharacterKind::MorphShape) &&
            !needsGroup(object)) {
            emitSlicedShape(backend, object, *sliced, cx, budget);
            continue;
        }
        emitObject(backend, object, matrix, cx, inMask, budget);
    }
    while (!masks.empty()) {
        backend.endMask();
        masks.pop_back();
    }
}

void TimelinePlayer::emitObject(RenderBackend& backend, const DisplayObject& object,
                                const Transform& parentMatrix, const ColorTransform& parentCx,
                                bool inMask, std::size_t& budget) const {
    if (budget == 0) {
        return;
    }
    const Transform m = parentMatrix * object.matrix;
    const CachedCover cache = cachedCover(object, m);
    if (!cache.shows) {
        return;
    }
    const std::optional<Bounds>& covered = cache.covered;
    // Colour transforms count from the nearest enclosing group, which applies them to its
    // whole layer.
    ColorTransform cx = compose(parentCx, object.colorTransform);
    const bool group = !inMask && needsGroup(object);
    if (group) {
        GroupStyle style;
        style.blendMode = object.blendMode;
        style.filters = object.filters;
        style.cacheAsBitmap = object.cacheAsBitmap;
        style.matrix = m;
        std::size_t visits = limits_.maxObjects;
        if (covered) {
            style.bounds = *covered;
        } else if (!object.filters.empty() || object.cacheAsBitmap) {
            style.bounds = geometry_.contentBounds(object, m, visits);
        } else if (const auto drawn = drawnExtent(*this, object, m, visits)) {
            // Other groups are not placed by a box: theirs tells where their drawing lands,
            // and the renderer sizes their layer by it.
            style.bounds = *drawn;
        }
        style.colorTransform = cx;
        cx = ColorTransform{};
        backend.beginGroup(style);
    }
    if (const auto sliced = slicedClip(object, m, inMask)) {
        emitBackground(backend, object, m);
        emitClip(backend, object, m, cx, inMask, budget, &*sliced);
    } else {
        emitSurface(backend, object, m, cx, inMask, budget);
    }
    if (group) {
        backend.endGroup();
    }
}

std::optional<TimelinePlayer::SlicedClip>
TimelinePlayer::slicedClip(const DisplayObject& object, const Transform& m, bool inMask) const {
    // Only a clip's own scale is sliced; one with a scroll window, or drawn into a mask,
    // scales as any other.
    if (!object.scalingGrid || !object.clip || object.scrollRect || inMask) {
        return std::nullopt;
    }
    std::size_t visits = limits_.maxObjects;
    const Bounds content = geometry_.contentBounds(object, Transform{}, visits);
    auto slices = sliceClip(*object.scalingGrid, content, object.matrix);
    if (!slices) {
        return std::nullopt;
    }
    return SlicedClip{*slices, unscaledPlacement(m, object.matrix)};
}

void TimelinePlayer::emitSlicedShape(RenderBackend& backend, const DisplayObject& shape,
                                     const SlicedClip& sliced, const ColorTransform& cx,
                                     std::size_t& budget) const {
    if (budget == 0) {
        return;
    }
    --budget;
    DrawCharacter draw{shape.kind, shape.characterId, shape.ratio, sliced.unscaled,
                       compose(cx, shape.colorTransform)};
    draw.library = shape.library;
    draw.slices = sliced.slices;
    draw.slices->inner = shape.matrix;
    backend.draw(draw);
}

TimelinePlayer::CachedCover TimelinePlayer::cachedCover(const DisplayObject& object,
                                                        const Transform& m) const {
    CachedCover cache;
    if (object.filters.empty() && object.cacheAsBitmap) {
        // A cached object too large for its player's bitmaps shows nothing, in a mask too.
        std::size_t visits = limits_.maxObjects;
        cache.covered = geometry_.contentBounds(object, m, visits);
        const swf::Movie* movie = library_.movie(object.library);
        cache.shows =
            cachedBitmapFits(*cache.covered, movie != nullptr ? movie->header.version : 0);
    }
    return cache;
}

void TimelinePlayer::emitAlphaMasked(RenderBackend& backend, const DisplayObject& object,
                                     const DisplayObject& mask, const Transform& matrix,
                                     const ColorTransform& cx, std::size_t& budget) const {
    const Transform maskParent =
        mask.parent != nullptr ? geometry_.globalMatrix(*mask.parent) : Transform{};
    // A mask with no picture lets nothing of the masked object through.
    if (!cachedCover(mask, maskParent * mask.matrix).shows) {
        return;
    }
    // Nothing shows beyond the masked object's own drawing, so its extent bounds the layer.
    GroupStyle layer;
    layer.blendMode = swf::BlendMode::Layer;
    layer.matrix = matrix * object.matrix;
    std::size_t visits = limits_.maxObjects;
    if (const auto drawn = drawnExtent(*this, object, layer.matrix, visits)) {
        layer.bounds = *drawn;
    }
    backend.beginGroup(layer);
    emitObject(backend, object, matrix, cx, false, budget);
    GroupStyle cut;
    cut.blendMode = swf::BlendMode::Alpha;
    cut.matrix = maskParent * mask.matrix;
    visits = limits_.maxObjects;
    if (const auto drawn = drawnExtent(*this, mask, cut.matrix, visits)) {
        cut.bounds = *drawn;
    }
    // The mask's picture takes its own colour transform, not its parents'.
    backend.beginGroup(cut);
    emitObject(backend, mask, maskParent, ColorTransform{}, false, budget);
    backend.endGroup();
    backend.endGroup();
}

void TimelinePlayer::emitSurface(RenderBackend& backend, const DisplayObject& object,
                                 const Transform& m, const ColorTransform& cx, bool inMask,
                                 std::size_t& budget) const {
    if (!object.scrollRect) {
        emitBackground(backend, object, m);
        emitContent(backend, object, m, cx, inMask, budget);
        return;
    }
    const ScrollWindow& w = *object.scrollRect;
    const Transform scrolled = m * Transform::translation(-w.x * 20.0, -w.y * 20.0);
    // A mask's outline cannot hold a mask of its own: inside one the window only moves the
    // content, as reference players draw it.
    if (inMask || budget == 0) {
        emitBackground(backend, object, scrolled);
        emitContent(backend, object, scrolled, cx, inMask, budget);
        return;
    }
    --budget;
    DrawCharacter window;
    window.kind = CharacterKind::Box;
    window.matrix = m;
    window.box = Bounds{0.0, 0.0, w.width * 20.0, w.height * 20.0, true};
    backend.beginMask();
    backend.draw(window);
    backend.useMask();
    emitBackground(backend, object, scrolled);
    emitContent(backend, object, scrolled, cx, inMask, budget);
    backend.endMask();
}

void TimelinePlayer::emitBackground(RenderBackend& backend, const DisplayObject& object,
                                    const Transform& m) const {
    if (!object.opaqueBackground) {
        return;
    }
    const Bounds box = geometry_.ownBounds(object, Transform{}, false, false);
    if (box.empty()) {
        return;
    }
    DrawCharacter fill;
    fill.kind = CharacterKind::Box;
    fill.matrix = m;
    fill.box = box;
    fill.boxColor = *object.opaqueBackground;
    backend.draw(fill);
}

void TimelinePlayer::emitContent(RenderBackend& backend, const DisplayObject& object,
                                 const Transform& m, const ColorTransform& cx, bool inMask,
                                 std::size_t& budget) const {
    switch (object.kind) {
    case CharacterKind::None:
        break;
    case CharacterKind::Sprite:
    case CharacterKind::Button: // its state's records are its children
        if (object.clip) {
            emitClip(backend, object, m, cx, inMask, budget);
        }
        break;
    default: {
        --budget;
        DrawCharacter draw{object.kind, object.characterId, object.ratio, m, cx};
        draw.library = object.library;
        if (object.text) {
            draw.text = object.text.get();
        }
        draw.pixels = object.pixels.get();
        draw.smoothing = object.smoothing;
        draw.hardPixels = object.kind == CharacterKind::Bitmap && draw.pixels == nullptr &&
                          library_.isPicture(object.library);
        backend.draw(draw);
        break;
    }
    }
}

} // namespace mc
