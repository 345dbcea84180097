#pragma once

#include <QPainterPath>
#include <QRect>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace mc {

// How much of each device pixel a mask lets drawing show, 0..255, anti-aliased as our fills
// are. Fills multiply their own coverage by it, so that fills composed as one picture are
// cut by the mask as one picture too, which a clip on the painter, applied to each fill on
// its own, does not do: the seams between them would show again.
class MaskCoverage {
  public:
    // `path` in device pixels, with its own fill rule, within `drawable`, and within `outer`'s
    // coverage when given (masks inside masks show only where both do).
    MaskCoverage(const QPainterPath& path, const QRect& drawable, const MaskCoverage* outer);

    // Pixels outside it are cut away whole.
    const QRect& area() const { return area_; }
    std::size_t bytes() const { return values_.size(); }
    // The coverage of the pixels of row `y` from `area().left()`; `y` within the area.
    const std::uint8_t* row(int y) const {
        return solid_ ? values_.data()
                      : values_.data() + static_cast<std::size_t>(y - area_.top()) * area_.width();
    }
    std::uint8_t at(int x, int y) const {
        return area_.contains(x, y) ? row(y)[x - area_.left()] : 0;
    }
    // Whether the painter's clip to the same masks cuts exactly as this coverage does: then
    // Qt may draw under it as well as our fillers.
    bool asPainterClips() const { return asPainterClips_; }
    // Whether every pixel of `rect` shows whole: drawing there needs no cutting at all.
    bool showsWhole(const QRect& rect) const;
    // A span of `count` pixels from (x, y), all within the area, with a coverage each, or
    // `level` for all when `coverage` is null: writes their coverage under the mask to `out`.
    void apply(int y, int x, int count, const std::uint8_t* coverage, std::uint8_t level,
               std::uint8_t* out) const;

  private:
    QRect area_;
    std::vector<std::uint8_t> values_;
    // Per row, the longest run of wholly shown pixels, [first, end) in device pixels.
    std::vector<std::pair<int, int>> whole_;
    bool asPainterClips_ = false;
    bool solid_ = false; // every pixel of the area shows whole; values_ holds one row
};

// The masks in use while a frame is drawn, innermost last, each on the painter it clips.
// Fills on a painter honour the masks on that painter alone: a group's own picture is cut by
// the masks around it only when it is put down.
class MaskStack {
  public:
    // `drawable`: the device pixels the painter reached before the mask, or none when its
    // clip is one the scanline filler cannot follow.
    void push(const void* painter, const QPainterPath& devicePath, std::optional<QRect> drawable);
    void pop();
    bool empty() const { return entries_.empty(); }

    struct Use {
        bool followed = true;                   // false: leave the fill to the painter's clip
        const MaskCoverage* coverage = nullptr; // null: no mask on this painter
    };
    // What a fill on `painter` must honour; coverages are made when first asked for.
    Use on(const void* painter);

    // More than this much coverage kept at once (nested full-screen masks of a hostile movie)
    // leaves the inner masks to the painter.
    static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

  private:
    struct Entry {
        const void* painter = nullptr;
        QPainterPath path;
        std::optional<QRect> drawable;
        bool made = false;
        // Null once made: not followed. Held apart, so that its address outlives pushes.
        std::unique_ptr<MaskCoverage> coverage;
    };
    Use use(std::size_t index);

    std::vector<Entry> entries_;
    std::size_t bytes_ = 0;
};

} // namespace mc
