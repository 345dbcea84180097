#pragma once

#include "cardformat/MovieControl.h"

#include <string>

namespace builder::testing {

// Remembers what was set, as the movie control promises for the members the builder uses.
class FakeMovieControl : public cardformat::MovieControl {
  public:
    void setMovie(const std::string& path) override {
        path_ = path;
        ++moviesSet;
    }
    std::string Movie() const override { return path_; }
    void Play() override { playing_ = true; }
    bool Playing() const override { return playing_; }
    void setPlaying(bool playing) override { playing_ = playing; }
    bool Loop() const override { return loop_; }
    void setLoop(bool loop) override { loop_ = loop; }
    void Rewind() override {}
    void Back() override {}
    void Forward() override {}
    void setBackgroundColor(std::uint32_t rgb) override { background_ = rgb; }
    std::uint32_t BackgroundColor() const override { return background_; }
    void setVisible(bool visible) override { visible_ = visible; }
    bool Visible() const override { return visible_; }
    void setPlace(const cardformat::TwipRect& place) override { place_ = place; }
    cardformat::TwipRect Place() const override { return place_; }

    int moviesSet = 0;

  private:
    std::string path_;
    bool playing_ = true;
    bool loop_ = true;
    std::uint32_t background_ = 0;
    bool visible_ = true;
    cardformat::TwipRect place_;
};

} // namespace builder::testing
