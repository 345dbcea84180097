// The person's input for an ActionScript 3 movie: mouse events to the interactive object
// under the pointer (bubbling to the stage), over, out and roll events as the pointer moves
// between objects, click when it goes up where it went down, keyboard events to the focus.
#include "As3Scripts.h"
#include "TextFieldState.h"

#include "avm2/DisplayClasses.h"
#include "avm2/EventState.h"
#include "avm2/SpriteDrag.h"
#include "avm2/StageFocus.h"

#include <algorithm>
#include <utility>

namespace mc {

namespace {

constexpr int kMaxNesting = 256;
// How soon a second click makes a double click: the common system setting.
constexpr double kDoubleClickMs = 500;

// What takes mouse events: containers, buttons and text fields; not shapes and bitmaps,
// whatever the tree keeps them as.
bool interactive(As3DisplayTree& tree, const DisplayObject& o) {
    switch (tree.kindOf(o.serial)) {
    case avm2::NodeKind::Sprite:
    case avm2::NodeKind::MovieClip:
    case avm2::NodeKind::Button:
    case avm2::NodeKind::Text:
        return true;
    default:
        return false;
    }
}

bool flag(avm2::Machine& m, avm2::Object* o, const char* name) {
    if (o == nullptr) {
        return true;
    }
    try {
        return avm2::Machine::toBoolean(
            m.getProperty(avm2::Value::object(o), avm2::Name::publicName(name)));
    } catch (const avm2::ScriptThrow&) {
        return true;
    }
}

// A flag that reads false unless set.
bool flagOff(avm2::Machine& m, avm2::Object* o, const char* name) {
    return o != nullptr && flag(m, o, name);
}

} // namespace

// Text that was static in the authoring tool and cannot be selected is drawing to the
// pointer, as a shape is, except over a link.
bool As3Scripts::pointerTakesText(const DisplayObject& field, double x, double y) {
    const swf::EditText& f = field.text->field;
    return !f.noSelect || !f.wasStatic || !linkUrlAt(*player_, field, x, y).empty();
}

// The object a sprite's hitArea names, when it names one that is not the sprite itself.
const DisplayObject* As3Scripts::hitAreaOf(const DisplayObject& object) {
    if (object.kind == CharacterKind::Button || object.text) {
        return nullptr;
    }
    avm2::Object* script = tree_->scriptObject(object.serial);
    if (script == nullptr) {
        return nullptr;
    }
    avm2::Value area;
    try {
        area = vm_->getProperty(avm2::Value::object(script), avm2::Name::publicName("hitArea"));
    } catch (const avm2::ScriptThrow&) {
        return nullptr;
    }
    const avm2::NodeId node = area.isObject() ? area.asObject()->displayNode : 0;
    const DisplayObject* found = node != 0 ? tree_->find(node) : nullptr;
    return found != &object ? found : nullptr;
}

avm2::NodeId As3Scripts::pickUnder(DisplayObject& object, double x, double y, int nesting,
                                   bool& taken) {
    taken = false;
    if (nesting > kMaxNesting || object.isMask) {
        return 0;
    }
    // A sprite with a hit area is hit through that area alone, and takes the point itself:
    // its own drawing and children no longer count.
    if (const DisplayObject* area = hitAreaOf(object)) {
        avm2::Object* script = tree_->scriptObject(object.serial);
        if (hit_->hitsThrough(object, *area, x, y) && flag(*vm_, script, "mouseEnabled")) {
            taken = true;
            return object.serial;
        }
        return 0;
    }
    if (!hit_->hits(object, x, y)) {
        return 0;
    }
    if (object.text && !pointerTakesText(object, x, y)) {
        return 0; // what shows through it does
    }
    avm2::Object* script = tree_->scriptObject(object.serial);
    // The topmost interactive child that takes the point wins; anything else it holds there
    // (a shape, a child that turned the mouse away) counts as the object's own content, and
    // lower siblings are still asked before the object takes the point itself.
    if (object.clip && object.kind != CharacterKind::Button &&
        flag(*vm_, script, "mouseChildren")) {
        auto& list = object.clip->displayList;
        for (auto it = list.rbegin(); it != list.rend(); ++it) {
            DisplayObject& child = *it->second;
            if (!interactive(*tree_, child)) {
                continue;
            }
            bool childTaken = false;
            const avm2::NodeId found = pickUnder(child, x, y, nesting + 1, childTaken);
            if (childTaken) {
                taken = true;
                return found;
            }
        }
    }
    if (script != nullptr && flag(*vm_, script, "mouseEnabled")) {
        taken = true;
        return object.serial;
    }
    return 0;
}

avm2::NodeId As3Scripts::pointerTarget(double x, double y) {
    avm2::Object* stage = tree_->scriptObject(tree_->stageNode());
    if (stage != nullptr && !flag(*vm_, stage, "mouseChildren")) {
        return 0;
    }
    // The stage's children from the top: what scripts added to it, then the root.
    const avm2::NodeId stageNode = tree_->stageNode();
    const std::vector<avm2::NodeId> top = tree_->children(stageNode);
    for (auto it = top.rbegin(); it != top.rend(); ++it) {
        DisplayObject* child = tree_->find(*it);
        if (child == nullptr || !interactive(*tree_, *child)) {
            continue;
        }
        bool taken = false;
        const avm2::NodeId found = pickUnder(*child, x, y, 0, taken);
        if (taken) {
            return found;
        }
    }
    return 0;
}

void As3Scripts::sendMouseEvent(avm2::NodeId node, const char* type, bool bubbles, double x,
                                double y, bool buttonDown, avm2::NodeId related, int delta) {
    avm2::Object* target =
        node != 0 ? tree_->scriptObject(node) : avm2::scriptObjectOf(*vm_, tree_->stageNode());
    if (target == nullptr) {
        return;
    }
    // Selectable text that was static in the authoring tool takes the pointer (for its
    // selection) yet sends no mouse events of its own.
    if (const DisplayObject* field = node != 0 ? tree_->find(node) : nullptr;
        field != nullptr && field->text && field->text->field.wasStatic &&
        !field->text->field.noSelect) {
        return;
    }
    avm2::Object* event = avm2::newEvent(*vm_, type, bubbles, false, "flash.events::MouseEvent");
    double localX = x / 20.0;
    double localY = y / 20.0;
    if (node != 0) {
        tree_->toGlobal(node, localX, localY, true);
    }
    const avm2::Value e = avm2::Value::object(event);
    using avm2::Name;
    using avm2::Value;
    vm_->setProperty(e, Name::publicName("localX"), Value::number(localX));
    vm_->setProperty(e, Name::publicName("localY"), Value::number(localY));
    vm_->setProperty(e, Name::publicName("buttonDown"), Value::boolean(buttonDown));
    if (delta != 0) {
        vm_->setProperty(e, Name::publicName("delta"), Value::integer(delta));
    }
    avm2::Object* relatedObject = related != 0 ? tree_->scriptObject(related) : nullptr;
    vm_->setProperty(e, Name::publicName("relatedObject"),
                     relatedObject != nullptr ? Value::object(relatedObject) : Value::null());
    event->entries.emplace_back(Value::string("stageX"), Value::number(x / 20.0));
    event->entries.emplace_back(Value::string("stageY"), Value::number(y / 20.0));
    try {
        avm2::dispatchEvent(*vm_, target, event);
    } catch (const avm2::ScriptThrow& t) {
        vm_->printUncaught(t.value);
    }
}

void As3Scripts::movePointerOver(avm2::NodeId target, double x, double y) {
    if (target == over_) {
        return;
    }
    const avm2::NodeId old = over_;
    over_ = target;
    auto chainOf = [this](avm2::NodeId node) {
        std::vector<avm2::NodeId> chain;
        for (int i = 0; node != 0 && node != tree_->stageNode() && i < kMaxNesting; ++i) {
            chain.push_back(node);
            node = tree_->parentOf(node);
        }
        return chain;
    };
    const std::vector<avm2::NodeId> oldChain = chainOf(old);
    const std::vector<avm2::NodeId> newChain = chainOf(target);
    // The object left hears mouseOut, then each of its holders the pointer left rolls out,
    // innermost first; the holders it entered roll over, outermost first, then the object
    // entered hears mouseOver.
    if (old != 0 && tree_->find(old) != nullptr) {
        sendMouseEvent(old, "mouseOut", true, x, y, buttonDown_, target);
        for (avm2::NodeId n : oldChain) {
            if (std::find(newChain.begin(), newChain.end(), n) == newChain.end()) {
                sendMouseEvent(n, "rollOut", false, x, y, buttonDown_, target);
            }
        }
    }
    if (target != 0) {
        for (auto it = newChain.rbegin(); it != newChain.rend(); ++it) {
            if (std::find(oldChain.begin(), oldChain.end(), *it) == oldChain.end()) {
                sendMouseEvent(*it, "rollOver", false, x, y, buttonDown_, old);
            }
        }
        sendMouseEvent(target, "mouseOver", true, x, y, buttonDown_, old);
    }
}

PointerTarget As3Scripts::buttonUnder(avm2::NodeId target) {
    if (target == 0 || tree_->kindOf(target) != avm2::NodeKind::Button) {
        return {};
    }
    avm2::Object* button = tree_->scriptObject(target);
    if (button == nullptr || !flag(*vm_, button, "enabled")) {
        return {};
    }
    return {target, flagOff(*vm_, button, "trackAsMenu")};
}

void As3Scripts::showButtonStates(const std::vector<ButtonChange>& changes) {
    for (const ButtonChange& change : changes) {
        avm2::Object* button = tree_->scriptObject(change.target.id);
        if (button == nullptr) {
            continue;
        }
        const std::uint8_t bits = stateAfter(change.event, change.target.trackAsMenu);
        avm2::showButtonState(*vm_, button, (bits & 4) != 0 ? 2 : (bits & 2) != 0 ? 1 : 0);
    }
}

void As3Scripts::sendClick(avm2::NodeId target, double x, double y) {
    const double now = clockMs();
    const bool twice = target != 0 && target == clicked_ && now - clickedMs_ >= 0 &&
                       now - clickedMs_ <= kDoubleClickMs &&
                       flagOff(*vm_, tree_->scriptObject(target), "doubleClickEnabled");
    // The second click of a pair starts no new pair.
    clicked_ = twice ? 0 : target;
    clickedMs_ = now;
    sendMouseEvent(target, twice ? "doubleClick" : "click", true, x, y, false, 0);
}

std::optional<Bounds> As3Scripts::focusHighlight() {
    if (!vm_ || !tree_ || !avm2::focusShown(*vm_)) {
        return std::nullopt;
    }
    avm2::Object* focus = avm2::focusedObject(*vm_);
    const avm2::NodeId node = focus != nullptr ? focus->displayNode : 0;
    if (node == 0 || !tree_->onStage(node) || tree_->kindOf(node) == avm2::NodeKind::Text) {
        return std::nullopt;
    }
    try {
        avm2::Value allowed =
            vm_->getProperty(avm2::Value::object(focus), avm2::Name::publicName("focusRect"));
        if (allowed.isNullish()) {
            avm2::Object* stage = tree_->scriptObject(tree_->stageNode());
            allowed = stage != nullptr ? vm_->getProperty(avm2::Value::object(stage),
                                                          avm2::Name::publicName("stageFocusRect"))
                                       : avm2::Value::boolean(true);
        }
        if (!avm2::Machine::toBoolean(allowed)) {
            return std::nullopt;
        }
    } catch (const avm2::ScriptThrow& t) {
        vm_->printUncaught(t.value);
        return std::nullopt;
    }
    const avm2::DisplayHost::Box b = tree_->bounds(node, tree_->stageNode(), true);
    if (!(b.xMax > b.xMin && b.yMax > b.yMin)) {
        return std::nullopt;
    }
    return Bounds{b.xMin * 20.0, b.yMin * 20.0, b.xMax * 20.0, b.yMax * 20.0, true};
}

void As3Scripts::focusByPress(avm2::NodeId target) {
    // A press asks the focused object (the stage when none) whether the focus may go to
    // what was pressed; it goes there when that takes the focus, else nowhere.
    avm2::Object* pressed = target != 0 ? tree_->scriptObject(target) : nullptr;
    if (pressed == avm2::focusedObject(*vm_)) {
        return;
    }
    try {
        if (avm2::allowFocusChange(*vm_, "mouseFocusChange", pressed, 0, false)) {
            avm2::setFocus(*vm_, avm2::takesFocus(*vm_, pressed) ? pressed : nullptr);
        }
    } catch (const avm2::ScriptThrow& t) {
        vm_->printUncaught(t.value);
    }
}

void As3Scripts::pointer(PointerAction action, double x, double y) {
    if (!vm_ || !rootMade_) {
        return;
    }
    vm_->beginFrame();
    tree_->setMouse(x / 20.0, y / 20.0);
    avm2::followDrag(*vm_);
    // The middle and right buttons each have their own down, up and click.
    struct Names {
        const char* down;
        const char* up;
        const char* click;
    };
    static constexpr Names kMiddle{"middleMouseDown", "middleMouseUp", "middleClick"};
    static constexpr Names kRight{"rightMouseDown", "rightMouseUp", "rightClick"};
    try {
        const avm2::NodeId target = pointerTarget(x, y);
        switch (action) {
        case PointerAction::Move:
            showButtonStates(buttons_.moved(buttonUnder(target)));
            movePointerOver(target, x, y);
            sendMouseEvent(target, "mouseMove", true, x, y, buttonDown_, 0);
            break;
        case PointerAction::Down:
            showButtonStates(buttons_.pressed(buttonUnder(target)));
            movePointerOver(target, x, y);
            buttonDown_ = true;
            pressed_ = target;
            focusByPress(target);
            sendMouseEvent(target, "mouseDown", true, x, y, true, 0);
            break;
        case PointerAction::Up:
            showButtonStates(buttons_.released(buttonUnder(target)));
            buttonDown_ = false;
            sendMouseEvent(target, "mouseUp", true, x, y, false, 0);
            if (target == pressed_) {
                sendClick(target, x, y);
            }
            pressed_ = 0;
            break;
        case PointerAction::MiddleDown:
        case PointerAction::RightDown: {
            const Names& names = action == PointerAction::MiddleDown ? kMiddle : kRight;
            movePointerOver(target, x, y);
            (action == PointerAction::MiddleDown ? middlePressed_ : rightPressed_) = target;
            sendMouseEvent(target, names.down, true, x, y, true, 0);
            break;
        }
        case PointerAction::MiddleUp:
        case PointerAction::RightUp: {
            const bool middle = action == PointerAction::MiddleUp;
            const Names& names = middle ? kMiddle : kRight;
            const avm2::NodeId pressed =
                std::exchange(middle ? middlePressed_ : rightPressed_, avm2::NodeId{0});
            sendMouseEvent(target, names.up, true, x, y, false, 0);
            if (target == pressed) {
                sendMouseEvent(target, names.click, true, x, y, false, 0);
            }
            break;
        }
        }
    } catch (const avm2::ScriptAbort&) {
        // The budget ran out: this event's scripts stop.
    }
}

void As3Scripts::wheel(int delta, double x, double y) {
    if (!vm_ || !rootMade_ || delta == 0) {
        return;
    }
    vm_->beginFrame();
    tree_->setMouse(x / 20.0, y / 20.0);
    // The turn goes to the object under the pointer, the stage over empty space, and
    // bubbles from there like a press.
    try {
        sendMouseEvent(pointerTarget(x, y), "mouseWheel", true, x, y, buttonDown_, 0, delta);
    } catch (const avm2::ScriptAbort&) {
        // The budget ran out: this event's scripts stop.
    }
}

void As3Scripts::key(const KeyStroke& key, bool down, KeyModifiers held) {
    if (!vm_ || !rootMade_) {
        return;
    }
    vm_->beginFrame();
    try {
        avm2::Object* stage = avm2::scriptObjectOf(*vm_, tree_->stageNode());
        if (stage == nullptr) {
            return;
        }
        using avm2::Name;
        using avm2::Value;
        avm2::Object* focus = avm2::focusedObject(*vm_);
        avm2::Object* target = focus != nullptr && focus->displayNode != 0 ? focus : stage;
        avm2::Object* event = avm2::newEvent(*vm_, down ? "keyDown" : "keyUp", true, false,
                                             "flash.events::KeyboardEvent");
        const Value e = Value::object(event);
        vm_->setProperty(e, Name::publicName("charCode"), Value::integer(key.ascii));
        vm_->setProperty(e, Name::publicName("keyCode"), Value::integer(key.code));
        vm_->setProperty(e, Name::publicName("keyLocation"),
                         Value::integer(static_cast<int>(key.location)));
        vm_->setProperty(e, Name::publicName("ctrlKey"), Value::boolean(held.ctrl));
        vm_->setProperty(e, Name::publicName("altKey"), Value::boolean(held.alt));
        vm_->setProperty(e, Name::publicName("shiftKey"), Value::boolean(held.shift));
        avm2::dispatchEvent(*vm_, target, event);
        // The key types into the input field that has the focus once the key was heard
        // (a listener may have moved the focus); with Control held it is a command.
        if (down && !held.ctrl) {
            if (key.code == key_code::Backspace || key.code == key_code::Delete) {
                eraseInField(key.code == key_code::Backspace);
            } else if (key.ascii >= 0x20 || key.ascii == '\r') {
                const char16_t typed = static_cast<char16_t>(key.ascii);
                typeCharacter(std::u16string_view(&typed, 1));
            }
        }
        if (down && key.code == key_code::Tab) {
            tabFocus(held.shift);
        } else if (down && key.code >= key_code::Left && key.code <= key_code::Down) {
            arrowFocus(key.code);
        }
    } catch (const avm2::ScriptThrow& t) {
        vm_->printUncaught(t.value);
    } catch (const avm2::ScriptAbort&) {
        // The budget ran out: this event's scripts stop.
    }
}

} // namespace mc
