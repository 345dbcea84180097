#include "MoviePlayback.h"

#include "As3Scripts.h"
#include "Mixer.h"
#include "MovieAudio.h"
#include "MovieFile.h"
#include "MovieFolder.h"
#include "MovieSound.h"
#include "NoScripts.h"
#include "OfflineMix.h"
#include "ScriptedContent.h"
#include "UrlPolicy.h"
#include "cardformat/ErrorLog.h"

#include <filesystem>

namespace mc {

namespace {

void recordLimitHit(std::string_view message) {
    cardformat::ErrorLog::record(
        "MovieScript",
        cardformat::Failure{cardformat::failure_code::Overflow, std::string(message)});
}

const std::vector<std::int16_t> kNoSamples;

} // namespace

std::unique_ptr<MoviePlayback> MoviePlayback::fromBytes(std::span<const std::uint8_t> bytes,
                                                        PlaybackSetup setup) {
    swf::LoadResult loaded = swf::loadMovie(bytes, {}, swf::LoadMode::DefinitionsOnFirstUse);
    if (!loaded.ok() || !loaded.movie) {
        return nullptr;
    }
    return std::unique_ptr<MoviePlayback>(
        new MoviePlayback(std::move(loaded.movie), std::move(setup)));
}

std::unique_ptr<MoviePlayback> MoviePlayback::fromFile(const std::string& path,
                                                       PlaybackSetup setup) {
    const std::vector<std::uint8_t> bytes = readRegularFile(path, kMaxFileBytes);
    if (bytes.empty()) {
        return nullptr;
    }
    StageCallbacks& callbacks = setup.callbacks;
    if (callbacks.movieUrl.empty()) {
        // The file's name without its folders: a movie learns nothing of the disk around it.
        callbacks.movieUrl = fileUrlOfName(std::filesystem::path(path).filename().string());
    }
    if (!callbacks.readBeside) {
        // Regular files inside the movie's real folder only.
        callbacks.readBeside = [folder = MovieFolder::ofMovie(path)](const std::string& relative) {
            return folder.read(relative, static_cast<std::size_t>(kMaxBesideBytes));
        };
    }
    return fromBytes(bytes, std::move(setup));
}

MoviePlayback::MoviePlayback(std::unique_ptr<swf::Movie> movie, PlaybackSetup setup)
    : movie_(std::move(movie)), catalog_(*movie_), pace_(setup.pace) {
    clock_.setRate(movie_->header.frameRateRaw);
    const double rate = movie_->header.frameRate();
    // The scripts' clock: a zero rate plays as players play it, at their slowest usual pace.
    frameStepMs_ = rate > 0.0 ? 1000.0 / rate : 1000.0 / 12.0;
    if (setup.prepared) {
        setup.prepared(*this);
    }
    // The sound is made before the first frame, so that its scripts' Sound objects play.
    makeSound(setup);

    StageCallbacks& callbacks = setup.callbacks;
    if (pace_ != Pace::Manual) {
        if (callbacks.sound == nullptr) {
            callbacks.sound = &port_;
        }
        if (!callbacks.clockMs) {
            callbacks.clockMs = [this] { return scriptClockMs_; };
        }
        if (!callbacks.logLimit) {
            callbacks.logLimit = recordLimitHit;
        }
    }
    As3Scripts* as3 = nullptr;
    if (carriesActionScript1(*movie_)) {
        auto scripts = std::make_unique<StageScripts>(*movie_, std::move(callbacks));
        scripts_ = scripts.get();
        runner_ = std::move(scripts);
    } else if (movie_->actionScript3 && movie_->header.version >= 9) {
        auto scripts = std::make_unique<As3Scripts>(*movie_, std::move(callbacks));
        as3 = scripts.get();
        runner_ = std::move(scripts);
    } else {
        runner_ = std::make_unique<NoScripts>();
    }
    player_ = std::make_unique<TimelinePlayer>(catalog_, movie_->root, Rgba{255, 255, 255, 255},
                                               TimelineLimits{}, runner_.get(), movie_.get());
    input_ = std::make_unique<StageInput>(*movie_, *player_, scripts_);
    if (as3 != nullptr) {
        input_->scriptPointer = [as3](PointerAction action, double x, double y) {
            as3->pointer(action, x, y);
        };
        input_->scriptKey = [as3](const KeyStroke& key, bool down, KeyModifiers held) {
            as3->key(key, down, held);
        };
        input_->scriptWheel = [as3](int delta, double x, double y) { as3->wheel(delta, x, y); };
        input_->scriptText = [as3](std::string_view utf8) { as3->typeText(utf8); };
        input_->scriptEdit = [as3](StageInput::TextCommand command, CaretMove move, bool extend) {
            as3->editText(command, move, extend);
        };
        input_->scriptFocusHighlight = [as3]() { return as3->focusHighlight(); };
        input_->scriptPages = &as3->olderMoviePages();
        input_->eachHosted = [as3](const std::function<void(StageInput&)>& each) {
            as3->eachHostedInput(each);
        };
        input_->hostedElsewhere = [as3](const DisplayObject& o) { return as3->hostsObject(o); };
    }
    if (device_) {
        device_->listen(*player_);
    } else if (offlineSound_) {
        player_->setSoundEvents(offlineSound_.get());
    }
    input_->buttonSound = [this](std::uint16_t button, std::size_t transition) {
        if (sound_ != nullptr) {
            sound_->buttonTransition(button, static_cast<audio::ButtonTransition>(transition));
        }
    };
    if (pace_ == Pace::FrameSteps) {
        endFrameStep();
    }
}

void MoviePlayback::makeSound(const PlaybackSetup& setup) {
    if (pace_ == Pace::Manual) {
        return;
    }
    if (pace_ == Pace::RealTime) {
        // A silent movie opens no device.
        device_ = audio::MovieAudio::forMovie(*movie_, clock_.framesPerSecond());
        sound_ = device_ ? &device_->sound() : nullptr;
    } else {
        mixer_ = std::make_unique<audio::Mixer>(44100);
        offlineSound_ =
            std::make_unique<audio::MovieSound>(*movie_, *mixer_, clock_.framesPerSecond());
        offline_ =
            std::make_unique<audio::OfflineMix>(*mixer_, clock_.framesPerSecond(), setup.keepSound);
        sound_ = offlineSound_.get();
    }
    if (sound_ != nullptr) {
        port_.bind(sound_);
    }
}

MoviePlayback::~MoviePlayback() {
    // The sound reads the movie's bytes as it plays: it stops before they go, and before
    // the timeline that drives it.
    port_.bind(nullptr);
    if (player_) {
        player_->setSoundEvents(nullptr);
    }
    device_.reset();
    offline_.reset();
    offlineSound_.reset();
    mixer_.reset();
    // The timeline goes before the runner it calls.
    input_.reset();
    player_.reset();
    runner_.reset();
}

TwipsRect MoviePlayback::stage() const {
    const swf::Rect& r = movie_->header.frameRect;
    return TwipsRect{r.xMin, r.yMin, r.xMax, r.yMax};
}

int MoviePlayback::tick(std::int64_t elapsedMs) {
    scriptClockMs_ = std::max(scriptClockMs_, static_cast<double>(elapsedMs));
    // A playing stream leads: the frames its sound has reached are due, none before. The
    // frame clock takes over from now when no stream plays.
    int due = 0;
    if (const std::optional<int> streamDue = device_ ? device_->framesDue() : std::nullopt) {
        due = *streamDue;
        clock_.start(elapsedMs);
    } else {
        due = clock_.advance(elapsedMs);
    }
    for (int i = 0; i < due; ++i) {
        if (input_) {
            input_->pointerRests();
        }
        player_->advance();
    }
    // The scripts' timers run on the same clock, between frames.
    runTimers();
    return due;
}

void MoviePlayback::stepFrame() {
    mixShownFrame();
    if (input_) {
        input_->pointerRests();
    }
    player_->advance();
    endFrameStep();
}

void MoviePlayback::mixShownFrame() {
    if (offline_) {
        offline_->mixFrame();
    }
}

const std::vector<std::int16_t>& MoviePlayback::sound() const {
    return offline_ ? offline_->samples() : kNoSamples;
}

std::uint32_t MoviePlayback::soundRate() const {
    return mixer_ ? mixer_->outputRate() : 44100;
}

void MoviePlayback::endFrameStep() {
    scriptClockMs_ += frameStepMs_;
    runTimers();
}

void MoviePlayback::runTimers() {
    if (scripts_ != nullptr) {
        scripts_->runTimers();
    }
}

void MoviePlayback::pauseSound(bool paused) {
    if (sound_ != nullptr) {
        sound_->setPaused(paused);
    }
}

void MoviePlayback::stopSound() {
    if (sound_ != nullptr) {
        sound_->stopAll();
    }
}

} // namespace mc
