#pragma once
// Reading and making flash.geom values (Point, Rectangle, Matrix, ColorTransform) for the
// classes that take or hand them out: BitmapData, Transform, the filters. Fields are read
// through the property lookup, so that a subclass's or a dynamic object's values count.
#include "avm2/Machine.h"

#include <array>

namespace avm2::geom {

struct Box {
    double x = 0, y = 0, width = 0, height = 0;
};

// a, b, c, d, tx, ty.
using Affine = std::array<double, 6>;
inline constexpr Affine kIdentity{1, 0, 0, 1, 0, 0};

// Red, green, blue, alpha multipliers, then the four offsets.
using Channels = std::array<double, 8>;
inline constexpr Channels kNoChange{1, 1, 1, 1, 0, 0, 0, 0};

Value argument(const Args& a, std::size_t i);
// An argument as a Number, or the default when it was left out.
double numberArg(Machine& m, const Args& a, std::size_t i, double fallback);
// The object an argument names, checked against `cls` (Flash's coercion error), or throws
// the null reference error when it is null or undefined.
Object* required(Machine& m, const Value& v, const char* qualifiedClass);

double field(Machine& m, const Value& object, const char* name);
void setField(Machine& m, const Value& object, const char* name, double value);

Value makePoint(Machine& m, double x, double y);
Value makeRectangle(Machine& m, const Box& b);
Value makeMatrix(Machine& m, const Affine& a);
Value makeColorTransform(Machine& m, const Channels& c);

Box boxOf(Machine& m, const Value& rectangle);
Affine affineOf(Machine& m, const Value& matrix);
Channels channelsOf(Machine& m, const Value& colorTransform);

// `first` followed by `then`, as Matrix.concat composes them.
Affine multiply(const Affine& first, const Affine& then);

} // namespace avm2::geom
