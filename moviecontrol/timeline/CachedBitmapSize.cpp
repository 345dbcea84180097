#include "CachedBitmapSize.h"

#include <cmath>

namespace mc {

bool cachedBitmapFits(const Bounds& covered, int movieVersion) {
    if (covered.empty()) {
        return true;
    }
    // The bitmap holds every pixel the object touches, whole; one as large as the player's
    // largest bitmap is already more than the cache takes.
    const double width = std::ceil(covered.xMax / 20.0) - std::floor(covered.xMin / 20.0);
    const double height = std::ceil(covered.yMax / 20.0) - std::floor(covered.yMin / 20.0);
    if (!(width < 1e12) || !(height < 1e12)) {
        return false;
    }
    if (movieVersion != 0 && movieVersion < 10) {
        return width < 2880 && height < 2880;
    }
    return width < 8191 && height < 8191 && width * height < 16777215.0;
}

} // namespace mc
