#pragma once

#include <functional>
#include <optional>
#include <string>

#include "InputState.h"
#include "TimelinePlayer.h"

namespace mc {

class HitTester;

// The pointer in the space of `object`'s content, twips.
void pointerIn(const TimelinePlayer& player, const InputState& input, const DisplayObject& object,
               double& x, double& y);

// _xmouse and _ymouse of `object`: the pointer in its space in pixels, counted in whole
// twips as players keep it, with the object's place on the stage taken to whole pixels.
// Players cannot undo a zero scale; they then give the pointer's stage twips scaled by a
// twentieth instead.
double mouseCoordinate(const TimelinePlayer& player, const InputState& input,
                       const DisplayObject& object, bool vertical);

// startDrag: from now on `clip` follows the pointer (at once to it with lockCenter).
void beginDrag(InputState& input, const TimelinePlayer& player, DisplayObject& clip,
               bool lockCenter, std::optional<avm1::Host::DragBounds> bounds);
// Moves the dragged clip to where the pointer is now.
void followDrag(InputState& input, const TimelinePlayer& player);
// While a clip is dragged its _droptarget names the clip under the pointer, kept up to
// date as the pointer moves.
void markDropTarget(InputState& input, const TimelinePlayer& player, const HitTester& hit,
                    const std::function<std::string(const DisplayObject&)>& slashPath);
// stopDrag: the clip stays; its _droptarget names the clip under the pointer.
void endDrag(InputState& input, const TimelinePlayer& player, const HitTester& hit,
             const std::function<std::string(const DisplayObject&)>& slashPath);

} // namespace mc
