#pragma once
// Fill and line styles of shapes, morph shapes and (for line fills) DefineShape4.

#include "swf/BasicTypes.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace swf {

enum class FillType : std::uint8_t {
    Solid = 0x00,
    LinearGradient = 0x10,
    RadialGradient = 0x12,
    FocalGradient = 0x13,
    RepeatingBitmap = 0x40,
    ClippedBitmap = 0x41,
    NonSmoothedRepeatingBitmap = 0x42,
    NonSmoothedClippedBitmap = 0x43,
};

// Raw two-bit field; Reserved (3) is kept so the painter can treat it as Pad.
enum class SpreadMode : std::uint8_t { Pad = 0, Reflect = 1, Repeat = 2, Reserved = 3 };
// Raw two-bit field; values 2 and 3 are reserved and paint as Rgb.
enum class InterpolationMode : std::uint8_t {
    Rgb = 0,
    LinearRgb = 1,
    Reserved2 = 2,
    Reserved3 = 3
};

struct GradientRecord {
    std::uint8_t ratio = 0;
    Rgba color;
    friend bool operator==(const GradientRecord&, const GradientRecord&) = default;
};

// Gradient in the -16384..16384 twip square, placed by the fill's matrix. Records keep file
// order: ratios may repeat or go backwards. An empty record list paints black.
struct Gradient {
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Rgb;
    std::vector<GradientRecord> records;
    // Focal gradients only; -1..1 as stored (8.8), unclamped.
    double focalPoint = 0.0;
    friend bool operator==(const Gradient&, const Gradient&) = default;
};

struct FillStyle {
    FillType type = FillType::Solid;
    Rgba color;                 // Solid fills.
    Matrix matrix;              // Gradient and bitmap fills.
    Gradient gradient;          // Gradient fills.
    std::uint16_t bitmapId = 0; // Bitmap fills; 0xFFFF conventionally means "no bitmap".

    bool isGradient() const {
        return type == FillType::LinearGradient || type == FillType::RadialGradient ||
               type == FillType::FocalGradient;
    }
    bool isBitmap() const { return (static_cast<std::uint8_t>(type) & 0xFC) == 0x40; }
    // Bit 0 of the bitmap fill type: clipped, else repeating.
    bool bitmapClipped() const { return (static_cast<std::uint8_t>(type) & 0x01) != 0; }
    // Bit 1 of the bitmap fill type: not smoothed. (Players smooth only from version 8.)
    bool bitmapSmoothed() const { return (static_cast<std::uint8_t>(type) & 0x02) == 0; }
    friend bool operator==(const FillStyle&, const FillStyle&) = default;
};

// Invalid values in the file are read as Round.
enum class CapStyle : std::uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : std::uint8_t { Round = 0, Bevel = 1, Miter = 2 };

// LINESTYLE (shapes 1-3) and LINESTYLE2 (shape 4). Version 1-3 styles keep the defaults of
// the LINESTYLE2-only fields, which is how those strokes look.
struct LineStyle {
    std::uint16_t width = 0; // Twips; 0 is a hairline.
    Rgba color;
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3.0; // 8.8 factor, meaningful for Miter joins.
    bool noHScale = false;
    bool noVScale = false;
    bool pixelHinting = false;
    bool noClose = false;
    // Set when the stroke is painted with a fill instead of `color`.
    std::optional<FillStyle> fill;
    friend bool operator==(const LineStyle&, const LineStyle&) = default;
};

struct ShapeStyles {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    friend bool operator==(const ShapeStyles&, const ShapeStyles&) = default;
};

// A morph style is the pair of styles at ratio 0 and ratio 65535; the fill type, spread,
// interpolation, bitmap id and line flags are shared, so they are equal in both halves.
struct MorphFillStyle {
    FillStyle start;
    FillStyle end;
};

struct MorphLineStyle {
    LineStyle start;
    LineStyle end;
};

} // namespace swf
