#pragma once

#include <QPainterPath>
#include <cstdint>
#include <map>
#include <vector>

#include "CharacterCache.h"
#include "swf/Movie.h"

namespace mc {

struct TextFieldState;
class TextDocument;

// Text turned into filled outlines in the text character's own twips: a run per colour.
struct TextRun {
    QPainterPath path;
    swf::Rgba color;
};

using TextOutlines = std::vector<TextRun>;

// DefineText records through the fonts' glyph outlines (1024 or 20480 units per em).
TextOutlines layoutStaticText(CharacterCache& characters, const swf::Movie& movie,
                              const swf::StaticText& text);

// An edit field's formatted text: embedded glyphs when the field uses outlines and the font
// has them, else a system font. The border and background are not part of it: they follow
// the device's pixels (see FieldFrame).
// Where a scrolled field's view starts: the first line shown (from 1) and how far, in
// twips, its lines move left.
struct FieldScroll {
    std::size_t firstLine = 1;
    double hscroll = 0.0;
    // Characters [selectBegin, selectEnd) of the document are drawn selected: white on a
    // black box as tall as their line.
    std::size_t selectBegin = 0;
    std::size_t selectEnd = 0;
};

TextOutlines layoutEditText(CharacterCache& characters, const swf::Movie& movie,
                            const swf::EditText& field, const TextDocument& document,
                            const FieldScroll& scroll = {});

// Outlines of the text characters, made once per character (their content never changes
// without a script engine).
class TextLibrary {
  public:
    const TextOutlines* outlines(CharacterCache& characters, const swf::Movie& movie,
                                 std::uint16_t id);

    // An edit field as scripts changed it, laid out again only when it changed.
    const TextOutlines* fieldOutlines(CharacterCache& characters, const swf::Movie& movie,
                                      const TextFieldState& state);

  private:
    std::map<std::uint16_t, TextOutlines> texts_;
    struct LaidOutField {
        std::uint64_t generation = 0;
        TextOutlines outlines;
    };
    std::map<const TextFieldState*, LaidOutField> fields_;
    static constexpr std::size_t kMaxFields = 4096;
};

} // namespace mc
