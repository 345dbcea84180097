#pragma once
// What the ActionScript 3 machine asks of whoever plays the movie. The machine keeps the
// language; output, the clock and the limits it reports go through here.

#include <cstdint>
#include <string>
#include <string_view>

namespace avm2 {

class DisplayHost;

class Host {
  public:
    virtual ~Host() = default;
    // trace(): one line of output.
    virtual void trace(std::string_view line) = 0;
    // Milliseconds since the movie started (getTimer()).
    virtual double clockMs() = 0;
    // A limit stopped a script (time, memory, recursion); reported once per kind.
    virtual void limitHit(std::string_view what) { (void)what; }
    // Where the movie was read from ("file:///card.swf"); empty when unknown.
    virtual std::string movieUrl() { return {}; }
    // The display tree the display classes are views of; none: they stand alone.
    virtual DisplayHost* display() { return nullptr; }

    // --- The root timeline, which the document object (a MovieClip) drives ---------------
    // Frames are numbered from 0 here; scripts see them from 1.
    virtual std::uint32_t rootFrame() { return 0; }
    virtual std::uint32_t rootFrameCount() { return 1; }
    virtual void rootGoto(std::uint32_t frame, bool play) { (void)frame, (void)play; }
    virtual void rootSetPlaying(bool playing) { (void)playing; }
};

} // namespace avm2
