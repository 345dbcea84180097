#pragma once
// flash.text.TextFormat objects and the text model's formats, both ways.

#include "TextDocument.h"
#include "avm2/Value.h"

namespace avm2 {

class Machine;

// A new TextFormat object holding what `format` has; what it lacks reads null.
Value textFormatObject(Machine& m, const mc::PartialFormat& format);
// What a script's TextFormat object sets (its nulls leave attributes out).
mc::PartialFormat partialFormatOf(Machine& m, const Value& format);
// The TextFormat argument of a TextField method: TypeError #2007 when null.
Value textFormatArgument(Machine& m, const Value& v);

} // namespace avm2
