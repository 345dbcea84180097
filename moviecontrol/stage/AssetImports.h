#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace mc {

class MovieLibrary;

// Links what a movie imports (ImportAssets, ImportAssets2) to the movies that export it: each
// named file is read as loadMovie reads one and kept in the player's library, and the
// importer's ids then stand for the characters exported under the imported names. Flash reads
// an exporting movie whole before the importer goes on; its own imports are linked first, so
// that a name passed on through several movies reaches the character defined at the end.
class AssetImports {
  public:
    // Reads the movie at `url` (beside the first movie) into the library: its index, or none.
    using LoadMovie = std::function<std::optional<std::uint16_t>(const std::string& url)>;

    AssetImports(MovieLibrary& library, LoadMovie load)
        : library_(library), load_(std::move(load)) {}

    // Links the imports of movie `library`, and of the movies it imports from.
    void link(std::uint16_t library);

    // Movies importing from movies that import in turn, followed this deep.
    static constexpr int kMaxNesting = 8;
    // Different files asked for at most, found or not.
    static constexpr std::size_t kMaxFiles = 64;

  private:
    void link(std::uint16_t library, int nesting);
    // Each file once, however many names a movie imports from it, missing ones included.
    std::optional<std::uint16_t> load(const std::string& url);

    MovieLibrary& library_;
    LoadMovie load_;
    // Movies linked or being linked: a movie importing from itself, however indirectly, is
    // linked once.
    std::set<std::uint16_t> linked_;
    std::map<std::string, std::optional<std::uint16_t>> read_;
};

} // namespace mc
