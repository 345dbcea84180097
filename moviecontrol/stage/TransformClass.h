#pragma once
// flash.geom.Transform: the script view of a clip's matrix and colour transform.

#include "DisplayObject.h"
#include "avm1/Object.h"

namespace mc {

class StageScripts;

// A Transform of `clip` (the clip's script object), as MovieClip.transform reads.
avm1::Object* newTransform(StageScripts& stage, avm1::Object* clip);
// MovieClip.transform = value: the matrix and colour transform of the clip `value` stands
// for; anything other than a Transform of a live clip changes nothing.
void assignTransform(StageScripts& stage, DisplayObject& target, const avm1::Value& value);

} // namespace mc
