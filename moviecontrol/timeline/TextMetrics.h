#pragma once
// How much room formatted text takes, in twips, the way players measure it for textWidth,
// textHeight, autoSize and TextFormat.getTextExtent.

#include <cstddef>
#include <optional>
#include <string_view>

#include "CharacterCatalog.h"
#include "TextDocument.h"

namespace mc {

struct TextFieldState;

struct TextExtent {
    double width = 0;  // the widest line
    double height = 0; // every line with its leading
    double ascent = 0; // of the first line
    double descent = 0;
};

// `wrapWidth` > 0 breaks lines at spaces to stay within it (the field's width less its
// gutters); a single-line text (not `multiline`) shows its paragraphs as one line. The width
// counts margins, indents and a list item's bullet column as the painter places lines.
TextExtent measureText(const CharacterCatalog& catalog, const TextDocument& document, bool embedded,
                       double wrapWidth, bool multiline = true);
TextExtent measureField(const CharacterCatalog& catalog, const TextFieldState& field);
// The character drawn at (x, y), twips of the field's own space; none between or beside
// the lines. Clicks on links find what they landed on by it.
std::optional<std::size_t> characterAt(const CharacterCatalog& catalog, const TextFieldState& field,
                                       double x, double y);
// autoSize: the box follows the text, keeping its left edge, centre or right edge.
void fitToText(const CharacterCatalog& catalog, TextFieldState& field);

} // namespace mc
