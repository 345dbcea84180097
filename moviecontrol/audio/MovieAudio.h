#pragma once

#include "MovieSound.h"
#include "SdlOutput.h"
#include "TimelinePlayer.h"

#include <memory>
#include <optional>

namespace audio {

// A playing movie's sound on the process's sound device: holds the device open from creation
// to destruction and hears the movie's timeline once it listens to it.
class MovieAudio {
  public:
    // Frames the timeline may run at once to catch up with its stream.
    static constexpr int kMaxCatchUp = 8;

    // Null for a movie without any sound tag: a silent movie opens no device.
    static std::unique_ptr<MovieAudio> forMovie(const swf::Movie& movie, double framesPerSecond);
    // From now until destruction the timeline's frames start and stop the movie's sounds.
    void listen(mc::TimelinePlayer& player);
    ~MovieAudio();
    MovieAudio(const MovieAudio&) = delete;
    MovieAudio& operator=(const MovieAudio&) = delete;

    void setPaused(bool paused) { sound_->setPaused(paused); }
    void stopAll() { sound_->stopAll(); }
    // The frames due by the stream that leads, when one plays and is heard; nothing when
    // the frame clock decides (no stream, or no device to pull the sound).
    std::optional<int> framesDue() const;

    MovieSound& sound() { return *sound_; }
    Mixer& mixer() { return claim_->mixer(); }

  private:
    MovieAudio(std::unique_ptr<SdlOutput::Claim> claim, const swf::Movie& movie,
               double framesPerSecond);

    std::unique_ptr<SdlOutput::Claim> claim_;
    std::unique_ptr<MovieSound> sound_;
    mc::TimelinePlayer* player_ = nullptr;
};

// Whether the movie holds any sound tag at all, in its definitions or on a timeline.
bool movieHasSound(const swf::Movie& movie);

} // namespace audio
