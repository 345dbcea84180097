#pragma once

#include "cardformat/CardNote.h"

#include <cstdint>
#include <string>

namespace player {

// The programs' state booleans are 16-bit: 0 is false, -1 is true.
using Flag16 = std::int16_t;
inline constexpr Flag16 FlagTrue = -1;
inline constexpr Flag16 FlagFalse = 0;

inline Flag16 flagOf(bool value) {
    return value ? FlagTrue : FlagFalse;
}

// What the start-up, the geometry, the input takeover and the menu share; one per process.
struct PlayerState {
    // The running program; in card mode then the extracted temporary movie, which the end
    // sequence deletes.
    std::string MoviePath;
    Flag16 CardMode = FlagFalse;
    // The note of the movie opened last; only Password and Blessing are read.
    cardformat::CardNote CurrentNote;
    std::int16_t MovieWidthPx = 0;
    std::int16_t MovieHeightPx = 0;
    std::int16_t MovieFrameCount = 0;
    Flag16 FullScreenOn = FlagFalse;
};

} // namespace player
