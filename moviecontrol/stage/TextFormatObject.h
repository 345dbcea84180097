#pragma once
// TextFormat objects of scripts and the model's formats.

#include "TextDocument.h"
#include "avm1/Machine.h"

namespace mc {

// A new TextFormat object; what the format lacks reads null.
avm1::Object* textFormatObject(avm1::Machine& m, const PartialFormat& format);
// What a script's TextFormat object gives (null and undefined give nothing).
PartialFormat partialFormatOf(avm1::Machine& m, avm1::Object* object);

} // namespace mc
