#pragma once
// Reads what the writer wrote with the player's own reader, and turns the writer's values
// into what the reader should give back for them.

#include "moviemaker/SwfWriter.h"
#include "swf/Movie.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace moviemaker::roundtrip {

// A well-formed movie loads without a single diagnostic; any diagnostic fails the test.
inline std::unique_ptr<swf::Movie> readBack(const std::vector<uint8_t>& bytes) {
    swf::LoadResult result = swf::loadMovie(bytes);
    if (!result.ok()) {
        ADD_FAILURE() << "the reader refused the movie";
        return nullptr;
    }
    for (const swf::Diagnostic& d : result.movie->diagnostics) {
        ADD_FAILURE() << "reader diagnostic " << static_cast<int>(d.issue) << " in tag "
                      << d.tagCode << " at " << d.offset;
    }
    return std::move(result.movie);
}

inline swf::Rgba expected(Rgba c) {
    return {c.r, c.g, c.b, c.a};
}

inline swf::Rect expected(const Rect& r) {
    return {r.xMin, r.xMax, r.yMin, r.yMax};
}

inline swf::Matrix expected(const Matrix& m) {
    return {
        m.scaleX / 65536.0, m.rotateSkew0 / 65536.0,           m.rotateSkew1 / 65536.0,
        m.scaleY / 65536.0, static_cast<double>(m.translateX), static_cast<double>(m.translateY)};
}

inline swf::ColorTransform expected(const ColorTransform& cx) {
    return {cx.redMult, cx.greenMult, cx.blueMult, cx.alphaMult,
            cx.redAdd,  cx.greenAdd,  cx.blueAdd,  cx.alphaAdd};
}

inline LineStyle lineOf(uint16_t width, Rgba colour = {}) {
    LineStyle line;
    line.width = width;
    line.color = colour;
    return line;
}

inline swf::FillStyle expectedFill(const FillStyle& f) {
    swf::FillStyle e;
    e.type = static_cast<swf::FillType>(f.type);
    switch (f.type) {
    case FillType::Solid:
        e.color = expected(f.color);
        break;
    case FillType::Linear:
    case FillType::Radial:
    case FillType::Focal:
        e.matrix = expected(f.matrix);
        e.gradient.spread = static_cast<swf::SpreadMode>(f.gradient.spread);
        e.gradient.interpolation = static_cast<swf::InterpolationMode>(f.gradient.interpolation);
        for (const GradientStop& stop : f.gradient.stops) {
            e.gradient.records.push_back({stop.ratio, expected(stop.color)});
        }
        if (f.type == FillType::Focal) {
            e.gradient.focalPoint = fixed8(f.focalPoint) / 256.0;
        }
        break;
    default:
        e.bitmapId = f.bitmapId;
        e.matrix = expected(f.matrix);
        break;
    }
    return e;
}

inline swf::LineStyle expectedLine(const LineStyle& l, int version) {
    swf::LineStyle e;
    e.width = l.width;
    if (version < 4) {
        e.color = expected(l.color);
        return e;
    }
    e.startCap = static_cast<swf::CapStyle>(l.startCap);
    e.endCap = static_cast<swf::CapStyle>(l.endCap);
    e.join = static_cast<swf::JoinStyle>(l.join);
    if (l.join == JoinStyle::Miter) {
        e.miterLimit = fixed8(l.miterLimit) / 256.0;
    }
    e.noHScale = l.noHScale;
    e.noVScale = l.noVScale;
    e.pixelHinting = l.pixelHinting;
    e.noClose = l.noClose;
    if (l.fill) {
        e.fill = expectedFill(*l.fill);
    } else {
        e.color = expected(l.color);
    }
    return e;
}

inline swf::ShapeStyles expectedStyles(const StyleTable& table, int version) {
    swf::ShapeStyles e;
    for (const FillStyle& f : table.fills) {
        e.fills.push_back(expectedFill(f));
    }
    for (const LineStyle& l : table.lines) {
        e.lines.push_back(expectedLine(l, version));
    }
    return e;
}

// Record for record: the same kinds, moves, selections, tables and deltas.
inline void expectRecords(const std::vector<ShapeRecord>& written,
                          const std::vector<swf::ShapeRecord>& read, int version) {
    ASSERT_EQ(read.size(), written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i));
        if (const auto* change = std::get_if<StyleChange>(&written[i])) {
            const auto* got = std::get_if<swf::StyleChange>(&read[i]);
            ASSERT_NE(got, nullptr);
            EXPECT_EQ(got->hasMoveTo, change->moveTo.has_value());
            if (change->moveTo) {
                EXPECT_EQ(got->moveX, change->moveTo->x);
                EXPECT_EQ(got->moveY, change->moveTo->y);
            }
            EXPECT_EQ(got->fill0, change->fill0);
            EXPECT_EQ(got->fill1, change->fill1);
            EXPECT_EQ(got->line, change->line);
            ASSERT_EQ(got->newStyles != nullptr, change->newStyles.has_value());
            if (change->newStyles) {
                EXPECT_EQ(*got->newStyles, expectedStyles(*change->newStyles, version));
            }
        } else if (const auto* edge = std::get_if<StraightEdge>(&written[i])) {
            const auto* got = std::get_if<swf::StraightEdge>(&read[i]);
            ASSERT_NE(got, nullptr);
            EXPECT_EQ(got->dx, edge->dx);
            EXPECT_EQ(got->dy, edge->dy);
        } else {
            const auto& curve = std::get<CurvedEdge>(written[i]);
            const auto* got = std::get_if<swf::CurvedEdge>(&read[i]);
            ASSERT_NE(got, nullptr);
            EXPECT_EQ(got->controlDx, curve.controlDx);
            EXPECT_EQ(got->controlDy, curve.controlDy);
            EXPECT_EQ(got->anchorDx, curve.anchorDx);
            EXPECT_EQ(got->anchorDy, curve.anchorDy);
        }
    }
}

// The control tags of one frame of the root timeline.
inline const std::vector<swf::ControlTag>& frameTags(const swf::Movie& movie, std::size_t frame) {
    return movie.root.frames.at(frame).tags;
}

template <typename T> const T& tagAs(const swf::ControlTag& tag) {
    const T* value = std::get_if<T>(&tag);
    if (value == nullptr) {
        throw std::runtime_error("the tag read back is of another kind");
    }
    return *value;
}

} // namespace moviemaker::roundtrip
