#pragma once
// Readers for buttons and bitmaps; r spans the tag body.

#include "ReadContext.h"
#include "swf/ByteReader.h"
#include "swf/Characters.h"

namespace swf {

// DefineButton (version 1) and DefineButton2 (version 2).
Button readDefineButton(ByteReader& r, ReadContext& ctx, std::uint8_t buttonVersion);
// DefineButtonCxform: r positioned after the button id.
void applyButtonCxform(ByteReader& r, Button& button);

// DefineBits (1), DefineBitsJPEG2 (2), 3 and 4.
JpegBitmap readJpegBitmap(ByteReader& r, std::uint8_t jpegVersion);
// DefineBitsLossless (1) and DefineBitsLossless2 (2).
LosslessBitmap readLosslessBitmap(ByteReader& r, std::uint8_t losslessVersion);

} // namespace swf
