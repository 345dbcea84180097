#include "MovieCompleteness.h"

#include "FileIO.h"

#include <cstring>

namespace cardformat {

MovieCompleteness movieCompleteness(const std::string& path, std::uint64_t offset) {
    const InputFile file(path);
    MovieCompleteness result;
    result.present = file.size() > offset ? file.size() - offset : 0;
    const Bytes head = file.readUpTo(offset, 8);
    if (head.size() < 8 || std::memcmp(head.data(), "FWS", 3) != 0) {
        return result;
    }
    result.uncompressedMovie = true;
    result.declared = static_cast<std::uint64_t>(static_cast<std::uint32_t>(readInt32LE(&head[4])));
    return result;
}

} // namespace cardformat
