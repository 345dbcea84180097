#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
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

  private:
    struct Entry;
    const CharacterCatalog& root_;
    const swf::Movie* rootMovie_ = nullptr;
    std::vector<std::unique_ptr<Entry>> entries_;
    std::size_t totalBytes_ = 0;
};

} // namespace mc
