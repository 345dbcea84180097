#pragma once

#include <QPainter>

#include "Bounds.h"
#include "Transform.h"

namespace mc {

// The yellow rectangle round the object the Tab key gave the focus: three stage pixels
// wide, inside the object's box (stage twips), scaled with the stage.
void drawFocusRectangle(QPainter& painter, const Transform& stageToDevice, const Bounds& box);

} // namespace mc
