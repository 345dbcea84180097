#include "Platform.h"

#include "Failure.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace cardformat {

bool isPathSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string fileBeside(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && !isPathSeparator(path.back())) {
        path += '/';
    }
    path += name;
    return path;
}

namespace {

template <typename Separator> std::string folderBefore(std::string_view path, Separator separates) {
    for (std::size_t i = path.size(); i-- > 0;) {
        if (separates(path[i])) {
            return std::string(path.substr(0, i == 0 ? 1 : i));
        }
    }
    return {};
}

} // namespace

std::string folderOf(std::string_view path) {
    return folderBefore(path, isPathSeparator);
}

std::string nativeFolderOf(std::string_view path) {
    return folderBefore(path, [](char c) { return c == '/'; });
}

std::string nativeFileName(std::string_view path) {
    const std::size_t cut = path.rfind('/');
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isReadOnly(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) {
        return false;
    }
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string ownExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        throwSystemError(errno, "readlink /proc/self/exe");
    }
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::string ownFolder() {
    return nativeFolderOf(ownExecutablePath());
}

std::string temporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp != nullptr && *tmp != '\0') {
        return tmp;
    }
    return "/tmp";
}

std::uint32_t modeAfterUmask(std::uint32_t requested) {
    // The umask can only be read by setting it; read the kernel's copy instead so no other
    // thread ever sees a changed mask.
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            const auto mask =
                static_cast<std::uint32_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
            return requested & ~mask & 07777u;
        }
    }
    return requested & ~022u;
}

} // namespace cardformat
