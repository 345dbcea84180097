#pragma once
// What a script's Sound object asks of the sound layer. A Sound object belongs to a target
// clip (0: the whole movie); its transform shapes every sound it starts, and the movie's
// own transform (target 0) shapes all sounds.

#include "Mixer.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace swf {
class Movie;
}

namespace audio {

class SoundScriptHost {
  public:
    virtual ~SoundScriptHost() = default;

    // attachSound: the sound exported under a linkage name.
    virtual std::optional<std::uint16_t> exportedSound(std::string_view linkageName) const = 0;
    // loadSound: an MP3 file read beside the movie, as a sound of its own.
    virtual std::optional<std::uint16_t> loadedSound(std::vector<std::uint8_t> mp3) = 0;
    // attachSound in another movie loaded into the player: the sound it exports under the
    // name, as a sound of this library's.
    virtual std::optional<std::uint16_t> movieSound(const swf::Movie& movie,
                                                    std::string_view linkageName) {
        (void)movie, (void)linkageName;
        return std::nullopt;
    }
    // start(secondOffset, loops); 0 when nothing started.
    virtual VoiceId startSound(std::uint16_t soundId, double secondOffset, int loops,
                               std::uint64_t target) = 0;
    // stop() (every sound of the target; target 0: every sound) or stop(linkageName).
    virtual void stopSounds(std::uint64_t target, std::optional<std::uint16_t> soundId) = 0;
    // setVolume, setPan and setTransform change the target's transform; the getters read it.
    virtual void setTransform(std::uint64_t target, const SoundTransform& transform) = 0;
    virtual SoundTransform transform(std::uint64_t target) const = 0;
    // The group a clip's sounds play in is shaped by its parent's too (nested clips).
    virtual void setParentGroup(std::uint64_t group, std::uint64_t parent) = 0;
    // position and duration, in milliseconds.
    virtual std::uint64_t positionMs(VoiceId voice) const = 0;
    virtual bool voicePlaying(VoiceId voice) const = 0;
    virtual std::uint64_t durationMs(std::uint16_t soundId) = 0;
    // One voice alone stops (an ActionScript 3 channel); a group no voice uses any more goes.
    virtual void stopVoice(VoiceId voice) = 0;
    virtual void forgetGroup(std::uint64_t group) = 0;
    // The last frames the movie's sound mixed (interleaved stereo, -1..1); none without a
    // mixer.
    virtual std::vector<float> recentOutput(std::size_t frames) const {
        (void)frames;
        return {};
    }
    // Sounds that played to their end since the last call: their onSoundComplete is due.
    virtual std::vector<VoiceId> takeCompleted() = 0;
};

} // namespace audio
