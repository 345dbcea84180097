#pragma once

#include "FileIO.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace cardformat {

// How a movie file stores its body: uncompressed ("FWS"), zlib ("CWS") or LZMA ("ZWS").
enum class MovieStorage { NotAMovie, Uncompressed, Zlib, Lzma };

MovieStorage storageOf(std::span<const std::uint8_t> file);

// The most a compressed movie may inflate to: its declared length may claim anything.
inline constexpr std::uint64_t InflatedMovieLimit = std::uint64_t{256} << 20;

// A compressed movie as the uncompressed movie it stands for: "FWS", its version and declared
// length, then the body inflated, followed by whatever the compressed stream holds behind the
// declared length (a note). Nothing when the body does not inflate to its declared length, the
// length is above the limit or the file is not a compressed movie.
std::optional<Bytes> inflatedMovie(std::span<const std::uint8_t> file,
                                   std::uint64_t limit = InflatedMovieLimit);

// The first `count` bytes of the movie as a player reads it: an uncompressed movie's own bytes,
// a compressed one's as far as its body inflates. Empty for a file that is no movie.
Bytes moviePrefix(std::span<const std::uint8_t> file, std::uint64_t count);

// The colour a movie's stage shows before anything is drawn, 0xRRGGBB: the colour of the
// background-colour tag among the first frame's tags, white when there is none (or it lies
// beyond the bytes given). `movie` holds the uncompressed movie from its first byte.
std::uint32_t firstFrameBackground(std::span<const std::uint8_t> movie);

} // namespace cardformat
