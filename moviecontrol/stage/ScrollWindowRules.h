#pragma once

#include "timeline/DisplayObject.h"

namespace mc {

// A scroll window keeps whole pixels: the player scrolls and clips by whole pixels however
// the script gives the rectangle. ActionScript 1/2 takes each of x, y, width and height as
// an integer (cut toward zero); ActionScript 3 rounds the edges x, y, x + width and
// y + height to the nearest pixel, halves to the even one. A negative size shows nothing.
// The values must be finite.
ScrollWindow scriptWindowAs2(double x, double y, double width, double height);
ScrollWindow scriptWindowAs3(double x, double y, double width, double height);

} // namespace mc
