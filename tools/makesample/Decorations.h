#pragma once

#include "moviemaker/Shape.h"

#include <QPainterPath>

namespace makesample {

// Vector artwork of the card, each drawn around its own origin (pixels in, twips out) so
// that the timeline can turn and scale it in place.

moviemaker::Shape backgroundShape(double width, double height);
moviemaker::Shape glowShape(double radiusX, double radiusY);
moviemaker::Shape starShape(double radius);
moviemaker::Shape heartShape(double size);
moviemaker::Shape petalShape(double length);
// Hangs from the origin: string, caps, body, ribs and tassel. The lucky character goes on
// as a shape of its own, placed over the body.
moviemaker::Shape lanternShape();
constexpr double kLanternBodyCentre = 78.0; // pixels below the hanging point
moviemaker::Shape ornamentShape(double halfWidth);
// A filled glyph outline with a vertical gold gradient across its box.
moviemaker::Shape goldOutline(const QPainterPath& outline);

} // namespace makesample
