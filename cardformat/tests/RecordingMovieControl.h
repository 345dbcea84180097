#pragma once

#include "cardformat/MovieControl.h"

#include <algorithm>
#include <string>
#include <vector>

namespace cardformat::testing {

// A movie control for tests and fuzz targets of the window logic: it keeps what it was told,
// as the real control promises, and records every call that changes something, in order.
class RecordingMovieControl : public MovieControl {
  public:
    void setMovie(const std::string& path) override {
        movie = path;
        playing = true;
        calls.push_back("Movie=" + path);
    }
    std::string Movie() const override { return movie; }
    void Play() override {
        playing = true;
        calls.push_back("Play");
    }
    bool Playing() const override { return playing; }
    void setPlaying(bool value) override {
        playing = value;
        calls.push_back(value ? "Playing=true" : "Playing=false");
    }
    bool Loop() const override { return loop; }
    void setLoop(bool value) override {
        loop = value;
        calls.push_back(value ? "Loop=true" : "Loop=false");
    }
    void Rewind() override { calls.push_back("Rewind"); }
    void Back() override { calls.push_back("Back"); }
    void Forward() override { calls.push_back("Forward"); }
    void setBackgroundColor(std::uint32_t rgb) override {
        background = rgb;
        calls.push_back("BackgroundColor");
    }
    std::uint32_t BackgroundColor() const override { return background; }
    void setVisible(bool value) override {
        visible = value;
        calls.push_back(value ? "Visible=true" : "Visible=false");
    }
    bool Visible() const override { return visible; }
    void setPlace(const TwipRect& value) override { place = value; }
    TwipRect Place() const override { return place; }
    void setVolume(int value) override {
        level = std::clamp(value, 0, 100);
        calls.push_back("Volume=" + std::to_string(level));
    }
    int volume() const override { return level; }
    void setMuted(bool value) override {
        mute = value;
        calls.push_back(value ? "Muted=true" : "Muted=false");
    }
    bool muted() const override { return mute; }

    // How many times a movie was set.
    long moviesSet() const {
        return std::count_if(calls.begin(), calls.end(),
                             [](const std::string& c) { return c.rfind("Movie=", 0) == 0; });
    }

    std::string movie;
    bool playing = true;
    bool loop = true;
    std::uint32_t background = 0xFFFFFF;
    bool visible = false;
    TwipRect place{};
    int level = 100;
    bool mute = false;
    std::vector<std::string> calls;
};

} // namespace cardformat::testing
