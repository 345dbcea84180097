#include "BasicRecords.h"
#include "DefinitionReaders.h"
#include "FilterReader.h"

namespace swf {

namespace {

// Button records up to the terminating zero byte.
void readButtonRecords(ByteReader& r, ReadContext& ctx, std::uint8_t buttonVersion,
                       std::vector<ButtonRecord>& out) {
    while (!r.failed()) {
        const std::uint8_t flags = r.u8();
        if (flags == 0) {
            break;
        }
        ButtonRecord rec;
        rec.states = flags & 0x0F;
        rec.characterId = r.u16();
        rec.depth = r.u16();
        rec.matrix = readMatrix(r);
        if (buttonVersion >= 2) {
            rec.colorTransform = readColorTransform(r, true);
            if (flags & 0x10) {
                rec.filters = readFilterList(r, ctx);
                if (ctx.invalid) {
                    return;
                }
            }
            if (flags & 0x20) {
                rec.blendMode = blendModeFromByte(r.u8());
            }
        }
        if (!r.failed()) {
            out.push_back(std::move(rec));
        }
    }
}

} // namespace

Button readDefineButton(ByteReader& r, ReadContext& ctx, std::uint8_t buttonVersion) {
    Button button;
    button.version = buttonVersion;
    button.id = r.u16();
    if (buttonVersion < 2) {
        readButtonRecords(r, ctx, 1, button.records);
        ButtonAction release;
        release.actions = readActionBlock(r.rest());
        if (!release.actions.actions.empty()) {
            button.actions.push_back(std::move(release));
        }
        return button;
    }
    button.trackAsMenu = (r.u8() & 0x01) != 0;
    const std::size_t actionOffsetBase = r.position();
    const std::uint16_t actionOffset = r.u16();
    readButtonRecords(r, ctx, 2, button.records);
    if (actionOffset == 0 || ctx.invalid) {
        return button;
    }
    ByteReader actions(r.data());
    actions.skip(actionOffsetBase + actionOffset);
    // Each condition block gives the size to the next one; zero marks the last.
    while (!actions.atEnd() && !actions.failed()) {
        const std::size_t blockStart = actions.position();
        const std::uint16_t size = actions.u16();
        ButtonAction action;
        action.conditions = actions.u16();
        const std::size_t bodyLength = size == 0 || size < 4 ? actions.remaining() : size - 4u;
        action.actions = readActionBlock(actions.bytes(bodyLength));
        button.actions.push_back(std::move(action));
        if (size == 0 || blockStart + size > actions.data().size()) {
            break;
        }
    }
    return button;
}

void applyButtonCxform(ByteReader& r, Button& button) {
    const ColorTransform cx = readColorTransform(r, false);
    for (ButtonRecord& rec : button.records) {
        rec.colorTransform = cx;
    }
}

} // namespace swf
