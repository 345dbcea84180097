#pragma once

#include "moviemaker/BitWriter.h"

#include <cstdint>
#include <span>

namespace moviemaker {

enum class TagCode : uint16_t {
    End = 0,
    ShowFrame = 1,
    DefineShape = 2,
    PlaceObject = 4,
    RemoveObject = 5,
    SetBackgroundColor = 9,
    DefineFont = 10,
    DefineText = 11,
    DoAction = 12,
    DefineSound = 14,
    StartSound = 15,
    DefineButtonSound = 17,
    SoundStreamHead = 18,
    SoundStreamBlock = 19,
    DefineBitsLossless = 20,
    DefineBitsJpeg2 = 21,
    DefineShape2 = 22,
    PlaceObject2 = 26,
    RemoveObject2 = 28,
    DefineShape3 = 32,
    DefineText2 = 33,
    DefineBitsJpeg3 = 35,
    DefineBitsLossless2 = 36,
    DefineSprite = 39,
    FrameLabel = 43,
    SoundStreamHead2 = 45,
    DefineMorphShape = 46,
    DefineFont2 = 48,
    ExportAssets = 56,
    ImportAssets = 57,
    DoInitAction = 59,
    PlaceObject3 = 70,
    ImportAssets2 = 71,
    DefineFont3 = 75,
    DefineScalingGrid = 78,
    DefineShape4 = 83,
    DefineMorphShape2 = 84,
    StartSound2 = 89,
};

// Code and length share one 16-bit word when the length is below 63; otherwise the length
// field holds 63 and a 32-bit length follows. `forceLong` writes the long form for short
// bodies too, as authoring tools do for bitmaps.
void writeTag(BitWriter& out, uint16_t code, std::span<const uint8_t> body, bool forceLong = false);
inline void writeTag(BitWriter& out, TagCode code, std::span<const uint8_t> body,
                     bool forceLong = false) {
    writeTag(out, static_cast<uint16_t>(code), body, forceLong);
}

} // namespace moviemaker
