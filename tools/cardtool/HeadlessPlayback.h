#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "MovieRenderer.h"

// A movie played without a window on a clock that moves one frame interval per frame, so
// that timers and getTimer() see what they would see in a player running at the movie's rate.
// Script limit hits go to the program's error log.
class HeadlessPlayback {
  public:
    // Null when the file is not a movie that can be played.
    static std::unique_ptr<HeadlessPlayback> open(const std::string& path,
                                                  std::function<void(std::string_view)> trace = {});

    mc::MovieRenderer& movie() { return *movie_; }
    // One frame on: the timeline advances, the clock moves on, due timers run.
    void advance();

  private:
    HeadlessPlayback() = default;
    void endFrame();
    std::unique_ptr<mc::MovieRenderer> movie_;
    std::shared_ptr<double> clockMs_ = std::make_shared<double>(0.0);
    double frameMs_ = 1000.0 / 12.0;
};
