#pragma once
// Reading a movie from disk and naming it to its scripts, without a window system.

#include <cstdint>
#include <string>
#include <vector>

namespace mc {

// The file's bytes, at most `maxBytes` of them. Opened without blocking and read only when
// it is a regular file: a named pipe or a device in its place would wait for ever or never
// end. Empty when unreadable.
std::vector<std::uint8_t> readRegularFile(const std::string& path, std::int64_t maxBytes);

// The address a movie read from `path` gives its scripts: its file name without the folders
// (a movie learns nothing of the disk around it), percent-encoded.
std::string movieUrlOf(const std::string& path);

// The absolute folder holding `path`, where the files a movie may load beside it are.
std::string folderOf(const std::string& path);

} // namespace mc
