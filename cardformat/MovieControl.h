#pragma once

#include <cstdint>
#include <string>

namespace cardformat {

// A place on a form, in twips (15 per pixel).
struct TwipRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

// What the player and the builder ask of a movie playback surface. The real surface is the
// movie control widget; the window logic is tested against fakes of this interface.
//
// Paths are UTF-8. A surface is created with play and loop on and no movie.
class MovieControl {
  public:
    virtual ~MovieControl() = default;

    // Setting a path loads that movie and starts it at once; reading gives back the path set
    // last, unchanged, or empty text when none was set (even when the file failed to load).
    virtual void setMovie(const std::string& path) = 0;
    virtual std::string Movie() const = 0;

    // Starts or resumes playing from the current frame.
    virtual void Play() = 0;
    // True while the movie plays; setting false stops at the current frame.
    virtual bool Playing() const = 0;
    virtual void setPlaying(bool playing) = 0;
    // When true the movie starts again after its last frame.
    virtual bool Loop() const = 0;
    virtual void setLoop(bool loop) = 0;

    virtual void Rewind() = 0;  // to the first frame
    virtual void Back() = 0;    // one frame back
    virtual void Forward() = 0; // one frame forward

    // Colour behind the movie as 0xRRGGBB (red in the high byte).
    virtual void setBackgroundColor(std::uint32_t rgb) = 0;
    virtual std::uint32_t BackgroundColor() const = 0;

    // The surface's place on its form.
    virtual void setVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
    virtual void setPlace(const TwipRect& place) = 0;
    virtual TwipRect Place() const = 0;

    // The listener's level, 0..100 (others are clamped), and mute: they scale what the
    // movie plays after its own volume, and outlast the movie set. A surface starts at
    // 100, not muted.
    virtual void setVolume(int volume) = 0;
    virtual int volume() const = 0;
    virtual void setMuted(bool muted) = 0;
    virtual bool muted() const = 0;
};

} // namespace cardformat
