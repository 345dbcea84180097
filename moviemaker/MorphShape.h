#pragma once

#include "moviemaker/Shape.h"
#include "moviemaker/Styles.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace moviemaker {

struct MorphGradientStop {
    uint8_t startRatio = 0;
    Rgba startColor;
    uint8_t endRatio = 0;
    Rgba endColor;
};

struct MorphFillStyle {
    FillType type = FillType::Solid;
    Rgba startColor;
    Rgba endColor;
    Matrix startMatrix;
    Matrix endMatrix;
    // Spread and interpolation other than pad and normal need the second morph version.
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Normal;
    std::vector<MorphGradientStop> stops;
    double startFocalPoint = 0;
    double endFocalPoint = 0;
    uint16_t bitmapId = 0;

    static MorphFillStyle solid(Rgba start, Rgba end);
    static MorphFillStyle gradient(FillType type, const Matrix& start, const Matrix& end,
                                   std::vector<MorphGradientStop> stops);
};

struct MorphLineStyle {
    uint16_t startWidth = 20;
    uint16_t endWidth = 20;
    Rgba startColor;
    Rgba endColor;
    // Second morph version only, as in the fourth shape version's line style.
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3.0;
    bool noHScale = false;
    bool noVScale = false;
    bool pixelHinting = false;
    bool noClose = false;
    std::optional<MorphFillStyle> fill;
};

// A shape that blends from start to end paths. The start path selects the styles; the end
// path has the same edges in the same order (a straight edge may pair with a curve) and only
// its moves and edges are written.
class MorphShape {
  public:
    uint32_t addFill(MorphFillStyle style);
    uint32_t addLine(MorphLineStyle style);
    Shape& start() { return start_; }
    Shape& end() { return end_; }

    const std::vector<MorphFillStyle>& fills() const { return fills_; }
    const std::vector<MorphLineStyle>& lines() const { return lines_; }
    const Shape& start() const { return start_; }
    const Shape& end() const { return end_; }

  private:
    std::vector<MorphFillStyle> fills_;
    std::vector<MorphLineStyle> lines_;
    Shape start_;
    Shape end_;
};

// The DefineMorphShape (version 1) or DefineMorphShape2 (version 2) body.
std::vector<uint8_t> encodeDefineMorphShape(uint16_t id, const MorphShape& morph, int version);

} // namespace moviemaker
