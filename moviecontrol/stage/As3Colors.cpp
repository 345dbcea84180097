// Transform.colorTransform of ActionScript 3 movies on the display tree's colour transform:
// multipliers in 8.8 fixed point and offsets in colour units, each held to 16 bits as the
// players keep them, so that what a script sets reads back as Flash rounds it.
#include "As3DisplayTree.h"

#include <cmath>

namespace mc {

namespace {

// A value the 16-bit fields hold: whole, wrapped as Flash wraps it; 0 for what is no number.
std::int32_t wrap16(double v) {
    if (!std::isfinite(v)) {
        return 0;
    }
    const auto whole = static_cast<std::int64_t>(std::floor(std::fmod(v, 65536.0)));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(whole & 0xFFFF));
}

} // namespace

std::optional<std::array<double, 8>> As3DisplayTree::colorTransformOf(avm2::NodeId node) {
    const DisplayObject* o = find(node);
    if (o == nullptr) {
        return std::nullopt;
    }
    std::array<double, 8> out{};
    for (int i = 0; i < 4; ++i) {
        out[static_cast<std::size_t>(i)] = o->colorTransform.mult[i] / 256.0;
        out[static_cast<std::size_t>(i) + 4] = o->colorTransform.add[i];
    }
    return out;
}

void As3DisplayTree::setColorTransform(avm2::NodeId node, const std::array<double, 8>& channels) {
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return;
    }
    for (int i = 0; i < 4; ++i) {
        o->colorTransform.mult[i] = wrap16(channels[static_cast<std::size_t>(i)] * 256.0);
        o->colorTransform.add[i] = wrap16(channels[static_cast<std::size_t>(i) + 4]);
    }
}

} // namespace mc
