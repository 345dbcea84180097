#pragma once
// Shape records as stored: a pen program of style changes and relative edges.

#include "swf/BasicTypes.h"
#include "swf/Styles.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace swf {

// Selects styles and/or moves the pen. Style indexes are 1-based into the styles in force
// (0 = none) and are NOT validated here; the geometry builder ignores out-of-range ones.
struct StyleChange {
    bool hasMoveTo = false;
    std::int32_t moveX = 0; // Absolute, relative to the shape origin.
    std::int32_t moveY = 0;
    std::optional<std::uint32_t> fill0;
    std::optional<std::uint32_t> fill1;
    std::optional<std::uint32_t> line;
    // Non-null when the record brings new styles; they replace the styles in force and
    // start a new drawing layer. Shared so that records stay cheap to copy.
    std::shared_ptr<const ShapeStyles> newStyles;
};

struct StraightEdge {
    std::int32_t dx = 0;
    std::int32_t dy = 0;
};

struct CurvedEdge {
    std::int32_t controlDx = 0; // Control point relative to the pen.
    std::int32_t controlDy = 0;
    std::int32_t anchorDx = 0; // Anchor relative to the control point.
    std::int32_t anchorDy = 0;
};

using ShapeRecord = std::variant<StyleChange, StraightEdge, CurvedEdge>;

// DefineShape 1-4.
struct Shape {
    std::uint16_t id = 0;
    std::uint8_t version = 1; // 1..4 for DefineShape..DefineShape4.
    Rect bounds;
    Rect edgeBounds;                    // Version 4; equal to bounds before.
    bool usesFillWindingRule = false;   // Version 4 flag: non-zero winding.
    bool usesNonScalingStrokes = false; // Version 4 flag.
    bool usesScalingStrokes = false;    // Version 4 flag.
    ShapeStyles styles;
    std::vector<ShapeRecord> records;
};

// DefineMorphShape 1 and 2. Style changes (and moves) come from the start records; the end
// records hold the matching edges and may carry moves of their own.
struct MorphShape {
    std::uint16_t id = 0;
    std::uint8_t version = 1; // 1 or 2.
    Rect startBounds;
    Rect endBounds;
    Rect startEdgeBounds; // Version 2; equal to the bounds before.
    Rect endEdgeBounds;
    bool usesNonScalingStrokes = false;
    bool usesScalingStrokes = false;
    std::vector<MorphFillStyle> fills;
    std::vector<MorphLineStyle> lines;
    std::vector<ShapeRecord> startRecords;
    std::vector<ShapeRecord> endRecords;
};

} // namespace swf
