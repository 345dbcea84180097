#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace builder {

// The movies the person loaded last, newest first, each once; the open button offers them.
class RecentMovies {
  public:
    static constexpr std::size_t Limit = 8;

    RecentMovies() = default;
    // As stored: entries past the limit, repeats and empty ones are dropped.
    explicit RecentMovies(const std::vector<std::string>& stored);

    void add(const std::string& path);
    const std::vector<std::string>& paths() const { return paths_; }

  private:
    std::vector<std::string> paths_;
};

} // namespace builder
