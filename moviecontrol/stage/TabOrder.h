#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace mc {

// Something the Tab key can give the keyboard focus to.
struct TabStop {
    std::uint64_t serial = 0;
    // The top-left corner of what it shows, in whole stage twips.
    std::int64_t x = 0;
    std::int64_t y = 0;
    // Set by a script; none when it never was.
    std::optional<std::int32_t> tabIndex;
};

// The order Tab visits `stops`, given in display-tree order (holders before what they
// hold, lower depths first). When any stop carries a tab index, only those that carry one
// take part, by index, ties kept in tree order. Otherwise the order follows the corners:
// Flash sorts by 6y + x, a line slanting down to the left that sweeps the stage, so that a
// neighbour set a little higher to the right still comes next; of stops on the same line
// only the first in tree order is kept.
std::vector<std::uint64_t> tabOrder(std::vector<TabStop> stops);

// The stop after `current` in `order` (before it when `backwards`), wrapping round; the
// first (last) when `current` is not in it. 0 when `order` is empty.
std::uint64_t nextTabStop(const std::vector<std::uint64_t>& order, std::uint64_t current,
                          bool backwards);

// What an arrow key can move the focus to: an object's box in stage twips.
struct FocusBox {
    std::uint64_t serial = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
enum class Arrow : std::uint8_t { Left, Up, Right, Down };

// The arrow a key code stands for; none for other keys.
std::optional<Arrow> arrowOf(std::uint8_t keyCode);

// The object an arrow key moves the focus to from `current`: of the boxes lying wholly past
// the current one's edge on the arrow's side, the one whose centre is nearest its centre
// (the first given of equals). 0 when none lies that way or `current` is not among them.
std::uint64_t arrowNeighbour(const std::vector<FocusBox>& boxes, std::uint64_t current,
                             Arrow arrow);

} // namespace mc
