#include "HeadlessPlayback.h"

#include "FrameClock.h"
#include "cardformat/ErrorLog.h"

std::unique_ptr<HeadlessPlayback>
HeadlessPlayback::open(const std::string& path, std::function<void(std::string_view)> trace,
                       bool keepSound) {
    std::unique_ptr<HeadlessPlayback> playback(new HeadlessPlayback());
    mc::StageCallbacks callbacks;
    callbacks.trace = std::move(trace);
    const std::shared_ptr<double> clock = playback->clockMs_;
    callbacks.clockMs = [clock] { return *clock; };
    callbacks.logLimit = [](std::string_view message) {
        cardformat::ErrorLog::record(
            "MovieScript",
            cardformat::Failure{cardformat::failure_code::Overflow, std::string(message)});
    };
    callbacks.sound = &playback->port_;
    // The sound is made before the first frame is built, so that its scripts find it; it
    // is mixed on the clock the player keeps (a zero rate plays at its slowest pace).
    HeadlessPlayback* p = playback.get();
    const auto prepareSound = [p, keepSound](const swf::Movie& movie) {
        mc::FrameClock frameClock;
        frameClock.setRate(movie.header.frameRateRaw);
        p->framesPerSecond_ = frameClock.framesPerSecond();
        p->movieSound_ = std::make_unique<audio::MovieSound>(movie, p->mixer_, p->framesPerSecond_);
        p->offline_ =
            std::make_unique<audio::OfflineMix>(p->mixer_, p->framesPerSecond_, keepSound);
        p->port_.bind(p->movieSound_.get());
    };
    playback->movie_ = mc::MovieRenderer::fromFile(path, std::move(callbacks), prepareSound);
    if (!playback->movie_) {
        return nullptr;
    }
    const double rate = playback->movie_->movie().header.frameRate();
    // Scripts' clock: a zero rate plays as players play it, at their slowest usual pace.
    playback->frameMs_ = rate > 0.0 ? 1000.0 / rate : 1000.0 / 12.0;
    playback->movie_->player().setSoundEvents(playback->movieSound_.get());
    playback->endFrame();
    return playback;
}

HeadlessPlayback::~HeadlessPlayback() {
    if (movie_) {
        movie_->player().setSoundEvents(nullptr);
    }
    port_.bind(nullptr);
}

void HeadlessPlayback::advance() {
    offline_->mixFrame();
    movie_->player().advance();
    endFrame();
}

void HeadlessPlayback::endFrame() {
    // A frame lasts its time: the scripts' timers due while it shows run before the next
    // frame, whose scripts then read the time it starts at.
    *clockMs_ += frameMs_;
    movie_->runTimers();
}
