#pragma once

#include "moviemaker/BitWriter.h"

#include <cstdint>

namespace moviemaker {

constexpr int32_t kTwipsPerPixel = 20;

// Twips from pixels, rounded to the nearest twip.
int32_t twips(double pixels);

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

struct Rgba {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 255;
};

// Coordinates in twips. The minimum corner need not be the origin.
struct Rect {
    int32_t xMin = 0;
    int32_t xMax = 0;
    int32_t yMin = 0;
    int32_t yMax = 0;

    static Rect pixels(double width, double height) { return {0, twips(width), 0, twips(height)}; }
    bool operator==(const Rect&) const = default;
};

// 16.16 fixed point from a real number (rounded), and the 8.8 form used by frame rates,
// focal points and miter limits.
int32_t fixed16(double value);
int16_t fixed8(double value);

// The affine transform x' = scaleX*x + rotateSkew1*y + translateX,
// y' = rotateSkew0*x + scaleY*y + translateY; scales and skews in 16.16, translation in twips.
// The scale and rotate groups are written only when they differ from the identity.
struct Matrix {
    int32_t scaleX = 0x10000;
    int32_t scaleY = 0x10000;
    int32_t rotateSkew0 = 0;
    int32_t rotateSkew1 = 0;
    int32_t translateX = 0;
    int32_t translateY = 0;

    static Matrix translate(int32_t x, int32_t y);
    static Matrix scale(double sx, double sy, int32_t x = 0, int32_t y = 0);
    // Uniform scale s, rotation by radians (clockwise on screen, y pointing down), then
    // translation to (x, y) in twips.
    static Matrix scaleRotate(double s, double radians, int32_t x, int32_t y);
    static Matrix affine(double a, double b, double c, double d, double tx, double ty);
    bool operator==(const Matrix&) const = default;
};

// Per channel: value * mult / 256 + add. A transform written without alpha refuses alpha
// terms. Terms must fit 16 signed bits less one (the width field holds at most 15).
struct ColorTransform {
    int16_t redMult = 256;
    int16_t greenMult = 256;
    int16_t blueMult = 256;
    int16_t alphaMult = 256;
    int16_t redAdd = 0;
    int16_t greenAdd = 0;
    int16_t blueAdd = 0;
    int16_t alphaAdd = 0;

    static ColorTransform alpha(double opacity);
    // Replaces the colour by `tint` and scales alpha by opacity; used for shadows and glows.
    static ColorTransform tint(Rgb colour, double opacity);
};

void writeRgb(BitWriter& out, Rgb colour);
void writeRgba(BitWriter& out, Rgba colour);
// An RGB field given an RGBA colour: refuses a translucent one rather than drop its alpha.
void writeOpaqueRgb(BitWriter& out, Rgba colour);
void writeRect(BitWriter& out, const Rect& rect);
void writeMatrix(BitWriter& out, const Matrix& matrix);
void writeColorTransform(BitWriter& out, const ColorTransform& cx, bool withAlpha);

} // namespace moviemaker
