#pragma once
// The stage's global objects that broadcast to listeners (Key, Mouse, Selection).

#include <string_view>

#include "avm1/Object.h"

namespace mc {

class StageScripts;

// A new object named `globalName` on _global, given AsBroadcaster's listeners and kept
// alive by the stage.
avm1::Object* broadcastingObject(StageScripts& stage, std::string_view globalName);

} // namespace mc
