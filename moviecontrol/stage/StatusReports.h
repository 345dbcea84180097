#pragma once
// The onStatus reports of connections, streams and shared objects.

#include "avm1/Machine.h"

namespace mc {

// Calls self.onStatus(info) once the running scripts have ended (a handler set after the
// call that caused the report still hears it). An error `self` then has no handler for
// goes to System.onStatus, the handler of last resort.
void reportStatus(avm1::Machine& m, avm1::Object* self, avm1::Object* info, bool error);

} // namespace mc
