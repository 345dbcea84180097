#pragma once
// The pull mixer: sounds are started, stopped and shaped from the movie's thread, and the
// output (a device callback, or the offline renderer) pulls mixed 16-bit stereo frames at
// the output rate. Every public member is safe to call from either thread.

#include "PcmBuffer.h"
#include "SoundTags.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace audio {

// Where a sound's two channels go: left = L * leftToLeft + R * rightToLeft, and so on.
// 1.0 is full level. A Sound object's volume and pan and its setTransform end up here.
struct SoundTransform {
    float leftToLeft = 1.0f;
    float leftToRight = 0.0f;
    float rightToLeft = 0.0f;
    float rightToRight = 1.0f;
    float volume = 1.0f;
};

// Samples that arrive piece by piece, a stream's blocks as its frames come up. Called on the
// output's thread with the mixer locked.
class StreamSource {
  public:
    virtual ~StreamSource() = default;
    // Appends the next piece (interleaved at channels()); false when the stream has ended.
    virtual bool pull(std::vector<std::int16_t>& out) = 0;
    virtual std::uint32_t rate() const = 0;
    virtual unsigned channels() const = 0;
};

using VoiceId = std::uint64_t;

class Mixer {
  public:
    static constexpr std::size_t kMaxEventSounds = 32;
    static constexpr int kMaxGroupNesting = 256;

    explicit Mixer(std::uint32_t outputRate = 44100);
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    std::uint32_t outputRate() const { return outputRate_; }

    // Starts an event sound as `info` says (sync stop and no-multiple included); returns 0
    // when nothing started: stopped by the info, already playing, or 32 sounds play.
    // `group` ties the sound to a Sound object's transform (0: the movie's own).
    VoiceId startEvent(std::uint16_t soundId, std::shared_ptr<const PcmBuffer> pcm,
                       const SoundInfo& info, std::uint64_t group = 0);
    void stopSound(std::uint16_t soundId);
    void stopVoice(VoiceId voice);
    void stopAllEvents();
    // Every event sound started for a Sound object's target.
    void stopGroup(std::uint64_t group);
    bool soundPlaying(std::uint16_t soundId) const;
    std::size_t eventVoices() const;

    // One stream per key (the clip that plays it); a new start replaces the old one.
    void startStream(std::uint64_t key, std::unique_ptr<StreamSource> source,
                     std::uint64_t group = 0);
    void stopStream(std::uint64_t key);
    bool streamPlaying(std::uint64_t key) const;
    // Frames of the stream's own rate played so far (the stream's clock); 0 when none.
    std::uint64_t streamPlayed(std::uint64_t key) const;

    void stopAll();
    // Paused, the output gets silence and every sound keeps its place.
    void setPaused(bool paused);
    bool paused() const;

    // The listener's level, 0..100 (clamped), and mute: a linear gain on the finished mix,
    // after every sound's own transform, so a movie's setVolume still works under it.
    void setMasterVolume(int volume);
    int masterVolume() const;
    void setMuted(bool muted);
    bool muted() const;

    void setTransform(std::uint64_t group, const SoundTransform& transform);
    SoundTransform transform(std::uint64_t group) const;
    // A group's sounds are shaped by its parent group's transform too, up to the movie's
    // own (group 0).
    void setGroupParent(std::uint64_t group, std::uint64_t parent);
    // The group's clip is gone: its transform and parent with it.
    void forgetGroup(std::uint64_t group);
    // Every transform and parent goes (the movie is gone; the next starts at full level).
    void forgetGroups();

    // Milliseconds played of a voice since it started (loops included), and whether it
    // still plays.
    std::uint64_t voicePositionMs(VoiceId voice) const;
    bool voicePlaying(VoiceId voice) const;
    // Voices of event sounds that ended by themselves since the last call.
    std::vector<VoiceId> takeFinished();

    // Mixes `frames` stereo frames into `out` (2 * frames samples), replacing its content.
    void mix(std::int16_t* out, std::size_t frames);

    // The last `frames` stereo frames mixed (at most kRecentFrames), oldest first, as
    // interleaved samples in -1..1 before the listener's level: what a movie's sound
    // display reads. Silence until something was mixed.
    static constexpr std::size_t kRecentFrames = 2048;
    std::vector<float> recentOutput(std::size_t frames) const;

  private:
    struct Voice;
    void mixVoice(Voice& v, float* acc, std::size_t frames);
    static void applyInfo(Voice& v, const SoundInfo& info, std::uint32_t sourceRate);
    // What a voice of `group` plays under; the mixer is locked.
    SoundTransform effectiveTransform(std::uint64_t group) const;

    std::uint32_t outputRate_;
    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<Voice>> voices_;
    std::unordered_map<std::uint64_t, SoundTransform> transforms_;
    std::unordered_map<std::uint64_t, std::uint64_t> parents_;
    std::vector<VoiceId> finished_;
    std::vector<float> scratch_;
    std::vector<float> recent_ = std::vector<float>(2 * kRecentFrames, 0.0f); // a ring
    std::size_t recentNext_ = 0; // the frame the ring writes next
    VoiceId nextId_ = 1;
    bool paused_ = false;
    int masterVolume_ = 100;
    bool muted_ = false;
};

} // namespace audio
