#pragma once
// What the loading classes (URLLoader, URLStream, NetStream) ask of the player: the files
// beside the movie. A machine's host that can read them offers this too; one that does not
// loads nothing, every load failing as a missing file does.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace avm2 {

class Host;

class LoadHost {
  public:
    virtual ~LoadHost() = default;
    // The bytes of the file a script's address names beside the movie; nullopt when the
    // address is refused (another folder, the network) or nothing is there.
    virtual std::optional<std::vector<std::uint8_t>> readBesideMovie(std::string_view url) = 0;
};

// The host's reading of files beside the movie, or nullopt when it offers none.
std::optional<std::vector<std::uint8_t>> readBesideMovie(Host& host, std::string_view url);

} // namespace avm2
