#include "MovieFile.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace mc {

namespace {

// Closes the descriptor however the read ends.
class OpenFile {
  public:
    explicit OpenFile(int fd) : fd_(fd) {}
    ~OpenFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

bool unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '.' || c == '_' || c == '~';
}

} // namespace

std::vector<std::uint8_t> readRegularFile(const std::string& path, std::int64_t maxBytes) {
    const OpenFile file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat st {};
    if (file.fd() < 0 || ::fstat(file.fd(), &st) != 0 || !S_ISREG(st.st_mode) || maxBytes <= 0) {
        return {};
    }
    // The size the file says it has is only a hint: it may grow or shrink while it is read.
    const auto hinted = std::min<std::int64_t>(std::max<std::int64_t>(st.st_size, 0), maxBytes);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(hinted));
    std::uint8_t chunk[64 * 1024];
    while (static_cast<std::int64_t>(bytes.size()) < maxBytes) {
        const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(
            sizeof chunk, maxBytes - static_cast<std::int64_t>(bytes.size())));
        const ssize_t got = ::read(file.fd(), chunk, wanted);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

std::string movieUrlOf(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    // Parentheses stay as they are, as the players this follows leave them.
    std::string url = "file:///";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (unreserved(c) || c == '(' || c == ')') {
            url += ch;
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 0xF];
        }
    }
    return url;
}

std::string folderOf(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) {
        absolute = path;
    }
    return absolute.lexically_normal().parent_path().string();
}

} // namespace mc
