#include "MovieLibrary.h"

#include "MovieCatalog.h"

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

} // namespace mc
