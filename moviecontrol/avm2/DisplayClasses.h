#pragma once
// The display classes' work the player's runner drives: the script objects of timeline
// nodes, made and bound as Flash makes them, the display events, and frame scripts.

#include "avm2/DisplayHost.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace avm2 {

class Class;
class Machine;
class Object;

// The script object of `node`, made (and constructed) when the node has none yet: the
// class its symbol names, else the class of its kind. A timeline child is bound to its
// parent's instance-name slot. Null without a display host or for node 0.
Object* scriptObjectOf(Machine& m, NodeId node);
// A symbol with a timeline bound to `cls`, a Sprite but no MovieClip, is a Sprite: it shows
// its first frame and its timeline never moves on (a component keeps the skins it exports on
// a second frame that must never show). The document's own timeline is left to its class.
void keepSpriteSymbolStill(Machine& m, DisplayHost& h, NodeId node, const Class* cls);
// Makes the script objects of the node's children that have none, in painting order,
// sending each its added and (on the stage) addedToStage events.
void constructChildren(Machine& m, NodeId node);
// Sends `added` and, when the node is on the stage, `addedToStage` to it and its
// descendants.
void sendAddedEvents(Machine& m, Object* object);
// A display object the timeline took away keeps answering its name.
void keepDetachedName(Object* object, const std::string& name);
// The name kept so; empty when none.
std::string detachedName(const Object* object);
// The timeline took the child named `name` away from `container`: the container's property
// of that name, when it holds anything, is set to null (what its getter or setter throws is
// dropped).
void clearInstanceSlot(Machine& m, Object* container, const std::string& name);
// A button the timeline places has its states made from its symbol's records before its
// class's constructor runs (which then leaves them be); true when its up state holds a
// MovieClip.
bool buildTimelineButton(Machine& m, Object* button);
// The pointer shows a SimpleButton's state `which` (0 up, 1 over, 2 down): that state's
// object becomes the button's child in place of the one shown.
void showButtonState(Machine& m, Object* button, std::size_t which);
// Whether the constructor of `object`, made by the timeline, is running.
bool underConstruction(const Object* object);
// Whether `object` registered a frame script for `frame` (from 0).
bool hasFrameScript(const Object* object, std::uint32_t frame);
// Whether the stage's invalidate asked for a render event since the last one; asking clears it.
bool takeRenderRequest(Object* stage);
// Runs the frame script `object` registered for `frame` (from 0), if any.
void runFrameScriptOf(Machine& m, Object* object, std::uint32_t frame);

} // namespace avm2
