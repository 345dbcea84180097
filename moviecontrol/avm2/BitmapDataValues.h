#pragma once
// What the BitmapData files share: the pixels behind a BitmapData object (moviecontrol/
// pixels does the pixel work for both script machines), Flash's rounding of rectangles to
// whole pixels, and the errors of a bitmap that was disposed.
#include "avm2/GeomValues.h"
#include "pixels/BitmapEffects.h"
#include "pixels/BitmapPixels.h"

#include <memory>

namespace avm2::bitmaps {

// The pixels of a BitmapData that is not disposed; throws ArgumentError #2015 otherwise,
// and the coercion error for what is not a BitmapData.
pixels::BitmapPixels& pixelsOf(Machine& m, const Value& bitmapData);
// The shared pixels of a BitmapData argument (the same object may be source and target).
std::shared_ptr<pixels::BitmapPixels> sharedPixels(Machine& m, const Value& bitmapData);
// A new BitmapData object holding `p`.
Value makeBitmapData(Machine& m, pixels::BitmapPixels p);
// Whether Flash makes a bitmap of that size in a movie of that SWF version.
bool sizeAllowed(int version, double width, double height);

// A rectangle's edges rounded to whole pixels (half to even, as Flash rounds them);
// values out of range are held to a bound no bitmap reaches.
pixels::PixelRect pixelRect(const geom::Box& b);
// A rectangle argument, as whole pixels; null is the missing-parameter error naming `name`.
pixels::PixelRect rectArg(Machine& m, const Args& a, std::size_t i, const char* name);
// A point argument, as whole pixels; null is the missing-parameter error naming `name`, or
// 0, 0 when `name` is null (an optional point).
void pointArg(Machine& m, const Args& a, std::size_t i, int& x, int& y, const char* name);
int toPixel(double v);

// A required object argument of the class: null, or an object of another class, is the
// missing-parameter error.
void requireArg(Machine& m, const Args& a, std::size_t i, const char* cls, const char* name);

// The source bitmap, the rectangle taken from it and where it lands: the first three
// arguments of most of the methods that combine bitmaps.
struct Transfer {
    std::shared_ptr<pixels::BitmapPixels> source;
    pixels::Placement at;
};
Transfer transferArgs(Machine& m, const Args& a);

// Checks the script budget every so many rows of pixel work.
void rowDone(Machine& m, int row);

void installBitmapDataEffects(Machine& m, Class* bitmapData);
// draw, applyFilter and generateFilterRect: the pixels the renderer paints.
void installBitmapDataDrawing(Machine& m, Class* bitmapData);

} // namespace avm2::bitmaps
