#include "TabOrder.h"

#include <algorithm>

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

} // namespace mc
