#pragma once

// Picture movies for edges at their degenerate ends: curves whose control point sits on an
// anchor or on the chord, edges of no length under each cap, and closed and open outlines of
// one stroke in every shape version.

#include "TextTables.h"

namespace picturerules {

void curveTables(const MovieMaker& newMovie, const MovieCaseWriter& add);

} // namespace picturerules
