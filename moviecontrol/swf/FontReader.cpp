#include "BasicRecords.h"
#include "ShapeReaders.h"
#include "TextReaders.h"

#include <algorithm>

namespace swf {

namespace {

// Reads glyph outlines; `offsets` are relative to `table` (the start of the offset table).
// An outline whose offset is implausible is read from where the previous one ended, which
// is where well-formed files put it anyway.
void readGlyphShapes(ByteReader& table, ReadContext& ctx, const std::vector<std::uint32_t>& offsets,
                     std::size_t shapesEnd, std::vector<Glyph>& glyphs) {
    ByteReader sequential = table;
    for (std::size_t i = 0; i < glyphs.size() && !ctx.limitHit; ++i) {
        const std::size_t start = offsets[i];
        const std::size_t end = i + 1 < offsets.size() ? offsets[i + 1] : shapesEnd;
        if (start >= sequential.position() && start < end && end <= table.data().size()) {
            ByteReader one(table.data().subspan(start, end - start));
            glyphs[i].records = readGlyphShape(one, ctx);
            sequential = ByteReader(table.data());
            sequential.skip(end);
        } else {
            glyphs[i].records = readGlyphShape(sequential, ctx);
        }
    }
    table = sequential;
}

} // namespace

Font readDefineFont1(ByteReader& r, ReadContext& ctx) {
    Font font;
    font.version = 1;
    font.id = r.u16();
    ByteReader table(r.rest());
    // The first offset points just past the table, so it gives the glyph count.
    const std::uint16_t first = table.u16();
    const std::size_t count = std::min<std::size_t>(first / 2, table.data().size() / 2);
    std::vector<std::uint32_t> offsets{first};
    for (std::size_t i = 1; i < count; ++i) {
        offsets.push_back(table.u16());
    }
    if (first == 0) {
        return font;
    }
    font.glyphs.resize(count);
    readGlyphShapes(table, ctx, offsets, table.data().size(), font.glyphs);
    if (table.failed()) {
        r.setFailed();
    }
    return font;
}

Font readDefineFont2(ByteReader& r, ReadContext& ctx, std::uint8_t fontVersion) {
    Font font;
    font.version = fontVersion;
    font.id = r.u16();
    const std::uint8_t flags = r.u8();
    font.hasLayout = (flags & 0x80) != 0;
    font.shiftJis = (flags & 0x40) != 0;
    font.smallText = (flags & 0x20) != 0;
    font.ansi = (flags & 0x10) != 0;
    font.wideOffsets = (flags & 0x08) != 0;
    font.wideCodes = (flags & 0x04) != 0;
    font.italic = (flags & 0x02) != 0;
    font.bold = (flags & 0x01) != 0;
    font.language = r.u8();
    font.name = r.fixedString(r.u8());
    const std::size_t count = r.u16();
    const std::size_t offsetSize = font.wideOffsets ? 4 : 2;
    if (count * offsetSize > r.remaining()) {
        r.setFailed();
        return font;
    }
    ByteReader table(r.data().subspan(r.position()));
    std::vector<std::uint32_t> offsets;
    offsets.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        offsets.push_back(font.wideOffsets ? table.u32() : table.u16());
    }
    // Fonts without glyphs may omit the code table offset.
    std::size_t codeTableOffset = table.data().size();
    if (count > 0 || table.remaining() >= offsetSize) {
        codeTableOffset = font.wideOffsets ? table.u32() : table.u16();
    }
    font.glyphs.resize(count);
    readGlyphShapes(table, ctx, offsets, std::min(codeTableOffset, table.data().size()),
                    font.glyphs);
    if (codeTableOffset <= table.data().size() && codeTableOffset >= table.position()) {
        table = ByteReader(table.data());
        table.skip(codeTableOffset);
    }
    for (Glyph& g : font.glyphs) {
        g.code = font.wideCodes ? table.u16() : table.u8();
    }
    if (font.hasLayout && !table.failed()) {
        font.ascent = table.u16();
        font.descent = table.u16();
        font.leading = table.s16();
        // Stored signed, but players read the advance as unsigned: 0x80E8 moves the pen
        // 33000 units on.
        for (Glyph& g : font.glyphs) {
            g.advance = table.u16();
        }
        for (Glyph& g : font.glyphs) {
            g.bounds = readRect(table);
        }
        // Kerning tables are often cut short by writers; keep the whole records only.
        const std::size_t kerningCount = table.u16();
        const std::size_t recordSize = font.wideCodes ? 6 : 4;
        for (std::size_t i = 0; i < kerningCount && table.remaining() >= recordSize; ++i) {
            KerningRecord k;
            k.leftCode = font.wideCodes ? table.u16() : table.u8();
            k.rightCode = font.wideCodes ? table.u16() : table.u8();
            k.adjustment = table.s16();
            font.kerning.push_back(k);
        }
    }
    if (table.failed()) {
        r.setFailed();
    }
    r.skip(table.position());
    return font;
}

void applyFontInfo(ByteReader& r, Font& font, std::uint8_t infoVersion) {
    font.name = r.fixedString(r.u8());
    const std::uint8_t flags = r.u8();
    font.smallText = (flags & 0x20) != 0;
    font.shiftJis = (flags & 0x10) != 0;
    font.ansi = (flags & 0x08) != 0;
    font.italic = (flags & 0x04) != 0;
    font.bold = (flags & 0x02) != 0;
    font.wideCodes = (flags & 0x01) != 0;
    if (infoVersion >= 2) {
        font.language = r.u8();
    }
    for (Glyph& g : font.glyphs) {
        if (r.remaining() < (font.wideCodes ? 2u : 1u)) {
            break;
        }
        g.code = font.wideCodes ? r.u16() : r.u8();
    }
}

void applyFontName(ByteReader& r, Font& font) {
    font.fullName = r.string();
    font.copyright = r.string();
}

} // namespace swf
