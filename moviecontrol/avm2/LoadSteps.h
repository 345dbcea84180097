#pragma once
// The replies of a load (URLLoader, URLStream, NetStream): steps queued to run once the
// scripts running now are done, in order. Starting another load or closing drops the steps
// of the load before: each step asks first whether it still belongs to the current load.

#include "avm2/Runtime.h"
#include "avm2/Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace avm2 {

class Machine;

// A new load on `o`: the steps of any earlier one will find they are stale.
void beginLoad(Object* o);
// close(): the steps queued so far are stale.
inline void cancelLoad(Object* o) {
    beginLoad(o);
}
// Queues `step` for `o` (its `this`), belonging to the current load.
void queueLoadStep(Machine& m, Object* o, NativeFn step);
// Called first by every step: true when the step belongs to the load still current.
bool stepIsCurrent(Object* o);
// Queues a call of `step` on `target` (its `this`) in line with the queued events.
void queueCall(Machine& m, Object* target, NativeFn step);

// Begins a load on `o` of the file beside the movie at `url` and reads it whole: its bytes,
// or nothing with `failed` queued when the player may not or cannot read it.
std::optional<std::vector<std::uint8_t>> readForLoad(Machine& m, Object* o, const std::string& url,
                                                     NativeFn failed);
// A load step that sends `open` on its object.
Value sendOpenStep(Machine& m, const Value& self, Args& args);

// The address a script gave as Flash reports it in an error: resolved against the movie's.
std::string resolvedUrl(Machine& m, const std::string& url);

// The address of a URLRequest; a null request or address is the script's error.
std::string requestUrl(Machine& m, const Value& request);
// The replies every load sends alike: a ProgressEvent, and ioError for a file the player
// may not or cannot read (with nobody listening, Flash reports it as a script error).
void sendProgress(Machine& m, Object* o, double loaded, double total);
void sendStreamError(Machine& m, Object* o, const std::string& url);

} // namespace avm2
