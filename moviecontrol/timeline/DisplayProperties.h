#pragma once

#include "DisplayObject.h"

namespace mc {

class ObjectGeometry;

// The geometry properties scripts read and write on a display object, in the units scripts
// use: pixels, percent and degrees. Setting any of them takes the object away from its place
// tags' matrices. Values that are not finite are ignored, as players ignore them.
namespace props {

double x(const DisplayObject& o);
double y(const DisplayObject& o);
// NaN leaves the position; an infinite one is out of range like any too large.
void setX(DisplayObject& o, double pixels);
void setY(DisplayObject& o, double pixels);

double xScale(const DisplayObject& o);
double yScale(const DisplayObject& o);
double rotation(const DisplayObject& o);
void setXScale(DisplayObject& o, double percent);
void setYScale(DisplayObject& o, double percent);
void setRotation(DisplayObject& o, double degrees);
// A rotation the caller has already brought into [-180, 180], kept as given (ActionScript 3
// keeps a half turn's sign).
void setRotationAsGiven(DisplayObject& o, double degrees);
// ActionScript 3 keeps a scale or rotation set to NaN: it reads back as NaN, and the matrix
// entries that scale multiplies turn to 0 (a NaN rotation leaves the matrix as it was).
void setXScaleNaN(DisplayObject& o);
void setYScaleNaN(DisplayObject& o);
void setRotationNaN(DisplayObject& o);

// The alpha multiplier as a percentage; stored in 1/256 steps as players store it.
double alpha(const DisplayObject& o);
void setAlpha(DisplayObject& o, double percent);

// The bounds in the parent's space, in pixels; setting scales the object to fit.
double width(const ObjectGeometry& geometry, const DisplayObject& o);
double height(const ObjectGeometry& geometry, const DisplayObject& o);
void setWidth(const ObjectGeometry& geometry, DisplayObject& o, double pixels);
void setHeight(const ObjectGeometry& geometry, DisplayObject& o, double pixels);

} // namespace props

} // namespace mc
