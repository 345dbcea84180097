#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CharacterCatalog.h"
#include "swf/Movie.h"

namespace mc {

// The dictionaries of the movies on stage: the first movie's (index 0) and each movie that
// scripts loaded beside it. A display object names the dictionary its character id belongs
// to by index, so that ids of two movies never meet.
//
// Loaded movies stay for the life of the player: the timeline and the script queue point
// into their tags, and a movie loaded again by the same name is served from here. Their
// count and bytes are bounded, so a movie that loads itself endlessly runs out of room
// rather than memory.
class MovieLibrary {
  public:
    static constexpr std::size_t kMaxMovies = 64;
    static constexpr std::size_t kMaxTotalBytes = 256u << 20;

    // `root` is the first movie's dictionary; `rootMovie` its movie when it has one.
    explicit MovieLibrary(const CharacterCatalog& root, const swf::Movie* rootMovie = nullptr);
    ~MovieLibrary();
    MovieLibrary(const MovieLibrary&) = delete;
    MovieLibrary& operator=(const MovieLibrary&) = delete;

    // Unknown indexes answer with an empty dictionary.
    const CharacterCatalog& catalog(std::uint16_t index) const;
    // Null for an index without a parsed movie (the first movie of a test catalog).
    const swf::Movie* movie(std::uint16_t index) const;
    // Where the movie came from ("" for the first one) and how many bytes its file had.
    const std::string& url(std::uint16_t index) const;
    std::size_t fileBytes(std::uint16_t index) const;
    // Whether the movie stands for a picture file (JPEG, PNG or GIF) loaded by a script.
    bool isPicture(std::uint16_t index) const;
    std::size_t size() const { return entries_.size() + 1; }

    // The index of a movie already loaded from `url`.
    std::optional<std::uint16_t> find(const std::string& url) const;
    // Keeps a parsed movie (with the bytes its records point into, when they are not the
    // movie's own); nullopt once the bounds are reached.
    std::optional<std::uint16_t> add(std::unique_ptr<swf::Movie> movie, std::string url,
                                     std::size_t fileBytes,
                                     std::vector<std::uint8_t> ownedBytes = {});

    // A character of one of the movies: the dictionary it belongs to and its id there.
    struct CharacterRef {
        std::uint16_t library = 0;
        std::uint16_t id = 0;
        bool operator==(const CharacterRef&) const = default;
    };
    // ImportAssets: in movie `importer`, `id` (imported under `name`) stands for `target`, a
    // character of another movie. The first link of an id holds; false past the bound.
    bool addImport(std::uint16_t importer, std::uint16_t id, std::string_view name,
                   CharacterRef target);
    // What `id` of movie `library` stands for: the character it imports, or itself.
    CharacterRef resolve(std::uint16_t library, std::uint16_t id) const;
    // The character movie `library` imported under `name` (compared as exports are: exactly,
    // then without case).
    std::optional<CharacterRef> importedNamed(std::uint16_t library, std::string_view name) const;
    // The movies `library` imports from, in the order their first import was linked.
    std::vector<std::uint16_t> exportersOf(std::uint16_t library) const;

    // Links kept at most, all movies together (a movie may name 65,536 imports).
    static constexpr std::size_t kMaxImports = 1u << 16;

  private:
    struct Entry;
    const CharacterCatalog& root_;
    const swf::Movie* rootMovie_ = nullptr;
    std::vector<std::unique_ptr<Entry>> entries_;
    std::size_t totalBytes_ = 0;
    struct Import {
        std::string name;
        CharacterRef target;
    };
    // By importer << 16 | id.
    std::map<std::uint32_t, Import> imports_;
    // Exporting movies by importer, in link order.
    std::map<std::uint16_t, std::vector<std::uint16_t>> exporters_;
};

} // namespace mc
