#include "swf/Geometry.h"

#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>

namespace swf {

namespace {

struct IntPoint {
    std::int64_t x = 0;
    std::int64_t y = 0;
    friend bool operator==(const IntPoint&, const IntPoint&) = default;
};

struct IntPointHash {
    std::size_t operator()(const IntPoint& p) const {
        const auto ux = static_cast<std::uint64_t>(p.x);
        const auto uy = static_cast<std::uint64_t>(p.y);
        return static_cast<std::size_t>(ux * 0x9E3779B97F4A7C15ull ^ (uy + 0x632BE59BD9B4E019ull));
    }
};

Point toPoint(IntPoint p) {
    return {static_cast<double>(p.x), static_cast<double>(p.y)};
}

struct Edge {
    IntPoint from;
    IntPoint control;
    IntPoint to;
    bool curved = false;

    Edge reversed() const { return {to, control, from, curved}; }
};

// Joins the loose edges of one fill into contours. Edges are followed end to start; where
// several continue from a point, the one that came next in the file wins, which keeps the
// author's contours intact when edges of different contours touch. A contour that does not
// come back to its start is also followed backwards from the start, so the pieces of an
// outline whose style changed midway join into one contour before it is closed.
Path assembleFill(const std::vector<Edge>& edges) {
    std::unordered_map<IntPoint, std::vector<std::size_t>, IntPointHash> byStart;
    std::unordered_map<IntPoint, std::vector<std::size_t>, IntPointHash> byEnd;
    byStart.reserve(edges.size());
    byEnd.reserve(edges.size());
    for (std::size_t i = 0; i < edges.size(); ++i) {
        byStart[edges[i].from].push_back(i);
        byEnd[edges[i].to].push_back(i);
    }
    std::vector<bool> used(edges.size(), false);
    // Per point, how many of its candidates were already taken (they are taken in order).
    std::unordered_map<IntPoint, std::size_t, IntPointHash> startCursor;
    std::unordered_map<IntPoint, std::size_t, IntPointHash> endCursor;
    auto firstUnused = [&](const auto& index, auto& cursors, IntPoint p) -> std::size_t {
        const auto it = index.find(p);
        if (it == index.end()) {
            return SIZE_MAX;
        }
        std::size_t& c = cursors[p];
        while (c < it->second.size() && used[it->second[c]]) {
            ++c;
        }
        return c < it->second.size() ? it->second[c] : SIZE_MAX;
    };
    auto takeFrom = [&](IntPoint p, std::size_t preferred) -> std::size_t {
        if (preferred < edges.size() && !used[preferred] && edges[preferred].from == p) {
            return preferred;
        }
        return firstUnused(byStart, startCursor, p);
    };

    Path path;
    std::vector<std::size_t> before; // edges found backwards, nearest to the start first
    std::vector<std::size_t> after;
    for (std::size_t first = 0; first < edges.size(); ++first) {
        if (used[first]) {
            continue;
        }
        before.clear();
        after.clear();
        const IntPoint start = edges[first].from;
        std::size_t i = first;
        IntPoint at = start;
        while (i != SIZE_MAX) {
            used[i] = true;
            after.push_back(i);
            at = edges[i].to;
            if (at == start) {
                break;
            }
            i = takeFrom(at, i + 1);
        }
        IntPoint head = start;
        while (at != head) {
            const std::size_t j = firstUnused(byEnd, endCursor, head);
            if (j == SIZE_MAX) {
                break;
            }
            used[j] = true;
            before.push_back(j);
            head = edges[j].from;
        }
        path.moveTo(toPoint(head));
        auto emit = [&](std::size_t k) {
            const Edge& e = edges[k];
            if (e.curved) {
                path.quadTo(toPoint(e.control), toPoint(e.to));
            } else {
                path.lineTo(toPoint(e.to));
            }
        };
        for (auto k = before.rbegin(); k != before.rend(); ++k) {
            emit(*k);
        }
        for (std::size_t k : after) {
            emit(k);
        }
        if (at == head) {
            path.close();
        }
    }
    return path;
}

class DrawingBuilder {
  public:
    DrawingBuilder(const ShapeStyles& styles, bool glyph) : glyph_(glyph) { startLayer(styles); }

    void run(std::span<const ShapeRecord> records) {
        for (const ShapeRecord& record : records) {
            if (const auto* change = std::get_if<StyleChange>(&record)) {
                styleChange(*change);
            } else if (const auto* line = std::get_if<StraightEdge>(&record)) {
                const IntPoint to{pen_.x + line->dx, pen_.y + line->dy};
                edge({pen_, {}, to, false});
            } else if (const auto* curve = std::get_if<CurvedEdge>(&record)) {
                const IntPoint control{pen_.x + curve->controlDx, pen_.y + curve->controlDy};
                const IntPoint to{control.x + curve->anchorDx, control.y + curve->anchorDy};
                edge({pen_, control, to, true});
            }
        }
        finishLayer();
    }

    ShapeDrawing take(FillRule rule) {
        drawing_.fillRule = rule;
        return std::move(drawing_);
    }

  private:
    void startLayer(const ShapeStyles& styles) {
        Layer layer;
        if (glyph_) {
            layer.styles.fills.push_back(FillStyle{});
        } else {
            layer.styles = styles;
        }
        fillEdges_.assign(layer.styles.fills.size(), {});
        strokes_.assign(layer.styles.lines.size(), {});
        strokeEnds_.assign(layer.styles.lines.size(), std::nullopt);
        strokeStarts_.clear();
        drawing_.layers.push_back(std::move(layer));
        fill0_ = fill1_ = line_ = 0;
    }

    void finishLayer() {
        Layer& layer = drawing_.layers.back();
        for (std::size_t i = 0; i < fillEdges_.size(); ++i) {
            if (!fillEdges_[i].empty()) {
                layer.fills.push_back({i, assembleFill(fillEdges_[i])});
            }
        }
        for (std::size_t i = 0; i < strokes_.size(); ++i) {
            if (!strokes_[i].empty()) {
                closeStrokeSubpath(i);
                layer.strokes.push_back({i, std::move(strokes_[i])});
            }
        }
    }

    // Adds Close to a stroke subpath that ended where it began, so joins replace caps there.
    void closeStrokeSubpath(std::size_t style) {
        if (strokeEnds_[style] && strokeStarts_.count(style) &&
            *strokeEnds_[style] == strokeStarts_[style]) {
            strokes_[style].close();
        }
    }

    // 1-based index into a style array of `count`, 0 when absent or out of range.
    std::size_t validIndex(std::uint32_t index, std::size_t count) const {
        if (glyph_) {
            return index != 0 ? 1 : 0;
        }
        return index <= count ? index : 0;
    }

    void styleChange(const StyleChange& change) {
        if (change.newStyles && !glyph_) {
            finishLayer();
            startLayer(*change.newStyles);
        }
        const Layer& layer = drawing_.layers.back();
        if (change.fill0) {
            fill0_ = validIndex(*change.fill0, layer.styles.fills.size());
        }
        if (change.fill1) {
            fill1_ = validIndex(*change.fill1, layer.styles.fills.size());
        }
        if (change.line) {
            line_ = glyph_ ? 0 : validIndex(*change.line, layer.styles.lines.size());
        }
        if (change.hasMoveTo) {
            pen_ = {change.moveX, change.moveY};
        }
    }

    void edge(const Edge& e) {
        if (fill1_ != 0) {
            fillEdges_[fill1_ - 1].push_back(e);
        }
        if (fill0_ != 0) {
            fillEdges_[fill0_ - 1].push_back(e.reversed());
        }
        if (line_ != 0) {
            const std::size_t s = line_ - 1;
            Path& path = strokes_[s];
            if (!strokeEnds_[s] || !(*strokeEnds_[s] == e.from)) {
                closeStrokeSubpath(s);
                path.moveTo(toPoint(e.from));
                strokeStarts_[s] = e.from;
            }
            if (e.curved) {
                path.quadTo(toPoint(e.control), toPoint(e.to));
            } else {
                path.lineTo(toPoint(e.to));
            }
            strokeEnds_[s] = e.to;
        }
        pen_ = e.to;
    }

    bool glyph_;
    ShapeDrawing drawing_;
    IntPoint pen_;
    std::size_t fill0_ = 0;
    std::size_t fill1_ = 0;
    std::size_t line_ = 0;
    std::vector<std::vector<Edge>> fillEdges_;
    std::vector<Path> strokes_;
    std::vector<std::optional<IntPoint>> strokeEnds_;
    std::map<std::size_t, IntPoint> strokeStarts_;
};

} // namespace

ShapeDrawing buildDrawing(const ShapeStyles& styles, std::span<const ShapeRecord> records,
                          FillRule rule) {
    DrawingBuilder builder(styles, false);
    builder.run(records);
    return builder.take(rule);
}

ShapeDrawing buildDrawing(const Shape& shape) {
    return buildDrawing(shape.styles, shape.records,
                        shape.usesFillWindingRule ? FillRule::NonZero : FillRule::EvenOdd);
}

ShapeDrawing buildGlyphDrawing(std::span<const ShapeRecord> records) {
    DrawingBuilder builder(ShapeStyles{}, true);
    builder.run(records);
    return builder.take(FillRule::EvenOdd);
}

} // namespace swf
