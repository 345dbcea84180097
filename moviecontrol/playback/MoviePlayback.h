#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "FrameClock.h"
#include "MovieCatalog.h"
#include "ScriptRunner.h"
#include "ScriptSoundPort.h"
#include "StageFit.h"
#include "StageInput.h"
#include "StageScripts.h"
#include "TimelinePlayer.h"
#include "swf/Movie.h"

namespace audio {
class Mixer;
class MovieAudio;
class MovieSound;
class OfflineMix;
} // namespace audio

namespace mc {

// How the movie's time passes.
enum class Pace {
    // The caller moves the timeline itself (tests, benchmarks, the fuzzer): no sound is
    // made, and the scripts' clock stands at zero unless the callbacks bring one.
    Manual,
    // A window's: frames are due by the wall clock (or by the stream the sound device
    // plays), and the sound goes to the device.
    RealTime,
    // A tool's: each step is one frame interval, and the sound is mixed on that clock
    // without a device, so that scripts see their sounds play and end.
    FrameSteps,
};

class MoviePlayback;

struct PlaybackSetup {
    // What the scripts reach outside the movie. Played in real time or in frame steps, the
    // core gives them its clock and its sound, and limit hits go to the program's error log,
    // unless the callbacks bring their own.
    StageCallbacks callbacks;
    Pace pace = Pace::Manual;
    // FrameSteps only: every frame's sound is kept for sound(), not only the last frame's.
    bool keepSound = false;
    // Called with the core being made, once its movie is parsed and before its first frame
    // is built and its first scripts run: whoever paints the movie makes its resources here,
    // so that those scripts can draw with them.
    std::function<void(MoviePlayback&)> prepared;
};

// A movie loaded and playing, whatever shows it: the parsed movie, its timeline, the script
// runner, the input, the sound and the clock, made in the order each needs the ones before.
// Every program and tool plays movies through this; painting is left to whoever shows it.
class MoviePlayback {
  public:
    // Null when the bytes are not a movie that can be played.
    static std::unique_ptr<MoviePlayback> fromBytes(std::span<const std::uint8_t> bytes,
                                                    PlaybackSetup setup = {});
    // Reads at most kMaxFileBytes of the file. Scripts may load files beside it.
    static std::unique_ptr<MoviePlayback> fromFile(const std::string& path,
                                                   PlaybackSetup setup = {});
    static constexpr std::int64_t kMaxFileBytes = 256LL << 20;
    // What loadMovie and loadVariables read of a file beside the movie.
    static constexpr std::int64_t kMaxBesideBytes = 64LL << 20;

    ~MoviePlayback();
    MoviePlayback(const MoviePlayback&) = delete;
    MoviePlayback& operator=(const MoviePlayback&) = delete;

    const swf::Movie& movie() const { return *movie_; }
    TimelinePlayer& player() { return *player_; }
    const TimelinePlayer& player() const { return *player_; }
    // Where the mouse and keyboard reach the movie; positions in stage twips.
    StageInput& input() { return *input_; }
    // What runs the movie's scripts; one that runs nothing when it carries none.
    ScriptRunner& runner() { return *runner_; }
    // The ActionScript 1/2 runner; null when the movie carries no such script.
    StageScripts* scripts() { return scripts_; }
    TwipsRect stage() const;
    std::uint16_t frameRate8_8() const { return movie_->header.frameRateRaw; }
    const FrameClock& frameClock() const { return clock_; }

    // RealTime: the clock starts again from `elapsedMs` 0 (after a start, a pause...).
    void restartClock() { clock_.start(0); }
    // RealTime: the frames due `elapsedMs` after the last restart are played, then the
    // scripts' timers. Returns how many frames were played.
    int tick(std::int64_t elapsedMs);
    // FrameSteps: the shown frame's sound is mixed, the timeline advances one frame, the
    // clock moves on a frame interval, due timers run.
    void stepFrame();
    // FrameSteps: mixes the sound of the frame shown now (the last, which no step follows).
    void mixShownFrame();
    // FrameSteps: interleaved 16-bit stereo at soundRate().
    const std::vector<std::int16_t>& sound() const;
    std::uint32_t soundRate() const;
    // The rate the sound is mixed at (a zero rate plays at the slowest pace players use).
    double framesPerSecond() const { return clock_.framesPerSecond(); }
    // The scripts' timers due on their clock, and what they queued.
    void runTimers();

    // The player's commands on the sound: a paused movie pauses it, a rewound or stepped
    // one stops it.
    void pauseSound(bool paused);
    void stopSound();
    // RealTime: the sound device's side while a movie with sound plays; null otherwise.
    audio::MovieAudio* deviceAudio() const { return device_.get(); }

  private:
    MoviePlayback(std::unique_ptr<swf::Movie> movie, PlaybackSetup setup);
    void makeSound(const PlaybackSetup& setup);
    // FrameSteps: a frame lasts its time; the timers due while it shows run before the
    // next frame, whose scripts then read the time it starts at.
    void endFrameStep();

    // What the scripts' Sound objects ask of the sound; it outlives the scripts.
    audio::ScriptSoundPort port_;
    std::unique_ptr<swf::Movie> movie_;
    MovieCatalog catalog_;
    Pace pace_;
    FrameClock clock_;
    // Play time the scripts see through getTimer() and their timers.
    double scriptClockMs_ = 0.0;
    double frameStepMs_ = 1000.0 / 12.0;
    // The sound: on the device, or mixed offline by the frame clock.
    std::unique_ptr<audio::Mixer> mixer_;
    std::unique_ptr<audio::MovieSound> offlineSound_;
    std::unique_ptr<audio::OfflineMix> offline_;
    std::unique_ptr<audio::MovieAudio> device_;
    audio::MovieSound* sound_ = nullptr;
    std::unique_ptr<ScriptRunner> runner_;
    StageScripts* scripts_ = nullptr;
    std::unique_ptr<TimelinePlayer> player_;
    std::unique_ptr<StageInput> input_;
};

} // namespace mc
