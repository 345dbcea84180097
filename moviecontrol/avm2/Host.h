#pragma once
// What the ActionScript 3 machine asks of whoever plays the movie. The machine keeps the
// language; output, the clock and the limits it reports go through here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    // The bytes of the file a script's address names beside the movie (URLLoader, NetStream);
    // nullopt when the address is refused (another folder, the network) or nothing is there.
    virtual std::optional<std::vector<std::uint8_t>> readBesideMovie(std::string_view url) {
        (void)url;
        return std::nullopt;
    }
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
