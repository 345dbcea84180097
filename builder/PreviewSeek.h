#pragma once

#include <cstdint>

namespace builder {

// How the larger preview reaches a frame with the movie control's own steps: back to the
// first frame first when that is shorter, then one frame at a time. Frames are 0-based.
struct SeekPlan {
    bool rewind = false;
    std::uint32_t forward = 0;
    std::uint32_t back = 0;
    friend bool operator==(const SeekPlan&, const SeekPlan&) = default;
};

SeekPlan seekPlan(std::uint32_t current, std::uint32_t target);

} // namespace builder
