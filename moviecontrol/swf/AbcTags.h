#pragma once
// The ActionScript 3 tags of a movie's root timeline, in file order: DoABC blocks and the
// SymbolClass names. The loader keeps neither in its frames (an ActionScript 1/2 player has
// no use for them); the ActionScript 3 runner reads them from the file's bytes here.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace swf {

class Movie;

struct AbcTag {
    enum class Kind : std::uint8_t { DoAbc, SymbolClass };
    Kind kind = Kind::DoAbc;
    std::uint16_t frame = 0; // the root frame (from 0) the tag belongs to
    // DoAbc: the block, and whether it waits to run until something uses it.
    std::span<const std::uint8_t> abc;
    bool lazy = false;
    // SymbolClass: character id and class name pairs.
    std::vector<std::pair<std::uint16_t, std::string>> symbols;
};

std::vector<AbcTag> findAbcTags(const Movie& movie);

// The data of the movie's DefineBinaryData tag for `id` (the bytes after the id and the
// reserved field); empty when it has none.
std::span<const std::uint8_t> findBinaryData(const Movie& movie, std::uint16_t id);

} // namespace swf
