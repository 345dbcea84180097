#pragma once
// Character definitions other than shapes and sprites. Binary payloads (image data, zlib
// streams) are spans into the owning Movie's byte buffer and live as long as that Movie.

#include "swf/ActionCodes.h"
#include "swf/BasicTypes.h"
#include "swf/Filters.h"
#include "swf/Shapes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swf {

// DefineBits (version 1: needs the movie's JPEG tables), DefineBitsJPEG2/3/4.
// imageData may be JPEG (with the stray FF D9 FF D8 markers some encoders write), PNG or GIF.
struct JpegBitmap {
    std::uint16_t id = 0;
    std::uint8_t version = 1;
    std::span<const std::uint8_t> imageData;
    // Versions 3 and 4: zlib-compressed 8-bit alpha plane (may be empty).
    std::span<const std::uint8_t> alphaData;
    // Version 4: deblocking filter strength, 8.8 as stored.
    std::uint16_t deblocking = 0;
};

// DefineBitsLossless (version 1) and DefineBitsLossless2 (version 2, premultiplied alpha).
struct LosslessBitmap {
    std::uint16_t id = 0;
    std::uint8_t version = 1;
    std::uint8_t format = 0; // 3: 8-bit palette, 4: 15-bit RGB, 5: 32-bit (A)RGB.
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    // Format 3: the stored byte; the palette has colorTableSize + 1 entries.
    std::uint8_t colorTableSize = 0;
    std::span<const std::uint8_t> zlibData;
};

struct KerningRecord {
    std::uint16_t leftCode = 0;
    std::uint16_t rightCode = 0;
    std::int16_t adjustment = 0;
};

struct Glyph {
    // Outline in font units: drawn with one implicit fill (see buildGlyphDrawing).
    std::vector<ShapeRecord> records;
    std::uint16_t code = 0;    // From the font's code table or DefineFontInfo.
    std::uint16_t advance = 0; // Layout fonts only; unsigned, as players read it.
    Rect bounds;               // Layout fonts only.
};

// DefineFont 1/2/3, completed by DefineFontInfo 1/2 and DefineFontName when they follow.
// Strings are the stored bytes: UTF-8 from movie version 6, the author's ANSI code page
// (e.g. GBK) before.
struct Font {
    std::uint16_t id = 0;
    std::uint8_t version = 1;
    std::string name;
    std::string fullName;  // DefineFontName.
    std::string copyright; // DefineFontName.
    std::uint8_t language = 0;
    bool hasLayout = false;
    bool shiftJis = false;
    bool smallText = false;
    bool ansi = false;
    bool wideOffsets = false;
    bool wideCodes = false;
    bool italic = false;
    bool bold = false;
    std::vector<Glyph> glyphs;
    std::uint16_t ascent = 0;
    std::uint16_t descent = 0;
    std::int16_t leading = 0;
    std::vector<KerningRecord> kerning;

    // Glyph outlines of versions 1 and 2 use a 1024-unit em square, version 3 a 20480 one;
    // a text height in twips scales a glyph by height / emSquare().
    std::uint32_t emSquare() const { return version >= 3 ? 20480u : 1024u; }
};

struct GlyphEntry {
    std::uint32_t index = 0;
    std::int32_t advance = 0; // Twips.
};

struct TextRecord {
    std::optional<std::uint16_t> fontId;
    std::optional<Rgba> color;
    std::optional<std::int16_t> xOffset;
    std::optional<std::int16_t> yOffset;
    std::optional<std::uint16_t> height; // Present together with fontId.
    std::vector<GlyphEntry> glyphs;
};

// DefineText (RGB colours) and DefineText2 (RGBA).
struct StaticText {
    std::uint16_t id = 0;
    std::uint8_t version = 1;
    Rect bounds;
    Matrix matrix;
    std::vector<TextRecord> records;
};

enum class TextAlign : std::uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

struct EditText {
    std::uint16_t id = 0;
    Rect bounds;
    bool wordWrap = false;
    bool multiline = false;
    bool password = false;
    bool readOnly = false;
    bool autoSize = false;
    bool noSelect = false;
    bool border = false;
    bool wasStatic = false;
    bool html = false;
    bool useOutlines = false;
    std::optional<std::uint16_t> fontId;
    std::optional<std::string> fontClass;
    std::optional<std::uint16_t> fontHeight; // Twips.
    std::optional<Rgba> color;
    std::optional<std::uint16_t> maxLength;
    bool hasLayout = false;
    TextAlign align = TextAlign::Left; // Unknown values read as Left.
    std::uint16_t leftMargin = 0;
    std::uint16_t rightMargin = 0;
    std::uint16_t indent = 0;
    std::int16_t leading = 0;
    std::string variableName;
    std::optional<std::string> initialText;
    // CSMTextSettings: how the glyphs are drawn (advanced anti-aliasing, grid fitting 0 none,
    // 1 pixel, 2 subpixel, and the advanced renderer's thickness and sharpness).
    bool advancedAntiAlias = false;
    std::uint8_t gridFit = 1;
    double thickness = 0;
    double sharpness = 0;
};

// Button state bits of a button record.
namespace button_state {
inline constexpr std::uint8_t Up = 0x01;
inline constexpr std::uint8_t Over = 0x02;
inline constexpr std::uint8_t Down = 0x04;
inline constexpr std::uint8_t HitTest = 0x08;
} // namespace button_state

struct ButtonRecord {
    std::uint8_t states = 0; // button_state bits.
    std::uint16_t characterId = 0;
    std::uint16_t depth = 0;
    Matrix matrix;
    ColorTransform colorTransform; // DefineButton2 only (else DefineButtonCxform or identity).
    std::vector<Filter> filters;
    BlendMode blendMode = BlendMode::Normal;
};

struct ButtonAction {
    // DefineButton2 condition bits as stored (0 for DefineButton: on release).
    std::uint16_t conditions = 0;
    ActionBlock actions;
};

// DefineButton and DefineButton2.
struct Button {
    std::uint16_t id = 0;
    std::uint8_t version = 1;
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    std::vector<ButtonAction> actions;
};

} // namespace swf
