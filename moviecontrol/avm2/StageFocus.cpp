#include "avm2/StageFocus.h"

#include "avm2/DisplayClasses.h"
#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"

namespace avm2 {

namespace {

// Where the focus is kept: a slot of the stage's script object, so that it lives as long
// as the stage and the collector sees it.
constexpr char kFocusSlot[] = "focus";
constexpr char kShownSlot[] = "focusShown";
constexpr int kMaxDepth = 1024;

Object* stageObject(Machine& m) {
    DisplayHost* h = m.host().display();
    return h != nullptr ? scriptObjectOf(m, h->stageNode()) : nullptr;
}

void storeFocus(Object* stage, Object* focus) {
    setHiddenField(stage, kFocusSlot, focus != nullptr ? Value::object(focus) : Value::null());
}

bool isInteractive(Machine& m, const Value& v) {
    if (!v.isObject() || v.asObject()->displayNode == 0) {
        return false;
    }
    const Class* interactive = m.findClass("flash.display::InteractiveObject");
    return interactive != nullptr && v.asObject()->cls != nullptr &&
           v.asObject()->cls->isSubclassOf(interactive);
}

Object* newFocusEvent(Machine& m, const char* type, bool cancelable, Object* related,
                      std::uint32_t keyCode, bool shiftKey) {
    Object* event = newEvent(m, type, true, cancelable, "flash.events::FocusEvent");
    const Value e = Value::object(event);
    m.setProperty(e, Name::publicName("relatedObject"),
                  related != nullptr ? Value::object(related) : Value::null());
    m.setProperty(e, Name::publicName("keyCode"), Value::unsignedInt(keyCode));
    m.setProperty(e, Name::publicName("shiftKey"), Value::boolean(shiftKey));
    return event;
}

} // namespace

Object* focusedObject(Machine& m) {
    Object* stage = stageObject(m);
    const Value focus = hiddenField(stage, kFocusSlot);
    return focus.isObject() ? focus.asObject() : nullptr;
}

bool focusShown(Machine& m) {
    Object* stage = stageObject(m);
    return stage != nullptr && focusedObject(m) != nullptr &&
           Machine::toBoolean(hiddenField(stage, kShownSlot));
}

Value stageFocusGet(Machine& m, const Value&, Args&) {
    Object* focus = focusedObject(m);
    return focus != nullptr ? Value::object(focus) : Value::null();
}

Value stageFocusSet(Machine& m, const Value&, Args& args) {
    const Value next = args.empty() ? Value::null() : args[0];
    // The setter takes an InteractiveObject: anything else but null fails its coercion.
    if (!next.isNullish() && !isInteractive(m, next)) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.errorText(next) +
                         " to flash.display.InteractiveObject.");
    }
    setFocus(m, next.isNullish() ? nullptr : next.asObject(), true);
    return Value();
}

void setFocus(Machine& m, Object* next, bool shown) {
    Object* stage = stageObject(m);
    Object* old = focusedObject(m);
    if (stage == nullptr) {
        return;
    }
    // The mark is settled when the focus is given: an object empty then (nothing drawn in
    // it yet) stays unmarked even once it draws.
    if (shown && next != nullptr) {
        DisplayHost* h = m.host().display();
        const NodeId node = next->displayNode;
        const DisplayHost::Box box =
            h != nullptr && node != 0 ? h->bounds(node, node, true) : DisplayHost::Box{};
        shown = box.xMax > box.xMin && box.yMax > box.yMin;
    }
    setHiddenField(stage, kShownSlot, Value::boolean(shown && next != nullptr));
    if (old == next) {
        return;
    }
    storeFocus(stage, next);
    showFieldSelection(m, old, false);
    showFieldSelection(m, next, true);
    if (old != nullptr) {
        dispatchEvent(m, old, newFocusEvent(m, "focusOut", false, next, 0, false));
    }
    if (next != nullptr) {
        dispatchEvent(m, next, newFocusEvent(m, "focusIn", false, old, 0, false));
    }
}

bool allowFocusChange(Machine& m, const char* type, Object* next, std::uint32_t keyCode,
                      bool shiftKey) {
    Object* focus = focusedObject(m);
    Object* asked = focus != nullptr ? focus : stageObject(m);
    if (asked == nullptr) {
        return true;
    }
    return dispatchEvent(m, asked, newFocusEvent(m, type, true, next, keyCode, shiftKey));
}

void dropFocusWithin(Machine& m, DisplayHost& h, NodeId node) {
    Object* focus = focusedObject(m);
    Object* stage = stageObject(m);
    if (focus == nullptr || stage == nullptr || node == 0) {
        return;
    }
    NodeId n = focus->displayNode;
    for (int i = 0; n != 0 && i < kMaxDepth; ++i, n = h.parentOf(n)) {
        if (n == node) {
            storeFocus(stage, nullptr);
            return;
        }
    }
}

Value tabEnabledGet(Machine& m, const Value& self, Args&) {
    if (!self.isObject()) {
        return Value::boolean(false);
    }
    if (std::optional<Value> set = findHiddenField(self.asObject(), "tabEnabled")) {
        return *set;
    }
    DisplayHost* h = m.host().display();
    const NodeId node = self.asObject()->displayNode;
    if (h == nullptr || node == 0) {
        return Value::boolean(false);
    }
    switch (h->kindOf(node)) {
    case NodeKind::Button:
        return Value::boolean(true);
    case NodeKind::Text:
        return Value::boolean(h->textSetting(node, "type") == "input");
    case NodeKind::Sprite:
    case NodeKind::MovieClip:
        return Value::boolean(
            Machine::toBoolean(m.getProperty(self, Name::publicName("buttonMode"))));
    default:
        break;
    }
    return Value::boolean(false);
}

bool takesFocus(Machine& m, Object* object) {
    if (object == nullptr) {
        return false;
    }
    try {
        return Machine::toBoolean(
            m.getProperty(Value::object(object), Name::publicName("tabEnabled")));
    } catch (const ScriptThrow&) {
        return false;
    }
}

} // namespace avm2
