#pragma once

#include "moviemaker/BitWriter.h"
#include "moviemaker/Records.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace moviemaker {

enum class SpreadMode : uint8_t { Pad = 0, Reflect = 1, Repeat = 2, Reserved = 3 };
enum class InterpolationMode : uint8_t { Normal = 0, LinearRgb = 1 };

struct GradientStop {
    uint8_t ratio = 0;
    Rgba color;
};

struct Gradient {
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Normal;
    std::vector<GradientStop> stops;
};

enum class FillType : uint8_t {
    Solid = 0x00,
    Linear = 0x10,
    Radial = 0x12,
    Focal = 0x13,
    RepeatingBitmap = 0x40,
    ClippedBitmap = 0x41,
    RepeatingUnsmoothedBitmap = 0x42,
    ClippedUnsmoothedBitmap = 0x43,
};

struct FillStyle {
    FillType type = FillType::Solid;
    Rgba color;            // solid fills
    Matrix matrix;         // gradient square or bitmap placement
    Gradient gradient;     // gradient fills
    double focalPoint = 0; // focal gradients, -1..1
    uint16_t bitmapId = 0;

    static FillStyle solid(Rgba colour);
    static FillStyle linear(const Matrix& matrix, Gradient gradient);
    static FillStyle radial(const Matrix& matrix, Gradient gradient);
    static FillStyle focal(const Matrix& matrix, Gradient gradient, double focalPoint);
    static FillStyle bitmap(uint16_t bitmapId, const Matrix& matrix, bool repeating, bool smoothed);
};

// Maps the gradient square (-16384..16384 twips on both axes) onto the box given in twips.
// A linear gradient runs left to right; `radians` turns its direction (clockwise on screen).
Matrix gradientBox(int32_t xMin, int32_t yMin, int32_t width, int32_t height, double radians = 0);

enum class CapStyle : uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : uint8_t { Round = 0, Bevel = 1, Miter = 2 };

// Width in twips. The fourth shape version writes every field; earlier ones only width and
// colour (opaque RGB in the first two versions) and refuse the others when set.
struct LineStyle {
    uint16_t width = 20;
    Rgba color;
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3.0;
    bool noHScale = false;
    bool noVScale = false;
    bool pixelHinting = false;
    bool noClose = false;
    std::optional<FillStyle> fill;
};

void writeGradient(BitWriter& out, const Gradient& gradient, bool withAlpha);
void writeFillStyle(BitWriter& out, const FillStyle& style, int shapeVersion);
void writeLineStyle(BitWriter& out, const LineStyle& style, int shapeVersion);
void writeFillStyleArray(BitWriter& out, std::span<const FillStyle> styles, int shapeVersion);
void writeLineStyleArray(BitWriter& out, std::span<const LineStyle> styles, int shapeVersion);
// Counts of 255 and more take the 16-bit extension, which the first shape version lacks.
void writeStyleCount(BitWriter& out, std::size_t count, int shapeVersion);

} // namespace moviemaker
