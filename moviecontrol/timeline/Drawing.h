#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "Bounds.h"
#include "ColorTransform.h"
#include "Generation.h"
#include "RenderBackend.h"
#include "swf/Shapes.h"

namespace mc {

class PixelSource;

// What a script draws into a clip with the drawing methods (beginFill, lineStyle, moveTo,
// lineTo, curveTo, endFill, clear), kept as a shape in the movie's own record form so that
// the renderer draws it like any defined shape. Coordinates arrive in pixels of the clip's
// space and are kept in twips.
class Drawing {
  public:
    // Records one drawing may hold; past it further edges are ignored.
    static constexpr std::size_t kMaxRecords = 200'000;

    // ActionScript 2's drawings measure their box from the points given: a line's whole
    // width on every side of each, and a curve's control point as one of them.
    // ActionScript 3's measure where the stroke reaches: half the width, around where a
    // curve runs. Set before drawing.
    void setPointBox(bool points) { pointBox_ = points; }

    void beginFill(const swf::FillStyle& fill);
    // A fill of a script's pixels, shown as they are when painted: the fill's bitmap id
    // names one of the drawing's own bitmaps (bitmap()), not a character of the movie.
    void beginBitmapFill(std::shared_ptr<const PixelSource> pixels, swf::FillStyle fill);
    // The line in force painted with a script's pixels from here on; nothing without a line.
    void lineBitmapFill(std::shared_ptr<const PixelSource> pixels, swf::FillStyle fill);
    // The pixels a bitmap fill of the drawing names; null for an id it never gave.
    const PixelSource* bitmap(std::uint16_t id) const;
    // A line style for the edges that follow; nothing means no lines.
    void lineStyle(const std::optional<swf::LineStyle>& line);
    // The line in force painted with `fill` from here on; nothing without a line.
    void lineFill(const swf::FillStyle& fill);
    void moveTo(double x, double y);
    void lineTo(double x, double y);
    void curveTo(double controlX, double controlY, double anchorX, double anchorY);
    // A cubic curve from the pen, drawn as quadratic curves close to it.
    void cubicTo(double control1X, double control1Y, double control2X, double control2Y,
                 double anchorX, double anchorY);
    // One triangle of drawTriangles (corners in pixels, x then y), a part of the path of the
    // fill in force (or only outlined without one). With `uv` (each corner's place in the
    // bitmap, 0 to 1 across its width and height) a bitmap fill in force is laid anew for
    // the triangle, so that those places meet its corners.
    void triangle(const std::array<double, 6>& corners, const std::array<double, 6>* uv);
    // A path drawn with the non-zero winding rule: the drawing is one shape, whose fills
    // follow one rule, so from here until clear() every fill takes it. Paths that do not
    // cross themselves fill the same under either rule.
    void useNonZeroWinding();
    // Closes the open fill back to where it started.
    void endFill();
    void clear();

    const swf::Shape& shape() const { return shape_; }
    // The shape as it shows now: a fill still open is closed back to its start, stroked with
    // the line in force, as players draw it between frames (the records stay open, so that
    // the script may draw on).
    swf::Shape shownShape() const;
    bool empty() const { return shape_.records.empty(); }
    // What the drawing covers, twips of the clip's space (strokes included).
    Bounds bounds() const { return bounds_; }
    // The same without the lines' widths: where the edges run.
    Bounds edges() const { return edges_; }
    // Grows with every change, so that a renderer can keep its conversion until then.
    std::uint64_t generation() const { return generation_; }

    // `slices`: the drawing is a sliced clip's own (its points mapped by them).
    void drawTo(RenderBackend& backend, const Transform& matrix, const ColorTransform& cx,
                std::size_t& budget, const NineSlice* slices = nullptr) const;

  private:
    void selectStyles();
    bool room() const { return shape_.records.size() < kMaxRecords; }
    void cover(std::int32_t x, std::int32_t y);
    // The id a bitmap fill names the pixels by; none past the ids there are.
    std::optional<std::uint16_t> keepBitmap(std::shared_ptr<const PixelSource> pixels);
    // Grows the bounds by the curve from (x0, y0) through control (cx, cy) to (x1, y1), or
    // by its control point and end with the point box.
    void coverCurve(std::int32_t x0, std::int32_t y0, std::int32_t cx, std::int32_t cy,
                    std::int32_t x1, std::int32_t y1);

    swf::Shape shape_;
    Bounds bounds_;
    Bounds edges_;
    std::uint64_t generation_ = freshGeneration();
    std::optional<std::uint32_t> fill_; // 1-based index of the fill being drawn
    std::vector<std::shared_ptr<const PixelSource>> bitmaps_;
    std::optional<std::uint32_t> line_;
    std::optional<swf::LineStyle> lineStyle_; // the line in force, as last given
    double lineReach_ = 0.0;                  // how far the line in force widens the box, twips
    bool pointBox_ = false;
    std::int32_t penX_ = 0;
    std::int32_t penY_ = 0;
    std::int32_t fillStartX_ = 0;
    std::int32_t fillStartY_ = 0;
};

} // namespace mc
