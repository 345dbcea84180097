#pragma once
// The player's clock reaching the script timers (flash.utils.Timer).

#include "avm2/Runtime.h"

namespace avm2 {

class Machine;
class Object;

// Fires every running timer that is due at `nowMs` (the host's clock), once each.
void runTimers(Machine& m, double nowMs);

// A ticker the player's own classes run on the timers' clock (a stream playing): calls
// `tick` with `target` as its argument every `delayMs` (at most once a frame) until
// stopTicker. Returns the ticker, for stopTicker.
Object* startTicker(Machine& m, NativeFn tick, Object* target, double delayMs);
void stopTicker(Machine& m, Object* ticker);

} // namespace avm2
