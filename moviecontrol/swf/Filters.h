#pragma once
// Bitmap filters attached by PlaceObject3 (and DefineButton2 records). Field values are as
// stored, converted from fixed point: blur sizes and distances in pixels, angles in radians,
// strength as a factor.

#include "swf/BasicTypes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

namespace swf {

struct DropShadowFilter {
    Rgba color;
    double blurX = 0.0;
    double blurY = 0.0;
    double angle = 0.0;
    double distance = 0.0;
    double strength = 1.0;
    bool inner = false;
    bool knockout = false;
    bool compositeSource = true;
    std::uint8_t passes = 1;
};

struct BlurFilter {
    double blurX = 0.0;
    double blurY = 0.0;
    std::uint8_t passes = 1;
};

struct GlowFilter {
    Rgba color;
    double blurX = 0.0;
    double blurY = 0.0;
    double strength = 1.0;
    bool inner = false;
    bool knockout = false;
    bool compositeSource = true;
    std::uint8_t passes = 1;
};

struct BevelFilter {
    Rgba shadowColor;
    Rgba highlightColor;
    double blurX = 0.0;
    double blurY = 0.0;
    double angle = 0.0;
    double distance = 0.0;
    double strength = 1.0;
    bool inner = false;
    bool knockout = false;
    bool compositeSource = true;
    bool onTop = false;
    std::uint8_t passes = 1;
};

struct GradientFilterStop {
    Rgba color;
    std::uint8_t ratio = 0;
};

// Shared layout of the gradient glow and gradient bevel filters.
struct GradientFilterParams {
    std::vector<GradientFilterStop> stops;
    double blurX = 0.0;
    double blurY = 0.0;
    double angle = 0.0;
    double distance = 0.0;
    double strength = 1.0;
    bool inner = false;
    bool knockout = false;
    bool compositeSource = true;
    bool onTop = false;
    std::uint8_t passes = 1;
};

struct GradientGlowFilter : GradientFilterParams {};
struct GradientBevelFilter : GradientFilterParams {};

struct ConvolutionFilter {
    std::uint8_t columns = 0;
    std::uint8_t rows = 0;
    float divisor = 1.0f;
    float bias = 0.0f;
    std::vector<float> matrix; // rows * columns values, row by row.
    Rgba defaultColor;
    bool clamp = true;
    bool preserveAlpha = true;
};

// 4x5 matrix, row by row: R' = m[0]*R + m[1]*G + m[2]*B + m[3]*A + m[4] (0..255 scale).
struct ColorMatrixFilter {
    std::array<float, 20> matrix{};
};

// The pixels a displacement filter reads its offsets from: unpremultiplied ARGB, row by row.
struct DisplacementMap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
};

// What a displacement filter shows where an offset points outside the filtered picture.
enum class DisplacementMode : std::uint8_t { Wrap, Clamp, Ignore, Color };

// Only scripts make this filter (no tag stores one). Channels use the bitmap channel bits:
// 1 red, 2 green, 4 blue, 8 alpha. The map is a copy taken when the filter was assigned.
struct DisplacementMapFilter {
    std::shared_ptr<const DisplacementMap> map;
    double mapX = 0.0; // where the map's top-left pixel lies, in pixels
    double mapY = 0.0;
    std::uint8_t componentX = 0;
    std::uint8_t componentY = 0;
    double scaleX = 0.0;
    double scaleY = 0.0;
    DisplacementMode mode = DisplacementMode::Wrap;
    Rgba color; // for DisplacementMode::Color
};

// A kernel a script runs over the filtered picture (ActionScript 3's ShaderFilter, a Pixel
// Bender kernel): it takes the picture, premultiplied ARGB row by row, and answers the
// picture of the same size it paints, also premultiplied.
class PixelKernel {
  public:
    virtual ~PixelKernel() = default;
    virtual std::vector<std::uint32_t> run(const std::vector<std::uint32_t>& premultiplied,
                                           int width, int height) const = 0;
};

// Only scripts make this filter. The kernel is a copy taken when the filter was assigned;
// the extensions grow the picture on each side, in pixels.
struct ShaderFilter {
    std::shared_ptr<const PixelKernel> kernel;
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

using Filter = std::variant<DropShadowFilter, BlurFilter, GlowFilter, BevelFilter,
                            GradientGlowFilter, ConvolutionFilter, ColorMatrixFilter,
                            GradientBevelFilter, DisplacementMapFilter, ShaderFilter>;

enum class BlendMode : std::uint8_t {
    Normal = 1,
    Layer = 2,
    Multiply = 3,
    Screen = 4,
    Lighten = 5,
    Darken = 6,
    Difference = 7,
    Add = 8,
    Subtract = 9,
    Invert = 10,
    Alpha = 11,
    Erase = 12,
    Overlay = 13,
    HardLight = 14,
};

// 0 and unknown values blend as Normal.
BlendMode blendModeFromByte(std::uint8_t value);

} // namespace swf
