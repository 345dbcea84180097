// Tab for an ActionScript 3 movie: the objects on the stage whose tabEnabled is true, in the
// order their tab indexes give or, when none has one, the order their corners give (see
// TabOrder.h); the focused object (the stage when none) hears keyFocusChange first and may
// keep the focus.
#include "As3Scripts.h"
#include "TabOrder.h"

#include "avm2/DisplayClasses.h"
#include "avm2/StageFocus.h"

#include <cmath>

namespace mc {

namespace {

constexpr std::size_t kMaxStops = 100000;

bool flagOr(avm2::Machine& m, avm2::Object* o, const char* name, bool fallback) {
    try {
        const avm2::Value v = m.getProperty(avm2::Value::object(o), avm2::Name::publicName(name));
        return v.isUndefined() ? fallback : avm2::Machine::toBoolean(v);
    } catch (const avm2::ScriptThrow&) {
        return fallback;
    }
}

std::optional<std::int32_t> tabIndexOf(avm2::Machine& m, avm2::Object* o) {
    try {
        const double index =
            m.toNumber(m.getProperty(avm2::Value::object(o), avm2::Name::publicName("tabIndex")));
        if (index >= 0 && index <= 2147483647.0) {
            return static_cast<std::int32_t>(index);
        }
    } catch (const avm2::ScriptThrow&) {
    }
    return std::nullopt;
}

std::int64_t wholeTwips(double pixels) {
    return std::isfinite(pixels) ? std::llround(std::clamp(pixels, -1e12, 1e12) * 20.0) : 0;
}

} // namespace

std::vector<avm2::NodeId> As3Scripts::tabOrder() {
    std::vector<TabStop> stops;
    const avm2::NodeId stage = tree_->stageNode();
    // Depth first, holders before what they hold, lower children first.
    std::vector<avm2::NodeId> pending;
    const std::vector<avm2::NodeId> top = tree_->children(stage);
    pending.assign(top.rbegin(), top.rend());
    while (!pending.empty() && stops.size() < kMaxStops) {
        const avm2::NodeId node = pending.back();
        pending.pop_back();
        avm2::Object* o = tree_->scriptObject(node);
        // What is hidden takes no focus, nor does anything inside it.
        if (o == nullptr || tree_->number(node, avm2::NodeProperty::Visible) == 0) {
            continue;
        }
        if (avm2::takesFocus(*vm_, o)) {
            const avm2::DisplayHost::Box box = tree_->bounds(node, stage, false);
            stops.push_back(
                TabStop{node, wholeTwips(box.xMin), wholeTwips(box.yMin), tabIndexOf(*vm_, o)});
        }
        const avm2::NodeKind kind = tree_->kindOf(node);
        if ((kind == avm2::NodeKind::Sprite || kind == avm2::NodeKind::MovieClip) &&
            flagOr(*vm_, o, "tabChildren", true)) {
            const std::vector<avm2::NodeId> children = tree_->children(node);
            pending.insert(pending.end(), children.rbegin(), children.rend());
        }
    }
    return mc::tabOrder(std::move(stops));
}

void As3Scripts::tabFocus(bool backwards) {
    avm2::Object* focus = avm2::focusedObject(*vm_);
    const avm2::NodeId current = focus != nullptr ? focus->displayNode : 0;
    const avm2::NodeId next = nextTabStop(tabOrder(), current, backwards);
    avm2::Object* nextObject = next != 0 ? tree_->scriptObject(next) : nullptr;
    if (nextObject == nullptr || nextObject == focus) {
        return;
    }
    if (avm2::allowFocusChange(*vm_, "keyFocusChange", nextObject, key_code::Tab, backwards)) {
        avm2::setFocus(*vm_, nextObject, true);
        keyFocus_ = next;
    }
}

void As3Scripts::arrowFocus(std::uint8_t keyCode) {
    avm2::Object* focus = avm2::focusedObject(*vm_);
    // Without a focus the arrows move nothing; in a text field they move the caret. Only a
    // focus the keys gave, which the player shows, moves: a script's or a click's stays.
    if (focus == nullptr || focus->displayNode == 0 || focus->displayNode != keyFocus_ ||
        tree_->kindOf(focus->displayNode) == avm2::NodeKind::Text) {
        return;
    }
    Arrow arrow = Arrow::Left;
    switch (keyCode) {
    case key_code::Left:
        break;
    case key_code::Up:
        arrow = Arrow::Up;
        break;
    case key_code::Right:
        arrow = Arrow::Right;
        break;
    case key_code::Down:
        arrow = Arrow::Down;
        break;
    default:
        return;
    }
    // The objects Tab visits, and the focus even when Tab would pass it by.
    std::vector<avm2::NodeId> stops = tabOrder();
    if (std::find(stops.begin(), stops.end(), focus->displayNode) == stops.end()) {
        stops.push_back(focus->displayNode);
    }
    std::vector<FocusBox> boxes;
    boxes.reserve(stops.size());
    const avm2::NodeId stage = tree_->stageNode();
    for (const avm2::NodeId node : stops) {
        const avm2::DisplayHost::Box b = tree_->bounds(node, stage, false);
        boxes.push_back(FocusBox{node, b.xMin * 20.0, b.yMin * 20.0, b.xMax * 20.0, b.yMax * 20.0});
    }
    const avm2::NodeId next = arrowNeighbour(boxes, focus->displayNode, arrow);
    avm2::Object* nextObject = next != 0 ? tree_->scriptObject(next) : nullptr;
    if (nextObject == nullptr || nextObject == focus) {
        return;
    }
    if (avm2::allowFocusChange(*vm_, "keyFocusChange", nextObject, keyCode, false)) {
        avm2::setFocus(*vm_, nextObject, true);
        keyFocus_ = next;
    }
}

} // namespace mc
