#include "avm2/SpriteDrag.h"

#include "avm2/DisplayClasses.h"
#include "avm2/Machine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace avm2 {

namespace {

// The drag is kept with the stage's script object, so that it lives as long as the stage
// and the collector sees the sprite it moves: [sprite, offsetX, offsetY, left, top, right,
// bottom], the bounds NaN when there are none.
constexpr char kDragEntry[] = "drag";
constexpr std::size_t kDragFields = 7;

Object* stageObject(Machine& m) {
    DisplayHost* h = m.host().display();
    return h != nullptr ? scriptObjectOf(m, h->stageNode()) : nullptr;
}

void storeDrag(Object* stage, const Value& drag) {
    for (auto& [k, v] : stage->entries) {
        if (k.isString() && k.asString() == kDragEntry) {
            v = drag;
            return;
        }
    }
    stage->entries.emplace_back(Value::string(kDragEntry), drag);
}

// The drag's fields, copied out; empty when nothing is dragged.
std::vector<Value> currentDrag(Machine& m) {
    Object* stage = stageObject(m);
    if (stage == nullptr) {
        return {};
    }
    for (const auto& [k, v] : stage->entries) {
        if (k.isString() && k.asString() == kDragEntry && v.isObject() &&
            v.asObject()->elements.size() == kDragFields) {
            return v.asObject()->elements;
        }
    }
    return {};
}

// The pointer in the coordinates of the node's parent (the stage's when it has none).
void pointerInParent(DisplayHost& h, NodeId node, double& x, double& y) {
    NodeId parent = h.parentOf(node);
    if (parent == 0) {
        parent = h.stageNode();
    }
    x = h.number(parent, NodeProperty::MouseX);
    y = h.number(parent, NodeProperty::MouseY);
}

double finite(double v) {
    return std::isfinite(v) ? v : 0.0;
}

// Within [low, high] when both are numbers (a negative size turns the range around).
double clampTo(double v, double low, double high) {
    if (std::isnan(low) || std::isnan(high)) {
        return v;
    }
    return std::clamp(v, std::min(low, high), std::max(low, high));
}

constexpr char kDropTarget[] = "dropTarget";
constexpr int kMaxDepth = 256;

// The deepest visible object under the stage point, the dragged one and what it holds
// left out; 0 when none.
NodeId objectUnder(DisplayHost& h, NodeId node, NodeId dragged, double x, double y, int depth) {
    if (node == dragged || depth > kMaxDepth || h.number(node, NodeProperty::Visible) == 0) {
        return 0;
    }
    const std::vector<NodeId> children = h.children(node);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (NodeId hit = objectUnder(h, *it, dragged, x, y, depth + 1)) {
            return hit;
        }
    }
    // No child is hit: a hit is on the node's own drawing.
    return depth > 0 && h.hitTestPoint(node, x, y, true) ? node : 0;
}

// Sprite.dropTarget: what the sprite was last dragged over, kept with the sprite.
void storeDropTarget(Object* sprite, const Value& target) {
    for (auto& [k, v] : sprite->entries) {
        if (k.isString() && k.asString() == kDropTarget) {
            v = target;
            return;
        }
    }
    sprite->entries.emplace_back(Value::string(kDropTarget), target);
}

void noteDropTarget(Machine& m, DisplayHost& h, Object* sprite) {
    const NodeId stage = h.stageNode();
    const double x = h.number(stage, NodeProperty::MouseX);
    const double y = h.number(stage, NodeProperty::MouseY);
    const NodeId under = std::isfinite(x) && std::isfinite(y)
                             ? objectUnder(h, stage, sprite->displayNode, x, y, 0)
                             : 0;
    Object* target = under != 0 ? scriptObjectOf(m, under) : nullptr;
    storeDropTarget(sprite, target != nullptr ? Value::object(target) : Value::null());
}

double rectField(Machine& m, const Value& rect, const char* name) {
    return finite(m.toNumber(m.getProperty(rect, Name::publicName(name))));
}

} // namespace

Value spriteStartDrag(Machine& m, const Value& self, Args& args) {
    DisplayHost* h = m.host().display();
    Object* stage = stageObject(m);
    if (h == nullptr || stage == nullptr || !self.isObject() || self.asObject()->displayNode == 0) {
        return Value();
    }
    const NodeId node = self.asObject()->displayNode;
    const bool lockCenter = !args.empty() && Machine::toBoolean(args[0]);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double left = nan, top = nan, right = nan, bottom = nan;
    if (args.size() > 1 && args[1].isObject()) {
        left = rectField(m, args[1], "x");
        top = rectField(m, args[1], "y");
        right = left + rectField(m, args[1], "width");
        bottom = top + rectField(m, args[1], "height");
    }
    double offsetX = 0;
    double offsetY = 0;
    if (!lockCenter) {
        double px = 0;
        double py = 0;
        pointerInParent(*h, node, px, py);
        offsetX = finite(h->number(node, NodeProperty::X) - px);
        offsetY = finite(h->number(node, NodeProperty::Y) - py);
    }
    std::vector<Value> fields{self,
                              Value::number(offsetX),
                              Value::number(offsetY),
                              Value::number(left),
                              Value::number(top),
                              Value::number(right),
                              Value::number(bottom)};
    storeDrag(stage, Value::object(m.newArray(std::move(fields))));
    followDrag(m);
    return Value();
}

Value spriteStopDrag(Machine& m, const Value&, Args&) {
    DisplayHost* h = m.host().display();
    const std::vector<Value> drag = currentDrag(m);
    if (h != nullptr && !drag.empty() && drag[0].isObject()) {
        noteDropTarget(m, *h, drag[0].asObject());
    }
    if (Object* stage = stageObject(m)) {
        storeDrag(stage, Value::null());
    }
    return Value();
}

Value spriteDropTarget(Machine&, const Value& self, Args&) {
    if (self.isObject()) {
        for (const auto& [k, v] : self.asObject()->entries) {
            if (k.isString() && k.asString() == kDropTarget) {
                return v;
            }
        }
    }
    return Value::null();
}

void followDrag(Machine& m) {
    DisplayHost* h = m.host().display();
    const std::vector<Value> drag = currentDrag(m);
    if (h == nullptr || drag.empty() || !drag[0].isObject()) {
        return;
    }
    const NodeId node = drag[0].asObject()->displayNode;
    if (node == 0 || !h->alive(node)) {
        return;
    }
    double px = 0;
    double py = 0;
    pointerInParent(*h, node, px, py);
    const double x =
        clampTo(finite(px + drag[1].asNumber()), drag[3].asNumber(), drag[5].asNumber());
    const double y =
        clampTo(finite(py + drag[2].asNumber()), drag[4].asNumber(), drag[6].asNumber());
    h->setNumber(node, NodeProperty::X, x);
    h->setNumber(node, NodeProperty::Y, y);
    noteDropTarget(m, *h, drag[0].asObject());
}

} // namespace avm2
