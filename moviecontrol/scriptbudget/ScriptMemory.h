#pragma once
// Bytes that scripts hold in the whole process: the texts of strings and the pixels of
// bitmaps, counted where they are made and freed. Object and property counts are kept by
// each machine; ScriptBudget adds both up.

#include <cstddef>

namespace scriptbudget {

class ScriptMemory {
  public:
    static void add(std::size_t bytes) noexcept;
    static void remove(std::size_t bytes) noexcept;
    static std::size_t live() noexcept;
    // Every byte ever counted: a machine checks its budget early when a few actions made
    // many megabytes (each copy of a large string is one action).
    static std::size_t made() noexcept;
};

// Counts `bytes` for as long as it lives.
class CountedBytes {
  public:
    CountedBytes() = default;
    explicit CountedBytes(std::size_t bytes) noexcept : bytes_(bytes) { ScriptMemory::add(bytes); }
    ~CountedBytes() { ScriptMemory::remove(bytes_); }
    CountedBytes(const CountedBytes& other) noexcept : CountedBytes(other.bytes_) {}
    CountedBytes& operator=(const CountedBytes& other) noexcept {
        reset(other.bytes_);
        return *this;
    }
    void reset(std::size_t bytes = 0) noexcept {
        ScriptMemory::add(bytes);
        ScriptMemory::remove(bytes_);
        bytes_ = bytes;
    }
    std::size_t bytes() const noexcept { return bytes_; }

  private:
    std::size_t bytes_ = 0;
};

} // namespace scriptbudget
