#pragma once
// The sound tags of a movie, read from their stored bodies. Every reader checks each length
// and count against the bytes the tag holds and returns nothing for a tag it cannot read.

#include "SoundFormat.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace audio {

using Bytes = std::span<const std::uint8_t>;

// Levels from 0 (silent) to 32,768 (full), at a position counted in 44.1 kHz samples from
// the start of the sound.
struct EnvelopePoint {
    std::uint32_t pos44 = 0;
    std::uint16_t left = 32768;
    std::uint16_t right = 32768;
};

// How one start of an event sound plays. In and out points count 44.1 kHz samples.
struct SoundInfo {
    bool syncStop = false;   // stop every instance of the sound instead of starting one
    bool noMultiple = false; // do not start while the sound already plays
    std::optional<std::uint32_t> inPoint;
    std::optional<std::uint32_t> outPoint;
    std::uint16_t loops = 1; // plays this many times; 0 counts as once
    std::vector<EnvelopePoint> envelope;
};

struct SoundDefinition {
    std::uint16_t id = 0;
    SoundFormat format;
    std::uint32_t sampleCount = 0; // per channel, as the tag claims
    Bytes data;                    // for MP3: the seek-samples word, then the frames
};

// StartSound names a sound by id, StartSound2 by the class name it was exported under.
struct StartSoundTag {
    std::uint16_t soundId = 0;
    std::string className;
    SoundInfo info;
};

struct StreamHead {
    SoundFormat playback;
    SoundFormat stream;
    std::uint16_t samplesPerBlock = 0; // average samples per frame, as the tag claims
    std::int16_t latencySeek = 0;      // MP3 only
};

// The body of an MP3 stream block: the samples it carries and those of the first frame
// to skip (the encoder's delay), then whole MP3 frames.
struct Mp3StreamBlock {
    std::uint16_t sampleCount = 0;
    std::int16_t seekSamples = 0;
    Bytes frames;
};

// The four transitions a button can sound: pointer leaves, pointer enters, press, release.
struct ButtonSounds {
    std::uint16_t buttonId = 0;
    std::array<std::optional<StartSoundTag>, 4> transitions;
};
enum ButtonTransition : std::size_t {
    OverUpToIdle = 0,
    IdleToOverUp = 1,
    OverUpToOverDown = 2,
    OverDownToOverUp = 3
};

std::optional<SoundDefinition> readDefineSound(Bytes body);
std::optional<StartSoundTag> readStartSound(Bytes body);
std::optional<StartSoundTag> readStartSound2(Bytes body);
std::optional<StreamHead> readStreamHead(Bytes body);
std::optional<Mp3StreamBlock> readMp3StreamBlock(Bytes body);
std::optional<ButtonSounds> readDefineButtonSound(Bytes body);
// The (id, name) pairs of an ExportAssets tag, as far as they can be read.
std::vector<std::pair<std::uint16_t, std::string>> readExportAssets(Bytes body);

} // namespace audio
