#pragma once

// The one entry point between a card's launcher and the player runtime. Every card carries a
// launcher built against one version of this; every later runtime keeps accepting it, so
// nothing here may ever change meaning: a new version adds fields at the end of the launch
// record and raises the version number.
//
// Plain C types only: the launcher links nothing but the C library.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// The library the launcher loads, under this name on the system's library path.
#define VELMORA_RUNTIME_LIBRARY "libvelmora-runtime.so.1"
// The runtime's exported function, of type VelmoraPlayFunction.
#define VELMORA_RUNTIME_ENTRY "velmora_play"
// Names a runtime library to load instead of the installed one (development, tests).
#define VELMORA_RUNTIME_VARIABLE "VELMORA_RUNTIME"

enum {
    // The version of the launch record this launcher fills in.
    VelmoraEntryVersion = 1,
    // What the entry returns when it will not play this launch (a version or movie offset it
    // does not know); anything else is the player's exit status.
    VelmoraLaunchRefused = -1,
};

// Version 1 of the launch record. Its layout is frozen.
struct VelmoraLaunch {
    uint32_t size;       // sizeof the record as the launcher knows it
    uint32_t version;    // VelmoraEntryVersion of the launcher
    const char* ownPath; // the real path of the running launcher (the card itself)
    int argc;            // the launcher's arguments, unchanged
    char** argv;
    uint64_t movieOffset; // where the launcher's card carries its movie: its own length
};

typedef int (*VelmoraPlayFunction)(const struct VelmoraLaunch* launch);

#ifdef __cplusplus
}
#endif
