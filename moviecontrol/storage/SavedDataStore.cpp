#include "SavedDataStore.h"

namespace storage {

std::size_t SavedDataStore::sizeOf(const Entries& entries) {
    std::size_t total = 0;
    for (const auto& [name, bytes] : entries) {
        total += name.size() + bytes.size();
    }
    return total;
}

std::optional<std::vector<std::uint8_t>> SavedDataStore::read(std::string_view movie,
                                                              std::string_view name) const {
    const std::lock_guard lock(mutex_);
    const auto m = movies_.find(movie);
    if (m == movies_.end()) {
        return std::nullopt;
    }
    const auto e = m->second.find(name);
    if (e == m->second.end()) {
        return std::nullopt;
    }
    return e->second;
}

bool SavedDataStore::write(std::string_view movie, std::string_view name,
                           std::vector<std::uint8_t> bytes) {
    const std::lock_guard lock(mutex_);
    // Sizes are checked before anything is copied: a movie far over its allowance costs
    // nothing here.
    if (name.size() > kAllowancePerMovie || bytes.size() > kAllowancePerMovie - name.size()) {
        return false;
    }
    std::size_t others = 0;
    if (const auto m = movies_.find(movie); m != movies_.end()) {
        others = sizeOf(m->second);
        if (const auto e = m->second.find(name); e != m->second.end()) {
            others -= e->first.size() + e->second.size();
        }
    }
    if (others + name.size() + bytes.size() > kAllowancePerMovie) {
        return false;
    }
    auto m = movies_.find(movie);
    if (m == movies_.end()) {
        m = movies_.emplace(std::string(movie), Entries{}).first;
    }
    m->second.insert_or_assign(std::string(name), std::move(bytes));
    return true;
}

void SavedDataStore::remove(std::string_view movie, std::string_view name) {
    const std::lock_guard lock(mutex_);
    const auto m = movies_.find(movie);
    if (m == movies_.end()) {
        return;
    }
    if (const auto e = m->second.find(name); e != m->second.end()) {
        m->second.erase(e);
    }
    if (m->second.empty()) {
        movies_.erase(m);
    }
}

std::size_t SavedDataStore::usedBy(std::string_view movie) const {
    const std::lock_guard lock(mutex_);
    const auto m = movies_.find(movie);
    return m == movies_.end() ? 0 : sizeOf(m->second);
}

SavedDataStore& SavedDataStore::ofThisProcess() {
    static SavedDataStore store;
    return store;
}

} // namespace storage
