#include "moviemaker/Font.h"

#include "moviemaker/BitWriter.h"
#include "moviemaker/ShapeEncoding.h"
#include "moviemaker/WriteError.h"

namespace moviemaker {

namespace {

std::vector<uint8_t> glyphShape(const Shape& outline) {
    const std::vector<ShapeRecord>& source = outline.records();
    std::vector<ShapeRecord> records;
    records.reserve(source.size() + 1);
    if (source.empty() || !std::holds_alternative<StyleChange>(source.front())) {
        StyleChange select;
        select.fill0 = 1;
        records.emplace_back(std::move(select));
    }
    records.insert(records.end(), source.begin(), source.end());
    std::get<StyleChange>(records.front()).fill0 = 1;
    BitWriter out;
    const IndexWidths widths = indexWidthsFor(1, 0, records);
    out.ub(widths.fillBits, 4);
    out.ub(widths.lineBits, 4);
    writeShapeRecords(out, records, widths, 1);
    return out.take();
}

std::vector<uint8_t> encodeFirstVersion(uint16_t id, const Font& font) {
    BitWriter body;
    body.u16(id);
    std::vector<std::vector<uint8_t>> shapes;
    for (const Glyph& glyph : font.glyphs) {
        shapes.push_back(glyphShape(glyph.outline));
    }
    // Offsets count from the offset table, whose own length tells readers the glyph count.
    std::size_t offset = shapes.size() * 2;
    for (const auto& shape : shapes) {
        if (offset > 0xFFFF) {
            throw WriteError("glyph outlines too long for the first font version");
        }
        body.u16(static_cast<uint16_t>(offset));
        offset += shape.size();
    }
    for (const auto& shape : shapes) {
        body.bytes(shape);
    }
    return body.take();
}

} // namespace

std::vector<uint8_t> encodeDefineFont(uint16_t id, const Font& font, int version) {
    if (version == 1) {
        return encodeFirstVersion(id, font);
    }
    if (version != 2 && version != 3) {
        throw WriteError("font versions are 1 to 3");
    }
    if (font.glyphs.size() > 0xFFFF || font.name.size() > 0xFF) {
        throw WriteError("too many glyphs or too long a font name");
    }
    std::vector<std::vector<uint8_t>> shapes;
    std::size_t outlineBytes = 0;
    for (const Glyph& glyph : font.glyphs) {
        shapes.push_back(glyphShape(glyph.outline));
        outlineBytes += shapes.back().size();
    }
    const std::size_t count = shapes.size();
    const bool wideOffsets = (count + 1) * 2 + outlineBytes > 0xFFFF;
    const std::size_t offsetSize = wideOffsets ? 4 : 2;

    BitWriter body;
    body.u16(id);
    body.flag(font.hasLayout);
    body.flag(false); // Shift-JIS
    body.flag(false); // small text
    body.flag(false); // ANSI
    body.flag(wideOffsets);
    body.flag(true); // 16-bit codes
    body.flag(font.italic);
    body.flag(font.bold);
    body.u8(font.languageCode);
    body.u8(static_cast<uint8_t>(font.name.size()));
    body.bytes({reinterpret_cast<const uint8_t*>(font.name.data()), font.name.size()});
    body.u16(static_cast<uint16_t>(count));

    std::size_t offset = (count + 1) * offsetSize;
    const auto writeOffset = [&](std::size_t value) {
        if (wideOffsets) {
            body.u32(fieldValue<uint32_t>(value, "glyph offset"));
        } else {
            body.u16(static_cast<uint16_t>(value));
        }
    };
    for (const auto& shape : shapes) {
        writeOffset(offset);
        offset += shape.size();
    }
    writeOffset(offset); // where the code table starts
    for (const auto& shape : shapes) {
        body.bytes(shape);
    }
    for (const Glyph& glyph : font.glyphs) {
        body.u16(glyph.code);
    }
    if (font.hasLayout) {
        body.u16(font.ascent);
        body.u16(font.descent);
        body.i16(font.leading);
        for (const Glyph& glyph : font.glyphs) {
            body.i16(glyph.advance);
        }
        for (const Glyph& glyph : font.glyphs) {
            writeRect(body, glyph.outline.edgeBounds());
        }
        body.u16(0); // no kerning pairs
    }
    return body.take();
}

} // namespace moviemaker
