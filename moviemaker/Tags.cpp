#include "moviemaker/Tags.h"

#include "moviemaker/WriteError.h"

namespace moviemaker {

void writeTag(BitWriter& out, uint16_t code, std::span<const uint8_t> body, bool forceLong) {
    if (code > 0x3FF) {
        throw WriteError("tag codes have ten bits");
    }
    if (body.size() > 0xFFFFFFFFu) {
        throw WriteError("tag body too long");
    }
    const bool isLong = forceLong || body.size() >= 0x3F;
    const auto shortLength = static_cast<uint16_t>(isLong ? 0x3F : body.size());
    out.u16(static_cast<uint16_t>(code << 6 | shortLength));
    if (isLong) {
        out.u32(static_cast<uint32_t>(body.size()));
    }
    out.bytes(body);
}

} // namespace moviemaker
