#include "MovieFile.h"

#include <fcntl.h>
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

} // namespace mc
