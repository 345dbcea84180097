#pragma once

#include <cstdint>

namespace audio {

// How many frames the timeline owes a playing stream: the stream's clock leads, so a
// timeline behind it runs frames without showing each (dropping them), and a timeline
// ahead of it waits (holding its frame). `played` counts the stream's samples heard since
// it started, `ticksSinceStart` the frames run since then. At most `maxCatchUp` at once.
int streamFramesDue(std::uint64_t played, double samplesPerFrame, std::uint64_t ticksSinceStart,
                    int maxCatchUp);

} // namespace audio
