#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace moviemaker {

// One MPEG audio layer III frame found in a byte stream.
struct Mp3Frame {
    std::size_t offset = 0;
    std::size_t length = 0;
    uint32_t sampleRate = 0;
    uint32_t bitRate = 0; // bits a second
    uint16_t samples = 0; // 1152 (MPEG-1) or 576 (MPEG-2 and 2.5)
    bool stereo = false;
};

// Every layer III frame of `data`, in order. Leading tags (ID3v2) and junk between frames
// are skipped: a frame counts only where the next header follows it (or the data ends), so
// a stray sync pattern inside a picture tag does not start a false frame. Frames whose rate
// or channel count differ from the first are dropped, since one stream has one format.
std::vector<Mp3Frame> findMp3Frames(std::span<const uint8_t> data);

// The sound stream of a movie: per movie frame, the SoundStreamBlock body (sample count,
// seek samples, then the whole MP3 frames that belong to it).
struct Mp3StreamBlocks {
    uint32_t sampleRate = 0;
    bool stereo = false;
    uint16_t samplesPerFrame = 0; // for the stream head: the samples a movie frame lasts
    std::vector<std::vector<uint8_t>> blocks;
};

// Splits the frames over `movieFrames` movie frames at `fps`. Movie frame i starts at sample
// floor(i * rate / fps); its block carries the MP3 frames that begin before the next movie
// frame starts, and its seek count says how far into those samples frame i's sound starts
// (negative when the previous block already carried them). A block without MP3 frames is
// empty (the player keeps playing what it has). Frames past the last movie frame are left out.
// `leadingSamples` (the encoder's delay) come before the sound and are skipped by the seeks.
Mp3StreamBlocks splitMp3Stream(std::span<const uint8_t> data, std::span<const Mp3Frame> frames,
                               double fps, uint32_t movieFrames, uint16_t leadingSamples = 0);

} // namespace moviemaker
