#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace swf {
class Movie;
}

namespace mc {

struct DisplayObject;

// How a clip's sounds reach the two speakers, in the percents scripts read and write:
// `ll` is the share of the left channel that goes left, `lr` of the left that goes right,
// and so on; `volume` scales all four.
struct SoundMix {
    double volume = 100.0;
    double ll = 100.0;
    double lr = 0.0;
    double rr = 100.0;
    double rl = 0.0;
    bool operator==(const SoundMix&) const = default;
};

// What the script Sound objects ask of the sound layer. A Sound object is known by a number
// that stays the same while it lives; it acts on a target clip, or on the whole movie when
// the target is null. A clip's mix shapes the sounds it and its children play. Without a
// sound layer the stage reads every mix as the default and nothing plays.
class SoundPort {
  public:
    virtual ~SoundPort() = default;

    // attachSound: the exported sound `symbol` becomes the one this Sound object plays.
    // False (and nothing attached) when the movie exports no sound by that name.
    virtual bool attachSound(std::uint64_t soundObject, std::string_view symbol) = 0;
    // The same for a sound that `movie`, loaded into the player since, exports: an older movie
    // inside an ActionScript 3 movie plays its own library's sounds. False when it cannot.
    virtual bool attachMovieSound(std::uint64_t soundObject, const swf::Movie& movie,
                                  std::string_view symbol) {
        (void)soundObject, (void)movie, (void)symbol;
        return false;
    }
    // loadSound: the MP3 file's bytes become the object's sound. False (and nothing
    // attached) when they hold no MP3 sound or no sound layer plays.
    virtual bool loadSound(std::uint64_t soundObject, std::vector<std::uint8_t> mp3) = 0;
    // The sound `from` has becomes this object's too (an ActionScript 3 channel playing its
    // Sound). False when `from` has none.
    virtual bool attachSameSound(std::uint64_t soundObject, std::uint64_t from) = 0;
    // start(offset, loops): plays the attached sound under the target's mix.
    virtual void start(std::uint64_t soundObject, const DisplayObject* target, double offsetSeconds,
                       int loops) = 0;
    // stop(): every sound the target plays (null target: every sound of the movie);
    // stop(symbol): only that exported sound.
    virtual void stop(const DisplayObject* target, std::string_view symbol) = 0;
    virtual void setMix(const DisplayObject* target, const SoundMix& mix) = 0;
    virtual SoundMix mix(const DisplayObject* target) const = 0;
    // Milliseconds; nothing when no sound is attached.
    virtual std::optional<double> durationMs(std::uint64_t soundObject) = 0;
    virtual std::optional<double> positionMs(std::uint64_t soundObject) const = 0;
    // A started sound of the object is still to be heard.
    virtual bool playing(std::uint64_t soundObject) const = 0;
    // Sound objects whose started sound played to its end since the last call.
    virtual std::vector<std::uint64_t> takeCompleted() = 0;
    virtual void stopAll() = 0;
    // The last frames mixed (interleaved stereo, -1..1): what SoundMixer reads for scripts.
    virtual std::vector<float> recentOutput(std::size_t frames) const {
        (void)frames;
        return {};
    }

    // ActionScript 3 channels: the object's sound starts as a voice of its own under a mix
    // of its own (below the movie's), which the object can change and stop alone.
    virtual void startOwn(std::uint64_t soundObject, double offsetSeconds, int loops,
                          const SoundMix& mix) = 0;
    virtual void setOwnMix(std::uint64_t soundObject, const SoundMix& mix) = 0;
    virtual void stopOwn(std::uint64_t soundObject) = 0;
};

} // namespace mc
