#include "ButtonTracker.h"

#include "ScriptRunner.h"

namespace mc {

namespace {
constexpr std::uint8_t kUp = 0x01;
constexpr std::uint8_t kOver = 0x02;
constexpr std::uint8_t kDown = 0x04;
} // namespace

std::uint8_t stateAfter(ButtonEvent event, bool trackAsMenu) {
    switch (event) {
    case ButtonEvent::RollOver:
    case ButtonEvent::Release:
        return kOver;
    case ButtonEvent::Press:
    case ButtonEvent::DragOver:
    case ButtonEvent::MenuDragOver:
        return kDown;
    case ButtonEvent::DragOut:
        // A held push button shows its over state until the pointer comes back.
        return trackAsMenu ? kUp : kOver;
    case ButtonEvent::RollOut:
    case ButtonEvent::ReleaseOutside:
    case ButtonEvent::MenuDragOut:
        break;
    }
    return kUp;
}

std::uint16_t conditionOf(ButtonEvent event) {
    switch (event) {
    case ButtonEvent::RollOver:
        return 0x0001; // idle to over up
    case ButtonEvent::RollOut:
        return 0x0002; // over up to idle
    case ButtonEvent::Press:
        return 0x0004; // over up to over down
    case ButtonEvent::Release:
        return 0x0008; // over down to over up
    case ButtonEvent::DragOut:
        return 0x0010; // over down to out down
    case ButtonEvent::DragOver:
        return 0x0020; // out down to over down
    case ButtonEvent::ReleaseOutside:
        return 0x0040; // out down to idle
    case ButtonEvent::MenuDragOver:
        return 0x0080; // idle to over down
    case ButtonEvent::MenuDragOut:
        return 0x0100; // over down to idle
    }
    return 0;
}

std::uint32_t clipEventOf(ButtonEvent event) {
    switch (event) {
    case ButtonEvent::RollOver:
        return clip_event::RollOver;
    case ButtonEvent::RollOut:
        return clip_event::RollOut;
    case ButtonEvent::Press:
        return clip_event::Press;
    case ButtonEvent::Release:
        return clip_event::Release;
    case ButtonEvent::ReleaseOutside:
        return clip_event::ReleaseOutside;
    case ButtonEvent::DragOver:
    case ButtonEvent::MenuDragOver:
        return clip_event::DragOver;
    case ButtonEvent::DragOut:
    case ButtonEvent::MenuDragOut:
        return clip_event::DragOut;
    }
    return 0;
}

const char* handlerOf(ButtonEvent event) {
    switch (event) {
    case ButtonEvent::RollOver:
        return "onRollOver";
    case ButtonEvent::RollOut:
        return "onRollOut";
    case ButtonEvent::Press:
        return "onPress";
    case ButtonEvent::Release:
        return "onRelease";
    case ButtonEvent::ReleaseOutside:
        return "onReleaseOutside";
    case ButtonEvent::DragOver:
    case ButtonEvent::MenuDragOver:
        return "onDragOver";
    case ButtonEvent::DragOut:
    case ButtonEvent::MenuDragOut:
        return "onDragOut";
    }
    return "";
}

std::vector<ButtonChange> ButtonTracker::moved(PointerTarget under) {
    std::vector<ButtonChange> out;
    if (!down_) {
        if (under.id != hovered_.id) {
            if (hovered_.id != 0) {
                out.push_back({hovered_, ButtonEvent::RollOut});
            }
            if (under.id != 0) {
                out.push_back({under, ButtonEvent::RollOver});
            }
            hovered_ = under;
        }
        return out;
    }
    if (pressed_.id != 0 && !pressed_.trackAsMenu) {
        const bool wasInside = hovered_.id == pressed_.id;
        const bool inside = under.id == pressed_.id;
        if (wasInside != inside) {
            out.push_back({pressed_, inside ? ButtonEvent::DragOver : ButtonEvent::DragOut});
            hovered_ = inside ? pressed_ : PointerTarget{};
        }
        const PointerTarget other = inside ? PointerTarget{} : under;
        leaveHeld(other, out);
        enterHeld(other, out);
        return out;
    }
    // Held over a menu, or pressed over nothing: menu buttons light up as the pointer
    // passes; the others hear it drag over and out of them. What it leaves hears first.
    const PointerTarget menu = under.trackAsMenu ? under : PointerTarget{};
    const PointerTarget other = under.trackAsMenu ? PointerTarget{} : under;
    const bool menuChanged = menu.id != hovered_.id;
    if (menuChanged && hovered_.id != 0) {
        out.push_back({hovered_, ButtonEvent::MenuDragOut});
    }
    leaveHeld(other, out);
    if (menuChanged) {
        hovered_ = menu;
        if (menu.id != 0) {
            out.push_back({menu, ButtonEvent::MenuDragOver});
        }
    }
    enterHeld(other, out);
    return out;
}

void ButtonTracker::leaveHeld(PointerTarget other, std::vector<ButtonChange>& out) {
    const std::uint64_t now = dragEvents_ ? other.id : 0;
    if (draggedOver_.id != 0 && draggedOver_.id != now) {
        out.push_back({draggedOver_, ButtonEvent::DragOut});
        draggedOver_ = {};
    }
}

void ButtonTracker::enterHeld(PointerTarget other, std::vector<ButtonChange>& out) {
    if (dragEvents_ && other.id != 0 && other.id != draggedOver_.id) {
        out.push_back({other, ButtonEvent::DragOver});
        draggedOver_ = other;
    }
}

std::vector<ButtonChange> ButtonTracker::pressed(PointerTarget under) {
    std::vector<ButtonChange> out;
    if (down_) {
        return out; // a second press without a release: the first one holds
    }
    out = moved(under);
    down_ = true;
    pressed_ = under;
    if (under.id != 0) {
        out.push_back({under, ButtonEvent::Press});
    }
    return out;
}

std::vector<ButtonChange> ButtonTracker::released(PointerTarget under) {
    std::vector<ButtonChange> out;
    if (!down_) {
        return moved(under);
    }
    out = moved(under);
    down_ = false;
    if (hovered_.id != 0 && (hovered_.id == pressed_.id || hovered_.trackAsMenu)) {
        out.push_back({hovered_, ButtonEvent::Release});
    } else if (pressed_.id != 0 && !pressed_.trackAsMenu) {
        out.push_back({pressed_, ButtonEvent::ReleaseOutside});
    }
    pressed_ = {};
    // Whatever the pointer is over now rolls over, as after any move with the button up,
    // even what it dragged over.
    draggedOver_ = {};
    if (hovered_.id != under.id) {
        hovered_ = {};
        auto after = moved(under);
        out.insert(out.end(), after.begin(), after.end());
    }
    return out;
}

void ButtonTracker::forget(std::uint64_t id) {
    if (hovered_.id == id) {
        hovered_ = {};
    }
    if (pressed_.id == id) {
        pressed_ = {};
    }
    if (draggedOver_.id == id) {
        draggedOver_ = {};
    }
}

void ButtonTracker::replace(std::uint64_t id, PointerTarget now) {
    if (id == 0) {
        return;
    }
    if (hovered_.id == id) {
        hovered_ = now;
    }
    if (pressed_.id == id) {
        pressed_ = now;
    }
    if (draggedOver_.id == id) {
        draggedOver_ = now;
    }
}

} // namespace mc
