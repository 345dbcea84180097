#include "Dragging.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "DisplayProperties.h"
#include "HitTest.h"

namespace mc {

void pointerIn(const TimelinePlayer& player, const InputState& input, const DisplayObject& object,
               double& x, double& y) {
    const Transform back = inverse(player.geometry().globalMatrix(object));
    x = back.mapX(input.mouseX, input.mouseY);
    y = back.mapY(input.mouseX, input.mouseY);
}

namespace {

// Players' arithmetic for points: single precision, whole twips rounded half to even.
double wholeTwips(float v) {
    return std::nearbyint(static_cast<double>(v));
}

} // namespace

double mouseCoordinate(const TimelinePlayer& player, const InputState& input,
                       const DisplayObject& object, bool vertical) {
    const Transform m = player.geometry().globalMatrix(object);
    const auto a = static_cast<float>(m.a);
    const auto b = static_cast<float>(m.b);
    const auto c = static_cast<float>(m.c);
    const auto d = static_cast<float>(m.d);
    const float det = a * d - b * c;
    if (std::abs(det) <= std::numeric_limits<float>::epsilon()) {
        return (vertical ? input.mouseY : input.mouseX) / 400.0;
    }
    // Players place the object on whole pixels for this.
    const auto tx = static_cast<float>(std::round(m.tx / 20.0) * 20.0);
    const auto ty = static_cast<float>(std::round(m.ty / 20.0) * 20.0);
    const auto x = static_cast<float>(input.mouseX);
    const auto y = static_cast<float>(input.mouseY);
    double local = 0.0;
    if (vertical) {
        local = wholeTwips((b / -det) * x + (a / det) * y) + wholeTwips((b * tx - a * ty) / det);
    } else {
        local = wholeTwips((d / det) * x + (c / -det) * y) + wholeTwips((d * tx - c * ty) / -det);
    }
    return local / 20.0;
}

namespace {

void pointerInParent(const TimelinePlayer& player, const InputState& input,
                     const DisplayObject& clip, double& x, double& y) {
    if (clip.parent != nullptr) {
        pointerIn(player, input, *clip.parent, x, y);
    } else {
        x = input.mouseX;
        y = input.mouseY;
    }
}

} // namespace

void beginDrag(InputState& input, const TimelinePlayer& player, DisplayObject& clip,
               bool lockCenter, std::optional<avm1::Host::DragBounds> bounds) {
    InputState::Drag drag;
    drag.clip = player.sharedOf(clip);
    drag.bounds = bounds;
    if (!lockCenter) {
        double px = 0.0;
        double py = 0.0;
        pointerInParent(player, input, clip, px, py);
        drag.offsetX = clip.matrix.tx - px;
        drag.offsetY = clip.matrix.ty - py;
    }
    input.drag = drag;
    followDrag(input, player);
}

void followDrag(InputState& input, const TimelinePlayer& player) {
    if (!input.drag) {
        return;
    }
    const auto clip = input.drag->clip.lock();
    if (!clip || clip->removed) {
        input.drag.reset();
        return;
    }
    double px = 0.0;
    double py = 0.0;
    pointerInParent(player, input, *clip, px, py);
    double x = (px + input.drag->offsetX) / 20.0;
    double y = (py + input.drag->offsetY) / 20.0;
    if (const auto& b = input.drag->bounds) {
        // Bounds given the wrong way round still hold the clip between them.
        x = std::clamp(x, std::min(b->left, b->right), std::max(b->left, b->right));
        y = std::clamp(y, std::min(b->top, b->bottom), std::max(b->top, b->bottom));
    }
    if (props::x(*clip) != x) {
        props::setX(*clip, x);
    }
    if (props::y(*clip) != y) {
        props::setY(*clip, y);
    }
}

void markDropTarget(InputState& input, const TimelinePlayer& player, const HitTester& hit,
                    const std::function<std::string(const DisplayObject&)>& slashPath) {
    if (!input.drag) {
        return;
    }
    const auto clip = input.drag->clip.lock();
    if (!clip || clip->removed) {
        return;
    }
    // The dragged clip and what it holds are not what it is dropped on.
    const DisplayObject* under = hit.clipUnder(input.mouseX, input.mouseY, clip.get());
    // The root is what lies under everything: a drop there names nothing.
    input.dropTargets[clip->serial] =
        under != nullptr && under != &player.rootObject() ? slashPath(*under) : std::string();
}

void endDrag(InputState& input, const TimelinePlayer& player, const HitTester& hit,
             const std::function<std::string(const DisplayObject&)>& slashPath) {
    markDropTarget(input, player, hit, slashPath);
    input.drag.reset();
}

} // namespace mc
