#pragma once

#include "cardformat/SwfHeader.h"

#include <string>

namespace mc {

// The header of a movie as the movie control plays it: compressed movies inflated, and the
// colour the stage really shows. It lives in the control's library so that the card player,
// which must stay small, carries none of the inflating code itself.
cardformat::PlayedHeader playedHeader(const std::string& path);

} // namespace mc
