#pragma once
// The sound layer as an older movie inside an ActionScript 3 movie reaches it: the player's
// one sound port, except that attachSound finds the sounds the older movie's own library
// exports. Its Sound objects are numbered apart from every other machine's on the same
// port. Its completions stay with the port's first owner, so such a movie's Sound objects
// hear no onSoundComplete.

#include <cstdint>
#include <utility>

#include "SoundPort.h"
#include "swf/Movie.h"

namespace mc {

class HostedSoundPort final : public SoundPort {
  public:
    // `movieNumber` sets this movie's Sound objects apart: each hosted movie has its own.
    HostedSoundPort(SoundPort& port, const swf::Movie& movie, std::uint32_t movieNumber)
        : port_(port), movie_(movie),
          base_((static_cast<std::uint64_t>(movieNumber) + 1) << kObjectBits) {}

    bool attachSound(std::uint64_t soundObject, std::string_view symbol) override {
        return port_.attachMovieSound(own(soundObject), movie_, symbol);
    }
    bool loadSound(std::uint64_t soundObject, std::vector<std::uint8_t> mp3) override {
        return port_.loadSound(own(soundObject), std::move(mp3));
    }
    bool attachSameSound(std::uint64_t soundObject, std::uint64_t from) override {
        return port_.attachSameSound(own(soundObject), own(from));
    }
    void start(std::uint64_t soundObject, const DisplayObject* target, double offsetSeconds,
               int loops) override {
        port_.start(own(soundObject), target, offsetSeconds, loops);
    }
    void stop(const DisplayObject* target, std::string_view symbol) override {
        port_.stop(target, symbol);
    }
    void setMix(const DisplayObject* target, const SoundMix& mix) override {
        port_.setMix(target, mix);
    }
    SoundMix mix(const DisplayObject* target) const override { return port_.mix(target); }
    std::optional<double> durationMs(std::uint64_t soundObject) override {
        return port_.durationMs(own(soundObject));
    }
    std::optional<double> positionMs(std::uint64_t soundObject) const override {
        return port_.positionMs(own(soundObject));
    }
    bool playing(std::uint64_t soundObject) const override {
        return port_.playing(own(soundObject));
    }
    std::vector<std::uint64_t> takeCompleted() override { return {}; }
    void stopAll() override { port_.stopAll(); }
    std::vector<float> recentOutput(std::size_t frames) const override {
        return port_.recentOutput(frames);
    }
    void startOwn(std::uint64_t soundObject, double offsetSeconds, int loops,
                  const SoundMix& mix) override {
        port_.startOwn(own(soundObject), offsetSeconds, loops, mix);
    }
    void setOwnMix(std::uint64_t soundObject, const SoundMix& mix) override {
        port_.setOwnMix(own(soundObject), mix);
    }
    void stopOwn(std::uint64_t soundObject) override { port_.stopOwn(own(soundObject)); }

  private:
    // Sound objects a machine makes stay below this many; the movie's number goes above.
    static constexpr int kObjectBits = 40;
    std::uint64_t own(std::uint64_t soundObject) const {
        return base_ | (soundObject & ((std::uint64_t{1} << kObjectBits) - 1));
    }
    SoundPort& port_;
    const swf::Movie& movie_;
    std::uint64_t base_;
};

} // namespace mc
