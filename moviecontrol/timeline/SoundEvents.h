#pragma once

#include <cstdint>

#include "swf/ControlTags.h"

namespace mc {

// What the sound layer hears from the timeline. A clip is known by an opaque key that stays
// the same while the clip lives; the sound layer never reaches into it.
class SoundEvents {
  public:
    virtual ~SoundEvents() = default;
    // A clip entered `frame` of `timeline` as it plays or by a jump (frames passed over to
    // rebuild a display list are not reported). `parent` is the key of the clip holding it
    // (null for the root): a clip's sounds are shaped by its parents' sound transforms.
    virtual void frameEntered(const void* clip, const void* parent, const swf::Timeline& timeline,
                              std::uint32_t frame) = 0;
    // The clip left the stage; its stream ends with it.
    virtual void clipRemoved(const void* clip) = 0;
    // One tick of the movie's clock (or a jump made from outside) is complete.
    virtual void tickEnded() = 0;
};

} // namespace mc
