#pragma once

#include <string>

namespace player {

// The whole player run for the program at `ownPath` (a card, or the bare player): start-up,
// the windows, the event loop. Returns the exit status.
int playerMain(int argc, char** argv, const std::string& ownPath);

} // namespace player
