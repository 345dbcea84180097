#pragma once

#include "Transform.h"
#include "swf/BasicTypes.h"

namespace mc {

// An axis-aligned box, in twips or device pixels as the caller uses; empty until something
// is added to it.
struct Bounds {
    double xMin = 0.0;
    double yMin = 0.0;
    double xMax = 0.0;
    double yMax = 0.0;
    bool valid = false;

    bool empty() const { return !valid; }
    // Grows to cover `other`; an empty box adds nothing.
    void add(const Bounds& other);

    static Bounds of(const swf::Rect& rect);
};

// The smallest box holding the four corners of `box` mapped by `m`.
Bounds mapBounds(const Transform& m, const Bounds& box);

} // namespace mc
