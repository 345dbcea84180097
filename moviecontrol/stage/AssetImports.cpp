#include "AssetImports.h"

#include "MovieLibrary.h"

namespace mc {

void AssetImports::link(std::uint16_t library) {
    link(library, 0);
}

void AssetImports::link(std::uint16_t library, int nesting) {
    const swf::Movie* movie = library_.movie(library);
    if (movie == nullptr || movie->imports.empty() || nesting > kMaxNesting ||
        !linked_.insert(library).second) {
        return;
    }
    for (const swf::Movie::Import& import : movie->imports) {
        const std::optional<std::uint16_t> from = load(import.url);
        if (!from || *from == library) {
            continue;
        }
        link(*from, nesting + 1);
        const std::optional<std::uint16_t> id = library_.catalog(*from).exported(import.name);
        if (!id) {
            continue; // the file exports no such name: the id stays undefined
        }
        library_.addImport(library, import.id, import.name, library_.resolve(*from, *id));
    }
}

std::optional<std::uint16_t> AssetImports::load(const std::string& url) {
    if (const auto known = read_.find(url); known != read_.end()) {
        return known->second;
    }
    if (read_.size() >= kMaxFiles) {
        return std::nullopt;
    }
    const std::optional<std::uint16_t> index = load_(url);
    read_.emplace(url, index);
    return index;
}

} // namespace mc
