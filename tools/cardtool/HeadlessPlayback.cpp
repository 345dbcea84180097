#include "HeadlessPlayback.h"

#include "cardformat/ErrorLog.h"

std::unique_ptr<HeadlessPlayback>
HeadlessPlayback::open(const std::string& path, std::function<void(std::string_view)> trace) {
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
    playback->movie_ = mc::MovieRenderer::fromFile(path, std::move(callbacks));
    if (!playback->movie_) {
        return nullptr;
    }
    const double rate = playback->movie_->movie().header.frameRate();
    // A zero rate plays as players play it, at their slowest usual pace.
    playback->frameMs_ = rate > 0.0 ? 1000.0 / rate : 1000.0 / 12.0;
    playback->endFrame();
    return playback;
}

void HeadlessPlayback::advance() {
    movie_->player().advance();
    endFrame();
}

void HeadlessPlayback::endFrame() {
    // A frame lasts its time: the scripts' timers due while it shows run before the next
    // frame, whose scripts then read the time it starts at.
    *clockMs_ += frameMs_;
    movie_->runTimers();
}
