#pragma once
// The keyboard focus of an ActionScript 3 movie (stage.focus) and the focus events Flash
// sends as it moves: focusOut to the object losing it, focusIn to the one gaining it, and
// before a person's click or key moves it, mouseFocusChange or keyFocusChange to the object
// holding it, which may keep it by preventing the default.
#include "avm2/DisplayHost.h"
#include "avm2/Runtime.h"

#include <cstdint>

namespace avm2 {

class Machine;
class Object;

// Stage.focus: null or the focused InteractiveObject, on the stage or not.
Value stageFocusGet(Machine& m, const Value& self, Args& args);
// Anything but an interactive object clears the focus.
Value stageFocusSet(Machine& m, const Value& self, Args& args);

// The focused object; null when none.
Object* focusedObject(Machine& m);
// Gives the focus to `next` (null: nobody). The focus has moved when the loser hears
// focusOut and the winner focusIn, each naming the other; nothing when it stays.
// `shown`: the player marks the new focus (a script or a key moved it, not a click), as long
// as it had something to mark round at that moment.
void setFocus(Machine& m, Object* next, bool shown = false);
// A text field shows its selection while it has the focus (`focused`), none otherwise.
void showFieldSelection(Machine& m, Object* field, bool focused);
// Whether the focus is one the player marks with its rectangle.
bool focusShown(Machine& m);
// The person moves the focus to `next`: the focused object (the stage when none) hears
// `type` (mouseFocusChange or keyFocusChange) naming `next`; false when a listener
// prevented the move.
bool allowFocusChange(Machine& m, const char* type, Object* next, std::uint32_t keyCode,
                      bool shiftKey);
// `node` left the stage: the focus, when on it or on something it holds, is dropped
// without events.
void dropFocusWithin(Machine& m, DisplayHost& h, NodeId node);
// InteractiveObject.tabEnabled: as a script set it; unset, true for buttons, input text
// fields and sprites in button mode.
Value tabEnabledGet(Machine& m, const Value& self, Args& args);
// Whether a press gives the object the focus: what its tabEnabled says.
bool takesFocus(Machine& m, Object* object);

} // namespace avm2
