#pragma once
// What flash.media asks of the player's sound layer. Sounds and channels are known by
// numbers that stay the same while they live. A host without a sound layer offers none of
// this: sounds then play silently, their channels at position 0, as before any sound plays.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace avm2 {

class Host;
class Machine;
struct Class;

class SoundHost {
  public:
    virtual ~SoundHost() = default;
    // The library sound a class bound by SymbolClass names ("pkg.Name") becomes the sound's.
    // False when the movie binds no sound to that class.
    virtual bool attachClassSound(std::uint64_t sound, std::string_view className) = 0;
    // An MP3 file's bytes (Sound.load, loadCompressedDataFromByteArray) become the sound's.
    // False when they hold no MP3 sound.
    virtual bool attachLoadedSound(std::uint64_t sound, std::vector<std::uint8_t> mp3) = 0;
    // The sound plays from `startMs`, `loops` times, as a voice of its own: the channel.
    // False when nothing plays.
    virtual bool playChannel(std::uint64_t sound, std::uint64_t channel, double startMs, int loops,
                             double volume, double pan) = 0;
    virtual void stopChannel(std::uint64_t channel) = 0;
    virtual void setChannelTransform(std::uint64_t channel, double volume, double pan) = 0;
    // Milliseconds; nothing when no sound is attached.
    virtual std::optional<double> channelPositionMs(std::uint64_t channel) = 0;
    virtual std::optional<double> soundLengthMs(std::uint64_t sound) = 0;
    // Channels that played to their end since the last call.
    virtual std::vector<std::uint64_t> finishedChannels() = 0;
    virtual void stopAllSounds() = 0;
    // SoundMixer.soundTransform: shapes every sound of the movie.
    virtual void setMixerTransform(double volume, double pan) = 0;
    // Sprite.soundTransform: shapes the sounds of the display object's timeline and of
    // everything inside it.
    virtual void setDisplayTransform(std::uint64_t node, double volume, double pan) {
        (void)node, (void)volume, (void)pan;
    }
    // The last frames mixed, interleaved stereo in -1..1, oldest first; none without a sound
    // layer.
    virtual std::vector<float> recentOutput(std::size_t frames) {
        (void)frames;
        return {};
    }
};

// Sprite.soundTransform, defined on the class before its subclasses copy its traits: kept
// and handed out as a copy as a channel's is, it shapes the sounds the sprite's timeline plays.
void defineSpriteSoundTransform(Machine& m, Class* sprite);

// The host's sound layer, or null when it offers none.
SoundHost* soundHost(Host& host);

// Channels that finished send soundComplete, once each; called by the player every frame.
void sendSoundCompletions(Machine& m);

} // namespace avm2
