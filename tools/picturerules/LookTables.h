#pragma once

// Scripted picture movies for how clips look: colour transforms past the usual ranges,
// bitmap smoothing choices, cached and filtered clips under scaling, and depths at and past
// the ends of their range.

#include "ScriptedTables.h"

namespace picturerules {

void colourTables(const ScriptCaseWriter& scriptCase);
void smoothingTables(const ScriptCaseWriter& scriptCase);
void cachedTables(const ScriptCaseWriter& scriptCase);
// Scroll rectangles at whole and fractional edges, on turned, scaled and cached clips.
void scrollRectTables(const ScriptCaseWriter& scriptCase);
void depthTables(const ScriptCaseWriter& scriptCase);
// Masks set by script whose clip draws lines, with and without a fill.
void maskStrokeTables(const ScriptCaseWriter& scriptCase);

} // namespace picturerules
