#pragma once

#include <cstdint>
#include <vector>

namespace mc {

// What happens to a button (or a clip acting as one) as the pointer moves over it and the
// left button goes down and up.
enum class ButtonEvent : std::uint8_t {
    RollOver,       // pointer enters, button up
    RollOut,        // pointer leaves, button up
    Press,          // button goes down over it
    Release,        // button comes up over the one pressed
    ReleaseOutside, // button comes up away from the one pressed
    DragOver,       // pointer re-enters the one pressed, button held
    DragOut,        // pointer leaves the one pressed, button held
    MenuDragOver,   // pointer enters a track-as-menu button with the button held elsewhere
    MenuDragOut,    // pointer leaves a track-as-menu button with the button held
};

// The state bits of a button definition's records (up 1, over 2, down 4) an event leaves
// the button showing.
std::uint8_t stateAfter(ButtonEvent event, bool trackAsMenu);
// The condition bits of a button's action blocks that fire on the event.
std::uint16_t conditionOf(ButtonEvent event);
// onClipEvent bit and handler name of a clip acting as a button.
std::uint32_t clipEventOf(ButtonEvent event);
const char* handlerOf(ButtonEvent event);

// Something the pointer can be over: identified by the caller (0 = nothing).
struct PointerTarget {
    std::uint64_t id = 0;
    bool trackAsMenu = false;
    friend bool operator==(const PointerTarget&, const PointerTarget&) = default;
};

struct ButtonChange {
    PointerTarget target;
    ButtonEvent event = ButtonEvent::RollOver;
    friend bool operator==(const ButtonChange&, const ButtonChange&) = default;
};

// The pointer's relation to the buttons under it, kept between events. Each call gives
// what is under the pointer now and returns the events that follow, in order.
//
// While the button is held nothing rolls over or out. A pressed push button learns that the
// pointer left or came back (drag out, drag over); the others the pointer passes hear it
// drag over and out of them, unless drag events are off (a clip dragged along with the
// pointer hides what it passes); the one it is over when the button comes up away from the
// pressed one rolls over. A pressed track-as-menu button does not keep the pointer: the pointer
// lights up every menu button it passes, and the one under it when it comes up is released.
class ButtonTracker {
  public:
    std::vector<ButtonChange> moved(PointerTarget under);
    std::vector<ButtonChange> pressed(PointerTarget under);
    std::vector<ButtonChange> released(PointerTarget under);
    // The target left the display list: it is forgotten without events.
    void forget(std::uint64_t id);
    // The target left, and `now` took its place: the pointer's relation to it goes on with
    // the new one, without events.
    void replace(std::uint64_t id, PointerTarget now);
    // Something else rolled `now` over (the keyboard's focus): the pointer counts as over
    // it, without events.
    void hover(PointerTarget now) { hovered_ = now; }
    // Whether the targets the pointer passes with the button held hear it drag over them.
    void dragEvents(bool on) { dragEvents_ = on; }

    std::uint64_t hovered() const { return hovered_.id; }
    std::uint64_t pressedTarget() const { return pressed_.id; }
    bool down() const { return down_; }

  private:
    // The pointer, held, is now over `other` (nothing, or something other than the pressed
    // one): what it dragged over before hears it leave, then `other` hears it come.
    void leaveHeld(PointerTarget other, std::vector<ButtonChange>& out);
    void enterHeld(PointerTarget other, std::vector<ButtonChange>& out);

    PointerTarget hovered_;
    PointerTarget draggedOver_; // what the held pointer dragged over, other than the pressed
    bool dragEvents_ = true;
    PointerTarget pressed_;
    bool down_ = false;
};

} // namespace mc
