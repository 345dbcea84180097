#pragma once
// The scripts' Sound objects on the sound layer: what the stage asks in script terms
// (Sound object numbers, target clips, percents) turned into voices and group transforms of
// the movie's sound. The mixes scripts set are kept here, so that they read back the same
// whether the movie has sound or not.

#include "SoundPort.h"
#include "SoundScriptHost.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace audio {

class ScriptSoundPort final : public mc::SoundPort {
  public:
    // Sound objects and clip mixes remembered at most; past that the oldest are forgotten,
    // so that a script making Sound objects every frame cannot grow memory without bound.
    static constexpr std::size_t kMaxRemembered = 4096;

    // The movie's sound, before its first frame is built; the mixes set so far reach it.
    // Null unbinds (the sound layer is going away); unbound, nothing plays.
    void bind(SoundScriptHost* host);

    bool attachSound(std::uint64_t soundObject, std::string_view symbol) override;
    bool loadSound(std::uint64_t soundObject, std::vector<std::uint8_t> mp3) override;
    bool attachMovieSound(std::uint64_t soundObject, const swf::Movie& movie,
                          std::string_view symbol) override;
    bool attachSameSound(std::uint64_t soundObject, std::uint64_t from) override;
    void start(std::uint64_t soundObject, const mc::DisplayObject* target, double offsetSeconds,
               int loops) override;
    void stop(const mc::DisplayObject* target, std::string_view symbol) override;
    void setMix(const mc::DisplayObject* target, const mc::SoundMix& mix) override;
    mc::SoundMix mix(const mc::DisplayObject* target) const override;
    std::optional<double> durationMs(std::uint64_t soundObject) override;
    std::optional<double> positionMs(std::uint64_t soundObject) const override;
    bool playing(std::uint64_t soundObject) const override;
    std::vector<std::uint64_t> takeCompleted() override;
    void stopAll() override;
    std::vector<float> recentOutput(std::size_t frames) const override;
    void startOwn(std::uint64_t soundObject, double offsetSeconds, int loops,
                  const mc::SoundMix& mix) override;
    void setOwnMix(std::uint64_t soundObject, const mc::SoundMix& mix) override;
    void stopOwn(std::uint64_t soundObject) override;

  private:
    struct Attached {
        std::uint16_t soundId = 0;
        VoiceId voice = 0;
        std::uint64_t order = 0;
    };
    struct ClipMix {
        mc::SoundMix mix;
        std::uint64_t order = 0;
    };
    void registerParents(const mc::DisplayObject* target);
    template <class Map> void keepWithinBound(Map& map);

    SoundScriptHost* host_ = nullptr;
    std::map<std::uint64_t, Attached> attached_;
    std::map<std::uint64_t, ClipMix> mixes_; // by the clip's serial, its sounds' group
    mc::SoundMix globalMix_;
    std::uint64_t order_ = 0;
};

// The mixer's transform for a script mix, and the group a target's sounds play in.
SoundTransform transformOf(const mc::SoundMix& mix);
std::uint64_t groupOf(const mc::DisplayObject* target);

} // namespace audio
