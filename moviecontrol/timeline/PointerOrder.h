#pragma once

#include <memory>
#include <vector>

#include "DisplayObject.h"

namespace mc {

// The clips the mouse's clip events (mouseDown, mouseUp, mouseMove) reach, in the order
// Flash walks the display list for them: the highest level first, and in each clip its
// children from the top depth down, each child's own children before the child, the clip
// itself last. Removed clips are left out. `levels` lists the level roots, lowest first.
std::vector<std::shared_ptr<DisplayObject>>
clipsTopFirst(const std::vector<std::shared_ptr<DisplayObject>>& levels);

} // namespace mc
