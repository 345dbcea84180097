#include "FileIO.h"

#include "Failure.h"
#include "Platform.h"
#include "RemovalOnExit.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <glob.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace cardformat {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        reset();
        fd_ = other.release();
    }
    return *this;
}

int UniqueFd::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::reset() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void UniqueFd::close(const std::string& context) {
    const int fd = release();
    if (fd >= 0 && ::close(fd) != 0) {
        throwSystemError(errno, "close " + context);
    }
}

InputFile::InputFile(const std::string& path) : path_(path) {
    // Without blocking: opening a named pipe or a device for reading may wait for ever, and
    // the kind of file is only known once it is open. A regular file reads as ever.
    fd_ = UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd_.get() < 0) {
        throwSystemError(errno, "open " + path);
    }
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0) {
        throwSystemError(errno, "fstat " + path);
    }
    if (!S_ISREG(st.st_mode)) {
        throw CardError(failure_code::PathFileAccess, path + " is not a regular file");
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
}

Bytes InputFile::readUpTo(std::uint64_t offset, std::uint64_t count) const {
    if (offset >= size_) {
        return {};
    }
    count = std::min(count, size_ - offset);
    Bytes bytes(static_cast<std::size_t>(count));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(fd_.get(), bytes.data() + done, bytes.size() - done,
                                  static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwSystemError(errno, "read " + path_);
        }
        if (n == 0) {
            break; // the file shrank under us
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

Bytes InputFile::read(std::uint64_t offset, std::uint64_t count) const {
    Bytes bytes = readUpTo(offset, count);
    if (bytes.size() != count) {
        throw CardError(failure_code::PastEndOfFile, path_);
    }
    return bytes;
}

Bytes BytesView::readUpTo(std::uint64_t offset, std::uint64_t count) const {
    if (offset >= bytes_.size()) {
        return {};
    }
    count = std::min<std::uint64_t>(count, bytes_.size() - offset);
    const auto from = bytes_.begin() + static_cast<std::ptrdiff_t>(offset);
    return Bytes(from, from + static_cast<std::ptrdiff_t>(count));
}

Bytes BytesView::read(std::uint64_t offset, std::uint64_t count) const {
    Bytes bytes = readUpTo(offset, count);
    if (bytes.size() != count) {
        throw CardError(failure_code::PastEndOfFile, "inflated movie");
    }
    return bytes;
}

Bytes readWholeFile(const std::string& path) {
    const InputFile file(path);
    return file.read(0, file.size());
}

std::int32_t readInt32LE(const std::uint8_t* p) {
    const std::uint32_t u =
        static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
        static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    return static_cast<std::int32_t>(u);
}

void writeInt32LE(std::uint8_t* p, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    p[0] = static_cast<std::uint8_t>(u);
    p[1] = static_cast<std::uint8_t>(u >> 8);
    p[2] = static_cast<std::uint8_t>(u >> 16);
    p[3] = static_cast<std::uint8_t>(u >> 24);
}

void writeAll(int fd, const std::uint8_t* data, std::size_t size, const std::string& context) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwSystemError(errno, "write " + context);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

ReplacementFile::ReplacementFile(const std::string& path, std::uint32_t mode) : target_(path) {
    // Beside the file where the system puts it: a "\\" in a name is part of the name here.
    const std::string folder = nativeFolderOf(path);
    std::string pattern = fileBeside(folder.empty() ? "." : folder, ".vmnew.XXXXXX");
    fd_ = UniqueFd(::mkostemp(pattern.data(), O_CLOEXEC));
    if (fd_.get() < 0) {
        throwSystemError(errno, "create beside " + path);
    }
    temporary_ = pattern;
    if (::fchmod(fd_.get(), static_cast<mode_t>(mode)) != 0) {
        const int saved = errno;
        ::unlink(temporary_.c_str());
        throwSystemError(saved, "chmod " + temporary_);
    }
    // An interrupted write must not leave a copy of the whole movie behind.
    watchToken_ = RemovalOnExit::watch(temporary_);
}

ReplacementFile::~ReplacementFile() {
    if (!committed_) {
        fd_.reset();
        ::unlink(temporary_.c_str());
    }
    RemovalOnExit::release(watchToken_);
}

void ReplacementFile::write(const std::uint8_t* data, std::size_t size) {
    writeAll(fd_.get(), data, size, target_);
}

void ReplacementFile::copyFrom(const InputFile& source, std::uint64_t offset, std::uint64_t count) {
    copyRange(source, offset, count, fd_.get(), target_);
}

void copyRange(const InputFile& source, std::uint64_t offset, std::uint64_t count, int fd,
               const std::string& context) {
    constexpr std::uint64_t chunk = 1u << 20;
    while (count > 0) {
        const Bytes piece = source.read(offset, std::min(count, chunk));
        writeAll(fd, piece.data(), piece.size(), context);
        offset += piece.size();
        count -= piece.size();
    }
}

void ReplacementFile::commit() {
    if (::fsync(fd_.get()) != 0 && errno != EINVAL) {
        throwSystemError(errno, "fsync " + target_);
    }
    fd_.close(target_);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        throwSystemError(errno, "rename to " + target_);
    }
    committed_ = true;
    RemovalOnExit::release(watchToken_);
    watchToken_ = 0;
}

void replaceFileContent(const std::string& linkOrPath, const Bytes& bytes,
                        std::uint32_t modeForNewFile, std::uint32_t addedModeBits) {
    // Replace the file a link points to, not the link.
    char resolved[PATH_MAX];
    const std::string path =
        ::realpath(linkOrPath.c_str(), resolved) != nullptr ? std::string(resolved) : linkOrPath;
    struct stat st {};
    const std::uint32_t mode = ::stat(path.c_str(), &st) == 0
                                   ? static_cast<std::uint32_t>(st.st_mode & 07777)
                                   : modeAfterUmask(modeForNewFile);
    ReplacementFile file(path, mode | addedModeBits);
    file.write(bytes);
    file.commit();
}

namespace {

constexpr std::size_t RunningCopyUniqueAt = 18; // where the six characters start
constexpr std::size_t RunningCopyUniqueLength = 6;

// "vmcard-" + this process's id in ten digits + "-XXXXXX.tmp".
std::string runningCopyName() {
    std::string name = "vmcard-0000000000-XXXXXX.tmp";
    // The process id in ten digits, written in place: this runs in every card, whose
    // player has little room.
    auto pid = static_cast<unsigned>(::getpid());
    for (std::size_t digit = 16; digit >= 7; --digit, pid /= 10) {
        name[digit] = static_cast<char>('0' + pid % 10);
    }
    return name;
}

} // namespace

TemporaryFile createTemporaryFile(TemporaryUse use) {
    // mkostemps opens with O_EXCL and mode 0600 and picks a name that does not exist; the
    // ".tmp" suffix keeps every extracted movie from ever ending in ".swf". A copy that lives
    // only while its program runs carries the program's process id, so that a later start
    // can tell a copy whose program is gone.
    const std::string name =
        use == TemporaryUse::WhileRunning ? runningCopyName() : std::string("vm_XXXXXX.tmp");
    std::string pattern = fileBeside(temporaryFolder(), name);
    UniqueFd fd(::mkostemps(pattern.data(), 4, O_CLOEXEC));
    if (fd.get() < 0) {
        throwSystemError(errno, "create in " + temporaryFolder());
    }
    return {pattern, std::move(fd)};
}

namespace {

// Gives the unnamed file behind `fd` a fresh running copy's name in `folder`; empty when the
// system cannot (no /proc to reach the file by).
std::string nameUnnamedFile(int fd, const std::string& folder) {
    static constexpr std::string_view Letters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const std::string source = "/proc/self/fd/" + std::to_string(fd);
    std::string name = runningCopyName();
    // As many tries as mkostemps makes; a taken name is the only reason to try again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[RunningCopyUniqueLength] = {};
        if (::getentropy(random, sizeof random) != 0) {
            throwSystemError(errno, "random name in " + folder);
        }
        for (std::size_t i = 0; i < RunningCopyUniqueLength; ++i) {
            name[RunningCopyUniqueAt + i] = Letters[random[i] % Letters.size()];
        }
        std::string path = fileBeside(folder, name); // not const, so that returning it moves
        if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return path;
        }
        if (errno == ENOENT || errno == EPERM || errno == EXDEV) {
            return {};
        }
        if (errno != EEXIST) {
            throwSystemError(errno, "name in " + folder);
        }
    }
    throwSystemError(EEXIST, "name in " + folder);
}

} // namespace

std::string writeRunningCopy(const std::function<void(int fd, const std::string& context)>& fill) {
    const std::string folder = temporaryFolder();
    UniqueFd unnamed(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (unnamed.get() >= 0) {
        fill(unnamed.get(), folder);
        std::string path = nameUnnamedFile(unnamed.get(), folder);
        if (!path.empty()) {
            try {
                unnamed.close(path);
            } catch (...) {
                ::unlink(path.c_str());
                throw;
            }
            return path;
        }
    } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        throwSystemError(errno, "create in " + folder);
    }
    TemporaryFile target = createTemporaryFile(TemporaryUse::WhileRunning);
    try {
        fill(target.fd.get(), target.path);
        target.fd.close(target.path);
    } catch (...) {
        target.fd.reset();
        ::unlink(target.path.c_str());
        throw;
    }
    return std::move(target.path);
}

} // namespace cardformat
