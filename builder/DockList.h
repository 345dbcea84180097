#pragma once

#include "DockGeometry.h"

#include <cstdint>
#include <vector>

namespace builder {

struct DockEntry {
    WindowHandle window = 0;
};

// The windows taking part in the docking, in the order they were attached. Entries are
// never removed: a destroyed window's entry stays and simply no longer matches a live window.
class DockList {
  public:
    // Room is kept for ten more entries than are in use; the store grows to that whenever it
    // falls short, before an entry is added.
    void reserveAhead();
    // Adds the window at the end. False when the window is listed already or the 16-bit count
    // is exhausted.
    bool append(WindowHandle window);
    bool contains(WindowHandle window) const;

    std::int16_t count() const { return count_; }
    // Highest index the store holds; -1 before the first growth.
    std::int32_t upperBound() const { return static_cast<std::int32_t>(entries_.size()) - 1; }
    const DockEntry& operator[](std::int16_t index) const { return entries_.at(index); }

  private:
    std::vector<DockEntry> entries_;
    std::int16_t count_ = 0;
};

} // namespace builder
