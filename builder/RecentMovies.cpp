#include "RecentMovies.h"

#include <algorithm>

namespace builder {

RecentMovies::RecentMovies(const std::vector<std::string>& stored) {
    // Oldest first, so that each add puts the newer one in front.
    for (auto it = stored.rbegin(); it != stored.rend(); ++it) {
        add(*it);
    }
}

void RecentMovies::add(const std::string& path) {
    if (path.empty()) {
        return;
    }
    std::erase(paths_, path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > Limit) {
        paths_.resize(Limit);
    }
}

} // namespace builder
