// Selection: the keyboard focus as scripts read and move it, and the focus moves that tell
// its listeners.
#include <algorithm>
#include <cmath>

#include "Broadcasting.h"
#include "ButtonActions.h"
#include "ButtonTracker.h"
#include "FocusManager.h"
#include "StageObject.h"
#include "StageScripts.h"
#include "TextEditing.h"
#include "TextFieldState.h"
#include "avm1/Function.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

// A target given as the object itself or as a target path ("form.name", "_root.form",
// "/form/name", "_parent.name"), which runs from the clip of the script that asks.
DisplayObject* targetOf(StageScripts& stage, const Value& v) {
    if (DisplayObject* o = stage.displayOf(v)) {
        return o;
    }
    // Anything else is read as a path: an object by its text (its toString runs).
    if (v.isNullish()) {
        return nullptr;
    }
    const std::string path = stage.machine().toString(v).str();
    avm1::Object* found = stage.machine().resolveTarget(path);
    return found != nullptr ? stage.displayOf(Value(found)) : nullptr;
}

// Text fields and buttons take the focus; a clip only when focus-enabled or handling the
// mouse as a button would, and never the movie's root.
bool takesFocus(StageScripts& stage, DisplayObject& target) {
    if (target.removed) {
        return false;
    }
    if (target.text || target.kind == CharacterKind::Button || !target.clip) {
        return true;
    }
    if (target.parent == nullptr) {
        return false;
    }
    if (hasButtonHandlers(&stage, target)) {
        return true;
    }
    avm1::Object* o = stage.objectOf(target);
    return o != nullptr && stage.machine().toBoolean(stage.machine().get(o, "focusEnabled"));
}

} // namespace

void installSelection(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::Object* selection = broadcastingObject(stage, "Selection");
    stage.input.selectionObject = selection;
    StageScripts* s = &stage;
    m.defineMethod(selection, "getFocus", [s](CallArgs& a) {
        const auto focus = s->input.focus.lock();
        if (!focus || focus->removed) {
            return Value::null();
        }
        return Value(a.machine.str(s->dotPathOf(*focus)));
    });
    // setFocus(target) answers whether the focus went where it was asked: to nothing for a
    // null or undefined target, to the target when it takes the focus; a call without a
    // target or with more than one, or with one that is missing or refuses the focus,
    // answers false.
    m.defineMethod(selection, "setFocus", [s](CallArgs& a) {
        if (a.count() != 1) {
            return Value(false);
        }
        if (a.arg(0).isNullish()) {
            rollFocusTo(*s, nullptr);
            moveFocus(*s, nullptr);
            return Value(true);
        }
        DisplayObject* target = targetOf(*s, a.arg(0));
        if (target == nullptr || !takesFocus(*s, *target)) {
            return Value(false);
        }
        rollFocusTo(*s, target);
        moveFocus(*s, target);
        s->input.focusHighlighted = true;
        return Value(true);
    });
    // The selection of the focused field; -1 without one.
    const auto focusedField = [s]() -> DisplayObject* {
        const auto focus = s->input.focus.lock();
        return focus && focus->text && !focus->removed ? focus.get() : nullptr;
    };
    using Index = std::size_t InputState::Selection::*;
    const std::pair<const char*, Index> indexes[] = {
        {"getBeginIndex", &InputState::Selection::begin},
        {"getEndIndex", &InputState::Selection::end},
        {"getCaretIndex", &InputState::Selection::caret}};
    for (const auto& index : indexes) {
        m.defineMethod(selection, index.first, [s, focusedField, member = index.second](CallArgs&) {
            DisplayObject* field = focusedField();
            if (field == nullptr) {
                return Value(-1.0);
            }
            // A text changed under the selection leaves no index past its end.
            const std::size_t length = characterCount(field->text->plainText());
            return Value(static_cast<double>(std::min(s->input.selection.*member, length)));
        });
    }
    // setSelection(begin, end) takes exactly its two arguments.
    m.defineMethod(selection, "setSelection", [s, focusedField](CallArgs& a) {
        DisplayObject* field = focusedField();
        if (field != nullptr && a.count() == 2) {
            s->input.selection =
                selectionWithin(field->text->plainText(), a.machine.toNumber(a.arg(0)),
                                a.machine.toNumber(a.arg(1)));
        }
        return Value();
    });
}

void moveFocus(StageScripts& stage, DisplayObject* target) {
    const auto old = stage.input.focus.lock();
    if (old.get() == target) {
        return;
    }
    stage.input.focus =
        target != nullptr ? stage.player().sharedOf(*target) : std::weak_ptr<DisplayObject>();
    // A field that takes the focus has all its text selected.
    if (target != nullptr && target->text) {
        stage.input.selection = selectionWithin(target->text->plainText(), 0.0, HUGE_VAL);
    }
    avm1::Machine& m = stage.machine();
    const auto objectValue = [&stage](DisplayObject* o) {
        StageObject* so = o != nullptr && !o->removed ? stage.objectOf(*o) : nullptr;
        return so != nullptr ? Value(static_cast<avm1::Object*>(so)) : Value::null();
    };
    const Value oldValue = objectValue(old.get());
    const Value newValue = objectValue(target);
    if (old && !old->removed) {
        if (StageObject* o = stage.objectOf(*old)) {
            m.callMethod(o, "onKillFocus", std::span<const Value>(&newValue, 1));
        }
    }
    if (target != nullptr) {
        if (StageObject* o = stage.objectOf(*target)) {
            m.callMethod(o, "onSetFocus", std::span<const Value>(&oldValue, 1));
        }
    }
    if (avm1::Object* selection = stage.input.selectionObject) {
        const Value args[] = {Value(m.str("onSetFocus")), oldValue, newValue};
        m.callMethod(selection, "broadcastMessage", args);
    }
}

namespace {

void queueRoll(StageScripts& stage, DisplayObject& object, bool over) {
    const char* handler = over ? "onRollOver" : "onRollOut";
    if (object.removed || object.text) {
        return;
    }
    // A disabled button or clip hears nothing of the focus passing, as of the pointer; an
    // enabled property never set (or set to undefined) counts as enabled.
    if (StageObject* o = stage.objectOf(object)) {
        const Value enabled = stage.machine().get(o, "enabled");
        if (!enabled.isUndefined() && !stage.machine().toBoolean(enabled)) {
            return;
        }
    }
    if (object.kind == CharacterKind::Button) {
        // A button the focus rolls over lights up and runs its roll actions, as under the
        // pointer.
        const ButtonEvent event = over ? ButtonEvent::RollOver : ButtonEvent::RollOut;
        stage.player().events().setButtonState(object, stateAfter(event, false));
        queueButtonActions(stage.player(), object, conditionOf(event));
        stage.player().events().queueClipEvent(object, 0, handler);
    } else if (object.clip) {
        stage.player().events().queueClipEvent(
            object, over ? clip_event::RollOver : clip_event::RollOut, handler);
    }
}

} // namespace

void rollFocusTo(StageScripts& stage, DisplayObject* target) {
    const auto old = stage.input.focusRolledOver.lock();
    stage.input.focusRolled = true;
    stage.input.focusRolledOver =
        target != nullptr ? stage.player().sharedOf(*target) : std::weak_ptr<DisplayObject>();
    if (old) {
        queueRoll(stage, *old, false);
    }
    if (target != nullptr) {
        queueRoll(stage, *target, true);
    }
}

void releaseFocusWithin(StageScripts& stage, DisplayObject& leaving) {
    const auto focus = stage.input.focus.lock();
    for (const DisplayObject* o = focus.get(); o != nullptr; o = o->parent) {
        if (o == &leaving) {
            moveFocus(stage, nullptr);
            return;
        }
    }
}

} // namespace mc
