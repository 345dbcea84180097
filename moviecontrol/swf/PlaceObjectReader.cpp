#include "PlaceObjectReader.h"

#include "BasicRecords.h"
#include "FilterReader.h"

namespace swf {

namespace {

// Event flags, low byte first: 16 bits up to version 5, 32 bits after. Some writers end the
// list with only two zero bytes in later versions; that is accepted as the end.
std::uint32_t readEventFlags(ByteReader& r, std::uint8_t swfVersion) {
    if (swfVersion <= 5) {
        return r.u16();
    }
    if (r.remaining() < 4) {
        const std::uint32_t low = r.u16();
        return low;
    }
    return r.u32();
}

constexpr std::uint32_t KeyPressEvent = 0x00020000;

std::vector<ClipAction> readClipActions(ByteReader& r, std::uint8_t swfVersion) {
    std::vector<ClipAction> actions;
    (void)r.u16(); // Reserved.
    (void)readEventFlags(r, swfVersion);
    while (!r.failed()) {
        ClipAction clip;
        clip.events = readEventFlags(r, swfVersion);
        if (clip.events == 0) {
            break;
        }
        std::uint32_t size = r.u32();
        if (swfVersion > 5 && (clip.events & KeyPressEvent) && size > 0) {
            clip.keyCode = r.u8();
            --size;
        }
        const auto body = r.bytes(size);
        clip.actions = readActionBlock(body);
        actions.push_back(std::move(clip));
    }
    return actions;
}

} // namespace

PlaceObject readPlaceObject(ByteReader& r, ReadContext& ctx, std::uint8_t placeVersion) {
    PlaceObject p;
    p.version = placeVersion;
    if (placeVersion == 1) {
        p.characterId = r.u16();
        p.depth = r.u16();
        p.matrix = readMatrix(r);
        // The colour transform is there only when bytes remain after the matrix.
        if (!r.atEnd()) {
            p.colorTransform = readColorTransform(r, false);
        }
        return p;
    }
    const std::uint8_t flags = r.u8();
    const std::uint8_t flags3 = placeVersion >= 3 ? r.u8() : 0;
    p.depth = r.u16();
    p.move = (flags & 0x01) != 0;
    const bool hasCharacter = (flags & 0x02) != 0;
    p.hasImage = (flags3 & 0x10) != 0;
    // A class name names what to place when there is no character id.
    if ((flags3 & 0x08) || (p.hasImage && !hasCharacter)) {
        p.className = r.string();
    }
    if (hasCharacter) {
        p.characterId = r.u16();
    }
    if (flags & 0x04) {
        p.matrix = readMatrix(r);
    }
    if (flags & 0x08) {
        p.colorTransform = readColorTransform(r, true);
    }
    if (flags & 0x10) {
        p.ratio = r.u16();
    }
    if (flags & 0x20) {
        p.name = r.string();
    }
    if (flags & 0x40) {
        p.clipDepth = r.u16();
    }
    if (flags3 & 0x01) {
        p.filters = readFilterList(r, ctx);
        if (ctx.invalid) {
            return p; // The rest of the record cannot be found after an unknown filter.
        }
    }
    if (flags3 & 0x02) {
        p.blendMode = blendModeFromByte(r.u8());
    }
    if (flags3 & 0x04) {
        p.cacheAsBitmap = r.u8() != 0;
    }
    if (flags3 & 0x20) {
        p.visible = r.u8() != 0;
    }
    if (flags3 & 0x40) {
        p.backgroundColor = readRgba(r);
    }
    if (flags & 0x80) {
        p.clipActions = readClipActions(r, ctx.swfVersion);
    }
    return p;
}

} // namespace swf
