#include "PlayedHeader.h"

namespace mc {

cardformat::PlayedHeader playedHeader(const std::string& path) {
    return cardformat::getPlayedHeader(path);
}

} // namespace mc
