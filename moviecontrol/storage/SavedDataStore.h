#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

// What movies keep with SharedObject, by movie and by name. Kept in memory for the life of
// the player and never written to the disk of the person who plays them: a card is a
// stranger's program. Each movie may keep as much as Flash allowed a site by default.
class SavedDataStore {
  public:
    static constexpr std::size_t kAllowancePerMovie = 100 * 1024;

    // The bytes `movie` kept under `name`; nullopt when none.
    std::optional<std::vector<std::uint8_t>> read(std::string_view movie,
                                                  std::string_view name) const;
    // Keeps `bytes` under `name`, replacing what was there. False, and nothing changed,
    // when the movie would then keep more than its allowance (names count too).
    bool write(std::string_view movie, std::string_view name, std::vector<std::uint8_t> bytes);
    void remove(std::string_view movie, std::string_view name);
    // What `movie` keeps, names and bytes together.
    std::size_t usedBy(std::string_view movie) const;

    // The store every movie of this process shares.
    static SavedDataStore& ofThisProcess();

  private:
    using Entries = std::map<std::string, std::vector<std::uint8_t>, std::less<>>;
    static std::size_t sizeOf(const Entries& entries);
    mutable std::mutex mutex_;
    std::map<std::string, Entries, std::less<>> movies_;
};

} // namespace storage
