#include "PointerOrder.h"

#include <utility>

namespace mc {

std::vector<std::shared_ptr<DisplayObject>>
clipsTopFirst(const std::vector<std::shared_ptr<DisplayObject>>& levels) {
    std::vector<std::shared_ptr<DisplayObject>> out;
    // A stack rather than recursion: a movie may nest clips deeper than the native stack.
    // Each entry is visited twice: first to push its children, then to take it.
    std::vector<std::pair<std::shared_ptr<DisplayObject>, bool>> pending;
    for (const auto& level : levels) {
        if (level) {
            pending.emplace_back(level, false);
        }
    }
    while (!pending.empty()) {
        auto [object, expanded] = std::move(pending.back());
        pending.pop_back();
        if (object->removed || !object->clip) {
            continue;
        }
        if (expanded) {
            out.push_back(std::move(object));
            continue;
        }
        const DisplayList& children = object->clip->displayList;
        pending.emplace_back(object, true);
        // The lowest depth is pushed first, so that the top depth is taken first.
        for (const auto& entry : children) {
            if (entry.second) {
                pending.emplace_back(entry.second, false);
            }
        }
    }
    return out;
}

} // namespace mc
