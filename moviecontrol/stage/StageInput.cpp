#include "StageInput.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "ButtonActions.h"
#include "Dragging.h"
#include "FocusManager.h"
#include "PointerOrder.h"
#include "StageObject.h"
#include "StageScripts.h"
#include "TextEditing.h"
#include "TextFieldProperties.h"
#include "TextFieldState.h"
#include "TextLinks.h"
#include "TextMetrics.h"
#include "TextRestrict.h"
#include "avm1/Machine.h"

namespace mc {

namespace {

// The sound transitions of the sound layer: leave, enter, press, release.
std::optional<std::size_t> soundOf(ButtonEvent event) {
    switch (event) {
    case ButtonEvent::RollOut:
        return 0;
    case ButtonEvent::RollOver:
        return 1;
    case ButtonEvent::Press:
        return 2;
    case ButtonEvent::Release:
        return 3;
    default:
        break;
    }
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Players take an enabled property set to undefined as not set at all.
bool enabledValue(avm1::Machine& m, avm1::Object* o) {
    const avm1::Value enabled = m.get(o, "enabled");
    return enabled.isUndefined() || m.toBoolean(enabled);
}

// The most objects looked through for one that took a pressed button's place.
constexpr std::size_t kMaxSearched = 100000;

// The key code scripts ask Key.isDown for the mouse's left button.
constexpr std::size_t kMouseKey = 1;

bool isInputField(const DisplayObject& o) {
    return o.text && !o.text->field.readOnly && !o.removed;
}

// A press gives the focus to a field a person can select, even an input field.
bool takesFocus(const DisplayObject& o) {
    return o.text && !o.text->field.noSelect && !o.removed;
}

// The most text an input field takes from a person, so that a held key cannot grow it
// without bound.
constexpr std::size_t kMaxTypedBytes = 64 * 1024;

} // namespace

StageInput::StageInput(const swf::Movie& movie, TimelinePlayer& player, StageScripts* scripts)
    : player_(player), scripts_(scripts), state_(scripts != nullptr ? &scripts->input : &ownState_),
      hit_(movie, player) {
    if (scripts_ != nullptr) {
        focus_.emplace(*scripts_);
        hit_.hitAreaOf = [this](const DisplayObject& clip) -> const DisplayObject* {
            StageObject* o = scripts_->objectOf(const_cast<DisplayObject&>(clip));
            if (o == nullptr) {
                return nullptr;
            }
            const avm1::Value area = scripts_->machine().get(o, "hitArea");
            return area.isObject() ? scripts_->displayOf(area) : nullptr;
        };
    }
}

bool StageInput::mine(const DisplayObject& object) const {
    if (scripts_ != nullptr && scripts_->hosted()) {
        return scripts_->serves(object);
    }
    return !hostedElsewhere || !hostedElsewhere(object);
}

DisplayObject& StageInput::inputRoot() const {
    return scripts_ != nullptr ? scripts_->movieRoot() : player_.rootObject();
}

bool StageInput::hostedMovie() const {
    return scripts_ != nullptr && scripts_->hosted();
}

void StageInput::passOn(const std::function<void(StageInput&)>& each) const {
    if (eachHosted) {
        eachHosted(each);
    }
}

bool StageInput::actsAsButton(const DisplayObject& object) {
    if (object.removed) {
        return false;
    }
    if (object.kind == CharacterKind::Button) {
        return true;
    }
    return object.clip && object.parent != nullptr && hasButtonHandlers(scripts_, object);
}

bool StageInput::enabled(const DisplayObject& object) const {
    if (scripts_ == nullptr) {
        return true;
    }
    StageObject* o = scripts_->objectOf(const_cast<DisplayObject&>(object));
    return o == nullptr || enabledValue(scripts_->machine(), o);
}

PointerTarget StageInput::targetAt(double x, double y) {
    // A text field a person can select, or a link in one, takes the pointer from the
    // buttons beneath it, though it hears none of their events.
    DisplayObject* found = hit_.topmost(
        [this, x, y](const DisplayObject& o) {
            // Another movie's objects answer to that movie's input; what they hold may be
            // this one's.
            if (!mine(o)) {
                return false;
            }
            if (o.text) {
                return !o.removed && !scriptPointer &&
                       (!o.text->field.noSelect || !urlAt(o, x, y).empty());
            }
            return actsAsButton(o);
        },
        x, y);
    // Under an object of its host that takes the pointer, the movie's own are out of reach.
    return found != nullptr && reachable(x, y) ? targetOf(*found) : PointerTarget{};
}

PointerTarget StageInput::targetOf(const DisplayObject& found) {
    PointerTarget target{found.serial, false};
    if (found.kind == CharacterKind::Button) {
        if (const swf::Button* b = player_.catalogOf(found).button(found.characterId)) {
            target.trackAsMenu = b->trackAsMenu;
        }
    } else if (scripts_ != nullptr) {
        if (StageObject* o = scripts_->objectOf(const_cast<DisplayObject&>(found))) {
            target.trackAsMenu =
                scripts_->machine().toBoolean(scripts_->machine().get(o, "trackAsMenu"));
        }
    }
    return target;
}

DisplayObject* StageInput::firstPlacedLike(const Placement& placement) {
    // Depth first in drawing order, as players look for it.
    std::vector<DisplayObject*> pending{&inputRoot()};
    std::size_t visited = 0;
    while (!pending.empty() && ++visited < kMaxSearched) {
        DisplayObject* o = pending.back();
        pending.pop_back();
        if (o->parent != nullptr && placement.same(*o) && mine(*o)) {
            return o;
        }
        if (o->clip) {
            for (auto it = o->clip->displayList.rbegin(); it != o->clip->displayList.rend(); ++it) {
                pending.push_back(it->second.get());
            }
        }
    }
    return nullptr;
}

void StageInput::followReplacements(const PointerTarget& under) {
    if (state_->focusRolled) {
        // The focus rolled over something since the pointer last moved: the pointer is
        // over that now, and rolls out of it when it moves on.
        state_->focusRolled = false;
        const auto rolled = state_->focusRolledOver.lock();
        tracker_.hover(rolled && !rolled->removed ? targetOf(*rolled) : PointerTarget{});
        rememberTargets();
    }
    // A hovered object that left counts as still hovered when what is now under the
    // pointer stands in its place; a pressed one, when its like is anywhere on the stage.
    if (hoveredPlacement_.serial != 0 && tracker_.hovered() == hoveredPlacement_.serial &&
        !player_.bySerial(hoveredPlacement_.serial)) {
        if (const auto now = player_.bySerial(under.id); now && hoveredPlacement_.same(*now)) {
            takeOver(hoveredPlacement_, *now, under);
        }
    }
    if (pressedPlacement_.serial != 0 && tracker_.pressedTarget() == pressedPlacement_.serial &&
        !player_.bySerial(pressedPlacement_.serial)) {
        if (DisplayObject* now = firstPlacedLike(pressedPlacement_)) {
            takeOver(pressedPlacement_, *now, targetOf(*now));
        }
    }
}

void StageInput::takeOver(const Placement& placement, DisplayObject& now, PointerTarget target) {
    tracker_.replace(placement.serial, target);
    const auto old = placement.object.lock();
    if (old && now.kind == CharacterKind::Button && !scriptPointer) {
        player_.events().setButtonState(now, old->buttonState);
    }
    rememberTargets();
}

void StageInput::rememberTargets() {
    const auto remember = [this](std::uint64_t id, Placement& placement) {
        if (id == placement.serial) {
            return;
        }
        placement = {};
        if (const auto o = player_.bySerial(id)) {
            placement = {o->serial, o->depth, o->characterId, o->library, o};
        }
    };
    remember(tracker_.hovered(), hoveredPlacement_);
    remember(tracker_.pressedTarget(), pressedPlacement_);
    // The focus rolls out of what the pointer rolled over.
    if (!state_->focusRolled) {
        const auto hovered = player_.bySerial(tracker_.hovered());
        state_->focusRolledOver =
            hovered ? std::weak_ptr<DisplayObject>(hovered) : std::weak_ptr<DisplayObject>();
    }
}

void StageInput::applyToButton(DisplayObject& button, ButtonEvent event, bool trackAsMenu) {
    // An ActionScript 3 button shows the state objects its SimpleButton holds, which the
    // scripts' side of the pointer switches; the sounds are the definition's all the same.
    if (!scriptPointer) {
        player_.events().setButtonState(button, stateAfter(event, trackAsMenu));
    }
    const swf::Button* definition = player_.catalogOf(button).button(button.characterId);
    if (definition == nullptr) {
        return;
    }
    // The sound layer holds the first movie's sounds only.
    if (buttonSound && button.library == 0) {
        if (const auto sound = soundOf(event)) {
            buttonSound(definition->id, *sound);
        }
    }
    queueButtonActions(player_, button, conditionOf(event));
    player_.events().queueClipEvent(button, 0, handlerOf(event));
}

void StageInput::applyToClip(DisplayObject& clip, ButtonEvent event) {
    // A clip with frames labelled _up, _over and _down shows them as a button would.
    const std::uint8_t state = stateAfter(event, false);
    const char* label = state == 0x04 ? "_down" : state == 0x02 ? "_over" : "_up";
    if (clip.clip && player_.clips().frameOfLabel(*clip.clip, label) >= 0) {
        player_.clips().gotoClipLabel(clip, label, false);
    }
    player_.events().queueClipEvent(clip, clipEventOf(event), handlerOf(event));
}

void StageInput::apply(const std::vector<ButtonChange>& changes) {
    for (const ButtonChange& change : changes) {
        const auto object = player_.bySerial(change.target.id);
        if (!object || object->removed) {
            tracker_.forget(change.target.id);
            continue;
        }
        if (object->text) {
            continue;
        }
        if (!enabled(*object)) {
            // A disabled button or clip still takes the pointer from what lies beneath, but
            // hears nothing. A button shows its up state and, forgotten, starts afresh once
            // enabled; a clip only stops calling its handlers: the pointer still rolls over
            // and presses it unheard, so that enabled again it goes on from there.
            if (object->kind == CharacterKind::Button) {
                player_.events().setButtonState(*object, swf::button_state::Up);
                tracker_.forget(change.target.id);
            }
            continue;
        }
        if (object->kind == CharacterKind::Button) {
            applyToButton(*object, change.event, change.target.trackAsMenu);
        } else {
            applyToClip(*object, change.event);
        }
    }
}

void StageInput::dropDisabledButtons() {
    // A button shows its up state as soon as it is disabled, and the pointer lets go of it:
    // enabled again under the pointer, it is rolled over afresh.
    for (const std::uint64_t id : {tracker_.hovered(), tracker_.pressedTarget()}) {
        const auto object = player_.bySerial(id);
        if (!object || object->removed || object->kind != CharacterKind::Button ||
            enabled(*object)) {
            continue;
        }
        if (!scriptPointer) {
            player_.events().setButtonState(*object, swf::button_state::Up);
        }
        tracker_.forget(id);
    }
}

void StageInput::broadcast(std::uint32_t event, avm1::Object* broadcaster, const char* message) {
    // The mouse's clip events walk the display list from the top down, not the order clips
    // were made in: a clip placed above another hears the press first.
    std::vector<std::shared_ptr<DisplayObject>> levels{player_.sharedOf(player_.rootObject())};
    for (DisplayObject* level : player_.levels().upperLevels()) {
        levels.push_back(player_.sharedOf(*level));
    }
    // Only what runs as a clip hears them (a button keeps its states as children, unheard);
    // clips the walk does not reach (a movie hosted outside the levels) still hear them, after.
    std::vector<std::shared_ptr<DisplayObject>> running = player_.events().clipsNewestFirst();
    std::unordered_set<const DisplayObject*> unreached;
    for (const auto& clip : running) {
        unreached.insert(clip.get());
    }
    std::vector<std::shared_ptr<DisplayObject>> clips;
    for (auto& clip : clipsTopFirst(levels)) {
        if (unreached.erase(clip.get()) != 0) {
            clips.push_back(std::move(clip));
        }
    }
    for (auto& clip : running) {
        if (unreached.contains(clip.get())) {
            clips.push_back(std::move(clip));
        }
    }
    for (const auto& clip : clips) {
        if (mine(*clip)) {
            player_.events().queueClipEvent(*clip, event, message);
        }
    }
    notifyListeners(broadcaster, message);
}

void StageInput::notifyListeners(avm1::Object* broadcaster, const char* message) {
    // The listeners hear of the event after every clip did.
    finish();
    if (scripts_ != nullptr && broadcaster != nullptr) {
        const avm1::Value name(scripts_->machine().str(message));
        scripts_->machine().callMethod(broadcaster, "broadcastMessage",
                                       std::span<const avm1::Value>(&name, 1));
    }
}

DisplayObject* StageInput::keyboardFocus() {
    if (scripts_ == nullptr || !state_->focusHighlighted || scripts_->machine().version() < 6) {
        return nullptr;
    }
    const auto focus = state_->focus.lock();
    return focus && !focus->removed ? focus.get() : nullptr;
}

void StageInput::broadcastKey(std::uint32_t event, const char* message) {
    // Every clip's onClipEvent hears every key, but an onKeyDown or onKeyUp method answers
    // only on the object that holds the focus the keyboard or a script gave it.
    DisplayObject* focused = keyboardFocus();
    for (const auto& clip : player_.events().clipsNewestFirst()) {
        if (mine(*clip)) {
            player_.events().queueClipEvent(*clip, event,
                                            clip.get() == focused ? message : nullptr);
        }
    }
    if (focused != nullptr && focused->kind == CharacterKind::Button) {
        player_.events().queueClipEvent(*focused, 0, message);
    }
    notifyListeners(state_->keyObject, message);
}

PageOpening::Gesture StageInput::personsEvent() {
    // A press or release of a button or key is a person asking: its handlers may open a page.
    return PageOpening::Gesture(scripts_ != nullptr ? &scripts_->pages() : scriptPages);
}

void StageInput::finish() {
    player_.events().runInputScripts();
}

void StageInput::setPointer(double x, double y) {
    state_->mouseX = x;
    state_->mouseY = y;
    state_->pointerPlaced = true;
    followDrag(*state_, player_);
    if (scripts_ != nullptr) {
        markDropTarget(*state_, player_, hit_,
                       [this](const DisplayObject& o) { return scripts_->dropTargetPathOf(o); });
    }
}

void StageInput::dragSelect(double x, double y) {
    // Dragging from where a press put the caret selects up to the pointer.
    if (const auto field = selecting_.lock(); field && !field->removed && field->text &&
                                              state_->keysDown[kMouseKey] &&
                                              state_->focus.lock() == field) {
        state_->selection =
            selectionWithin(field->text->plainText(), static_cast<double>(selectFrom_),
                            static_cast<double>(caretUnder(*field, x, y)));
    }
}

std::size_t StageInput::caretUnder(const DisplayObject& field, double x, double y) {
    const Transform toLocal = inverse(player_.geometry().globalMatrix(field));
    return caretAt(player_.catalogOf(field), *field.text, toLocal.mapX(x, y), toLocal.mapY(x, y));
}

bool StageInput::heldDragEvents() const {
    // A clip dragged along with the pointer hides what it passes; a movie of the third
    // script version hears its pointer through its own events.
    return !scriptPointer && !state_->drag;
}

void StageInput::mouseMove(double x, double y) {
    if (scriptPointer) {
        scriptPointer(PointerAction::Move, x, y);
    }
    setPointer(x, y);
    dragSelect(x, y);
    // Every move the system reports is heard, even one that ends where the pointer was.
    broadcast(clip_event::MouseMove, state_->mouseObject, "onMouseMove");
    dropDisabledButtons();
    const PointerTarget under = targetAt(x, y);
    followReplacements(under);
    dropHiddenHover();
    tracker_.dragEvents(heldDragEvents());
    const std::vector<ButtonChange> changes = tracker_.moved(under);
    rememberTargets();
    apply(changes);
    finish();
    pointerHidesHighlight();
    passOn([x, y](StageInput& hosted) { hosted.mouseMove(x, y); });
}

void StageInput::dropHiddenHover() {
    if (const std::uint64_t hovered = tracker_.hovered(); hovered != 0) {
        const auto object = player_.bySerial(hovered);
        if (object && !object->removed && !object->visible) {
            tracker_.hover({});
            rememberTargets();
        }
    }
}

void StageInput::pointerRests() {
    if (!state_->pointerPlaced || state_->keysDown[kMouseKey] || state_->focusRolled ||
        tracker_.pressedTarget() != 0 || scriptPointer) {
        return;
    }
    // What the pointer rolled over stays so, unless a script hid it.
    dropHiddenHover();
    if (tracker_.hovered() != 0) {
        return;
    }
    const PointerTarget under = targetAt(state_->mouseX, state_->mouseY);
    if (under.id == 0) {
        return;
    }
    const std::vector<ButtonChange> changes = tracker_.moved(under);
    rememberTargets();
    apply(changes);
    finish();
}

void StageInput::mouseDown(double x, double y) {
    if (scriptPointer) {
        scriptPointer(PointerAction::Down, x, y);
    }
    const PageOpening::Gesture gesture = personsEvent();
    setPointer(x, y);
    state_->keysDown[kMouseKey] = true;
    state_->toggled[kMouseKey] = !state_->toggled[kMouseKey];
    broadcast(clip_event::MouseDown, state_->mouseObject, "onMouseDown");
    finish();
    if (scripts_ != nullptr) {
        // A press gives the focus to the text field under it, and takes it from the field
        // that had it anywhere else; a focus the mouse gives shows no rectangle.
        state_->focusHighlighted = false;
        DisplayObject* field = hit_.topmost(takesFocus, x, y);
        if (field != nullptr && (!mine(*field) || !reachable(x, y))) {
            field = nullptr;
        }
        moveFocus(*scripts_, field);
        // The caret goes where the field was clicked, not round its whole text.
        selecting_.reset();
        if (field != nullptr && !field->removed && state_->focus.lock().get() == field) {
            selectFrom_ = caretUnder(*field, x, y);
            const double at = static_cast<double>(selectFrom_);
            state_->selection = selectionWithin(field->text->plainText(), at, at);
            selecting_ = player_.sharedOf(*field);
        }
    }
    dropDisabledButtons();
    const PointerTarget under = targetAt(x, y);
    followReplacements(under);
    dropHiddenHover();
    tracker_.dragEvents(heldDragEvents());
    const std::vector<ButtonChange> changes = tracker_.pressed(under);
    rememberTargets();
    apply(changes);
    finish();
    // Flash follows a text link as it is pressed, not when the button comes up again.
    std::string url;
    if (DisplayObject* field = linkAt(x, y, url)) {
        followLink(*field, url);
        finish();
    }
    passOn([x, y](StageInput& hosted) { hosted.mouseDown(x, y); });
}

void StageInput::otherButton(bool middle, bool down, double x, double y) {
    if (!scriptPointer) {
        // Key.isDown hears of these buttons as of the left one: 4 the middle, 2 the right.
        const std::size_t code = middle ? 4 : 2;
        state_->keysDown[code] = down;
        if (down) {
            state_->toggled[code] = !state_->toggled[code];
        }
        // Clip events and listeners hear nothing of these buttons; a pointer that came
        // with them from elsewhere has moved all the same.
        if (x != state_->mouseX || y != state_->mouseY) {
            mouseMove(x, y);
        } else {
            pointerHidesHighlight();
        }
        return;
    }
    const PointerAction action = middle
                                     ? (down ? PointerAction::MiddleDown : PointerAction::MiddleUp)
                                     : (down ? PointerAction::RightDown : PointerAction::RightUp);
    setPointer(x, y);
    scriptPointer(action, x, y);
    passOn([middle, down, x, y](StageInput& hosted) { hosted.otherButton(middle, down, x, y); });
}

KeyModifiers StageInput::modifiers() const {
    return {state_->keysDown[key_code::Control], state_->keysDown[key_code::Alt],
            state_->keysDown[key_code::Shift]};
}

void StageInput::mouseUp(double x, double y) {
    if (scriptPointer) {
        scriptPointer(PointerAction::Up, x, y);
    }
    const PageOpening::Gesture gesture = personsEvent();
    setPointer(x, y);
    dragSelect(x, y);
    state_->keysDown[kMouseKey] = false;
    selecting_.reset();
    broadcast(clip_event::MouseUp, state_->mouseObject, "onMouseUp");
    dropDisabledButtons();
    const PointerTarget under = targetAt(x, y);
    followReplacements(under);
    dropHiddenHover();
    tracker_.dragEvents(heldDragEvents());
    const std::vector<ButtonChange> changes = tracker_.released(under);
    rememberTargets();
    apply(changes);
    finish();
    pointerHidesHighlight();
    passOn([x, y](StageInput& hosted) { hosted.mouseUp(x, y); });
}

void StageInput::pointerHidesHighlight() {
    // The rectangle the keyboard's focus shows goes with a press; movies made for players
    // before the ninth also lose it as soon as the pointer moves or a button comes up.
    // Without it Enter presses nothing and the focused object's key handlers stay silent.
    if (scripts_ != nullptr && scripts_->machine().version() < 9) {
        state_->focusHighlighted = false;
    }
}

std::string linkUrlAt(TimelinePlayer& player, const DisplayObject& field, double x, double y) {
    if (!field.text || field.removed || !field.text->field.html) {
        return {};
    }
    const Transform toLocal = inverse(player.geometry().globalMatrix(field));
    const auto at =
        characterAt(player.catalogOf(field), *field.text, toLocal.mapX(x, y), toLocal.mapY(x, y));
    const TextFormat* format = at ? field.text->document.formatAt(*at) : nullptr;
    return format != nullptr ? format->url : std::string();
}

std::string StageInput::urlAt(const DisplayObject& field, double x, double y) const {
    return linkUrlAt(player_, field, x, y);
}

DisplayObject* StageInput::linkAt(double x, double y, std::string& url) {
    if (scripts_ == nullptr) {
        return nullptr;
    }
    DisplayObject* found = hit_.topmost(
        [&](const DisplayObject& o) {
            return mine(o) && (o.text ? !urlAt(o, x, y).empty() : actsAsButton(o));
        },
        x, y);
    if (found == nullptr || !found->text || !mine(*found) || !reachable(x, y)) {
        return nullptr;
    }
    url = urlAt(*found, x, y);
    return found;
}

void StageInput::followLink(DisplayObject& field, const std::string& url) {
    DisplayObject& timeline = field.parent != nullptr ? *field.parent : player_.rootObject();
    if (callAsFunction(*scripts_, timeline, url)) {
        return;
    }
    avm1::UrlRequest request;
    request.url = url;
    scripts_->host().getUrl(request);
}

void StageInput::wheel(int delta) {
    if (scriptWheel) {
        scriptWheel(delta, state_->mouseX, state_->mouseY);
    }
    // The text field under the pointer scrolls by a line for each line the wheel turned,
    // up when it turned away from the person, unless a script turned that off.
    DisplayObject* field = hit_.topmost([](const DisplayObject& o) { return o.text != nullptr; },
                                        state_->mouseX, state_->mouseY);
    if (field != nullptr && mine(*field) && reachable(state_->mouseX, state_->mouseY) &&
        field->text->mouseWheelEnabled && delta != 0) {
        TextFieldState& t = *field->text;
        const ScrollLimits limits = scrollLimits(player_.catalogOf(*field), t);
        const double wanted = static_cast<double>(t.scroll) - static_cast<double>(delta);
        t.scroll = static_cast<std::size_t>(std::clamp(
            wanted, 1.0, static_cast<double>(std::max<std::size_t>(limits.maxScroll, 1))));
        t.changed();
    }
    passOn([delta](StageInput& hosted) { hosted.wheel(delta); });
    if (scripts_ == nullptr || state_->mouseObject == nullptr) {
        return;
    }
    avm1::Machine& m = scripts_->machine();
    DisplayObject* under = hit_.topmost(
        [this](const DisplayObject& o) {
            return mine(o) && (o.clip != nullptr || o.text != nullptr);
        },
        state_->mouseX, state_->mouseY);
    if (under != nullptr && !reachable(state_->mouseX, state_->mouseY)) {
        under = nullptr;
    }
    StageObject* target = under != nullptr ? scripts_->objectOf(*under) : nullptr;
    const avm1::Value args[] = {
        avm1::Value(m.str("onMouseWheel")), avm1::Value(static_cast<double>(delta)),
        target != nullptr ? avm1::Value(static_cast<avm1::Object*>(target)) : avm1::Value()};
    m.callMethod(state_->mouseObject, "broadcastMessage", args);
    finish();
}

bool StageInput::pressKey(DisplayObject& button, std::uint8_t buttonKey) {
    const swf::Button* definition = player_.catalogOf(button).button(button.characterId);
    if (definition == nullptr || definition->version < 2 || button.removed) {
        return false;
    }
    // A disabled button still answers its keys; one that is part of another button's
    // looks, or hidden and not held, does not.
    if ((button.parent != nullptr && button.parent->kind == CharacterKind::Button) ||
        (!button.visible && button.buttonState == swf::button_state::Up)) {
        return false;
    }
    DisplayObject* timeline = button.parent != nullptr ? button.parent : &player_.rootObject();
    bool taken = false;
    for (const swf::ButtonAction& action : definition->actions) {
        if ((action.conditions >> 9) == buttonKey) {
            player_.events().queueActions(*timeline, action.actions);
            taken = true;
        }
    }
    return taken;
}

bool StageInput::keyPressConditions(std::uint8_t buttonKey) {
    if (buttonKey == 0) {
        return false;
    }
    // Buttons anywhere on the stage answer their key, whatever the pointer does; the first
    // one found in drawing order, holders before what they hold, takes the key.
    bool taken = false;
    std::vector<const DisplayObject*> pending{&inputRoot()};
    while (!pending.empty()) {
        const DisplayObject& o = *pending.back();
        pending.pop_back();
        if (!mine(o)) {
            continue;
        }
        if (o.kind == CharacterKind::Button && pressKey(const_cast<DisplayObject&>(o), buttonKey)) {
            taken = true;
            break;
        }
        if (o.clip) {
            // Pushed top depth first, so that the lowest depth is taken next.
            for (auto it = o.clip->displayList.rbegin(); it != o.clip->displayList.rend(); ++it) {
                pending.push_back(it->second.get());
            }
        }
    }
    for (const auto& clip : player_.events().clipsNewestFirst()) {
        if (mine(*clip)) {
            player_.events().queueKeyPress(*clip, buttonKey);
        }
    }
    return taken;
}

void StageInput::typeInto(DisplayObject& field, const KeyStroke& key) {
    std::optional<CaretMove> move;
    switch (key.code) {
    case key_code::Left:
        move = CaretMove::Back;
        break;
    case key_code::Right:
        move = CaretMove::On;
        break;
    case key_code::Home:
        move = CaretMove::LineStart;
        break;
    case key_code::End:
        move = CaretMove::LineEnd;
        break;
    default:
        break;
    }
    if (move) {
        moveCaret(field.text->plainText(), state_->selection, *move,
                  state_->keysDown[key_code::Shift]);
        return;
    }
    std::string typed;
    if (key.code == key_code::Delete) {
        std::string text = field.text->plainText();
        if (eraseAfterCaret(text, state_->selection)) {
            field.text->setPlainText(text);
            textEdited(field);
        }
        return;
    }
    if (key.code == key_code::Enter) {
        if (!field.text->field.multiline) {
            return;
        }
        typed = "\r";
    } else if (key.code != key_code::Backspace) {
        if (key.ascii < 32 || key.ascii == 127) {
            return;
        }
        appendUtf8(typed, key.ascii);
    }
    std::string text = field.text->plainText();
    if (key.code == key_code::Backspace ? eraseBeforeCaret(text, state_->selection)
                                        : insertTyped(field, text, typed)) {
        field.text->setPlainText(text);
        textEdited(field);
    }
}

bool StageInput::insertTyped(const DisplayObject& field, std::string& text,
                             std::string_view given) {
    // The restrict property limits what a person types, never what a script sets.
    std::string restricted;
    std::string_view typed = given;
    if (field.text->restrict) {
        restricted = restrictTyped(*field.text->restrict, given);
        typed = restricted;
        if (typed.empty()) {
            return false;
        }
    }
    if (const auto most = field.text->field.maxLength; most && *most > 0) {
        // A full field takes nothing more, though a selection may give way.
        const InputState::Selection& s = state_->selection;
        const std::size_t kept = characterCount(text) - (s.end - std::min(s.begin, s.end));
        if (kept + characterCount(typed) > *most) {
            return false;
        }
    }
    return typeAtCaret(text, state_->selection, typed, kMaxTypedBytes);
}

void StageInput::textEdited(DisplayObject& field) {
    field.text->changed();
    scripts_->fieldEdited(field);
    if (StageObject* o = scripts_->objectOf(field)) {
        broadcastFieldChanged(scripts_->machine(), *o);
    }
}

void StageInput::keyDown(const KeyStroke& key) {
    const PageOpening::Gesture gesture = personsEvent();
    state_->keysDown[key.code] = true;
    state_->toggled[key.code] = !state_->toggled[key.code];
    state_->lastKey = key;
    if (scriptKey) {
        scriptKey(key, true, modifiers());
    }
    passOn([&key](StageInput& hosted) { hosted.keyDown(key); });
    broadcastKey(clip_event::KeyDown, "onKeyDown");
    const bool taken = keyPressConditions(buttonKeyOf(key));
    finish();
    dropDisabledButtons();
    // A button that took the key keeps it from the text, the Tab key and the focused button.
    if (taken) {
        return;
    }
    if (scripts_ != nullptr) {
        const auto focus = state_->focus.lock();
        if (focus && isInputField(*focus)) {
            typeInto(*focus, key);
            finish();
        }
    }
    // In a hosted movie the host's Tab order moves the keyboard's focus.
    if (focus_ && key.code == key_code::Tab) {
        if (!hostedMovie()) {
            focus_->tab(state_->keysDown[key_code::Shift]);
            finish();
        }
    } else if (const std::optional<Arrow> arrow = arrowOf(key.code);
               focus_ && arrow && !hostedMovie()) {
        if (focus_->arrow(*arrow)) {
            finish();
        }
    } else if (isPressKey(key)) {
        // The button the keyboard moved to is pressed and released at once.
        pressFocused();
    }
}

void StageInput::keyUp(const KeyStroke& key) {
    const PageOpening::Gesture gesture = personsEvent();
    state_->keysDown[key.code] = false;
    state_->lastKey = key;
    if (scriptKey) {
        scriptKey(key, false, modifiers());
    }
    passOn([&key](StageInput& hosted) { hosted.keyUp(key); });
    broadcastKey(clip_event::KeyUp, "onKeyUp");
    finish();
    dropDisabledButtons();
}

bool StageInput::isPressKey(const KeyStroke& key) {
    return key.code == key_code::Enter || key.code == key_code::Space;
}

void StageInput::pressFocused() {
    const auto focus = state_->focus.lock();
    if (!focus || focus->removed || focus->text || !state_->focusHighlighted ||
        !actsAsButton(*focus) || !enabled(*focus)) {
        return;
    }
    for (const ButtonEvent event : {ButtonEvent::Press, ButtonEvent::Release}) {
        if (focus->kind == CharacterKind::Button) {
            applyToButton(*focus, event, false);
        } else {
            applyToClip(*focus, event);
        }
        finish();
    }
}

void StageInput::typeText(std::string_view utf8) {
    if (scriptText) {
        scriptText(utf8);
    }
    passOn([utf8](StageInput& hosted) { hosted.typeText(utf8); });
    if (scripts_ == nullptr) {
        return;
    }
    const auto focus = state_->focus.lock();
    if (!focus || !isInputField(*focus) || utf8.empty()) {
        return;
    }
    std::string text = focus->text->plainText();
    if (insertTyped(*focus, text, utf8)) {
        focus->text->setPlainText(text);
        textEdited(*focus);
    }
    finish();
}

void StageInput::editText(TextCommand command, CaretMove move, bool extend) {
    if (scriptEdit) {
        scriptEdit(command, move, extend);
    }
    passOn([command, move, extend](StageInput& hosted) { hosted.editText(command, move, extend); });
    if (scripts_ == nullptr) {
        return;
    }
    const auto focus = state_->focus.lock();
    if (!focus || focus->removed || !focus->text) {
        return;
    }
    DisplayObject& field = *focus;
    std::string text = field.text->plainText();
    switch (command) {
    case TextCommand::Move:
        moveCaret(text, state_->selection, move, extend);
        return;
    case TextCommand::SelectAll:
        state_->selection = selectionWithin(text, 0, static_cast<double>(characterCount(text)));
        return;
    case TextCommand::Backspace:
    case TextCommand::Delete:
        if (isInputField(field) &&
            (command == TextCommand::Backspace ? eraseBeforeCaret(text, state_->selection)
                                               : eraseAfterCaret(text, state_->selection))) {
            field.text->setPlainText(text);
            textEdited(field);
        }
        break;
    case TextCommand::Enter:
        if (isInputField(field) && field.text->field.multiline && insertTyped(field, text, "\r")) {
            field.text->setPlainText(text);
            textEdited(field);
        }
        break;
    }
    finish();
}

std::optional<Bounds> StageInput::focusHighlight() {
    std::optional<Bounds> shown;
    if (scriptFocusHighlight) {
        shown = scriptFocusHighlight();
    } else if (focus_) {
        shown = focus_->highlight();
    }
    passOn([&shown](StageInput& hosted) {
        if (!shown) {
            shown = hosted.focusHighlight();
        }
    });
    return shown;
}

bool StageInput::pointerHidden() const {
    bool hidden = state_->mouseHidden;
    passOn([&hidden](StageInput& hosted) { hidden = hidden || hosted.pointerHidden(); });
    return hidden;
}

bool StageInput::wantsHandCursor() const {
    bool wanted = false;
    passOn([&wanted](StageInput& hosted) { wanted = wanted || hosted.wantsHandCursor(); });
    if (wanted) {
        return true;
    }
    const auto hovered = player_.bySerial(tracker_.hovered());
    if (!hovered || hovered->removed || hovered->text || state_->mouseHidden ||
        !enabled(*hovered)) {
        return false;
    }
    if (scripts_ == nullptr) {
        return true;
    }
    StageObject* o = scripts_->objectOf(*hovered);
    if (o == nullptr) {
        return true;
    }
    const avm1::Value hand = scripts_->machine().get(o, "useHandCursor");
    return hand.isUndefined() || scripts_->machine().toBoolean(hand);
}

} // namespace mc
