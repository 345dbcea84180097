#pragma once

#include <QImage>

#include "ColorTransform.h"

namespace mc {

// The Alpha blend mode multiplies what lies beneath by the alpha of what the object draws,
// and only where it draws: a pixel its shapes leave uncovered keeps the picture beneath, one
// drawn fully transparent clears it. An edge pixel the object covers by a part `c` keeps
// 1 - c of the picture beneath untouched.

// The colour transform that paints every drawn pixel opaque, for drawing an object's coverage.
ColorTransform coverageTransform();

// The picture to put on the one beneath with CompositionMode_DestinationIn: its alpha is
// 1 - coverage + alpha of the object's finished picture. Both are premultiplied images of
// the same size; the result is opaque white where nothing is drawn.
QImage alphaThroughCoverage(const QImage& picture, const QImage& coverage);

} // namespace mc
