#pragma once

// Scripted picture movies for BitmapData's pixel operations at the ends of their arguments:
// Perlin noise by every argument, copies clipped by both rectangles and through an alpha
// bitmap, palette maps with an alpha table, thresholds by every comparison, colour
// transforms of see-through pixels, and draws through a matrix and a clip rectangle.

#include "ScriptedTables.h"

namespace picturerules {

void pixelTables(const ScriptCaseWriter& scriptCase);

} // namespace picturerules
