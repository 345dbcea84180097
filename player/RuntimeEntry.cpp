// The player runtime's entry point, which every card's launcher calls.
#include "LaunchCheck.h"
#include "PlayerMain.h"

#include "cardformat/CardLayout.h"

extern "C" __attribute__((visibility("default"))) int velmora_play(const VelmoraLaunch* launch) {
    if (!player::acceptsLaunch(launch, cardformat::MovieOffset)) {
        return VelmoraLaunchRefused;
    }
    return player::playerMain(launch->argc, launch->argv, launch->ownPath);
}
