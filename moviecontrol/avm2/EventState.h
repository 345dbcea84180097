#pragma once
// The state of flash.events objects kept beside the script objects: an event's flags as a
// dispatch moves it along, and the listeners a dispatcher holds.

#include "avm2/Value.h"

#include <cstdint>
#include <string>
#include <vector>

namespace avm2 {

class Machine;
class Object;

enum class EventPhase : std::uint8_t { None = 0, Capturing = 1, AtTarget = 2, Bubbling = 3 };

struct EventState {
    std::string type;
    bool bubbles = false;
    bool cancelable = false;
    bool defaultPrevented = false;
    bool stopped = false;          // stopPropagation: the next objects on the path are skipped
    bool stoppedImmediate = false; // stopImmediatePropagation: the next listeners too
    EventPhase phase = EventPhase::None;
    Object* target = nullptr;
    Object* currentTarget = nullptr;
};

struct Listener {
    std::string type;
    Value function;
    bool useCapture = false;
    std::int32_t priority = 0;
};

struct EventListeners {
    std::vector<Listener> list;
    // new EventDispatcher(target): the object events sent through this dispatcher go to,
    // as their target and along its display ancestors; null: the dispatcher itself.
    Object* target = nullptr;
};

// The names of the events the player sends to every display object that listens, whether
// on the stage or not.
bool isBroadcastEvent(const std::string& type);

// A new flash.events.Event (or subclass by qualified name) with its state set.
Object* newEvent(Machine& m, const std::string& type, bool bubbles = false, bool cancelable = false,
                 const std::string& className = "flash.events::Event");
// Sends `event` to `target` through the capture, target and bubble phases along the
// target's display ancestors. A script's error in a listener travels out as ScriptThrow.
// False when a listener prevented the default.
bool dispatchEvent(Machine& m, Object* target, Object* event);
// The same along a path given by the caller (the ancestors an object had as it was taken
// out of the tree), nearest first.
bool dispatchEventAlong(Machine& m, Object* target, Object* event,
                        const std::vector<Object*>& ancestors);
// Sends a new event of `type` to every object registered for that broadcast event, in the
// order they registered; errors in listeners are printed and the rest still run.
void broadcastEvent(Machine& m, const std::string& type);
// Dispatches a fresh event of `type` (of the class named, qualified) to `target`, printing a
// listener's uncaught error.
void dispatchSimple(Machine& m, Object* target, const std::string& type, bool bubbles,
                    const std::string& className = "flash.events::Event");
bool hasListener(const Object* o, const std::string& type);
// Queues `event` for `target`, to be sent by sendQueuedEvents when the scripts running now
// are done.
void queueEvent(Machine& m, Object* target, Object* event);
// Sends the events queued so far, in order, printing a listener's uncaught error; what their
// listeners queue waits for the next call.
void sendQueuedEvents(Machine& m);

} // namespace avm2
