#include "DockList.h"

#include <limits>

namespace builder {

void DockList::reserveAhead() {
    const std::int32_t wanted = static_cast<std::int32_t>(count_) + 10;
    if (upperBound() < wanted) {
        entries_.resize(static_cast<std::size_t>(wanted) + 1);
    }
}

bool DockList::append(WindowHandle window) {
    if (contains(window) || count_ == std::numeric_limits<std::int16_t>::max()) {
        return false;
    }
    reserveAhead();
    entries_[static_cast<std::size_t>(count_)].window = window;
    ++count_;
    return true;
}

bool DockList::contains(WindowHandle window) const {
    for (std::int16_t i = 0; i < count_; ++i) {
        if (entries_[static_cast<std::size_t>(i)].window == window) {
            return true;
        }
    }
    return false;
}

} // namespace builder
