#pragma once

#include "testsupport/Shape.h"

#include <QPainterPath>

namespace makesample {

// Vector artwork of the card, each drawn around its own origin (pixels in, twips out) so
// that the timeline can turn and scale it in place.

swftest::Shape backgroundShape(double width, double height);
swftest::Shape glowShape(double radiusX, double radiusY);
swftest::Shape starShape(double radius);
swftest::Shape heartShape(double size);
swftest::Shape petalShape(double length);
// Hangs from the origin: string, caps, body, ribs and tassel. The lucky character goes on
// as a shape of its own, placed over the body.
swftest::Shape lanternShape();
constexpr double kLanternBodyCentre = 78.0; // pixels below the hanging point
swftest::Shape ornamentShape(double halfWidth);
// A filled glyph outline with a vertical gold gradient across its box.
swftest::Shape goldOutline(const QPainterPath& outline);

} // namespace makesample
