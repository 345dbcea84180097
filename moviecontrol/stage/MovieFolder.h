#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mc {

// The folder whose files a movie's scripts may read ("beside the movie"), and the one place
// where a path a script gave becomes a file read. A card's movie has none: it was extracted
// into the temporary folder, whose other files belong to other programs. A plain movie
// reads regular files inside its own real folder or below it; a link may point anywhere
// inside, never out, and pipes and devices are refused.
class MovieFolder {
  public:
    // Files larger than this are refused whole: a partial movie or text is no use.
    static constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

    // Nothing lies beside the movie.
    MovieFolder() = default;
    // The real folder of the movie file at `moviePath`; none when it cannot be resolved or
    // is the file system's root (which would hold /proc and /etc).
    static MovieFolder ofMovie(const std::string& moviePath);

    bool empty() const { return real_.empty(); }
    const std::string& realPath() const { return real_; }

    // The bytes of the file a script named (`scriptPath` as the script gave it: relative,
    // "/" or "\" between folders, a query dropped), or nothing when it is not a regular file
    // inside the folder, is unreadable or larger than `maxBytes`.
    std::vector<std::uint8_t> read(std::string_view scriptPath,
                                   std::size_t maxBytes = kMaxFileBytes) const;

  private:
    explicit MovieFolder(std::string real) : real_(std::move(real)) {}
    std::string real_;
};

} // namespace mc
