// flash.events: Event and its family, EventDispatcher with the capture, target and bubble
// phases, and the dispatch the player uses for its own events.
#include "avm2/DisplayHost.h"
#include "avm2/EventState.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"

#include <algorithm>

namespace avm2 {

namespace {

// How far up the display tree an event travels: deeper trees are refused by the host.
constexpr std::size_t kMaxPathLength = 1024;
// Listeners one dispatcher may hold: more is a runaway script.
constexpr std::size_t kMaxListeners = 65536;

EventState& stateOf(Object* o) {
    if (!o->event) {
        o->event = std::make_shared<EventState>();
        o->event->phase = EventPhase::AtTarget;
    }
    return *o->event;
}

Object* eventSelf(Machine& m, const Value& self) {
    if (!self.isObject()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    return self.asObject();
}

Value eventInit(Machine& m, const Value& self, Args& a) {
    Object* o = eventSelf(m, self);
    EventState& s = stateOf(o);
    s.type = arg(a, 0).isNullish() ? std::string("null") : m.toString(arg(a, 0));
    s.bubbles = Machine::toBoolean(arg(a, 1));
    s.cancelable = Machine::toBoolean(arg(a, 2));
    return Value();
}

Value objectOrNull(Object* o) {
    return o != nullptr ? Value::object(o) : Value::null();
}

Value eventType(Machine& m, const Value& self, Args&) {
    return Value::string(stateOf(eventSelf(m, self)).type);
}
Value eventBubbles(Machine& m, const Value& self, Args&) {
    return Value::boolean(stateOf(eventSelf(m, self)).bubbles);
}
Value eventCancelable(Machine& m, const Value& self, Args&) {
    return Value::boolean(stateOf(eventSelf(m, self)).cancelable);
}
Value eventPhase(Machine& m, const Value& self, Args&) {
    return Value::integer(static_cast<std::int32_t>(stateOf(eventSelf(m, self)).phase));
}
Value eventTarget(Machine& m, const Value& self, Args&) {
    return objectOrNull(stateOf(eventSelf(m, self)).target);
}
Value eventCurrentTarget(Machine& m, const Value& self, Args&) {
    return objectOrNull(stateOf(eventSelf(m, self)).currentTarget);
}
Value eventPreventDefault(Machine& m, const Value& self, Args&) {
    EventState& s = stateOf(eventSelf(m, self));
    if (s.cancelable) {
        s.defaultPrevented = true;
    }
    return Value();
}
Value eventIsDefaultPrevented(Machine& m, const Value& self, Args&) {
    return Value::boolean(stateOf(eventSelf(m, self)).defaultPrevented);
}
Value eventStopPropagation(Machine& m, const Value& self, Args&) {
    stateOf(eventSelf(m, self)).stopped = true;
    return Value();
}
Value eventStopImmediatePropagation(Machine& m, const Value& self, Args&) {
    EventState& s = stateOf(eventSelf(m, self));
    s.stopped = true;
    s.stoppedImmediate = true;
    return Value();
}

Value eventClone(Machine& m, const Value& self, Args&) {
    const EventState& s = stateOf(eventSelf(m, self));
    return Value::object(newEvent(m, s.type, s.bubbles, s.cancelable));
}

// "[Name a=\"text\" b=1]": strings quoted, everything else as it converts.
Value eventFormatToString(Machine& m, const Value& self, Args& a) {
    std::string out = "[" + m.toString(arg(a, 0));
    for (std::size_t i = 1; i < a.size(); ++i) {
        const std::string name = a[i].isNullish() ? std::string("null") : m.toString(a[i]);
        const Value v = m.getProperty(self, Name::publicName(name));
        out += " " + name + "=";
        out += v.isString() ? "\"" + v.asString() + "\"" : m.toString(v);
        if ((i & 0xFF) == 0) {
            m.checkBudget();
        }
    }
    return Value::string(out + "]");
}

// The player's own event classes print their own names; a script's subclass that does not
// say otherwise prints the name of the player's class it extends.
Value eventToString(Machine& m, const Value& self, Args&) {
    std::string printed = m.className(self);
    if (self.isObject()) {
        for (const Class* c = self.asObject()->cls; c != nullptr; c = c->super) {
            if (c->unit == nullptr) {
                printed = c->name;
                break;
            }
        }
    }
    Args names{Value::string(printed), Value::string("type"), Value::string("bubbles"),
               Value::string("cancelable"), Value::string("eventPhase")};
    return eventFormatToString(m, self, names);
}

// --- EventDispatcher ---------------------------------------------------------------------

// Two listeners are the same when they are the same function, or the same method of the
// same object (each read of a method makes a new closure).
bool sameListener(Machine& m, const Value& a, const Value& b) {
    if (!a.isObject() || !b.isObject()) {
        return false;
    }
    Object* x = a.asObject();
    Object* y = b.asObject();
    if (x == y) {
        return true;
    }
    return x->kind == Object::Kind::Function && y->kind == Object::Kind::Function && x->boundThis &&
           y->boundThis && x->method.unit == y->method.unit && x->method.index == y->method.index &&
           x->method.native == y->method.native && m.strictEquals(*x->boundThis, *y->boundThis);
}

Object* dispatcherSelf(Machine& m, const Value& self) {
    if (!self.isObject()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    return self.asObject();
}

void requireFunction(Machine& m, const Value& v) {
    if (v.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter listener must be non-null.");
    }
    if (!v.isObject() || v.asObject()->kind != Object::Kind::Function) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.errorText(v) + " to Function.");
    }
}

Value addEventListener(Machine& m, const Value& self, Args& a) {
    Object* o = dispatcherSelf(m, self);
    const std::string type = m.toString(arg(a, 0));
    const Value fn = arg(a, 1);
    requireFunction(m, fn);
    const bool capture = Machine::toBoolean(arg(a, 2));
    const std::int32_t priority = toInt32(m.toNumber(arg(a, 3)));
    if (!o->listeners) {
        o->listeners = std::make_shared<EventListeners>();
    }
    auto& list = o->listeners->list;
    for (const Listener& l : list) {
        if (l.type == type && l.useCapture == capture && sameListener(m, l.function, fn)) {
            return Value();
        }
    }
    if (list.size() >= kMaxListeners) {
        m.host().limitHit("memory");
        throw ScriptAbort{"listeners"};
    }
    list.push_back(Listener{type, fn, capture, priority});
    // Each broadcast event has its own order: the order the objects first listened for it.
    if (isBroadcastEvent(type) && o->displayNode != 0) {
        auto& targets = m.broadcastTargets[type];
        if (std::find(targets.begin(), targets.end(), o) == targets.end()) {
            targets.push_back(o);
        }
    }
    return Value();
}

Value removeEventListener(Machine& m, const Value& self, Args& a) {
    Object* o = dispatcherSelf(m, self);
    const std::string type = m.toString(arg(a, 0));
    const Value fn = arg(a, 1);
    requireFunction(m, fn);
    const bool capture = Machine::toBoolean(arg(a, 2));
    if (!o->listeners) {
        return Value();
    }
    auto& list = o->listeners->list;
    std::erase_if(list, [&](const Listener& l) {
        return l.type == type && l.useCapture == capture && sameListener(m, l.function, fn);
    });
    // An object that no longer listens leaves the broadcast; listening again puts it last.
    if (isBroadcastEvent(type) && !hasListener(o, type)) {
        if (auto it = m.broadcastTargets.find(type); it != m.broadcastTargets.end()) {
            std::erase(it->second, o);
        }
    }
    return Value();
}

Value hasEventListenerMethod(Machine& m, const Value& self, Args& a) {
    return Value::boolean(hasListener(dispatcherSelf(m, self), m.toString(arg(a, 0))));
}

// The display ancestors of `o`, nearest first.
std::vector<Object*> ancestorsOf(Machine& m, Object* o) {
    std::vector<Object*> path;
    DisplayHost* host = m.host().display();
    if (host == nullptr || o->displayNode == 0) {
        return path;
    }
    NodeId node = host->parentOf(o->displayNode);
    while (node != 0 && path.size() < kMaxPathLength) {
        Object* s = host->scriptObject(node);
        if (s == nullptr) {
            break;
        }
        path.push_back(s);
        node = host->parentOf(node);
    }
    return path;
}

Value willTrigger(Machine& m, const Value& self, Args& a) {
    Object* o = dispatcherSelf(m, self);
    const std::string type = m.toString(arg(a, 0));
    if (hasListener(o, type)) {
        return Value::boolean(true);
    }
    for (Object* p : ancestorsOf(m, o)) {
        if (hasListener(p, type)) {
            return Value::boolean(true);
        }
    }
    return Value::boolean(false);
}

bool sendEvent(Machine& m, Object* dispatcher, Object* target, Object* event,
               const std::vector<Object*>& path);

Value dispatcherInit(Machine& m, const Value& self, Args& a) {
    Object* o = dispatcherSelf(m, self);
    const Value target = arg(a, 0);
    if (target.isObject()) {
        if (!o->listeners) {
            o->listeners = std::make_shared<EventListeners>();
        }
        o->listeners->target = target.asObject() == o ? nullptr : target.asObject();
    }
    return Value();
}

Value dispatchEventMethod(Machine& m, const Value& self, Args& a) {
    Object* o = dispatcherSelf(m, self);
    Value ev = arg(a, 0);
    // The event's target is read before anything else looks at it: a null event fails there,
    // as any property read of null does.
    if (ev.isNullish()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    Class* eventClass = m.findClass("flash.events::Event");
    if (!ev.isObject() || !m.isType(ev, eventClass)) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.errorText(ev) +
                         " to flash.events.Event.");
    }
    // An event already sent somewhere travels again as its clone; both are asked through
    // the properties a subclass may override.
    if (!m.getProperty(ev, Name::publicName("target")).isNullish()) {
        Args none;
        ev = m.callProperty(ev, Name::publicName("clone"), none);
        if (!ev.isObject() || !m.isType(ev, eventClass)) {
            m.throwError("TypeError", 2007, "Parameter event must be non-null.");
        }
    }
    // A dispatcher made for another object sends as that object: it is the target and its
    // ancestors the path, while the listeners at the target are the dispatcher's own.
    Object* target = o->listeners && o->listeners->target != nullptr ? o->listeners->target : o;
    return Value::boolean(sendEvent(m, o, target, ev.asObject(), ancestorsOf(m, target)));
}

// A plain function runs with the global object of the script that made it as `this`.
Value globalOf(const Value& function) {
    if (!function.isObject() || !function.asObject()->scope) {
        return Value();
    }
    const ScopeChain* s = function.asObject()->scope.get();
    for (int i = 0; s->parent && i < 4096; ++i) {
        s = s->parent.get();
    }
    return s->object;
}

// Calls the listeners of `o` for the event in its current phase; false once stopped at once.
void callListeners(Machine& m, Object* o, Object* event, bool capture, Object* as = nullptr) {
    if (!o->listeners) {
        return;
    }
    EventState& s = stateOf(event);
    std::vector<Listener> now;
    for (const Listener& l : o->listeners->list) {
        if (l.type == s.type && l.useCapture == capture) {
            now.push_back(l);
        }
    }
    std::stable_sort(now.begin(), now.end(),
                     [](const Listener& x, const Listener& y) { return x.priority > y.priority; });
    s.currentTarget = as != nullptr ? as : o;
    for (const Listener& l : now) {
        // A listener removed by an earlier one during this dispatch still runs, as in Flash.
        Args args{Value::object(event)};
        // A listener's error ends that listener alone: the player reports it as uncaught and
        // the dispatch goes on, so the caller of dispatchEvent never sees it.
        try {
            m.call(l.function, globalOf(l.function), args);
        } catch (const ScriptThrow& t) {
            m.printUncaught(t.value);
        }
        if (s.stoppedImmediate) {
            return;
        }
    }
}

} // namespace

bool isBroadcastEvent(const std::string& type) {
    return type == "enterFrame" || type == "exitFrame" || type == "frameConstructed" ||
           type == "render" || type == "activate" || type == "deactivate";
}

bool hasListener(const Object* o, const std::string& type) {
    if (o == nullptr || !o->listeners) {
        return false;
    }
    return std::any_of(o->listeners->list.begin(), o->listeners->list.end(),
                       [&](const Listener& l) { return l.type == type; });
}

Object* newEvent(Machine& m, const std::string& type, bool bubbles, bool cancelable,
                 const std::string& className) {
    Class* cls = m.findClass(className);
    if (cls == nullptr) {
        cls = m.findClass("flash.events::Event");
    }
    Object* e = m.instantiate(cls);
    EventState& s = stateOf(e);
    s.type = type;
    s.bubbles = bubbles;
    s.cancelable = cancelable;
    return e;
}

bool dispatchEvent(Machine& m, Object* target, Object* event) {
    return dispatchEventAlong(m, target, event, ancestorsOf(m, target));
}

bool dispatchEventAlong(Machine& m, Object* target, Object* event,
                        const std::vector<Object*>& path) {
    return sendEvent(m, target, target, event, path);
}

namespace {

bool sendEvent(Machine& m, Object* dispatcher, Object* target, Object* event,
               const std::vector<Object*>& path) {
    EventState& s = stateOf(event);
    s.target = target;
    s.stopped = false;
    s.stoppedImmediate = false;
    s.phase = EventPhase::Capturing;
    for (auto it = path.rbegin(); it != path.rend() && !s.stopped; ++it) {
        callListeners(m, *it, event, true);
    }
    if (!s.stopped) {
        s.phase = EventPhase::AtTarget;
        callListeners(m, dispatcher, event, false, target);
    }
    if (s.bubbles) {
        s.phase = EventPhase::Bubbling;
        for (auto it = path.begin(); it != path.end() && !s.stopped; ++it) {
            callListeners(m, *it, event, false);
        }
    }
    s.phase = EventPhase::AtTarget;
    s.currentTarget = nullptr;
    return !s.defaultPrevented;
}

} // namespace

void dispatchSimple(Machine& m, Object* target, const std::string& type, bool bubbles,
                    const std::string& className) {
    try {
        dispatchEvent(m, target, newEvent(m, type, bubbles, false, className));
    } catch (const ScriptThrow& t) {
        m.printUncaught(t.value);
    }
}

void queueEvent(Machine& m, Object* target, Object* event) {
    m.queuedEvents.emplace_back(target, event);
}

void sendQueuedEvents(Machine& m) {
    std::vector<std::pair<Object*, Object*>> due;
    due.swap(m.queuedEvents);
    for (const auto& [target, event] : due) {
        try {
            // No event is a function: a function queued is a step a load asked for.
            if (event->kind == Object::Kind::Function) {
                Args none;
                m.call(Value::object(event), Value::object(target), none);
                continue;
            }
            dispatchEvent(m, target, event);
        } catch (const ScriptThrow& t) {
            m.printUncaught(t.value);
        }
    }
}

void broadcastEvent(Machine& m, const std::string& type) {
    const auto found = m.broadcastTargets.find(type);
    if (found == m.broadcastTargets.end()) {
        return;
    }
    // Objects registering during the broadcast wait for the next one.
    const std::vector<Object*> targets = found->second;
    for (Object* o : targets) {
        if (!hasListener(o, type)) {
            continue;
        }
        // Each object hears it at its target alone: no capture or bubbling.
        try {
            dispatchEventAlong(m, o, newEvent(m, type), {});
        } catch (const ScriptThrow& t) {
            m.printUncaught(t.value);
        }
    }
}

void installEvents(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    if (dispatcher == nullptr) {
        dispatcher = m.defineClass("flash.events", "EventDispatcher", m.objectClass);
    }
    dispatcher->init = MethodRef{nullptr, 0, dispatcherInit};
    m.defineMethod(dispatcher, "addEventListener", addEventListener);
    m.defineMethod(dispatcher, "removeEventListener", removeEventListener);
    m.defineMethod(dispatcher, "hasEventListener", hasEventListenerMethod);
    m.defineMethod(dispatcher, "willTrigger", willTrigger);
    m.defineMethod(dispatcher, "dispatchEvent", dispatchEventMethod);
    Class* iface = m.defineClass("flash.events", "IEventDispatcher", m.objectClass);
    iface->isInterface = true;
    dispatcher->interfaces.push_back(iface);

    Class* event = m.defineClass("flash.events", "Event", m.objectClass, eventInit);
    event->sealed = true;
    m.defineGetter(event, "type", eventType);
    m.defineGetter(event, "bubbles", eventBubbles);
    m.defineGetter(event, "cancelable", eventCancelable);
    m.defineGetter(event, "eventPhase", eventPhase);
    m.defineGetter(event, "target", eventTarget);
    m.defineGetter(event, "currentTarget", eventCurrentTarget);
    m.defineMethod(event, "preventDefault", eventPreventDefault);
    m.defineMethod(event, "isDefaultPrevented", eventIsDefaultPrevented);
    m.defineMethod(event, "stopPropagation", eventStopPropagation);
    m.defineMethod(event, "stopImmediatePropagation", eventStopImmediatePropagation);
    m.defineMethod(event, "clone", eventClone);
    m.defineMethod(event, "toString", eventToString);
    m.defineMethod(event, "formatToString", eventFormatToString);
    const std::pair<const char*, const char*> types[] = {
        {"ACTIVATE", "activate"},
        {"ADDED", "added"},
        {"ADDED_TO_STAGE", "addedToStage"},
        {"CANCEL", "cancel"},
        {"CHANGE", "change"},
        {"CLOSE", "close"},
        {"COMPLETE", "complete"},
        {"DEACTIVATE", "deactivate"},
        {"ENTER_FRAME", "enterFrame"},
        {"EXIT_FRAME", "exitFrame"},
        {"FRAME_CONSTRUCTED", "frameConstructed"},
        {"FULLSCREEN", "fullScreen"},
        {"ID3", "id3"},
        {"INIT", "init"},
        {"MOUSE_LEAVE", "mouseLeave"},
        {"OPEN", "open"},
        {"REMOVED", "removed"},
        {"REMOVED_FROM_STAGE", "removedFromStage"},
        {"RENDER", "render"},
        {"RESIZE", "resize"},
        {"SCROLL", "scroll"},
        {"SELECT", "select"},
        {"SOUND_COMPLETE", "soundComplete"},
        {"TAB_CHILDREN_CHANGE", "tabChildrenChange"},
        {"TAB_ENABLED_CHANGE", "tabEnabledChange"},
        {"TAB_INDEX_CHANGE", "tabIndexChange"},
        {"UNLOAD", "unload"},
    };
    for (const auto& [constant, value] : types) {
        event->classObject->setProp(constant, Value::string(value));
    }
}

} // namespace avm2
