#pragma once
// How much room formatted text takes, in twips, the way players measure it for textWidth,
// textHeight, autoSize and TextFormat.getTextExtent.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "CharacterCatalog.h"
#include "TextDocument.h"

namespace mc {

struct TextFieldState;

// One laid-out line, in twips from the top of the first line: where it starts and where
// its descent ends (its leading below not counted), and how far it reaches across.
struct LineBox {
    double top = 0;
    double bottom = 0;
    double width = 0;
    // The characters it shows, [begin, end): a paragraph's last line counts its end ('\r').
    std::size_t begin = 0;
    std::size_t end = 0;
    double ascent = 0;
    double descent = 0;
    double leading = 0;
    // Where its first character starts, from the left gutter: margins, indent and alignment
    // (alignment only when the measure was given the room the text has).
    double x = 0;
    // How far its characters advance, without the spaces a wrapped line hangs past its end.
    double advance = 0;
};

struct TextExtent {
    double width = 0;  // the widest line
    double height = 0; // every line with its leading
    double ascent = 0; // of the first line
    double descent = 0;
    std::vector<LineBox> lines;
};

// `wrapWidth` > 0 breaks lines at spaces to stay within it (the field's width less its
// gutters); `room`, the width between the gutters, places aligned lines. The width
// counts margins, indents and a list item's bullet column as the painter places lines.
TextExtent measureText(const CharacterCatalog& catalog, const TextDocument& document, bool embedded,
                       double wrapWidth, double room = 0);
TextExtent measureField(const CharacterCatalog& catalog, const TextFieldState& field);
// The character drawn at (x, y), twips of the field's own space; none between or beside
// the lines. Clicks on links find what they landed on by it.
std::optional<std::size_t> characterAt(const CharacterCatalog& catalog, const TextFieldState& field,
                                       double x, double y);
// Where a click at (x, y), twips of the field's own space, puts the caret: between the two
// characters nearest it, on the line it is level with (the first or last line when it is
// above or below them).
std::size_t caretAt(const CharacterCatalog& catalog, const TextFieldState& field, double x,
                    double y);
// Where a character is drawn, twips of the field's own space without scrolling: its pen
// position and advance across, its line's band (leading included) down; none for a paragraph
// end or an index past the text.
struct CharacterBox {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};
std::optional<CharacterBox> characterBox(const CharacterCatalog& catalog,
                                         const TextFieldState& field, std::size_t index);
// The lines as scripts count them (getLineIndexAtPoint, getLineOffset...): the laid-out
// lines, and the empty line after a last paragraph end; an empty field has one empty line
// in the format for new text.
std::vector<LineBox> fieldLines(const CharacterCatalog& catalog, const TextFieldState& field);
// autoSize: the box follows the text, keeping its left edge, centre or right edge.
void fitToText(const CharacterCatalog& catalog, TextFieldState& field);

// The scroll positions a field allows: lines are counted from 1, the horizontal offset in
// whole pixels. A field's view is its box less the gutters above and below.
struct ScrollLimits {
    std::size_t maxScroll = 1; // the first line shown once the last line is in view
    std::size_t lineCount = 1; // lines laid out (an empty field has one)
    double maxHScroll = 0;     // pixels the widest line reaches past the view
    std::vector<LineBox> lines;
    double viewHeight = 0; // twips
};
ScrollLimits scrollLimits(const CharacterCatalog& catalog, const TextFieldState& field);
// The last line wholly in view when `scroll` is the first shown (never above `scroll`).
std::size_t bottomScroll(const ScrollLimits& limits, std::size_t scroll);
// What follows any change to a field's text, formats or settings: an autoSize box fits the
// text again, the scroll positions come back within it, and painters lay it out again.
void relayOut(const CharacterCatalog& catalog, TextFieldState& field);
// Brings the field's scroll positions back within what its text allows, as players do
// after the text, its formats or the box change.
void clampScroll(const CharacterCatalog& catalog, TextFieldState& field);

} // namespace mc
