#pragma once
// The sound of one playing movie: hears the timeline's frames, starts and stops the
// movie's event sounds and streams in the mixer, keeps the timeline in step with a playing
// stream and serves the scripts' Sound objects.

#include "Mixer.h"
#include "SoundEvents.h"
#include "SoundLibrary.h"
#include "SoundScriptHost.h"

#include <map>
#include <optional>

namespace audio {

class MovieSound : public mc::SoundEvents, public SoundScriptHost {
  public:
    // The mixer outlives this object; the movie too.
    MovieSound(const swf::Movie& movie, Mixer& mixer, double framesPerSecond);
    // Silences every sound of the movie (the streams read the movie's bytes) and forgets
    // the volumes its scripts set.
    ~MovieSound() override;
    MovieSound(const MovieSound&) = delete;
    MovieSound& operator=(const MovieSound&) = delete;

    // The timeline's side.
    void frameEntered(std::uint64_t clip, std::uint64_t parent, const swf::Timeline& timeline,
                      std::uint32_t frame) override;
    void clipRemoved(std::uint64_t clip) override;
    void tickEnded() override;

    // The player's commands: a rewound or stepped movie stops its sounds; a paused one is
    // silent until it plays on.
    void stopAll();
    void setPaused(bool paused);
    // A button changed state: its sound for that change plays (the input's button code
    // calls this).
    void buttonTransition(std::uint16_t buttonId, ButtonTransition transition);

    // Frames the timeline should run now to stay with the stream that leads (the first
    // stream still playing); nothing when no stream plays and the frame clock decides.
    std::optional<int> framesDue(int maxCatchUp) const;
    bool streaming() const;

    // The scripts' side.
    std::optional<std::uint16_t> exportedSound(std::string_view linkageName) const override;
    std::optional<std::uint16_t> loadedSound(std::vector<std::uint8_t> mp3) override;
    std::optional<std::uint16_t> movieSound(const swf::Movie& movie,
                                            std::string_view linkageName) override;
    VoiceId startSound(std::uint16_t soundId, double secondOffset, int loops,
                       std::uint64_t target) override;
    void stopSounds(std::uint64_t target, std::optional<std::uint16_t> soundId) override;
    void setTransform(std::uint64_t target, const SoundTransform& transform) override;
    SoundTransform transform(std::uint64_t target) const override;
    void setParentGroup(std::uint64_t group, std::uint64_t parent) override;
    std::uint64_t positionMs(VoiceId voice) const override;
    bool voicePlaying(VoiceId voice) const override;
    std::uint64_t durationMs(std::uint16_t soundId) override;
    std::vector<VoiceId> takeCompleted() override;
    void stopVoice(VoiceId voice) override;
    void forgetGroup(std::uint64_t group) override;
    std::vector<float> recentOutput(std::size_t frames) const override;

    SoundLibrary& library() { return library_; }

  private:
    struct Stream {
        std::uint32_t expected = 0; // the frame that continues the stream
        bool entered = false;       // a frame was entered this tick
        bool active = false;
        std::uint32_t firstFrame = 0; // where the stream started
        double samplesPerFrame = 0.0;
    };
    void startFromTag(std::uint16_t code, Bytes body, std::uint64_t group);
    void updateStream(std::uint64_t clip, const swf::Timeline& timeline, std::uint32_t frame);
    const std::optional<StreamHead>& headOf(const swf::Timeline& timeline);
    void chooseLead();

    SoundLibrary library_;
    Mixer& mixer_;
    double framesPerSecond_;
    std::map<const swf::Timeline*, std::optional<StreamHead>> heads_;
    std::map<std::uint64_t, Stream> streams_;
    std::uint64_t lead_ = 0; // the serial of the clip whose stream leads the clock; 0 for none
};

} // namespace audio
