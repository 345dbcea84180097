#pragma once

#include <cstdint>
#include <string_view>

#include "swf/ActionCodes.h"

namespace mc {

struct DisplayObject;
class TimelinePlayer;

// The clip events scripts can attach with onClipEvent, as the event flag bits of the place
// tags store them (the two low bytes are the same in the 16-bit form of early movies).
namespace clip_event {
inline constexpr std::uint32_t Load = 0x00000001;
inline constexpr std::uint32_t EnterFrame = 0x00000002;
inline constexpr std::uint32_t Unload = 0x00000004;
inline constexpr std::uint32_t MouseMove = 0x00000008;
inline constexpr std::uint32_t MouseDown = 0x00000010;
inline constexpr std::uint32_t MouseUp = 0x00000020;
inline constexpr std::uint32_t KeyDown = 0x00000040;
inline constexpr std::uint32_t KeyUp = 0x00000080;
inline constexpr std::uint32_t Data = 0x00000100;
inline constexpr std::uint32_t Initialize = 0x00000200;
inline constexpr std::uint32_t Press = 0x00000400;
inline constexpr std::uint32_t Release = 0x00000800;
inline constexpr std::uint32_t ReleaseOutside = 0x00001000;
inline constexpr std::uint32_t RollOver = 0x00002000;
inline constexpr std::uint32_t RollOut = 0x00004000;
inline constexpr std::uint32_t DragOver = 0x00008000;
inline constexpr std::uint32_t DragOut = 0x00010000;
inline constexpr std::uint32_t KeyPress = 0x00020000;
inline constexpr std::uint32_t Construct = 0x00040000;
} // namespace clip_event

// What the timeline asks of the script machine. The timeline decides when scripts run (the
// frame's actions after the frame is built, clip events, constructors, in the order players
// use); the runner runs them. Without a runner only the timeline controls of the actions run.
class ScriptRunner {
  public:
    virtual ~ScriptRunner() = default;

    // Called once, first thing, by the player the runner serves.
    virtual void attach(TimelinePlayer& player) = 0;
    // Around each tick's work (and the first frame's): the runner resets its per-frame
    // budget before, and updates what depends on script variables after.
    virtual void beginTick() {}
    virtual void endTick() {}
    // Once a tick, after the root's enter-frame event was queued and before its next
    // frame's actions are: what arrived between ticks (loaded movies) comes in.
    virtual void takeArrivals() {}
    // A block of actions with `object` as its timeline and `this`: frame actions, init
    // actions (on the root) and onClipEvent blocks.
    virtual void runActions(DisplayObject& object, const swf::ActionBlock& block) = 0;
    // Calls the object's handler method `name` (onLoad, onEnterFrame, onUnload...) when it
    // has one.
    virtual void callHandler(DisplayObject& object, std::string_view name) = 0;
    // Whether the object (or its prototypes) holds a handler method `name`.
    virtual bool hasHandler(DisplayObject& object, std::string_view name) {
        (void)object;
        (void)name;
        return false;
    }
    // A clip came into being: its script object is made, with the prototype of the class
    // registered for its symbol when there is one. The constructor is not called yet.
    virtual void prepareObject(DisplayObject& object) = 0;
    // Calls the constructor of the class registered for the object's symbol, if any.
    virtual void construct(DisplayObject& object) = 0;
    // Whether a class is registered for the object's symbol.
    virtual bool hasClass(DisplayObject& object) {
        (void)object;
        return false;
    }
    // The object left the display list for good; the runner drops what it keeps for it.
    virtual void forget(DisplayObject& object) = 0;
    // A loaded movie replaced the clip's content: what scripts stored on it goes.
    virtual void contentReplaced(DisplayObject& object) { (void)object; }
};

} // namespace mc
