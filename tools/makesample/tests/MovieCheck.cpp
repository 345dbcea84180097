#include "MovieCheck.h"

namespace makesample::testing {

std::optional<MovieSummary> summarize(const std::vector<uint8_t>& m) {
    if (m.size() < 21) {
        return std::nullopt;
    }
    MovieSummary s;
    for (int i = 0; i < 3; ++i) {
        s.signature[i] = static_cast<char>(m[i]);
    }
    s.version = m[3];
    s.declaredLength = m[4] | m[5] << 8 | m[6] << 16 | static_cast<uint32_t>(m[7]) << 24;
    const unsigned bits = m[8] >> 3;
    const std::size_t rectBytes = (5 + 4 * bits + 7) / 8;
    std::size_t at = 8 + rectBytes;
    if (at + 4 > m.size()) {
        return std::nullopt;
    }
    s.frameRect.assign(m.begin() + 8, m.begin() + static_cast<long>(at));
    s.frameRate = static_cast<uint16_t>(m[at] | m[at + 1] << 8);
    s.frameCount = static_cast<uint16_t>(m[at + 2] | m[at + 3] << 8);
    at += 4;
    while (at + 2 <= m.size()) {
        const unsigned head = m[at] | m[at + 1] << 8;
        at += 2;
        TopTag tag{static_cast<uint16_t>(head >> 6), at, head & 0x3F};
        if (tag.length == 0x3F) {
            if (at + 4 > m.size()) {
                return std::nullopt;
            }
            tag.length = m[at] | m[at + 1] << 8 | m[at + 2] << 16 |
                         static_cast<std::size_t>(m[at + 3]) << 24;
            at += 4;
            tag.offset = at;
        }
        if (tag.length > m.size() - at) {
            return std::nullopt;
        }
        at += tag.length;
        s.tags.push_back(tag);
        if (tag.code == 0) {
            s.endsCleanly = at == m.size();
            break;
        }
    }
    return s;
}

} // namespace makesample::testing
