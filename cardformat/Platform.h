#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The few places where the card programs touch the operating system. Everything that would
// differ on another platform is kept here.
namespace cardformat {

// "/" and "\" both separate path parts in path texts.
bool isPathSeparator(char c);

// A file beside a program: the name joined to the folder with the native separator, unless
// the folder already ends in a separator (a root such as "/" or "C:\").
std::string fileBeside(std::string_view folder, std::string_view name);

// The folder part of a path (without a trailing separator, except for a root folder);
// empty when the path has no separator.
std::string folderOf(std::string_view path);

// The folder and the name of a file as the system sees them: only "/" separates, and a "\\"
// is part of a name. Files are created, found and replaced with these.
std::string nativeFolderOf(std::string_view path);
std::string nativeFileName(std::string_view path);

// Only a regular file, after following links, counts as existing.
bool fileExists(const std::string& path);

// A read-only file: the owner may not write to it.
bool isReadOnly(const std::string& path);

// Whether two paths name one existing file (also through links); false when either is missing.
bool sameFile(const std::string& a, const std::string& b);

// The real path of the running program.
std::string ownExecutablePath();
std::string ownFolder();

// The temporary folder: TMPDIR when set and not empty, else /tmp.
std::string temporaryFolder();

// Permission bits for a new file with the requested mode after the process' umask.
std::uint32_t modeAfterUmask(std::uint32_t requested);

} // namespace cardformat
