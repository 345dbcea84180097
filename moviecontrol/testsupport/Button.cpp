#include "testsupport/Button.h"

#include "testsupport/BitWriter.h"

namespace swftest {

std::vector<uint8_t> encodeDefineButton2(uint16_t id, const Button& button) {
    BitWriter out;
    out.u16(id);
    out.u8(button.trackAsMenu ? 1 : 0);
    const std::size_t offsetAt = out.size();
    out.u16(0);
    for (const ButtonRecord& r : button.records) {
        out.u8(r.states & 0x0F);
        out.u16(r.characterId);
        out.u16(r.depth);
        writeMatrix(out, r.matrix);
        writeColorTransform(out, r.colorTransform, true);
        out.align();
    }
    out.u8(0);
    if (button.conditions.empty()) {
        return out.take();
    }
    // The offset counts from its own field to the first condition block.
    out.patchU16(offsetAt, static_cast<uint16_t>(out.size() - offsetAt));
    for (std::size_t i = 0; i < button.conditions.size(); ++i) {
        const std::vector<uint8_t> code = button.conditions[i].actions.bytes();
        const bool last = i + 1 == button.conditions.size();
        out.u16(last ? 0 : static_cast<uint16_t>(4 + code.size()));
        out.u16(button.conditions[i].conditions);
        out.bytes(code);
    }
    return out.take();
}

} // namespace swftest
