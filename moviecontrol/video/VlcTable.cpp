#include "VlcTable.h"

namespace video {

VlcTable::VlcTable(std::initializer_list<VlcCode> codes) : entries_(1u << kMaxBits) {
    int symbol = 0;
    for (const VlcCode& c : codes) {
        if (c.length > 0 && c.length <= kMaxBits) {
            const unsigned spare = kMaxBits - c.length;
            const std::uint32_t first = static_cast<std::uint32_t>(c.code) << spare;
            for (std::uint32_t i = 0; i < (1u << spare); ++i) {
                entries_[first | i] = Entry{static_cast<std::int16_t>(symbol), c.length};
            }
        }
        ++symbol;
    }
}

int VlcTable::read(BitStream& in) const {
    const Entry& e = entries_[in.peek(kMaxBits)];
    if (e.symbol < 0) {
        return -1;
    }
    in.skip(e.length);
    return e.symbol;
}

} // namespace video
