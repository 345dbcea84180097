#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cardformat {

using Bytes = std::vector<std::uint8_t>;

// A file descriptor that is closed with its owner.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    int release();
    void reset();
    // Closes now and reports a failed close (the last chance to learn of a failed write).
    void close(const std::string& context);

  private:
    int fd_ = -1;
};

// A regular file opened for reading. Every read is checked: asking for bytes that are not
// there throws CardError "input past end of file".
class InputFile {
  public:
    explicit InputFile(const std::string& path);
    std::uint64_t size() const { return size_; }
    // Exactly `count` bytes from `offset`.
    Bytes read(std::uint64_t offset, std::uint64_t count) const;
    // Up to `count` bytes from `offset`, fewer at the end of the file.
    Bytes readUpTo(std::uint64_t offset, std::uint64_t count) const;
    int fd() const { return fd_.get(); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    UniqueFd fd_;
    std::uint64_t size_ = 0;
};

Bytes readWholeFile(const std::string& path);

// The bytes of a file from `base` on, seen as a file of their own: a movie inside a card.
class FileView {
  public:
    explicit FileView(const InputFile& file, std::uint64_t base = 0) : file_(file), base_(base) {}
    std::uint64_t size() const { return file_.size() > base_ ? file_.size() - base_ : 0; }
    Bytes read(std::uint64_t offset, std::uint64_t count) const {
        return file_.read(base_ + offset, count);
    }
    Bytes readUpTo(std::uint64_t offset, std::uint64_t count) const {
        return file_.readUpTo(base_ + offset, count);
    }

  private:
    const InputFile& file_;
    std::uint64_t base_;
};

// Bytes in memory seen as a file, as FileView sees one: a movie inflated from its compressed
// form. Asking for bytes that are not there throws CardError "input past end of file".
class BytesView {
  public:
    explicit BytesView(const Bytes& bytes) : bytes_(bytes) {}
    std::uint64_t size() const { return bytes_.size(); }
    Bytes read(std::uint64_t offset, std::uint64_t count) const;
    Bytes readUpTo(std::uint64_t offset, std::uint64_t count) const;

  private:
    const Bytes& bytes_;
};

// A little-endian signed 32-bit number from the first four bytes.
std::int32_t readInt32LE(const std::uint8_t* p);
void writeInt32LE(std::uint8_t* p, std::int32_t value);

// A new file that replaces `path` only once it is completely written: it is written beside
// the target under a fresh name and renamed over it by commit(). Dropped without commit(),
// the partial file is removed and the target is untouched.
class ReplacementFile {
  public:
    ReplacementFile(const std::string& path, std::uint32_t mode);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    void write(const std::uint8_t* data, std::size_t size);
    void write(const Bytes& bytes) { write(bytes.data(), bytes.size()); }
    // Copies `count` bytes of `source` from `offset`.
    void copyFrom(const InputFile& source, std::uint64_t offset, std::uint64_t count);
    void commit();

  private:
    std::string target_;
    std::string temporary_;
    UniqueFd fd_;
    bool committed_ = false;
    std::size_t watchToken_ = 0;
};

// Writes `bytes` as the new content of `path`, keeping the existing file's permission bits
// (or `modeForNewFile` after the umask when there is none) with `addedModeBits` added.
void replaceFileContent(const std::string& path, const Bytes& bytes, std::uint32_t modeForNewFile,
                        std::uint32_t addedModeBits = 0);

// A fresh file in the temporary folder, created exclusively with owner-only permissions; its
// name never ends in ".swf" and is never one that existed before. A copy kept only while
// its program runs is named "vmcard-" + process id (ten digits) + "-" + six characters +
// ".tmp".
enum class TemporaryUse { Kept, WhileRunning };
struct TemporaryFile {
    std::string path;
    UniqueFd fd;
};
TemporaryFile createTemporaryFile(TemporaryUse use = TemporaryUse::Kept);

// A copy kept only while its program runs, named as above, its bytes written by `fill` to the
// descriptor it is given. The name appears only once the copy is whole: whatever lists the
// folder (another start, a person, a test) never opens it half written, and a program
// killed while writing leaves nothing behind. A file system that cannot hold a file without
// a name gets the copy written under its name.
std::string writeRunningCopy(const std::function<void(int fd, const std::string& context)>& fill);

// Removes the copies kept only while their program runs whose program is no longer running:
// regular files of this user in the temporary folder, named as above, whose process is gone.
// Returns how many were removed.
int removeOrphanedRunningCopies();

// Copies `count` bytes of `source` from `offset` to a descriptor, a megabyte at a time.
void copyRange(const InputFile& source, std::uint64_t offset, std::uint64_t count, int fd,
               const std::string& context);

// Writes all bytes to a descriptor, retrying short writes.
void writeAll(int fd, const std::uint8_t* data, std::size_t size, const std::string& context);

} // namespace cardformat
