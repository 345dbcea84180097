#include "PreviewSeek.h"

namespace builder {

SeekPlan seekPlan(std::uint32_t current, std::uint32_t target) {
    SeekPlan plan;
    if (target >= current) {
        plan.forward = target - current;
        return plan;
    }
    // Stepping back replays nothing; rewinding starts again from the first frame.
    if (current - target <= target) {
        plan.back = current - target;
    } else {
        plan.rewind = true;
        plan.forward = target;
    }
    return plan;
}

} // namespace builder
