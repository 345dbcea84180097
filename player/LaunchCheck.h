#pragma once

#include "launcher/RuntimeEntry.h"

#include <cstdint>

namespace player {

// Whether the runtime plays a launch handed over by a card's launcher: a launch record of a
// version it knows, at least as long as that version's record, with a path and arguments,
// for a card that carries its movie where this runtime reads it. Every version from 1 up to
// the runtime's own is played; a later launcher needs a later runtime.
bool acceptsLaunch(const VelmoraLaunch* launch, std::uint64_t movieOffset);

} // namespace player
