#include "MovieLevels.h"

#include "TimelinePlayer.h"

namespace mc {

bool MovieLevels::replaceContent(DisplayObject& clip, std::uint16_t library) {
    return player_.replaceContent(clip, library);
}

DisplayObject* MovieLevels::level(int n) const {
    return player_.level(n);
}

DisplayObject* MovieLevels::makeLevel(int n) {
    return player_.makeLevel(n);
}

void MovieLevels::unloadLevel(int n) {
    player_.unloadLevel(n);
}

bool MovieLevels::swapLevel(DisplayObject& level, std::int32_t depth) {
    return player_.swapLevel(level, depth);
}

std::vector<DisplayObject*> MovieLevels::upperLevels() const {
    return player_.upperLevels();
}

} // namespace mc
