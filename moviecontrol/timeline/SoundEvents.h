#pragma once

#include <cstdint>

#include "swf/ControlTags.h"

namespace mc {

// What the sound layer hears from the timeline. A clip is known by its display object's
// serial, which no later object takes: a clip made where a removed one was is a new group
// of sounds, with the default transform. The sound layer never reaches into the clip.
class SoundEvents {
  public:
    virtual ~SoundEvents() = default;
    // A clip entered `frame` of `timeline` as it plays or by a jump (frames passed over to
    // rebuild a display list are not reported). `parent` is the serial of the clip holding it
    // (0 for the root): a clip's sounds are shaped by its parents' sound transforms.
    virtual void frameEntered(std::uint64_t clip, std::uint64_t parent,
                              const swf::Timeline& timeline, std::uint32_t frame) = 0;
    // The clip left the stage; its stream ends with it.
    virtual void clipRemoved(std::uint64_t clip) = 0;
    // One tick of the movie's clock (or a jump made from outside) is complete.
    virtual void tickEnded() = 0;
};

} // namespace mc
