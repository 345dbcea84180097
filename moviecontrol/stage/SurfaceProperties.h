#pragma once
// What scripts set about how a display object meets the picture around it: the opaque
// background behind it, the scroll window onto its content, the nine-slice grid its drawing
// scales by, and the mask setMask names.

#include <optional>
#include <string_view>

#include "DisplayObject.h"
#include "avm1/Value.h"

namespace avm1 {
class Machine;
}

namespace mc {

class StageScripts;

// opaqueBackground, scrollRect and scale9Grid (from version 8 on): false when `name` is none
// of them.
bool readSurfaceProperty(avm1::Machine& m, const DisplayObject& o, std::string_view name,
                         avm1::Value& out);
bool writeSurfaceProperty(avm1::Machine& m, DisplayObject& o, std::string_view name,
                          const avm1::Value& value);

// What setMask's (given) argument asks for: a mask (a clip, or the path of one from the script's
// target), no mask (null or undefined), or nothing to change (nullopt) when it names nothing.
std::optional<DisplayObject*> maskArgument(StageScripts& stage, const avm1::Value& value);

} // namespace mc
