#pragma once
// Shape records turned into the drawing they describe, without any painting library.
//
// Coordinates are twips in the shape's own space. Each layer is painted in order: its fill
// paths in style order, then its strokes in style order on top.

#include "swf/Characters.h"
#include "swf/Shapes.h"
#include "swf/Styles.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace swf {

struct Point {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const Point&, const Point&) = default;
};

enum class PathVerb : std::uint8_t { MoveTo, LineTo, QuadTo, Close };

struct PathElement {
    PathVerb verb = PathVerb::MoveTo;
    Point control; // QuadTo only.
    Point to;      // Unused for Close.
};

struct Path {
    std::vector<PathElement> elements;
    void moveTo(Point p) { elements.push_back({PathVerb::MoveTo, {}, p}); }
    void lineTo(Point p) { elements.push_back({PathVerb::LineTo, {}, p}); }
    void quadTo(Point c, Point p) { elements.push_back({PathVerb::QuadTo, c, p}); }
    void close() { elements.push_back({PathVerb::Close, {}, {}}); }
    bool empty() const { return elements.empty(); }
};

// Even-odd unless a DefineShape4 sets its winding-rule flag. Fill paths are assembled so that
// every contour keeps its fill on the left, so both rules agree on well-formed shapes.
enum class FillRule : std::uint8_t { EvenOdd, NonZero };

struct FillPath {
    std::size_t style = 0; // 0-based index into the layer's styles.fills.
    Path path;             // Closed contours (each ends with Close when it closed exactly).
};

struct StrokePath {
    std::size_t style = 0; // 0-based index into the layer's styles.lines.
    Path path;             // Subpaths in drawing order; Close when a subpath ends at its start.
};

struct Layer {
    ShapeStyles styles;
    std::vector<FillPath> fills;     // Sorted by style, at most one per style.
    std::vector<StrokePath> strokes; // Sorted by style, at most one per style.
};

struct ShapeDrawing {
    FillRule fillRule = FillRule::EvenOdd;
    std::vector<Layer> layers;
};

// Builds the drawing of a shape's records with `styles` in force at the start.
ShapeDrawing buildDrawing(const ShapeStyles& styles, std::span<const ShapeRecord> records,
                          FillRule rule = FillRule::EvenOdd);
ShapeDrawing buildDrawing(const Shape& shape);

// A glyph has no styles of its own: every edge with any fill index set belongs to one
// implicit fill (style 0 of the single layer, solid black; the text colour replaces it).
ShapeDrawing buildGlyphDrawing(std::span<const ShapeRecord> records);

// The morph shape at `ratio` (0 = start, 65535 = end) as an ordinary shape: styles
// interpolated (colours, gradient stops, matrices, widths), edges paired in order, a
// straight edge paired with a curve becoming a curve with its control at the midpoint.
// Positions are interpolated absolutely and rounded to twips.
Shape interpolateMorph(const MorphShape& morph, std::uint16_t ratio);
ShapeDrawing buildMorphDrawing(const MorphShape& morph, std::uint16_t ratio);

} // namespace swf
