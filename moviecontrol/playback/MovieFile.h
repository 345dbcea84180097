#pragma once
// Reading a movie from disk, without a window system.

#include <cstdint>
#include <string>
#include <vector>

namespace mc {

// The file's bytes, at most `maxBytes` of them. Opened without blocking and read only when
// it is a regular file: a named pipe or a device in its place would wait for ever or never
// end. Empty when unreadable.
std::vector<std::uint8_t> readRegularFile(const std::string& path, std::int64_t maxBytes);

} // namespace mc
