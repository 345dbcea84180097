#pragma once

#include "moviemaker/Records.h"
#include "moviemaker/Styles.h"

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace moviemaker {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point&) const = default;
};

struct StyleTable {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
};

// The three record kinds of a shape. Edge deltas are relative to the pen; the move target
// is relative to the shape's origin.
struct StyleChange {
    std::optional<uint32_t> fill0;
    std::optional<uint32_t> fill1;
    std::optional<uint32_t> line;
    std::optional<Point> moveTo;
    std::optional<StyleTable> newStyles;
};
struct StraightEdge {
    int32_t dx = 0;
    int32_t dy = 0;
};
struct CurvedEdge {
    int32_t controlDx = 0;
    int32_t controlDy = 0;
    int32_t anchorDx = 0;
    int32_t anchorDy = 0;
};
using ShapeRecord = std::variant<StyleChange, StraightEdge, CurvedEdge>;

// Builds shape records from pen movements in twips. Style selections and moves that follow
// each other share one style-change record; edges too long for one record are split.
//
// Style indexes are 1-based into the current style table, 0 selects nothing. newStyles()
// starts a fresh table (a new drawing layer); it deselects every style, so select again.
class Shape {
  public:
    uint32_t addFill(FillStyle style);
    uint32_t addLine(LineStyle style);
    Shape& newStyles();

    Shape& fill0(uint32_t index);
    Shape& fill1(uint32_t index);
    Shape& line(uint32_t index);

    Shape& moveTo(int32_t x, int32_t y);
    Shape& lineTo(int32_t x, int32_t y);
    Shape& curveTo(int32_t controlX, int32_t controlY, int32_t x, int32_t y);
    // Back to the point of the last move, if the pen is elsewhere.
    Shape& close();

    // Closed outlines, drawn clockwise on screen (y down).
    Shape& rectangle(int32_t x, int32_t y, int32_t width, int32_t height);
    Shape& ellipse(int32_t centerX, int32_t centerY, int32_t radiusX, int32_t radiusY);

    const StyleTable& styles() const { return styles_; }
    const std::vector<ShapeRecord>& records() const { return records_; }
    Point pen() const { return pen_; }

    // Over every point the pen visits (curve control points included); shapeBounds adds
    // half the widest line of the shape.
    Rect edgeBounds() const;
    Rect shapeBounds() const;

  private:
    StyleChange& pendingChange();
    StyleTable& currentTable();
    void include(Point p);

    StyleTable styles_;
    std::vector<ShapeRecord> records_;
    std::optional<std::size_t> tableRecord_; // record holding the current new-styles table
    Point pen_;
    Point subpathStart_;
    std::optional<Rect> bounds_;
    uint16_t widestLine_ = 0;
};

// The rectangle grown by `margin` twips on every side.
Rect widenedBy(const Rect& r, int32_t margin);

} // namespace moviemaker
