#include "moviemaker/PlaceObject.h"

#include "moviemaker/BitWriter.h"
#include "moviemaker/WriteError.h"

namespace moviemaker {

namespace {

bool hasThirdVersionFields(const PlaceObject& p) {
    return p.className || p.filters || p.blendMode || p.cacheAsBitmap || p.visible ||
           p.backgroundColor;
}

std::vector<uint8_t> encodeFirstVersion(const PlaceObject& place) {
    if (!place.characterId) {
        throw WriteError("the first placement version needs a character");
    }
    if (place.move || place.ratio || place.name || place.clipDepth || !place.clipActions.empty() ||
        hasThirdVersionFields(place)) {
        throw WriteError("the first placement version holds a character, a depth, a matrix and "
                         "a colour transform only");
    }
    BitWriter out;
    out.u16(*place.characterId);
    out.u16(place.depth);
    writeMatrix(out, place.matrix.value_or(Matrix{}));
    if (place.colorTransform) {
        writeColorTransform(out, *place.colorTransform, false);
    }
    return out.take();
}

constexpr uint32_t kKeyPressEvent = 0x00020000;

void writeEventFlags(BitWriter& out, uint32_t flags, uint8_t movieVersion) {
    if (movieVersion <= 5) {
        if (flags > 0xFFFF) {
            throw WriteError("events past the sixteenth need a movie of version 6");
        }
        out.u16(static_cast<uint16_t>(flags));
    } else {
        out.u32(flags);
    }
}

void writeClipActions(BitWriter& out, const PlaceObject& place) {
    uint32_t all = 0;
    for (const ClipEventHandler& h : place.clipActions) {
        if (h.events == 0) {
            throw WriteError("an event handler needs an event");
        }
        all |= h.events;
    }
    out.u16(0); // reserved
    writeEventFlags(out, all, place.movieVersion);
    for (const ClipEventHandler& h : place.clipActions) {
        writeEventFlags(out, h.events, place.movieVersion);
        const bool key = place.movieVersion > 5 && (h.events & kKeyPressEvent) != 0;
        out.u32(static_cast<uint32_t>(h.actions.size() + (key ? 1 : 0)));
        if (key) {
            out.u8(h.keyCode);
        }
        out.bytes(h.actions);
    }
    writeEventFlags(out, 0, place.movieVersion);
}

} // namespace

std::vector<uint8_t> encodePlaceObject(const PlaceObject& place, int version) {
    if (version == 1) {
        return encodeFirstVersion(place);
    }
    if (version != 2 && version != 3) {
        throw WriteError("placement versions are 1 to 3");
    }
    const bool third = version == 3;
    if (!third && hasThirdVersionFields(place)) {
        throw WriteError("class names, filters, blend modes, caching, visibility and "
                         "backgrounds need the third placement version");
    }
    BitWriter out;
    out.flag(!place.clipActions.empty());
    out.flag(place.clipDepth.has_value());
    out.flag(place.name.has_value());
    out.flag(place.ratio.has_value());
    out.flag(place.colorTransform.has_value());
    out.flag(place.matrix.has_value());
    out.flag(place.characterId.has_value());
    out.flag(place.move);
    if (third) {
        out.flag(false); // reserved
        out.flag(place.backgroundColor.has_value());
        out.flag(place.visible.has_value());
        out.flag(false); // image placement by class
        out.flag(place.className.has_value());
        out.flag(place.cacheAsBitmap.has_value());
        out.flag(place.blendMode.has_value());
        out.flag(place.filters.has_value());
    }
    out.u16(place.depth);
    if (third && place.className) {
        out.string(*place.className);
    }
    if (place.characterId) {
        out.u16(*place.characterId);
    }
    if (place.matrix) {
        writeMatrix(out, *place.matrix);
    }
    if (place.colorTransform) {
        writeColorTransform(out, *place.colorTransform, true);
    }
    if (place.ratio) {
        out.u16(*place.ratio);
    }
    if (place.name) {
        out.string(*place.name);
    }
    if (place.clipDepth) {
        out.u16(*place.clipDepth);
    }
    if (third) {
        if (place.filters) {
            out.bytes(*place.filters);
        }
        if (place.blendMode) {
            out.u8(static_cast<uint8_t>(*place.blendMode));
        }
        if (place.cacheAsBitmap) {
            out.u8(*place.cacheAsBitmap ? 1 : 0);
        }
        if (place.visible) {
            out.u8(*place.visible ? 1 : 0);
        }
        if (place.backgroundColor) {
            writeRgba(out, *place.backgroundColor);
        }
    }
    if (!place.clipActions.empty()) {
        writeClipActions(out, place);
    }
    return out.take();
}

std::vector<uint8_t> blurFilterList(double blurX, double blurY, uint8_t passes) {
    if (passes < 1 || passes > 15) {
        throw WriteError("a blur has 1 to 15 passes");
    }
    // Players read the sizes as unsigned 16.16; a negative one would read as a huge blur.
    if (!(blurX >= 0 && blurY >= 0 && blurX < 65536 && blurY < 65536)) {
        throw WriteError("blur sizes are 0 to 65535 pixels");
    }
    BitWriter out;
    out.u8(1); // one filter
    out.u8(1); // blur
    out.u32(static_cast<uint32_t>(fixed16(blurX)));
    out.u32(static_cast<uint32_t>(fixed16(blurY)));
    out.ub(passes, 5);
    out.ub(0, 3);
    return out.take();
}

} // namespace moviemaker
