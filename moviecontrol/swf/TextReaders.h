#pragma once

#include "ReadContext.h"
#include "swf/ByteReader.h"
#include "swf/Characters.h"

namespace swf {

Font readDefineFont1(ByteReader& r, ReadContext& ctx);
// DefineFont2 (fontVersion 2) and DefineFont3 (3).
Font readDefineFont2(ByteReader& r, ReadContext& ctx, std::uint8_t fontVersion);
// DefineFontInfo 1/2: r positioned after the font id. Fills in name, flags and codes.
void applyFontInfo(ByteReader& r, Font& font, std::uint8_t infoVersion);
// DefineFontName: r positioned after the font id.
void applyFontName(ByteReader& r, Font& font);

StaticText readDefineText(ByteReader& r, std::uint8_t textVersion);
EditText readDefineEditText(ByteReader& r);
// CSMTextSettings: r positioned after the text's id.
void applyTextSettings(ByteReader& r, EditText& text);

} // namespace swf
