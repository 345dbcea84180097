#include "BasicRecords.h"
#include "TextReaders.h"

#include <algorithm>
#include <cmath>

namespace swf {

StaticText readDefineText(ByteReader& r, std::uint8_t textVersion) {
    StaticText text;
    text.version = textVersion;
    text.id = r.u16();
    text.bounds = readRect(r);
    text.matrix = readMatrix(r);
    const unsigned glyphBits = r.u8();
    const unsigned advanceBits = r.u8();
    while (!r.failed()) {
        const std::uint8_t flags = r.u8();
        if (flags == 0) {
            break;
        }
        TextRecord rec;
        if (flags & 0x08) {
            rec.fontId = r.u16();
        }
        if (flags & 0x04) {
            rec.color = textVersion >= 2 ? readRgba(r) : readRgb(r);
        }
        if (flags & 0x01) {
            rec.xOffset = r.s16();
        }
        if (flags & 0x02) {
            rec.yOffset = r.s16();
        }
        if (flags & 0x08) {
            rec.height = r.u16();
        }
        const std::uint8_t count = r.u8();
        BitReader bits(r);
        rec.glyphs.reserve(count);
        for (unsigned i = 0; i < count; ++i) {
            GlyphEntry e;
            e.index = bits.ub(glyphBits);
            e.advance = bits.sb(advanceBits);
            rec.glyphs.push_back(e);
        }
        bits.align();
        text.records.push_back(std::move(rec));
    }
    return text;
}

void applyTextSettings(ByteReader& r, EditText& text) {
    const std::uint8_t flags = r.u8();
    text.advancedAntiAlias = (flags >> 6) == 1;
    const std::uint8_t gridFit = (flags >> 3) & 0x07;
    // Values past subpixel are reserved; they keep the default.
    text.gridFit = gridFit <= 2 ? gridFit : 1;
    const float thickness = r.float32();
    const float sharpness = r.float32();
    // Only finite numbers; the script properties hold them within their ranges.
    text.thickness = std::isfinite(thickness) ? std::clamp<double>(thickness, -200, 200) : 0;
    text.sharpness = std::isfinite(sharpness) ? std::clamp<double>(sharpness, -400, 400) : 0;
}

EditText readDefineEditText(ByteReader& r) {
    EditText t;
    t.id = r.u16();
    t.bounds = readRect(r);
    const std::uint8_t f1 = r.u8();
    const std::uint8_t f2 = r.u8();
    const bool hasText = (f1 & 0x80) != 0;
    t.wordWrap = (f1 & 0x40) != 0;
    t.multiline = (f1 & 0x20) != 0;
    t.password = (f1 & 0x10) != 0;
    t.readOnly = (f1 & 0x08) != 0;
    const bool hasColor = (f1 & 0x04) != 0;
    const bool hasMaxLength = (f1 & 0x02) != 0;
    const bool hasFont = (f1 & 0x01) != 0;
    const bool hasFontClass = (f2 & 0x80) != 0;
    t.autoSize = (f2 & 0x40) != 0;
    t.hasLayout = (f2 & 0x20) != 0;
    t.noSelect = (f2 & 0x10) != 0;
    t.border = (f2 & 0x08) != 0;
    t.wasStatic = (f2 & 0x04) != 0;
    t.html = (f2 & 0x02) != 0;
    t.useOutlines = (f2 & 0x01) != 0;
    if (hasFont) {
        t.fontId = r.u16();
    }
    if (hasFontClass) {
        t.fontClass = r.string();
    }
    if (hasFont || hasFontClass) {
        t.fontHeight = r.u16();
    }
    if (hasColor) {
        t.color = readRgba(r);
    }
    if (hasMaxLength) {
        t.maxLength = r.u16();
    }
    if (t.hasLayout) {
        const std::uint8_t align = r.u8();
        t.align = align <= 3 ? static_cast<TextAlign>(align) : TextAlign::Left;
        t.leftMargin = r.u16();
        t.rightMargin = r.u16();
        t.indent = r.u16();
        t.leading = r.s16();
    }
    t.variableName = r.string();
    if (hasText) {
        t.initialText = r.string();
    }
    return t;
}

} // namespace swf
