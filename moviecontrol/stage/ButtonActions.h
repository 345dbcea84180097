#pragma once

#include <cstdint>

#include "TimelinePlayer.h"

namespace mc {

// Queues the action blocks of a button's definition whose conditions hold `condition` (one
// transition bit, or a key's code in the high bits), on the timeline that holds the button,
// in the order the definition lists them. The first definition version has one block, run
// on release.
void queueButtonActions(TimelinePlayer& player, DisplayObject& button, std::uint16_t condition);

} // namespace mc
