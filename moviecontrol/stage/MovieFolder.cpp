#include "MovieFolder.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "UrlPolicy.h"

namespace mc {

namespace {

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

// The path with every link and "." resolved; empty when any part is missing.
std::string realPathOf(const std::string& path) {
    const std::unique_ptr<char, FreeDeleter> resolved(::realpath(path.c_str(), nullptr));
    return resolved ? std::string(resolved.get()) : std::string();
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// At most `size` bytes, the length the file had when opened: one that grows meanwhile is
// read no further.
std::vector<std::uint8_t> readUpTo(int fd, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::size_t have = 0;
    while (have < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        have += static_cast<std::size_t>(n);
    }
    bytes.resize(have);
    return bytes;
}

} // namespace

MovieFolder MovieFolder::ofMovie(const std::string& moviePath) {
    const std::string movie = realPathOf(moviePath);
    const std::size_t slash = movie.rfind('/');
    if (slash == std::string::npos || slash == 0) {
        return MovieFolder();
    }
    return MovieFolder(movie.substr(0, slash));
}

std::vector<std::uint8_t> MovieFolder::read(std::string_view scriptPath,
                                            std::size_t maxBytes) const {
    if (real_.empty()) {
        return {};
    }
    std::string relative = besideMoviePath(scriptPath);
    if (relative.empty()) {
        return {};
    }
    // Movies made on Windows name their folders with "\".
    for (char& c : relative) {
        if (c == '\\') {
            c = '/';
        }
    }
    // Links are resolved first, then the file must still lie inside the folder.
    const std::string resolved = realPathOf(real_ + '/' + relative);
    if (resolved.size() <= real_.size() + 1 || resolved.compare(0, real_.size(), real_) != 0 ||
        resolved[real_.size()] != '/') {
        return {};
    }
    // Opened without following a link put in its place since, and without blocking: a pipe
    // or a device waits for ever or never ends.
    const Descriptor fd(
        ::open(resolved.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW));
    if (fd.get() < 0) {
        return {};
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        return {};
    }
    return readUpTo(fd.get(), static_cast<std::size_t>(st.st_size));
}

} // namespace mc
