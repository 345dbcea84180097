#include "TabOrder.h"

#include <algorithm>
#include <cmath>

#include "KeyCodes.h"

namespace mc {

std::vector<std::uint64_t> tabOrder(std::vector<TabStop> stops) {
    const bool custom = std::any_of(stops.begin(), stops.end(),
                                    [](const TabStop& s) { return s.tabIndex.has_value(); });
    std::vector<std::uint64_t> order;
    if (custom) {
        std::erase_if(stops, [](const TabStop& s) { return !s.tabIndex; });
        std::stable_sort(stops.begin(), stops.end(), [](const TabStop& a, const TabStop& b) {
            return *a.tabIndex < *b.tabIndex;
        });
        for (const TabStop& s : stops) {
            order.push_back(s.serial);
        }
        return order;
    }
    const auto line = [](const TabStop& s) { return s.y * 6 + s.x; };
    std::stable_sort(stops.begin(), stops.end(),
                     [&line](const TabStop& a, const TabStop& b) { return line(a) < line(b); });
    for (std::size_t i = 0; i < stops.size(); ++i) {
        if (i == 0 || line(stops[i]) != line(stops[i - 1])) {
            order.push_back(stops[i].serial);
        }
    }
    return order;
}

std::uint64_t nextTabStop(const std::vector<std::uint64_t>& order, std::uint64_t current,
                          bool backwards) {
    if (order.empty()) {
        return 0;
    }
    const auto at = std::find(order.begin(), order.end(), current);
    if (at == order.end()) {
        return backwards ? order.back() : order.front();
    }
    const auto i = static_cast<std::size_t>(at - order.begin());
    const std::size_t n = order.size();
    return order[backwards ? (i + n - 1) % n : (i + 1) % n];
}

std::optional<Arrow> arrowOf(std::uint8_t keyCode) {
    switch (keyCode) {
    case key_code::Left:
        return Arrow::Left;
    case key_code::Up:
        return Arrow::Up;
    case key_code::Right:
        return Arrow::Right;
    case key_code::Down:
        return Arrow::Down;
    default:
        return std::nullopt;
    }
}

std::uint64_t arrowNeighbour(const std::vector<FocusBox>& boxes, std::uint64_t current,
                             Arrow arrow) {
    const auto from = std::find_if(boxes.begin(), boxes.end(),
                                   [&](const FocusBox& b) { return b.serial == current; });
    if (current == 0 || from == boxes.end()) {
        return 0;
    }
    const FocusBox at = *from;
    const auto beyond = [&](const FocusBox& b) {
        switch (arrow) {
        case Arrow::Left:
            return b.xMax <= at.xMin;
        case Arrow::Right:
            return b.xMin >= at.xMax;
        case Arrow::Up:
            return b.yMax <= at.yMin;
        case Arrow::Down:
            return b.yMin >= at.yMax;
        }
        return false;
    };
    const double cx = (at.xMin + at.xMax) / 2;
    const double cy = (at.yMin + at.yMax) / 2;
    std::uint64_t best = 0;
    double bestDistance = 0;
    for (const FocusBox& b : boxes) {
        if (b.serial == current || b.serial == 0 || !beyond(b)) {
            continue;
        }
        const double d = std::hypot((b.xMin + b.xMax) / 2 - cx, (b.yMin + b.yMax) / 2 - cy);
        if (std::isfinite(d) && (best == 0 || d < bestDistance)) {
            best = b.serial;
            bestDistance = d;
        }
    }
    return best;
}

} // namespace mc
