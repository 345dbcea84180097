#pragma once
// The third dimension of a display object: z, rotationX, rotationY, scaleZ and the
// Transform's matrix3D. Once a script gives an object any of them it is placed in 3D: its
// Transform then answers matrix3D and no 2D matrix, until a 2D matrix is set again.
#include "avm2/Machine.h"

namespace avm2 {

bool placedInDepth(const Value& display);
// Setting a 2D matrix takes the object back to the plane.
void leaveDepth(const Value& display);

// The display object a Transform belongs to (null once it has none); #1009 when `transform`
// is no object.
Value transformTarget(Machine& m, const Value& transform);
// A display object's numeric property, as a script reads it.
double displayNumber(Machine& m, const Value& display, const char* name);

} // namespace avm2
