#pragma once

#include <cstdint>
#include <string_view>

namespace mc {

struct DisplayObject;

// What the script Sound object asks of the sound layer. Every Sound object is bound to a
// clip (or to the whole movie when made without one); volume and pan act on the sounds of
// that clip and its children. The stage forwards the calls and keeps no sound state of its
// own; without a sound layer the calls do nothing and the getters read the defaults.
class SoundPort {
  public:
    virtual ~SoundPort() = default;

    // attachSound: the exported sound `symbol` becomes the one this Sound object plays.
    // False when the movie exports no sound by that name.
    virtual bool attachSound(std::uint64_t soundObject, std::string_view symbol) = 0;
    virtual void start(std::uint64_t soundObject, double offsetSeconds, int loops) = 0;
    // Stops the sounds of the object's clip, or only `symbol` when given.
    virtual void stop(std::uint64_t soundObject, std::string_view symbol) = 0;
    // 0..100 and -100..100 as scripts give them.
    virtual void setVolume(const DisplayObject* clip, double volume) = 0;
    virtual double volume(const DisplayObject* clip) const = 0;
    virtual void setPan(const DisplayObject* clip, double pan) = 0;
    virtual double pan(const DisplayObject* clip) const = 0;
    // Milliseconds; 0 when nothing was attached.
    virtual double duration(std::uint64_t soundObject) const = 0;
    virtual double position(std::uint64_t soundObject) const = 0;
    virtual void stopAll() = 0;
};

} // namespace mc
