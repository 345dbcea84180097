#include "swf/ActionCodes.h"
#include "swf/ByteReader.h"

namespace swf {

namespace {

void decodeKnownPayload(Action& a) {
    ByteReader p(a.payload);
    switch (a.code) {
    case op::GotoFrame:
        a.frame = p.u16();
        break;
    case op::WaitForFrame:
        a.frame = p.u16();
        a.skipCount = p.u8();
        break;
    case op::GotoLabel:
    case op::SetTarget:
        a.text = p.string();
        break;
    case op::GetUrl:
        a.text = p.string();
        a.target = p.string();
        break;
    case op::GotoFrame2: {
        const std::uint8_t flags = p.u8();
        a.play = (flags & 0x01) != 0;
        if (flags & 0x02) {
            a.sceneBias = p.u16();
        }
        break;
    }
    default:
        break;
    }
}

} // namespace

ActionBlock readActionBlock(std::span<const std::uint8_t> bytes, std::size_t maxActions) {
    ActionBlock block;
    block.bytes = bytes;
    ByteReader r(bytes);
    while (!r.atEnd() && block.actions.size() < maxActions) {
        Action a;
        a.offset = static_cast<std::uint32_t>(r.position());
        a.code = r.u8();
        if (a.code == op::End) {
            return block;
        }
        if (a.code >= op::FirstWithLength) {
            const std::uint16_t length = r.u16();
            a.payload = r.bytes(length);
            if (r.failed()) {
                block.truncated = true;
                return block;
            }
        }
        decodeKnownPayload(a);
        block.actions.push_back(std::move(a));
    }
    return block;
}

} // namespace swf
