#include "LaunchCheck.h"

#include <cstddef>

namespace player {
namespace {

// Where the version-1 record ends. Later versions add fields behind it, so this stays the
// least a launcher of any version hands over.
constexpr std::size_t LaunchVersion1Size =
    offsetof(VelmoraLaunch, movieOffset) + sizeof(std::uint64_t);

} // namespace

bool acceptsLaunch(const VelmoraLaunch* launch, std::uint64_t movieOffset) {
    if (launch == nullptr || launch->version < 1 ||
        launch->version > static_cast<std::uint32_t>(VelmoraEntryVersion)) {
        return false;
    }
    // The record of version 1 ends with the movie offset; a launcher that filled in less is
    // not one of ours.
    if (launch->size < LaunchVersion1Size) {
        return false;
    }
    if (launch->ownPath == nullptr || launch->argc < 0 ||
        (launch->argc > 0 && launch->argv == nullptr)) {
        return false;
    }
    return launch->movieOffset == movieOffset;
}

} // namespace player
