#pragma once

#include "moviemaker/Mp3Stream.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace composer {

// A song as it goes into the movie's sound stream.
struct PreparedMusic {
    std::vector<uint8_t> mp3;
    std::vector<moviemaker::Mp3Frame> frames;
    bool reencoded = false;
    uint16_t encoderDelay = 0; // samples the encoder put before the sound
};

// What the song is, read before it is prepared.
struct SongFacts {
    double seconds = 0;
    bool mp3Passable = false; // MP3 the stream can carry as it is
};

inline constexpr uint32_t kOutputRate = 44100;
inline constexpr int kOutputKbps = 128;

// True for MP3 frames a movie stream carries unchanged: 11,025, 22,050 or 44,100 Hz, at most
// 160 kbit/s.
bool passableMp3(const std::vector<moviemaker::Mp3Frame>& frames);

// Reads the song's length (and whether it is passable MP3). Throws ComposeError naming the
// file when FFmpeg's libraries cannot read it.
SongFacts inspectSong(const std::filesystem::path& file);

// The song from `start` for `seconds`, faded in and out over the given seconds: the file's
// own MP3 frames when `passThrough`, else decoded (anything FFmpeg reads) and encoded to MP3
// at 128 kbit/s. Decoding stops at the end of the part used, so a long song costs no more
// than the part kept. Throws ComposeError naming the file.
PreparedMusic prepareMusic(const std::filesystem::path& file, double start, double seconds,
                           double fadeIn, double fadeOut, bool passThrough);

} // namespace composer
