#include "ColorTransform.h"

#include <algorithm>

namespace mc {

namespace {

// Long chains of strong transforms would overflow 32 bits; anything past these bounds
// already saturates every channel.
constexpr std::int64_t kMultLimit = 1 << 20;
constexpr std::int64_t kAddLimit = 1 << 20;

std::int32_t clampTo(std::int64_t v, std::int64_t limit) {
    return static_cast<std::int32_t>(std::clamp(v, -limit, limit));
}

std::uint8_t channel(std::uint8_t c, std::int32_t mult, std::int32_t add) {
    const std::int64_t v = ((static_cast<std::int64_t>(c) * mult) >> 8) + add;
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
}

} // namespace

bool ColorTransform::isIdentity() const {
    return *this == ColorTransform{};
}

bool ColorTransform::onlyScalesAlpha() const {
    return mult[0] == 256 && mult[1] == 256 && mult[2] == 256 && add[0] == 0 && add[1] == 0 &&
           add[2] == 0 && add[3] == 0 && mult[3] >= 0 && mult[3] <= 256;
}

Rgba ColorTransform::apply(Rgba c) const {
    return {channel(c.r, mult[0], add[0]), channel(c.g, mult[1], add[1]),
            channel(c.b, mult[2], add[2]), channel(c.a, mult[3], add[3])};
}

ColorTransform compose(const ColorTransform& parent, const ColorTransform& child) {
    ColorTransform r;
    for (int i = 0; i < 4; ++i) {
        const std::int64_t pm = parent.mult[i];
        r.mult[i] = clampTo((pm * child.mult[i]) >> 8, kMultLimit);
        r.add[i] = clampTo(parent.add[i] + ((pm * child.add[i]) >> 8), kAddLimit);
    }
    return r;
}

} // namespace mc
