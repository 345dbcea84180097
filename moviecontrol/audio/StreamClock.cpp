#include "StreamClock.h"

#include <algorithm>
#include <cmath>

namespace audio {

int streamFramesDue(std::uint64_t played, double samplesPerFrame, std::uint64_t ticksSinceStart,
                    int maxCatchUp) {
    if (!(samplesPerFrame > 0.0)) {
        return 0;
    }
    const auto heard = static_cast<std::uint64_t>(std::floor(played / samplesPerFrame));
    if (heard <= ticksSinceStart) {
        return 0;
    }
    return static_cast<int>(
        std::min<std::uint64_t>(heard - ticksSinceStart, static_cast<std::uint64_t>(maxCatchUp)));
}

} // namespace audio
