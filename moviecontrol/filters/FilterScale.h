#pragma once
// Filter sizes in a movie are stage pixels; the layer being filtered is in device pixels.

namespace mc {

// Device pixels per stage pixel along each axis (the stage-to-device scale of the object's
// full matrix; 1 when the layer is drawn at stage size).
struct FilterScale {
    double x = 1.0;
    double y = 1.0;
};

} // namespace mc
