#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// The fuzz input as a real file: the card procedures read paths, not memory. One file per
// process, rewritten for every input and removed at exit.
class FuzzFile {
  public:
    explicit FuzzFile(const char* suffix) {
        const char* tmp = std::getenv("TMPDIR");
        path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_XXXXXX" + suffix;
        const int fd =
            ::mkstemps(path_.data(), static_cast<int>(std::char_traits<char>::length(suffix)));
        if (fd < 0) {
            std::abort();
        }
        ::close(fd);
    }
    ~FuzzFile() { ::unlink(path_.c_str()); }
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    const std::string& write(const std::uint8_t* data, std::size_t size,
                             std::size_t zeroPrefix = 0) {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        if (f == nullptr) {
            std::abort();
        }
        // Seeking past the end leaves a hole that reads as zeros, without writing them.
        if (zeroPrefix > 0 && std::fseek(f, static_cast<long>(zeroPrefix), SEEK_SET) != 0) {
            std::abort();
        }
        if (size > 0 && std::fwrite(data, 1, size, f) != size) {
            std::abort();
        }
        std::fclose(f);
        return path_;
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};
