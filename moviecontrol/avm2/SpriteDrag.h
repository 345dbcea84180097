#pragma once
// Sprite.startDrag and stopDrag: one sprite at a time follows the pointer, keeping the
// offset it had from it when the drag began (none with lockCenter), its position held
// within the bounds given in its parent's coordinates. The player moves it as the pointer
// moves.
#include "avm2/Runtime.h"

namespace avm2 {

class Machine;

// startDrag(lockCenter = false, bounds:Rectangle = null); a new drag ends the one before.
Value spriteStartDrag(Machine& m, const Value& self, Args& args);
// stopDrag(): ends the drag, whichever sprite it moves.
Value spriteStopDrag(Machine& m, const Value& self, Args& args);
// Sprite.dropTarget: the deepest object under the pointer when the sprite last moved in a
// drag or was dropped; null before.
Value spriteDropTarget(Machine& m, const Value& self, Args& args);
// The pointer moved: the dragged sprite, if any, follows it.
void followDrag(Machine& m);

} // namespace avm2
