#include "FocusManager.h"

#include <algorithm>
#include <cmath>

#include "CharacterCatalog.h"
#include "StageObject.h"
#include "StageScripts.h"
#include "SwfConversions.h"
#include "TextFieldState.h"
#include "avm1/Machine.h"

namespace mc {

namespace {

constexpr std::uint32_t kButtonClipEvents =
    clip_event::Press | clip_event::Release | clip_event::ReleaseOutside | clip_event::RollOver |
    clip_event::RollOut | clip_event::DragOver | clip_event::DragOut;

constexpr const char* kButtonHandlers[] = {"onPress",    "onRelease", "onReleaseOutside",
                                           "onRollOver", "onRollOut", "onDragOver",
                                           "onDragOut"};

// A flag scripts may set: undefined leaves the object's own default.
std::optional<bool> flagOf(avm1::Machine& m, avm1::Object* o, const char* name) {
    const avm1::Value v = m.get(o, name);
    if (v.isUndefined()) {
        return std::nullopt;
    }
    return m.toBoolean(v);
}

// Players keep a tab index as a 32-bit whole number (what is not a number counts as 0,
// the rest wraps round), where -1 stands for "not set".
std::optional<std::int32_t> tabIndexOf(avm1::Machine& m, avm1::Object* o) {
    const avm1::Value v = m.get(o, "tabIndex");
    if (v.isUndefined() || v.isNull()) {
        return std::nullopt;
    }
    const double n = m.toNumber(v);
    const double wrapped = std::isfinite(n) ? std::fmod(std::trunc(n), 4294967296.0) : 0.0;
    const auto bits = static_cast<std::uint32_t>(static_cast<std::int64_t>(wrapped));
    const auto index = static_cast<std::int32_t>(bits);
    if (index == -1) {
        return std::nullopt;
    }
    return index;
}

} // namespace

bool hasButtonHandlers(StageScripts* scripts, const DisplayObject& clip) {
    if (clip.clipActions != nullptr) {
        for (const swf::ClipAction& a : *clip.clipActions) {
            if ((a.events & kButtonClipEvents) != 0) {
                return true;
            }
        }
    }
    if (scripts == nullptr) {
        return false;
    }
    StageObject* o = scripts->objectOf(const_cast<DisplayObject&>(clip));
    if (o == nullptr) {
        return false;
    }
    for (const char* name : kButtonHandlers) {
        const avm1::Value v = scripts->machine().get(o, name);
        if (v.isObject() && v.asObject()->asFunction() != nullptr) {
            return true;
        }
    }
    return false;
}

FocusManager::FocusManager(StageScripts& scripts) : scripts_(scripts) {}

bool FocusManager::tabbable(DisplayObject& object) {
    const bool button = object.kind == CharacterKind::Button;
    const bool input = object.text && !object.text->field.readOnly;
    if (!button && !input && !object.clip) {
        return false;
    }
    StageObject* o = scripts_.objectOf(object);
    if (o == nullptr) {
        return false;
    }
    const std::optional<bool> enabled = flagOf(scripts_.machine(), o, "tabEnabled");
    if (button || input) {
        return enabled.value_or(true);
    }
    // The movie's root is never a stop, whatever its tabEnabled says.
    if (object.parent == nullptr) {
        return false;
    }
    // A clip a script gave a tab index takes part as a button would, handlers or not.
    return enabled.value_or(hasButtonHandlers(&scripts_, object) ||
                            tabIndexOf(scripts_.machine(), o).has_value());
}

bool FocusManager::tabChildren(DisplayObject& object) {
    StageObject* o = scripts_.objectOf(object);
    return o == nullptr || flagOf(scripts_.machine(), o, "tabChildren").value_or(true);
}

void FocusManager::collect(DisplayObject& object, std::vector<TabStop>& out) {
    // What is hidden takes no focus, nor does anything inside it.
    if (object.removed || !object.visible) {
        return;
    }
    if (tabbable(object)) {
        TabStop stop;
        stop.serial = object.serial;
        const Bounds box = highlightBounds(object);
        if (box.valid) {
            stop.x = std::llround(box.xMin);
            stop.y = std::llround(box.yMin);
        }
        if (StageObject* o = scripts_.objectOf(object)) {
            stop.tabIndex = tabIndexOf(scripts_.machine(), o);
        }
        out.push_back(stop);
    }
    // A button's records are its looks, not stops of their own.
    if (object.clip && object.kind != CharacterKind::Button && tabChildren(object)) {
        // A script run by a property read may change the list: walk a copy.
        std::vector<std::shared_ptr<DisplayObject>> children;
        for (const auto& [depth, child] : object.clip->displayList) {
            children.push_back(child);
        }
        for (const auto& child : children) {
            collect(*child, out);
        }
    }
}

std::vector<TabStop> FocusManager::tabStops() {
    std::vector<TabStop> stops;
    collect(scripts_.movieRoot(), stops);
    return stops;
}

bool FocusManager::tab(bool backwards) {
    const auto focus = scripts_.input.focus.lock();
    const std::uint64_t current = focus && !focus->removed ? focus->serial : 0;
    const std::uint64_t next = nextTabStop(tabOrder(tabStops()), current, backwards);
    if (next == 0) {
        return false;
    }
    const auto target = scripts_.player().bySerial(next);
    if (!target) {
        return false;
    }
    // Tabbing rolls over at once, before the focus moves.
    rollFocusTo(scripts_, target.get());
    scripts_.player().events().runInputScripts();
    moveFocus(scripts_, target.get());
    scripts_.input.focusHighlighted = true;
    return true;
}

bool FocusManager::arrow(Arrow direction) {
    const auto focus = scripts_.input.focus.lock();
    if (!focus || focus->removed || focus->text || !scripts_.input.focusHighlighted) {
        return false;
    }
    // The objects Tab visits, and the focus even when Tab would pass it by.
    std::vector<std::uint64_t> stops = tabOrder(tabStops());
    if (std::find(stops.begin(), stops.end(), focus->serial) == stops.end()) {
        stops.push_back(focus->serial);
    }
    std::vector<FocusBox> boxes;
    boxes.reserve(stops.size());
    for (const std::uint64_t serial : stops) {
        const auto object = scripts_.player().bySerial(serial);
        if (!object) {
            continue;
        }
        const Bounds b = highlightBounds(*object);
        if (b.valid) {
            boxes.push_back(FocusBox{serial, b.xMin, b.yMin, b.xMax, b.yMax});
        }
    }
    const std::uint64_t next = arrowNeighbour(boxes, focus->serial, direction);
    const auto target = next != 0 ? scripts_.player().bySerial(next) : nullptr;
    if (!target || target == focus) {
        return false;
    }
    rollFocusTo(scripts_, target.get());
    scripts_.player().events().runInputScripts();
    moveFocus(scripts_, target.get());
    scripts_.input.focusHighlighted = true;
    return true;
}

Bounds FocusManager::highlightBounds(DisplayObject& object) {
    TimelinePlayer& player = scripts_.player();
    const Transform frame = player.geometry().frameMatrix(object);
    if (object.kind == CharacterKind::Button) {
        // A button is marked, and placed in the tab order, by its hit area: what it shows
        // changes as the pointer passes, where it can be clicked does not.
        const CharacterCatalog& catalog = player.catalogOf(object);
        if (const swf::Button* button = catalog.button(object.characterId)) {
            Bounds hit;
            for (const swf::ButtonRecord& r : button->records) {
                if ((r.states & swf::button_state::HitTest) == 0) {
                    continue;
                }
                if (const auto rect = catalog.bounds(r.characterId, 0)) {
                    hit.add(mapBounds(frame * toTransform(r.matrix), Bounds::of(*rect)));
                }
            }
            if (hit.valid) {
                return hit;
            }
        }
    }
    return player.geometry().boundsOf(object, frame);
}

bool FocusManager::focusRectShown(DisplayObject& object) {
    const auto& rects = scripts_.input.focusRects;
    // Before version 6 the player has one setting, whichever object a script set it on.
    if (scripts_.machine().version() < 6) {
        return scripts_.stageFocusRect;
    }
    if (const auto own = rects.find(object.serial); own != rects.end()) {
        return own->second;
    }
    return scripts_.stageFocusRect;
}

std::optional<Bounds> FocusManager::highlight() {
    const auto focus = scripts_.input.focus.lock();
    // Text fields show their caret instead.
    if (!focus || focus->removed || focus->text || !scripts_.input.focusHighlighted ||
        !focusRectShown(*focus)) {
        return std::nullopt;
    }
    const Bounds box = highlightBounds(*focus);
    // Nothing drawn yet (a clip made empty and focused at once): no rectangle.
    if (!box.valid || (box.xMin == box.xMax && box.yMin == box.yMax)) {
        return std::nullopt;
    }
    return box;
}

} // namespace mc
