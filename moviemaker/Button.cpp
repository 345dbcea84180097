#include "moviemaker/Button.h"

#include "moviemaker/BitWriter.h"
#include "moviemaker/WriteError.h"

namespace moviemaker {

std::vector<uint8_t> encodeDefineButton2(uint16_t id, const Button& button) {
    BitWriter out;
    out.u16(id);
    out.u8(button.trackAsMenu ? 1 : 0);
    const std::size_t offsetAt = out.size();
    out.u16(0);
    for (const ButtonRecord& r : button.records) {
        // A record in no state would read as the end of the list.
        if (r.states == 0 || r.states > 0x0F) {
            throw WriteError("a button record shows in one or more of the four states");
        }
        out.u8(r.states);
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
    out.patchU16(offsetAt, fieldValue<uint16_t>(out.size() - offsetAt, "button records length"));
    for (std::size_t i = 0; i < button.conditions.size(); ++i) {
        const std::vector<uint8_t> code = button.conditions[i].actions.bytes();
        const bool last = i + 1 == button.conditions.size();
        out.u16(last ? 0 : fieldValue<uint16_t>(4 + code.size(), "button action block length"));
        out.u16(button.conditions[i].conditions);
        out.bytes(code);
    }
    return out.take();
}

} // namespace moviemaker
