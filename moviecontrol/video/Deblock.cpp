#include "Deblock.h"

#include <algorithm>
#include <cstdlib>

namespace video {

namespace {

constexpr std::uint8_t kStrength[32] = {0, 1, 1, 2, 2, 3, 3, 4, 4,  4,  5,  5,  5,  6,  6,  7,
                                        7, 7, 8, 8, 8, 9, 9, 9, 10, 10, 10, 11, 11, 11, 12, 12};

std::uint8_t clampSample(int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

// `blockShift` is 4 for luma (16 samples a macroblock) and 3 for chroma.
void filterPlane(Plane& p, const std::vector<MacroblockInfo>& info, int mbWide, int blockShift) {
    const auto at = [&](int x, int y) -> const MacroblockInfo& {
        return info[static_cast<std::size_t>(y >> blockShift) * mbWide + (x >> blockShift)];
    };
    // Strength from the macroblock after the edge when it is coded, else the one before.
    const auto strength = [&](const MacroblockInfo& before, const MacroblockInfo& after) {
        if (!before.coded && !after.coded) {
            return 0;
        }
        return static_cast<int>(kStrength[(after.coded ? after : before).quantiser & 31]);
    };
    // Horizontal edges first, then vertical ones, over the whole plane.
    for (int y = 8; y < p.height; y += 8) {
        for (int x = 0; x < p.width; ++x) {
            const int s = strength(at(x, y - 1), at(x, y));
            if (s > 0) {
                filterEdge(p.row(y - 2)[x], p.row(y - 1)[x], p.row(y)[x], p.row(y + 1)[x], s);
            }
        }
    }
    for (int y = 0; y < p.height; ++y) {
        std::uint8_t* row = p.row(y);
        for (int x = 8; x < p.width; x += 8) {
            const int s = strength(at(x - 1, y), at(x, y));
            if (s > 0) {
                filterEdge(row[x - 2], row[x - 1], row[x], row[x + 1], s);
            }
        }
    }
}

} // namespace

void filterEdge(std::uint8_t& a, std::uint8_t& b, std::uint8_t& c, std::uint8_t& d, int strength) {
    const int d0 = (a - 4 * b + 4 * c - d) / 8;
    // Up-down ramp: small steps are removed, steps past twice the strength are kept.
    const int magnitude = std::abs(d0);
    const int ramp = std::max(0, magnitude - std::max(0, 2 * (magnitude - strength)));
    const int d1 = d0 < 0 ? -ramp : ramp;
    const int limit = std::abs(d1) / 2;
    const int d2 = std::clamp((a - d) / 4, -limit, limit);
    b = clampSample(b + d1);
    c = clampSample(c - d1);
    a = clampSample(a - d2);
    d = clampSample(d + d2);
}

void deblock(YuvPicture& picture, const std::vector<MacroblockInfo>& info) {
    const int mbWide = picture.macroblocksWide();
    if (info.size() != static_cast<std::size_t>(mbWide) * picture.macroblocksHigh()) {
        return;
    }
    filterPlane(picture.y, info, mbWide, 4);
    filterPlane(picture.cb, info, mbWide, 3);
    filterPlane(picture.cr, info, mbWide, 3);
}

} // namespace video
