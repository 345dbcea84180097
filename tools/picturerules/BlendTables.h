#pragma once

// Picture movies for every blend mode set on each kind of content itself (a gradient shape,
// a bitmap with translucent pixels, static text) over an opaque and a translucent backdrop.

#include "TextTables.h"

namespace picturerules {

void blendTables(const MovieMaker& newMovie, const MovieCaseWriter& add);

} // namespace picturerules
