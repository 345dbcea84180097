// flash.display.SimpleButton: four display objects, one per state (up, over, down and the
// hit area). A button of the movie makes them from its symbol's records as it is
// constructed: the records of a state become that state's object, several of them a Sprite
// holding them in depth order. The state shown is the button's one child, though scripts
// see no parent on it; the others wait outside the display tree.
#include "avm2/DisplayClasses.h"
#include "avm2/DisplayHost.h"
#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"

#include <algorithm>
#include <array>

namespace avm2 {

namespace {

constexpr std::array<const char*, 4> kStates = {"upState", "overState", "downState",
                                                "hitTestState"};
constexpr std::array<std::uint8_t, 4> kStateBits = {1, 2, 4, 8};
// Records read from one button symbol; a real one holds a handful.
constexpr std::size_t kMaxRecords = 4096;
constexpr char kShown[] = "shown state";
constexpr int kMaxNestedButtons = 2;

Object* buttonSelf(Machine& m, const Value& self) {
    if (!self.isObject()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    return self.asObject();
}

// The up state is what the button shows: it becomes the button's child.
void show(Machine& m, Object* button, const Value& previous, const Value& state) {
    DisplayHost* h = m.host().display();
    const NodeId node = button->displayNode;
    if (h == nullptr || node == 0) {
        return;
    }
    if (previous.isObject() && previous.asObject()->displayNode != 0 &&
        h->parentOf(previous.asObject()->displayNode) == node) {
        h->detach(previous.asObject()->displayNode);
    }
    if (state.isObject() && state.asObject()->displayNode != 0) {
        h->insertChild(node, state.asObject()->displayNode, 0);
    }
}

// The state the button shows (0 up, 1 over, 2 down): the up state until the pointer says
// otherwise.
std::size_t shownState(Object* button) {
    const Value v = hiddenField(button, kShown);
    return v.isInt() && v.asInt() > 0 && v.asInt() < 3 ? static_cast<std::size_t>(v.asInt()) : 0;
}

// Sets one state: an object in a container leaves it first, as addChild would take it.
void setState(Machine& m, Object* button, std::size_t which, const Value& v) {
    Value state = v.isNullish() ? Value::null() : v;
    DisplayHost* h = m.host().display();
    if (state.isObject() && h != nullptr && state.asObject()->displayNode != 0) {
        const NodeId parent = h->parentOf(state.asObject()->displayNode);
        if (parent != 0 && parent != h->stageNode() && h->kindOf(parent) != NodeKind::Button) {
            if (Object* container = h->scriptObject(parent)) {
                Args child{state};
                m.callProperty(Value::object(container), Name::publicName("removeChild"), child);
            }
        }
    }
    const Value previous = hiddenField(button, kStates[which], Value::null());
    setHiddenField(button, kStates[which], state);
    if (which == shownState(button)) {
        show(m, button, previous, state);
    }
}

template <std::size_t Which> Value stateGet(Machine& m, const Value& self, Args&) {
    return hiddenField(buttonSelf(m, self), kStates[Which], Value::null());
}

template <std::size_t Which> Value stateSet(Machine& m, const Value& self, Args& a) {
    Value v = arg(a, 0);
    if (!v.isNullish() &&
        (!v.isObject() || !m.isType(v, m.findClass("flash.display::DisplayObject")))) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.errorText(v) +
                         " to flash.display.DisplayObject.");
    }
    setState(m, buttonSelf(m, self), Which, v);
    return Value();
}

// The states a button of the movie shows, from its symbol's records.
// A button inside its own state (directly or through others) would build itself without
// end, and each level multiplies the parts: a part repeating a button it stands in, or
// nested deeper than movies nest buttons, shows no states.
bool nestedTooDeep(DisplayHost& h, NodeId node) {
    const std::uint16_t symbol = h.symbolOf(node);
    int buttons = 0;
    NodeId n = h.parentOf(node);
    for (int steps = 0; n != 0 && steps < 4096; ++steps, n = h.parentOf(n)) {
        if (h.kindOf(n) != NodeKind::Button) {
            continue;
        }
        if ((symbol != 0 && h.symbolOf(n) == symbol) || ++buttons >= kMaxNestedButtons) {
            return true;
        }
    }
    return false;
}

void buildStates(Machine& m, DisplayHost& h, Object* button) {
    const NodeId node = button->displayNode;
    if (nestedTooDeep(h, node)) {
        return;
    }
    const std::vector<std::uint8_t> records = h.buttonRecords(node);
    if (records.empty()) {
        return;
    }
    // Every record of each state in turn is made and constructed inside the button, then
    // set aside: records sharing a depth do not meet.
    std::array<std::vector<Object*>, 4> parts;
    for (std::size_t s = 0; s < kStates.size(); ++s) {
        for (std::size_t i = 0; i < records.size() && i < kMaxRecords; ++i) {
            if ((records[i] & kStateBits[s]) == 0) {
                continue;
            }
            const NodeId part = h.makeButtonPart(node, i);
            if (part == 0) {
                continue;
            }
            Object* o = scriptObjectOf(m, part);
            if (h.alive(part) && h.parentOf(part) == node) {
                h.detach(part);
            }
            if (o != nullptr) {
                parts[s].push_back(o);
            }
        }
    }
    h.clearButton(node);
    Class* sprite = m.findClass("flash.display::Sprite");
    for (std::size_t s = 0; s < kStates.size(); ++s) {
        Value state = Value::null();
        if (parts[s].size() == 1) {
            state = Value::object(parts[s][0]);
        } else if (parts[s].size() > 1 && sprite != nullptr) {
            Args none;
            state = m.construct(Value::object(sprite->classObject), none);
            if (state.isObject()) {
                for (Object* part : parts[s]) {
                    h.insertChild(state.asObject()->displayNode, part->displayNode,
                                  h.childCount(state.asObject()->displayNode));
                }
            }
        }
        setState(m, button, s, state);
    }
}

// Whether the object shown in the up state, or one of the up Sprite's children, is a
// MovieClip.
bool upStateHoldsClip(Machine& m, DisplayHost& h, Object* button) {
    const Value up = hiddenField(button, kStates[0], Value::null());
    Class* clip = m.findClass("flash.display::MovieClip");
    if (!up.isObject() || clip == nullptr) {
        return false;
    }
    if (m.isType(up, clip)) {
        return true;
    }
    const NodeId node = up.asObject()->displayNode;
    if (node == 0 || h.kindOf(node) != NodeKind::Sprite) {
        return false;
    }
    for (std::size_t i = 0; i < h.childCount(node); ++i) {
        Object* child = h.scriptObject(h.childAt(node, i));
        if (child != nullptr && m.isType(Value::object(child), clip)) {
            return true;
        }
    }
    return false;
}

constexpr char kStatesBuilt[] = "states built";

Value buttonInit(Machine& m, const Value& self, Args& a) {
    Object* o = buttonSelf(m, self);
    Class* button = m.findClass("flash.display::SimpleButton");
    Args none;
    m.constructSuper(button->super, self, none);
    DisplayHost* h = m.host().display();
    if (h != nullptr && o->displayNode != 0 && !hiddenField(o, kStatesBuilt).isBoolean()) {
        buildStates(m, *h, o);
    }
    for (std::size_t s = 0; s < kStates.size(); ++s) {
        if (!arg(a, s).isNullish()) {
            m.setProperty(self, Name::publicName(kStates[s]), arg(a, s));
        }
    }
    return Value();
}

template <const char* Key, bool Default> Value flagGet(Machine& m, const Value& self, Args&) {
    return hiddenField(buttonSelf(m, self), Key, Value::boolean(Default));
}

template <const char* Key> Value flagSet(Machine& m, const Value& self, Args& a) {
    setHiddenField(buttonSelf(m, self), Key, Value::boolean(Machine::toBoolean(arg(a, 0))));
    return Value();
}

constexpr char kEnabled[] = "enabled";
constexpr char kHandCursor[] = "useHandCursor";
constexpr char kTrackAsMenu[] = "trackAsMenu";

} // namespace

bool buildTimelineButton(Machine& m, Object* button) {
    DisplayHost* h = m.host().display();
    if (button == nullptr || h == nullptr || button->displayNode == 0) {
        return false;
    }
    setHiddenField(button, kStatesBuilt, Value::boolean(true));
    buildStates(m, *h, button);
    // The up state hears it was added once all four are made, the button its parent.
    const Value up = hiddenField(button, kStates[0], Value::null());
    if (up.isObject()) {
        dispatchEvent(m, up.asObject(), newEvent(m, "added", true));
    }
    return upStateHoldsClip(m, *h, button);
}

void showButtonState(Machine& m, Object* button, std::size_t which) {
    if (button == nullptr || which > 2 || which == shownState(button)) {
        return;
    }
    const std::size_t before = shownState(button);
    const Value previous = hiddenField(button, kStates[before], Value::null());
    const Value next = hiddenField(button, kStates[which], Value::null());
    setHiddenField(button, kShown, Value::integer(static_cast<std::int32_t>(which)));
    show(m, button, previous, next);
}

void installSimpleButton(Machine& m) {
    Class* button = m.findClass("flash.display::SimpleButton");
    if (button == nullptr) {
        return;
    }
    button->init = MethodRef{nullptr, 0, buttonInit};
    m.defineGetter(button, kStates[0], stateGet<0>);
    m.defineSetter(button, kStates[0], stateSet<0>);
    m.defineGetter(button, kStates[1], stateGet<1>);
    m.defineSetter(button, kStates[1], stateSet<1>);
    m.defineGetter(button, kStates[2], stateGet<2>);
    m.defineSetter(button, kStates[2], stateSet<2>);
    m.defineGetter(button, kStates[3], stateGet<3>);
    m.defineSetter(button, kStates[3], stateSet<3>);
    m.defineGetter(button, kEnabled, flagGet<kEnabled, true>);
    m.defineSetter(button, kEnabled, flagSet<kEnabled>);
    m.defineGetter(button, kHandCursor, flagGet<kHandCursor, true>);
    m.defineSetter(button, kHandCursor, flagSet<kHandCursor>);
    m.defineGetter(button, kTrackAsMenu, flagGet<kTrackAsMenu, false>);
    m.defineSetter(button, kTrackAsMenu, flagSet<kTrackAsMenu>);
    button->sealed = true;
}

} // namespace avm2
