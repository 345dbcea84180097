#include "moviemaker/StaticText.h"

#include "moviemaker/BitWriter.h"
#include "moviemaker/WriteError.h"

#include <algorithm>

namespace moviemaker {

std::vector<uint8_t> encodeDefineText(uint16_t id, const Text& text, int version) {
    if (version != 1 && version != 2) {
        throw WriteError("text versions are 1 and 2");
    }
    unsigned glyphBits = 0;
    unsigned advanceBits = 0;
    for (const TextRecord& record : text.records) {
        if (record.glyphs.size() > 0xFF) {
            throw WriteError("a text record holds at most 255 glyphs");
        }
        if (!record.fontId && record.height != 0) {
            throw WriteError("a text height is written with its font only");
        }
        for (const TextGlyph& g : record.glyphs) {
            glyphBits = std::max(glyphBits, unsignedBitWidth(g.index));
            advanceBits = std::max(advanceBits, signedBitWidth(g.advance));
        }
    }
    BitWriter body;
    body.u16(id);
    writeRect(body, text.bounds);
    writeMatrix(body, text.matrix);
    body.u8(static_cast<uint8_t>(glyphBits));
    body.u8(static_cast<uint8_t>(advanceBits));
    for (const TextRecord& record : text.records) {
        body.flag(true); // record type
        body.ub(0, 3);
        body.flag(record.fontId.has_value());
        body.flag(record.color.has_value());
        body.flag(record.yOffset.has_value());
        body.flag(record.xOffset.has_value());
        if (record.fontId) {
            body.u16(*record.fontId);
        }
        if (record.color) {
            if (version == 2) {
                writeRgba(body, *record.color);
            } else {
                writeOpaqueRgb(body, *record.color);
            }
        }
        if (record.xOffset) {
            body.i16(*record.xOffset);
        }
        if (record.yOffset) {
            body.i16(*record.yOffset);
        }
        if (record.fontId) {
            body.u16(record.height);
        }
        body.u8(static_cast<uint8_t>(record.glyphs.size()));
        for (const TextGlyph& g : record.glyphs) {
            body.ub(g.index, glyphBits);
            body.sb(g.advance, advanceBits);
        }
        body.align();
    }
    body.u8(0); // end of records
    return body.take();
}

} // namespace moviemaker
