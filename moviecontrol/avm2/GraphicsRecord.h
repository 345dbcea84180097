#pragma once
// What a Graphics object has drawn since it was last cleared, as the calls reached the display
// tree, and Graphics.readGraphicsData, which hands the drawing back as IGraphicsData objects.
#include "avm2/DisplayHost.h"
#include "avm2/Runtime.h"

namespace avm2 {

class Machine;

// Keeps `op` on the Graphics object's record; a clear empties it.
void recordGraphics(Machine& m, const Value& graphics, const GraphicsOp& op);
// Graphics.copyFrom: `to` keeps a copy of what `from` drew.
void copyGraphicsRecord(const Value& from, const Value& to);

// readGraphicsData(recurse = true), installed on Graphics.
Value readGraphicsData(Machine& m, const Value& self, Args& a);

} // namespace avm2
