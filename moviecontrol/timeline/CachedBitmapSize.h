#pragma once
// Whether the bitmap Flash would cache a display object in can be made. A player makes it no
// larger than its largest bitmap: an object cached as a bitmap past that size has no picture
// at all, and is drawn as nothing, a mask as well as anything else.

#include "Bounds.h"

namespace mc {

// `covered`: what the object covers on the stage, in twips. `movieVersion`: the version of
// the object's movie (players before 10 made bitmaps up to 2880 pixels a side; from 10 up to
// 8191 a side and 16,777,215 pixels in all). An empty box always fits.
bool cachedBitmapFits(const Bounds& covered, int movieVersion);

} // namespace mc
