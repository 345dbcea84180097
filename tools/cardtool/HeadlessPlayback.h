#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "Mixer.h"
#include "MovieRenderer.h"
#include "MovieSound.h"
#include "OfflineMix.h"
#include "ScriptSoundPort.h"

// A movie played without a window on a clock that moves one frame interval per frame, so
// that timers and getTimer() see what they would see in a player running at the movie's rate.
// Its sound is mixed on the same clock without a device, so that scripts see their sounds
// play and end. Script limit hits go to the program's error log.
class HeadlessPlayback {
  public:
    // Null when the file is not a movie that can be played. `keepSound`: every frame's
    // sound is kept for sound().
    static std::unique_ptr<HeadlessPlayback> open(const std::string& path,
                                                  std::function<void(std::string_view)> trace = {},
                                                  bool keepSound = false);
    ~HeadlessPlayback();
    HeadlessPlayback(const HeadlessPlayback&) = delete;
    HeadlessPlayback& operator=(const HeadlessPlayback&) = delete;

    mc::MovieRenderer& movie() { return *movie_; }
    double framesPerSecond() const { return framesPerSecond_; }
    // One frame on: the shown frame's sound is mixed, the timeline advances, the clock moves
    // on, due timers run.
    void advance();
    // Mixes the sound of the frame shown now (the last one, which no advance follows).
    void mixShownFrame() { offline_->mixFrame(); }
    // Interleaved 16-bit stereo at soundRate().
    const std::vector<std::int16_t>& sound() const { return offline_->samples(); }
    std::uint32_t soundRate() const { return mixer_.outputRate(); }

  private:
    HeadlessPlayback() = default;
    void endFrame();
    audio::Mixer mixer_{44100};
    audio::ScriptSoundPort port_;
    std::unique_ptr<mc::MovieRenderer> movie_;
    std::unique_ptr<audio::MovieSound> movieSound_;
    std::unique_ptr<audio::OfflineMix> offline_;
    std::shared_ptr<double> clockMs_ = std::make_shared<double>(0.0);
    double framesPerSecond_ = 12.0;
    double frameMs_ = 1000.0 / 12.0;
};
