#include "swf/Filters.h"

namespace swf {

BlendMode blendModeFromByte(std::uint8_t value) {
    if (value < 1 || value > 14) {
        return BlendMode::Normal;
    }
    return static_cast<BlendMode>(value);
}

} // namespace swf
