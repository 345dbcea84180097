#pragma once

#include "NineSlice.h"
#include "ShapePaths.h"

namespace mc {

// A shape as a clip's nine-slice grid draws it: every point of its paths mapped by the slices
// (control points too, so a curve inside one slice keeps its form), each gradient or bitmap
// fill stretched with the box of its path, and each line its width under the shape's own
// placement, outlined again.
ConvertedShape slicedShape(const ConvertedShape& shape, const NineSlice& slices);

} // namespace mc
