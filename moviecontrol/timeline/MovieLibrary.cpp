#include "MovieLibrary.h"

#include "MovieCatalog.h"

#include <algorithm>

namespace mc {

namespace {

class EmptyCatalog final : public CharacterCatalog {
  public:
    CharacterKind kind(std::uint16_t) const override { return CharacterKind::None; }
    const swf::Timeline* spriteTimeline(std::uint16_t) const override { return nullptr; }
    const swf::Button* button(std::uint16_t) const override { return nullptr; }
};

const EmptyCatalog kEmpty;
const std::string kNoUrl;

} // namespace

struct MovieLibrary::Entry {
    // Declared first: the movie's records may point into these bytes.
    std::vector<std::uint8_t> ownedBytes;
    std::unique_ptr<swf::Movie> movie;
    std::unique_ptr<MovieCatalog> catalog;
    std::string url;
    std::size_t fileBytes = 0;
};

MovieLibrary::MovieLibrary(const CharacterCatalog& root, const swf::Movie* rootMovie)
    : root_(root), rootMovie_(rootMovie) {}

MovieLibrary::~MovieLibrary() = default;

const CharacterCatalog& MovieLibrary::catalog(std::uint16_t index) const {
    if (index == 0) {
        return root_;
    }
    if (index > entries_.size()) {
        return kEmpty;
    }
    return *entries_[index - 1]->catalog;
}

const swf::Movie* MovieLibrary::movie(std::uint16_t index) const {
    if (index == 0) {
        return rootMovie_;
    }
    return index <= entries_.size() ? entries_[index - 1]->movie.get() : nullptr;
}

bool MovieLibrary::isPicture(std::uint16_t index) const {
    return index >= 1 && index <= entries_.size() && !entries_[index - 1]->ownedBytes.empty();
}

const std::string& MovieLibrary::url(std::uint16_t index) const {
    return index >= 1 && index <= entries_.size() ? entries_[index - 1]->url : kNoUrl;
}

std::size_t MovieLibrary::fileBytes(std::uint16_t index) const {
    if (index == 0) {
        return rootMovie_ != nullptr ? rootMovie_->header.declaredLength : 0;
    }
    return index <= entries_.size() ? entries_[index - 1]->fileBytes : 0;
}

std::optional<std::uint16_t> MovieLibrary::find(const std::string& url) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i]->url == url) {
            return static_cast<std::uint16_t>(i + 1);
        }
    }
    return std::nullopt;
}

std::optional<std::uint16_t> MovieLibrary::add(std::unique_ptr<swf::Movie> movie, std::string url,
                                               std::size_t fileBytes,
                                               std::vector<std::uint8_t> ownedBytes) {
    if (!movie || entries_.size() >= kMaxMovies) {
        return std::nullopt;
    }
    const std::size_t bytes = movie->bytes().size() + ownedBytes.size();
    if (bytes > kMaxTotalBytes - totalBytes_) {
        return std::nullopt;
    }
    totalBytes_ += bytes;
    auto entry = std::make_unique<Entry>();
    entry->ownedBytes = std::move(ownedBytes);
    entry->movie = std::move(movie);
    entry->catalog = std::make_unique<MovieCatalog>(*entry->movie);
    entry->url = std::move(url);
    entry->fileBytes = fileBytes;
    entries_.push_back(std::move(entry));
    return static_cast<std::uint16_t>(entries_.size());
}

namespace {

std::uint32_t importKey(std::uint16_t library, std::uint16_t id) {
    return std::uint32_t{library} << 16 | id;
}

bool foldedEqual(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

} // namespace

bool MovieLibrary::addImport(std::uint16_t importer, std::uint16_t id, std::string_view name,
                             CharacterRef target) {
    if (imports_.size() >= kMaxImports || target.library == importer) {
        return false;
    }
    if (!imports_.try_emplace(importKey(importer, id), Import{std::string(name), target}).second) {
        return false;
    }
    std::vector<std::uint16_t>& from = exporters_[importer];
    if (std::find(from.begin(), from.end(), target.library) == from.end()) {
        from.push_back(target.library);
    }
    return true;
}

MovieLibrary::CharacterRef MovieLibrary::resolve(std::uint16_t library, std::uint16_t id) const {
    const auto it = imports_.find(importKey(library, id));
    return it != imports_.end() ? it->second.target : CharacterRef{library, id};
}

std::optional<MovieLibrary::CharacterRef> MovieLibrary::importedNamed(std::uint16_t library,
                                                                      std::string_view name) const {
    const auto first = imports_.lower_bound(importKey(library, 0));
    const auto last = imports_.upper_bound(importKey(library, 0xFFFF));
    for (auto it = first; it != last; ++it) {
        if (it->second.name == name) {
            return it->second.target;
        }
    }
    for (auto it = first; it != last; ++it) {
        if (foldedEqual(it->second.name, name)) {
            return it->second.target;
        }
    }
    return std::nullopt;
}

std::vector<std::uint16_t> MovieLibrary::exportersOf(std::uint16_t library) const {
    const auto it = exporters_.find(library);
    return it != exporters_.end() ? it->second : std::vector<std::uint16_t>{};
}

} // namespace mc
