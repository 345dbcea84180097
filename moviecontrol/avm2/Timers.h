#pragma once
// The player's clock reaching the script timers (flash.utils.Timer).

namespace avm2 {

class Machine;

// Fires every running timer that is due at `nowMs` (the host's clock), once each.
void runTimers(Machine& m, double nowMs);

} // namespace avm2
